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

QString LeeIni(const QString& archivo, const QString& seccion, const QString& clave,
               const QString& porDefecto) {
    platform::ErrorInfo ilegible;
    const QString valor =
        SuiteLib::iniFile().ReadKey(archivo, seccion, clave, porDefecto, &ilegible);
    if (ilegible.number != 0) {
        const QString texto = QStringLiteral("%1; se usan los valores por defecto")
                                  .arg(ilegible.description.trimmed());
        errorlog::avisaUnaVez(texto, QStringLiteral(" - LeeIni"), texto);
    }
    return valor;
}

void RegistraErrorSQL(const QString& script, QString& proceso, qint32 numero,
                      const QString& descripcion) {
    DB_Dll::Recordset rs;
    // The row is the suite's log, not data read back: a text longer than its column is cut to
    // it, so that the row is written rather than lost on the value.
    auto pon = [&](const char* columna, const platform::Variant& valor) {
        ado::Field& campo = rs->field(QString::fromLatin1(columna));
        campo.setValue(valor.isText() ? platform::Variant(campo.fitted(valor.text())) : valor);
    };
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
        .then([&] { pon("Proceso", proceso); })
        .then([&] { pon("fecha", Formato(QDateTime::currentDateTime(), FormatoFechaHora())); })
        .then([&] { pon("Error", numero); })
        .then([&] { pon("Descripcion", SuiteLib::tools().LeftText(descripcion, 250)); })
        .then([&] { pon("SQL", script); })
        .then([&] { pon("PC", SuiteLib::machineInfo().ComputerName()); })
        .then([&] { pon("Usuario", gDB().gUsuario); })
        .then([&] { rs->update(); })
        .then([&] { gDB().CierraRecordset(rs); });
    steps.run();
}
