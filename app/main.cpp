#include <QApplication>
#include <cstdio>

#include "platform/Failure.h"
#include "platform/NonInteractivePrompter.h"
#include "platform/Process.h"
#include "platform/Prompt.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"

namespace {

// Reads the "@Key=value;" entries the suite's menu program puts on the command line.
QString entry(const QString& line, const QString& key) {
    const int at = static_cast<int>(line.indexOf(key, 0, Qt::CaseInsensitive));
    if (at < 0) return {};
    const int semi = static_cast<int>(line.indexOf(QLatin1Char(';'), at));
    QString v = line.mid(at + key.size(), semi < 0 ? -1 : semi - at - static_cast<int>(key.size()));
    return v.remove(QLatin1Char('=')).trimmed();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    platform::setPrompter(std::make_shared<platform::NonInteractivePrompter>());
    const QString line = platform::process::commandLine();
    const QString cs =
        QStringLiteral("PROVIDER=SQLOLEDB;Server=%1;Database =%2;UId=%3;Pwd=%4;")
            .arg(entry(line, QStringLiteral("@Server")), entry(line, QStringLiteral("@DbName")),
                 entry(line, QStringLiteral("@Usuario")), entry(line, QStringLiteral("@Password")));
    try {
        ado::Connection cnn;
        cnn.setCursorLocation(ado::adcursor::UseClient);
        cnn.open(cs);
        auto count = [&](const QString& table) {
            auto rs =
                cnn.execute(QStringLiteral("SELECT COUNT(*) AS N FROM %1 with(nolock)").arg(table));
            return static_cast<long long>(rs->field(0).value().toNumber());
        };
        const long long ordenes = count(QStringLiteral("v_mv_cpte WHERE tc = 'OT'"));
        const long long tecnicos = count(QStringLiteral("v_ta_tecnicos"));
        auto empresa = cnn.execute(QStringLiteral(
            "SELECT TOP 1 VALOR FROM ta_configuracion with(nolock) WHERE CLAVE = 'nombre'"));
        const QString nombre =
            empresa->eof() ? QString() : empresa->field(0).value().textOr(QString()).trimmed();
        std::printf(
            "%s\n",
            qPrintable(QStringLiteral(
                           "Base %1 abierta: empresa \"%2\", %3 órdenes de trabajo, %4 técnicos.")
                           .arg(entry(line, QStringLiteral("@DbName")), nombre)
                           .arg(ordenes)
                           .arg(tecnicos)));
        return 0;
    } catch (const platform::Failure& f) {
        platform::msgBox(
            QStringLiteral("No se pudo abrir la base de datos: ") + f.info().description,
            platform::mb::Critical, QStringLiteral(" Error de Conexion a Base de Datos"));
        return 1;
    }
}
