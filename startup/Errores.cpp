#include "startup/Errores.h"

#include <QDateTime>
#include <QFile>

#include "data/db_dll/ErrorLog.h"
#include "platform/ArchivoLegible.h"
#include "platform/Process.h"
#include "platform/Prompt.h"
#include "platform/TextFile.h"
#include "startup/SqlTexto.h"
#include "startup/globals/Globals.h"
#include "suitelib/SuiteLib.h"

namespace {

QString environmentAnyCase(const char* lower, const char* upper) {
    QString v = platform::process::environment(QString::fromLatin1(lower));
    if (v.isEmpty()) v = platform::process::environment(QString::fromLatin1(upper));
    return v;
}

}  // namespace

qint16 ReportaError(const platform::ErrorInfo& error, std::optional<qint32> botones,
                    std::optional<QString> rutina) {
    QString logPath;
    QString text, title;
    qint32 style = platform::mb::AbortRetryIgnore | platform::mb::Critical;
    int answer = 0;
    auto steps = platform::Steps::skipping();
    steps
        .then([&] {
            QString folder = environmentAnyCase("temp", "TEMP");
            if (folder.isEmpty()) folder = environmentAnyCase("tmp", "TMP");
            folder = folder.trimmed();
            if (folder.isEmpty()) folder = SuiteLib::machineInfo().TempFolder();
            folder = SuiteLib::tools().FolderPath(folder);
            if (!folder.endsWith(QLatin1Char('\\')) && !folder.endsWith(QLatin1Char('/')))
                folder += QLatin1Char('\\');
            logPath = folder + QStringLiteral("VLERR.LOG");
            // Opened for appending at once: the file exists afterwards even when nothing is shown.
            // What is not a regular file (a FIFO above all) is refused, never waited on.
            QFile f;
            platform::archivo::abre(f, platform::nativePath(logPath),
                                    platform::archivo::Uso::Agregar, platform::limite::kNinguno);
        })
        .then([&] { text = errorlog::message(error); })
        .then([&] {
            const QString routinePart = rutina ? QStringLiteral(" - ") + *rutina : QString();
            title = error.source + routinePart + QStringLiteral(" Aviso al operador!!! - 2 ");
        })
        .then([&] {
            if (botones) style = *botones;
        })
        .then([&] {
            if (error.number == 0) platform::Steps::leave();
        })
        .then([&] { answer = platform::msgBox(text, style, title); })
        .then([&] {
            const QString routinePart = rutina ? QStringLiteral(" - ") + *rutina : QString();
            if (!logPath.isEmpty())
                errorlog::append(logPath, errorlog::line(routinePart, text, answer));
        });
    steps.run();
    return static_cast<qint16>(answer);
}

void RegistraErrorSQL(const QString& script, QString& proceso, qint32 numero,
                      const QString& descripcion) {
    DB_Dll::Recordset rs;
    auto steps = platform::Steps::skipping();
    steps
        .then([&] {
            if (proceso.isEmpty()) proceso = platform::process::programName();
        })
        .then([&] {
            QString sql = QStringLiteral("select  top 1 * from AUX_ERR  with(nolock) ");
            gDB().AbrirRecordset(sql, rs, nullptr, 2, 3, -1, true);
        })
        .then([&] { rs->addNew(); })
        .then([&] { rs->field(QStringLiteral("Proceso")).setValue(proceso); })
        .then([&] {
            rs->field(QStringLiteral("fecha"))
                .setValue(Formato(QDateTime::currentDateTime(), FormatoFechaHora()));
        })
        .then([&] { rs->field(QStringLiteral("Error")).setValue(numero); })
        .then([&] {
            rs->field(QStringLiteral("Descripcion"))
                .setValue(SuiteLib::tools().LeftText(descripcion, 250));
        })
        .then([&] { rs->field(QStringLiteral("SQL")).setValue(script); })
        .then([&] {
            rs->field(QStringLiteral("PC")).setValue(SuiteLib::machineInfo().ComputerName());
        })
        .then([&] { rs->field(QStringLiteral("Usuario")).setValue(gDB().gUsuario); })
        .then([&] { rs->update(); })
        .then([&] { gDB().CierraRecordset(rs); });
    steps.run();
}
