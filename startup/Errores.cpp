#include "startup/Errores.h"

#include <QDateTime>
#include <QFile>

#include "data/db_dll/ErrorLog.h"
#include "platform/Process.h"
#include "platform/Prompt.h"
#include "platform/TextFile.h"
#include "startup/SqlTexto.h"
#include "startup/globals/Globals.h"
#include "suitelib/SuiteLib.h"

qint16 ReportaError(const platform::ErrorInfo& error, std::optional<qint32> botones,
                    std::optional<QString> rutina) {
    QString logPath;
    QString text, title;
    qint32 style = platform::mb::AbortRetryIgnore | platform::mb::Critical;
    int answer = 0;
    auto steps = platform::Steps::skipping();
    steps
        .then([&] {
            logPath = errorlog::rutaEnTemporal();
            // Opened for appending at once: the file exists afterwards even when nothing is shown.
            QFile f(platform::nativePath(logPath));
            if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
                platform::raise(platform::errnum::PermissionDenied,
                                QStringLiteral("Permiso denegado"));
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
