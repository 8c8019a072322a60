#include "data/db_dll/ErrorLog.h"

#include <QDateTime>
#include <QSet>
#include <mutex>

#include "platform/Process.h"
#include "platform/Prompt.h"
#include "platform/TextFile.h"
#include "suitelib/SuiteLib.h"

namespace errorlog {

QString message(const platform::ErrorInfo& e) {
    return QStringLiteral("Ha ocurrido el Siguiente Error (") + QString::number(e.number) +
           QStringLiteral(") ") + e.description.trimmed();
}

QString answerWord(int answer) {
    switch (answer) {
        case platform::mb::Retry:
            return QStringLiteral("Reintentar");
        case platform::mb::Ignore:
            return QStringLiteral("Ignorar");
        case platform::mb::Abort:
            return QStringLiteral("Abortar");
        case platform::mb::Cancel:
            return QStringLiteral("Cancelar");
        case platform::mb::Yes:
            return QStringLiteral("Sí");
        case platform::mb::No:
            return QStringLiteral("No");
        default:
            return {};
    }
}

QString line(const QString& routinePart, const QString& message, int answer) {
    const QDateTime now = QDateTime::currentDateTime();
    return now.toString(QStringLiteral("MM-dd-yyyy")) + QStringLiteral(" ") +
           now.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(" Rutina: ") +
           routinePart.trimmed() + QStringLiteral(" Mensaje ") + message.trimmed() +
           QStringLiteral(" Respondió : ") + answerWord(answer);
}

namespace {
QString environmentAnyCase(const char* lower, const char* upper) {
    QString v = platform::process::environment(QString::fromLatin1(lower));
    if (v.isEmpty()) v = platform::process::environment(QString::fromLatin1(upper));
    return v;
}
}  // namespace

QString rutaEnTemporal() {
    QString folder = environmentAnyCase("temp", "TEMP");
    if (folder.isEmpty()) folder = environmentAnyCase("tmp", "TMP");
    folder = folder.trimmed();
    if (folder.isEmpty()) folder = SuiteLib::machineInfo().TempFolder();
    folder = SuiteLib::tools().FolderPath(folder);
    if (!folder.endsWith(QLatin1Char('\\')) && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('\\');
    return folder + QStringLiteral("VLERR.LOG");
}

void avisaUnaVez(const QString& clave, const QString& routinePart, const QString& message) {
    // A bounded memory of what was told: a file with a great many bad entries never costs more.
    static std::mutex m;
    static QSet<QString> avisadas;
    {
        const std::lock_guard<std::mutex> l(m);
        if (avisadas.contains(clave) || avisadas.size() >= 256) return;
        avisadas.insert(clave);
    }
    append(rutaEnTemporal(), line(routinePart, message, 0));
}

void append(const QString& path, const QString& text) noexcept {
    try {
        platform::textfile::appendLine(path, text);
    } catch (...) {
        // The answer counts even when its line is lost.
    }
}

}  // namespace errorlog
