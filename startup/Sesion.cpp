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

namespace {

// What the steps of the start-up hand on to the later ones.
struct Inicio {
    const bool usaArchivoPC;
    const QString& parametrosRecibidos;
    QString& cadenaConexion;
    const qint32 tipoCursor;
    QString carpeta = {};
    QString linea = {};
    QString servidor = {}, base = {}, usuario = {}, clave = {};
    bool conectado = false;  // by an earlier start-up of this process
};

void ubicaCarpeta(Inicio& s) {
    s.carpeta = SuiteLib::tools().FolderPath(platform::process::programFolder());
    gArchivoAyuda = s.carpeta + QStringLiteral("htmlhelp\\cordavistel.chm");
}

void leeLinea(Inicio& s) {
    s.linea =
        !s.parametrosRecibidos.isEmpty() ? s.parametrosRecibidos : platform::process::commandLine();
}

// Without parameters, the connection this computer and user keep in the INI file.
void lineaDelArchivoPC(Inicio& s) {
    if (!s.linea.trimmed().isEmpty() || !s.usaArchivoPC) return;
    const auto& t = SuiteLib::tools();
    const auto& maquina = SuiteLib::machineInfo();
    const QString seccion = maquina.ComputerName().toUpper() + QStringLiteral("|") +
                            maquina.UserName().toUpper() + QStringLiteral("BaseDeDatos");
    QString sv = LeeIni(kIni, seccion, QStringLiteral("Servidor"), QString());
    QString b = LeeIni(kIni, seccion, QStringLiteral("DbName"), QString());
    QString u = t.DecodeStored(LeeIni(kIni, seccion, QStringLiteral("Usuario"),
                                      t.EncodeStored(QStringLiteral("Vorlane"))));
    QString p = t.DecodeStored(LeeIni(kIni, seccion, QStringLiteral("UserPassWord"),
                                      t.EncodeStored(QStringLiteral("tarsemo"))));
    for (QString* v : {&sv, &b, &u, &p}) *v = t.ReplaceText(*v, QStringLiteral("|"));
    s.linea = QStringLiteral("@server=") + sv + QStringLiteral("; @dbname= ") + b +
              QStringLiteral("; @usuario= ") + u + QStringLiteral("; @Password= ") + p +
              QStringLiteral("; @ParametroAdicional=; @Caja=1;brun@");
}

void nombraPcUsuario() {
    const auto& maquina = SuiteLib::machineInfo();
    gPcUsuario =
        maquina.ComputerName().toUpper() + QStringLiteral("|") + maquina.UserName().toUpper();
    if (gPcUsuario.trimmed().size() > 50) gPcUsuario = gPcUsuario.left(50);
}

void leeBarrasPlanas() {
    gFlatToolbars = platform::leadingNumber(
        LeeIni(kIni, gPcUsuario, QStringLiteral("FlatToolbars"), QStringLiteral("1")));
}

void leeParametros(Inicio& s) {
    if (s.conectado) return;
    const QString& l = s.linea;
    gParametroAdicional = ValorParametro(l, QStringLiteral("@ParametroAdicional"), QString(), true);
    gMenu = ValorParametro(l, QStringLiteral("@Menu"), QString(), false);
    s.servidor = ValorParametro(l, QStringLiteral("@Server"), QString(), false);
    s.base = ValorParametro(l, QStringLiteral("@DbName"), QString(), false);
    s.usuario = ValorParametro(l, QStringLiteral("@Usuario"), QString(), false);
    s.clave = ValorParametro(l, QStringLiteral("@Password"), QString(), false);
    gUsuarioLogeado = ValorParametro(l, QStringLiteral("@UsuarioLogeado"), QString(), false);
    gCaja = ValorParametro(l, QStringLiteral("@Caja"), QStringLiteral("1"), false);
}

// A server written "#<name>" is reached through the connection text made of the parameters.
void cadenaDeServidorMarcado(Inicio& s) {
    if (s.conectado || !s.servidor.startsWith(QLatin1Char('#'))) return;
    s.servidor = s.servidor.mid(1);
    if (!s.cadenaConexion.isEmpty()) return;
    s.cadenaConexion = QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=") + s.base +
                       QStringLiteral(";User Id=") + s.usuario + QStringLiteral(";Password=") +
                       s.clave + QStringLiteral(";");
}

void datosDeConexion(const Inicio& s) {
    if (s.conectado) return;
    DB_Dll& db = gDB();
    db.gUsuario = s.usuario;
    db.gDBName = s.base;
    db.gUserPassWord = s.clave;
    db.gServidor = LimpiaServidor(s.servidor);
}

// The connection dialog opens when the parameters do not name a server and a user.
void conecta(const Inicio& s) {
    if (s.conectado) return;
    const bool pide = s.servidor.trimmed().isEmpty() || s.usuario.trimmed().isEmpty();
    gDB().OpenServerADODB(pide, s.tipoCursor, s.cadenaConexion, true, true);
}

void preparaConexion(const Inicio& s) {
    if (s.conectado) return;
    DB_Dll& db = gDB();
    gUsuarioLogeado = db.gUsuario;
    db.gCnn.setCommandTimeout(gTimeOut);
    db.gCnn.setIsolationLevel(ado::adxact::ReadUncommitted);
}

void cadenaOdbc() {
    const DB_Dll& db = gDB();
    if (db.gDBName.isEmpty()) return;
    gCadenaODBC = QStringLiteral("DSN=") + db.gDBName + QStringLiteral("; UID=") + db.gUsuario +
                  QStringLiteral("; PWD=") + db.gUserPassWord;
}

void preparaConsultas(const Inicio& s) {
    if (gDB().gDBName.isEmpty()) return;
    gConsulta().gConnString = gDB().gConnString;
    gConsulta().gUsarMascarasConsultas = true;
    gConsulta().gRutaMascaraConsultas = s.carpeta + QStringLiteral("consultas.vln");
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
}

// The quick lookups are a convenience: a file that cannot be written (a folder of that name, a
// read-only folder) is skipped and the start-up goes on.
void escribeConsultasRapidas() {
    if (gDB().gDBName.isEmpty() || !FaltanConsultasRapidas(gConsulta().gRutaMascaraConsultas))
        return;
    platform::Steps::skipping().then(&CreaConsultasRapidas).run();
}

void leeConfiguracion(const Inicio& s) {
    if (gDB().gDBName.isEmpty()) return;
    CargaConfiguracion(s.carpeta);
    gConsulta().Inicializa();
}

}  // namespace

void IniciaSesion(bool UsaArchivoPC, const QString& ParametrosRecibidos, QString& CadenaConexion,
                  qint32 TipoCursor) {
    Inicio s{UsaArchivoPC, ParametrosRecibidos, CadenaConexion, TipoCursor};
    DB_Dll& db = gDB();
    // A step failing with an invalid argument is skipped; any other failure ends the start-up.
    auto steps = platform::Steps::trapping([](const platform::ErrorInfo& e) {
        return e.number == platform::errnum::InvalidArgument ? 5 : 0;
    });
    steps.then([&] { ubicaCarpeta(s); })
        .then([&] { leeLinea(s); })
        .then([&] { lineaDelArchivoPC(s); })
        .then(&nombraPcUsuario)
        .then(&leeBarrasPlanas)
        .then([&] { s.conectado = db.gOpenFlag; })
        .then([&] { leeParametros(s); })
        .then([&] { cadenaDeServidorMarcado(s); })
        .then([&] { datosDeConexion(s); })
        .then([&] { conecta(s); })
        .then([&] {
            if (!s.conectado && !db.gOpenFlag) platform::process::exitProgram(1);
        })
        .then([&] {
            if (!s.conectado) AbreEstadisticas();
        })
        .then([&] { preparaConexion(s); })
        .then(&cadenaOdbc)
        .then([&] {
            if (!db.gDBName.isEmpty()) SuiteLib::reportRunner().SetFolder(s.carpeta);
        })
        .then([&] {
            if (!db.gDBName.isEmpty()) db.gCnn.setDefaultDatabase(db.gDBName);
        })
        .then([&] { preparaConsultas(s); })
        .then(&escribeConsultasRapidas)
        .then([&] { leeConfiguracion(s); })
        .then([&] { RegistraAcceso(QString()); });
    steps.run();
}
