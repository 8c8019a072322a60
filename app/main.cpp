#include <QApplication>
#include <cstdio>

#include "connect/DialogoConexion.h"
#include "lookup/Lib_ClsCons3.h"
#include "platform/NonInteractivePrompter.h"
#include "platform/Process.h"
#include "platform/Prompt.h"
#include "platform/so/Entorno.h"
#include "platform/so/Memoria.h"
#include "platform/so/Parada.h"
#include "report/ModoLote.h"
#include "report/frmCronequipo.h"
#include "reportengine/ReportEngineImpl.h"
#include "startup/Sesion.h"
#include "startup/UltimoRecurso.h"
#include "startup/config/Configuracion.h"
#include "startup/globals/Globals.h"
#include "widgets/GuardedApplication.h"
#include "widgets/QtPrompter.h"

namespace {

bool hasDisplay() {
    const QString platformName = QGuiApplication::platformName();
    return platformName != QLatin1String("offscreen") && platformName != QLatin1String("minimal");
}

}  // namespace

int main(int argc, char** argv) {
    platform::memoria::ajustaMonticulo();
    // Without a display (a batch run, a server) the program must still start: no windows then.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    so::preparaCarpetaDeEjecucion();
    platform::GuardedApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Cronequipo"));
    const QStringList argumentos = QCoreApplication::arguments().mid(1);
    if (argumentos.contains(QStringLiteral("--batch"))) {
        platform::parada::instalaPorSenales();
        platform::setPrompter(std::make_shared<platform::NonInteractivePrompter>());
        QString error;
        const auto opciones = leeOpcionesLote(argumentos, &error);
        if (!opciones) {
            std::fprintf(stderr, "%s\n", error.toUtf8().constData());
            return 1;
        }
        reportengine::installReportEngine();
        InstalaUltimoRecurso();
        InstalaDialogoConexion(false);
        QString cadena;
        int estado = 1;
        try {
            // Anything that escapes the run is reported on standard error and fails it.
            platform::GuardedApplication::guard(QStringLiteral("--batch"), [&] {
                IniciaSesion(false, opciones->lineaParametros, cadena, 3);
                if (gDB().gOpenFlag) estado = ejecutaLote(*opciones);
            });
            // Stopped from outside: the status names the signal, as a shell expects.
            if (const int s = platform::parada::senal()) return 128 + s;
            return estado;
        } catch (const platform::process::ProgramEnded& fin) {
            if (const int s = platform::parada::senal()) return 128 + s;
            return fin.status;
        }
    }
    if (hasDisplay()) {
        platform::setPrompter(std::make_shared<platform::QtPrompter>());
    } else {
        platform::setPrompter(std::make_shared<platform::NonInteractivePrompter>());
    }

    reportengine::installReportEngine();
    InstalaUltimoRecurso();
    InstalaDialogoConexion(hasDisplay());
    if (hasDisplay()) {
        try {
            frmCronequipo ventana;
            // The load reports its own failing steps; whatever else escapes it is reported here
            // and the window still opens.
            platform::GuardedApplication::guard(QStringLiteral("Form_Load"),
                                                [&] { ventana.Form_Load(); });
            ventana.show();
            // The window opens in front with the focus in its first field, also where no window
            // manager hands it over.
            ventana.activateWindow();
            return app.exec();
        } catch (const platform::process::ProgramEnded& fin) {
            return fin.status;
        }
    }

    QString cadena;
    IniciaSesion(false, QString(), cadena, 3);

    // Without a display the start-up ends, the start-up ends with a summary of what it set up.
    QString aux;
    const QString empresa = Cfg(QStringLiteral("NOMBRE"), aux).trimmed();
    const DB_Dll& db = gDB();
    const QString resumen =
        QStringLiteral(
            "Conectado a %1 en %2 como %3 (administrador: %4); empresa \"%5\"; "
            "estadísticas: %6; tiempo de espera %7 s; consultas: %8; clave %9.")
            .arg(db.gDBName, db.gServidor, db.gUsuario,
                 db.gEsAdmin ? QStringLiteral("sí") : QStringLiteral("no"), empresa,
                 gDBEstadisticas().gOpenFlag ? QStringLiteral("abiertas")
                                             : QStringLiteral("sin conexión"))
            .arg(gTimeOut)
            .arg(gConsulta().gRutaMascaraConsultas, gPcUsuario);
    std::printf("%s\n", resumen.toUtf8().constData());
    return 0;
}
