#pragma once

#include <QApplication>

#include "widgets/GuardedApplication.h"

// The one application of a test program, created on first use (widget tests need it); the
// program's own, so that a failure escaping an event handler is reported as in the program.
inline QApplication& testApp() {
    static int argc = 1;
    static char name[] = "cronequipo_tests";
    static char* argv[] = {name, nullptr};
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return *existing;
    static QApplication* app = new platform::GuardedApplication(argc, argv);
    return *app;
}
