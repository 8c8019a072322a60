#include "widgets/GuardedApplication.h"

#include <QLibraryInfo>
#include <QLocale>
#include <cstdio>

#include "platform/Process.h"
#include "platform/so/NumerosEnC.h"

namespace platform {

namespace {

GuardedApplication::LastResort& lastResort() {
    static GuardedApplication::LastResort reporter;
    return reporter;
}

QString describe(const QObject* receiver) {
    if (!receiver) return {};
    const QString name = receiver->objectName();
    return name.isEmpty() ? QString::fromUtf8(receiver->metaObject()->className()) : name;
}

// Without TZ the C library reads the zone file again for every local date it converts, which
// is most of the time of a long report; the same zone, read once. Set before anything converts.
int& zoneReadOnce(int& argc) {
    if (qEnvironmentVariableIsEmpty("TZ")) qputenv("TZ", ":/etc/localtime");
    return argc;
}

}  // namespace

GuardedApplication::GuardedApplication(int& argc, char** argv)
    : QApplication(zoneReadOnce(argc), argv) {
    // The application object has just taken every category from the environment.
    NumerosEnC::fijaEnElProceso();
    // Beside the program first (where an installation on Windows carries them), then Qt's own.
    const QLocale espanol(QLocale::Spanish, QLocale::Spain);
    for (const QString& carpeta : {applicationDirPath() + QStringLiteral("/translations"),
                                   QLibraryInfo::path(QLibraryInfo::TranslationsPath)}) {
        if (!qtEnEspanol_.load(espanol, QStringLiteral("qtbase"), QStringLiteral("_"), carpeta))
            continue;
        enEspanol_ = installTranslator(&qtEnEspanol_);
        break;
    }
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const process::ProgramEnded& end) {
        // Only a replaced exit routine throws this: the running loop ends with its status.
        QCoreApplication::exit(end.status);
        return true;
    } catch (...) {
        // The event is spent: the failure has been reported and the program goes on.
        report(errorOf(std::current_exception()), describe(receiver));
        return true;
    }
}

GuardedApplication::LastResort GuardedApplication::setLastResort(LastResort reporter) {
    LastResort old = std::move(lastResort());
    lastResort() = std::move(reporter);
    return old;
}

bool GuardedApplication::guard(const QString& where, const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (const process::ProgramEnded&) {
        throw;
    } catch (...) {
        // Reported here, and the caller learns it from the answer.
        report(errorOf(std::current_exception()), where);
        return false;
    }
}

void GuardedApplication::report(const ErrorInfo& error, const QString& where) {
    try {
        if (lastResort()) {
            lastResort()(error, where);
            return;
        }
    } catch (...) {
        // The reporter itself failed: what it was told still goes to standard error below.
    }
    const QByteArray text = QStringLiteral("%1: (%2) %3\n")
                                .arg(where)
                                .arg(error.number)
                                .arg(error.description)
                                .toUtf8();
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stderr);
    std::fflush(stderr);
}

}  // namespace platform
