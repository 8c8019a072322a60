#include "startup/Sesion.h"

#include "lookup/Lib_ClsCons3.h"
#include "platform/Process.h"
#include "startup/Acceso.h"
#include "startup/Errores.h"
#include "startup/SqlTexto.h"
#include "startup/config/Configuracion.h"
#include "startup/globals/Globals.h"
#include "suitelib/SuiteLib.h"

namespace {
const QString kIni = QStringLiteral("KV300mn.INI");
}

QString ValorParametro(const QString& linea, const QString& clave, const QString& porDefecto,
                       bool hastaElFinal) {
    const int at = static_cast<int>(linea.indexOf(clave, 0, Qt::CaseInsensitive));
    if (at < 0) return porDefecto;
    const int desde = at + static_cast<int>(clave.size());
    const int fin = static_cast<int>(linea.indexOf(QLatin1Char(';'), at));
    QString crudo;
    if (fin >= 0) {
        crudo = linea.mid(desde, fin - desde);
    } else if (hastaElFinal) {
        crudo = linea.mid(desde);
    }
    return SuiteLib::tools().ReplaceText(crudo, QStringLiteral("=")).trimmed();
}

QString LimpiaServidor(const QString& servidor) {
    QString s = servidor;
    const int barra = static_cast<int>(s.indexOf(QLatin1Char('/')));
    if (barra >= 0) s = s.mid(barra + 1);
    const int dosPuntos = static_cast<int>(s.indexOf(QLatin1Char(':')));
    if (dosPuntos >= 0) s = s.left(dosPuntos);
    return s;
}

void AbreEstadisticas() {
    DB_Dll& est = gDBEstadisticas();
    auto steps = platform::Steps::skipping();
    steps.then([] { gTimeOut = 360; })
        .then([&] {
            if (est.gOpenFlag) est.gCnn.close();
        })
        .then([&] {
            est.gProveedor = gDB().pSQLOLEDB();
            est.gServidor = gDB().gServidor;
            est.gDBName = QStringLiteral("VL_ESTADISTICAS");
            est.gUsuario = QStringLiteral("VL_ESTADISTICAS");
            est.gUserPassWord = QStringLiteral("QZ_RECUENTOSDAT");
        })
        .then([&] { est.OpenServerADODB(false, 3, QString(), true, false); })
        .then([&] {
            if (est.gOpenFlag) est.gCnn.setDefaultDatabase(QStringLiteral("VL_ESTADISTICAS"));
        })
        .then([&] {
            if (!est.gOpenFlag) return;
            QString aux;
            // Out of range: the step fails before anything changes, so the stored value stays
            // as it is and the time-out keeps its default.
            gTimeOut = platform::leadingInteger16(CfgVL(QStringLiteral("TimeOut"), aux));
        })
        .then([&] {
            if (est.gOpenFlag && gTimeOut == 0)
                GrabaCfgVL(QStringLiteral("TimeOut"), platform::Variant(gTimeOut), QString(), false,
                           QStringLiteral("BaseDeDatos"), true);
        })
        .then([] {
            if (gTimeOut == 0) gTimeOut = 360;
        });
    steps.run();
}

void IniciaSesion(bool UsaArchivoPC, const QString& ParametrosRecibidos, QString& CadenaConexion,
                  qint32 TipoCursor) {
    const auto& t = SuiteLib::tools();
    const auto& maquina = SuiteLib::machineInfo();
    QString carpeta, linea, servidor, base, usuario, clave;
    bool conectado = false;
    DB_Dll& db = gDB();

    // A step failing with an invalid argument is skipped; any other failure ends the start-up.
    auto steps = platform::Steps::trapping([](const platform::ErrorInfo& e) {
        return e.number == platform::errnum::InvalidArgument ? 5 : 0;
    });
    steps
        .then([&] {
            carpeta = t.FolderPath(platform::process::programFolder());
            gArchivoAyuda = carpeta + QStringLiteral("htmlhelp\\cordavistel.chm");
        })
        .then([&] {
            linea = !ParametrosRecibidos.isEmpty() ? ParametrosRecibidos
                                                   : platform::process::commandLine();
        })
        .then([&] {
            if (!linea.trimmed().isEmpty() || !UsaArchivoPC) return;
            const QString seccion = maquina.ComputerName().toUpper() + QStringLiteral("|") +
                                    maquina.UserName().toUpper() + QStringLiteral("BaseDeDatos");
            const auto& ini = SuiteLib::iniFile();
            QString s = ini.ReadKey(kIni, seccion, QStringLiteral("Servidor"), QString());
            QString b = ini.ReadKey(kIni, seccion, QStringLiteral("DbName"), QString());
            QString u = t.DecodeStored(ini.ReadKey(kIni, seccion, QStringLiteral("Usuario"),
                                                   t.EncodeStored(QStringLiteral("Vorlane"))));
            QString p = t.DecodeStored(ini.ReadKey(kIni, seccion, QStringLiteral("UserPassWord"),
                                                   t.EncodeStored(QStringLiteral("tarsemo"))));
            for (QString* v : {&s, &b, &u, &p}) *v = t.ReplaceText(*v, QStringLiteral("|"));
            linea = QStringLiteral("@server=") + s + QStringLiteral("; @dbname= ") + b +
                    QStringLiteral("; @usuario= ") + u + QStringLiteral("; @Password= ") + p +
                    QStringLiteral("; @ParametroAdicional=; @Caja=1;brun@");
        })
        .then([&] {
            gPcUsuario = maquina.ComputerName().toUpper() + QStringLiteral("|") +
                         maquina.UserName().toUpper();
            if (gPcUsuario.trimmed().size() > 50) gPcUsuario = gPcUsuario.left(50);
        })
        .then([&] {
            gFlatToolbars = platform::leadingNumber(SuiteLib::iniFile().ReadKey(
                kIni, gPcUsuario, QStringLiteral("FlatToolbars"), QStringLiteral("1")));
        })
        .then([&] { conectado = db.gOpenFlag; })
        .then([&] {
            if (conectado) return;
            gParametroAdicional =
                ValorParametro(linea, QStringLiteral("@ParametroAdicional"), QString(), true);
            gMenu = ValorParametro(linea, QStringLiteral("@Menu"), QString(), false);
            servidor = ValorParametro(linea, QStringLiteral("@Server"), QString(), false);
            base = ValorParametro(linea, QStringLiteral("@DbName"), QString(), false);
            usuario = ValorParametro(linea, QStringLiteral("@Usuario"), QString(), false);
            clave = ValorParametro(linea, QStringLiteral("@Password"), QString(), false);
            gUsuarioLogeado =
                ValorParametro(linea, QStringLiteral("@UsuarioLogeado"), QString(), false);
            gCaja = ValorParametro(linea, QStringLiteral("@Caja"), QStringLiteral("1"), false);
        })
        .then([&] {
            if (conectado || !servidor.startsWith(QLatin1Char('#'))) return;
            servidor = servidor.mid(1);
            if (CadenaConexion.isEmpty()) {
                CadenaConexion = QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=") + base +
                                 QStringLiteral(";User Id=") + usuario +
                                 QStringLiteral(";Password=") + clave + QStringLiteral(";");
            }
        })
        .then([&] {
            if (conectado) return;
            db.gUsuario = usuario;
            db.gDBName = base;
            db.gUserPassWord = clave;
            db.gServidor = LimpiaServidor(servidor);
        })
        .then([&] {
            if (conectado) return;
            const bool pide = servidor.trimmed().isEmpty() || usuario.trimmed().isEmpty();
            db.OpenServerADODB(pide, TipoCursor, CadenaConexion, true, true);
        })
        .then([&] {
            if (!conectado && !db.gOpenFlag) platform::process::exitProgram(1);
        })
        .then([&] {
            if (!conectado) AbreEstadisticas();
        })
        .then([&] {
            if (conectado) return;
            gUsuarioLogeado = db.gUsuario;
            db.gCnn.setCommandTimeout(gTimeOut);
            db.gCnn.setIsolationLevel(ado::adxact::ReadUncommitted);
        })
        .then([&] {
            if (db.gDBName.isEmpty()) return;
            gCadenaODBC = QStringLiteral("DSN=") + db.gDBName + QStringLiteral("; UID=") +
                          db.gUsuario + QStringLiteral("; PWD=") + db.gUserPassWord;
        })
        .then([&] {
            if (!db.gDBName.isEmpty()) SuiteLib::reportRunner().SetFolder(carpeta);
        })
        .then([&] {
            if (!db.gDBName.isEmpty()) db.gCnn.setDefaultDatabase(db.gDBName);
        })
        .then([&] {
            if (db.gDBName.isEmpty()) return;
            gConsulta().gConnString = db.gConnString;
            gConsulta().gUsarMascarasConsultas = true;
            gConsulta().gRutaMascaraConsultas = carpeta + QStringLiteral("consultas.vln");
            // The lookups read the configuration and report through the start-up's routines.
            serviciosConsulta().cfg = [](const QString& clave) {
                QString aux;
                return Cfg(clave, aux);
            };
            serviciosConsulta().reporta = [](const platform::ErrorInfo& e, const QString& rutina) {
                return static_cast<int>(ReportaError(e, std::nullopt, rutina));
            };
            serviciosConsulta().lanza = [](const QString& programa, const QString& parametro) {
                QString adicional = parametro;
                qint64 tarea = 0;
                MenuExes(programa, adicional, tarea);
            };
        })
        .then([&] {
            // The quick lookups are a convenience: a file that cannot be written (a folder of
            // that name, a read-only folder) is skipped and the start-up goes on.
            if (db.gDBName.isEmpty() || !FaltanConsultasRapidas(gConsulta().gRutaMascaraConsultas))
                return;
            platform::Steps::skipping().then(&CreaConsultasRapidas).run();
        })
        .then([&] {
            if (db.gDBName.isEmpty()) return;
            CargaConfiguracion(carpeta);
            gConsulta().Inicializa();
        })
        .then([&] { RegistraAcceso(QString()); });
    steps.run();
}
