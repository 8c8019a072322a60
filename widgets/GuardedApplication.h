#pragma once

#include <QApplication>
#include <QTranslator>
#include <functional>

#include "platform/Failure.h"

namespace platform {

// The program's application object: the last place where a failure of our code is stopped
// before it crosses Qt's event loop. A failure that escapes an event handler, a slot or a
// window's load goes to the last-resort reporter, and the program goes on.
class GuardedApplication : public QApplication {
  public:
    // Gets the error and where it happened (the receiver of the event, or the routine).
    using LastResort = std::function<void(const ErrorInfo& error, const QString& where)>;

    // Numbers in files stay "C" whatever the desktop; Qt's own dialogs and menus speak Spanish,
    // as the rest of the suite does, whatever the environment's language.
    GuardedApplication(int& argc, char** argv);

    // Whether Qt's Spanish texts were found and installed.
    bool enEspanol() const { return enEspanol_; }

    bool notify(QObject* receiver, QEvent* event) override;

    // Installs the reporter and returns the one it replaces. Without one the error is written
    // to standard error.
    static LastResort setLastResort(LastResort reporter);

    // Runs `body`; a failure goes to the reporter and the answer is false. The end of the
    // program passes on.
    static bool guard(const QString& where, const std::function<void()>& body);

    // Hands an error to the reporter; never raises.
    static void report(const ErrorInfo& error, const QString& where);

  private:
    QTranslator qtEnEspanol_;
    bool enEspanol_ = false;
};

}  // namespace platform
