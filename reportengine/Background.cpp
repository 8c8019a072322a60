#include "reportengine/Background.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
#include <chrono>
#include <exception>
#include <thread>

#include "banner/Dll_Display.h"

namespace reportengine {

void waitShowing(const QString& what, const std::function<void()>& work, int after) {
    std::atomic<bool> done{false};
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        done = true;
    });
    QElapsedTimer waited;
    waited.start();
    bool shown = false;
    while (!done) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (!shown && waited.elapsed() >= after) {
            gCartel().CartelInicio(QStringLiteral("Informe"), 0);
            shown = true;
        }
        if (shown) {
            qint16 cancel = 0;  // reading cannot be stopped half-way
            gCartel().CartelMostrar(cancel, platform::Variant(what),
                                    platform::Variant(QStringLiteral("Espere, por favor")),
                                    platform::Variant(QString()));
        } else {
            QCoreApplication::processEvents();
        }
    }
    worker.join();
    if (shown) gCartel().CartelCerrar();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace reportengine
