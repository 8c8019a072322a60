#pragma once

#include <QApplication>

// The one QApplication of a test program, created on first use (widget tests need it).
inline QApplication& testApp() {
    static int argc = 1;
    static char name[] = "cronequipo_tests";
    static char* argv[] = {name, nullptr};
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return *existing;
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}
