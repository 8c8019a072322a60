#include <QDir>
#include <QFile>
#include <cstdio>

#include "ado/core/Error.h"
#include "ado/sqlite/SqliteEngine.h"
#include "lookup/Lib_ClsCons3.h"
#include "platform/ArchivoLegible.h"
#include "platform/Cp1252.h"
#include "platform/Escritura.h"
#include "platform/IniReader.h"
#include "platform/Regional.h"
#include "startup/Acceso.h"
#include "startup/Errores.h"
#include "startup/Sesion.h"
#include "startup/SqlTexto.h"
#include "startup/config/Configuracion.h"
#include "startup/globals/Globals.h"
#include "suitelib/SuiteLib.h"
#include "tests/support/FailureNumber.h"
#include "tests/support/Hostiles.h"
#include "tests/support/ImprimeQString.h"
#include "tests/support/ProgramFolder.h"

using platform::Variant;
namespace mb = platform::mb;

namespace {

class Startup : public ProgramFolder {
  protected:
    void SetUp() override {
        ProgramFolder::SetUp();
        resetEstadisticas();
        gTablaConfiguracion.clear();
        gCaja = QStringLiteral("1");
        gTimeOut = 360;
        gConsulta() = Lib_ClsCons3{};
        qputenv("USERNAME", "juan");
    }
    void TearDown() override {
        resetEstadisticas();
        qunsetenv("USERNAME");
        ProgramFolder::TearDown();
    }

    void start(const QString& line) {
        QString cadena;
        IniciaSesion(false, line, cadena, 3);
    }

    static QString demoLine() {
        return QStringLiteral("@Server=sqlite;@DbName=GESTION;@Usuario=demo;@Password=;@Caja=3;");
    }
};

TEST(ParameterString, EntriesAreReadAsTheSuiteWritesThem) {
    struct Case {
        const char* line;
        const char* key;
        const char* fallback;
        bool toEnd;
        const char* value;
    } cases[] = {
        {"@Server=SRV01:1433;@DbName=GESTION;@usuario= juan;@Caja=3;", "@Usuario", "", false,
         "juan"},
        {"@Server=SRV01:1433;@DbName=GESTION;@Caja=3;", "@Caja", "1", false, "3"},
        {"@Server=SRV01;@DbName=GESTION;@Caja=3", "@Caja", "1", false, ""},
        {"@Server=SRV01;@DbName=GESTION;", "@Caja", "1", false, "1"},
        {"@Server=S; @ParametroAdicional= V_TA_RUBROS; x", "@ParametroAdicional", "", true,
         "V_TA_RUBROS"},
        {"@Server=S; @ParametroAdicional= a=b c", "@ParametroAdicional", "", true, "ab c"},
        {"@Password=cl=av=e;", "@Password", "", false, "clave"},
        {"@UsuarioLogeado=ana;@usuario=juan;", "@Usuario", "", false, "Logeadoana"},
        {"@usuario=juan;@UsuarioLogeado=ana;", "@UsuarioLogeado", "", false, "ana"},
        {";;;", "@Server", "", false, ""},
        {"@Server", "@Server", "x", false, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ValorParametro(QString::fromUtf8(c.line), QString::fromUtf8(c.key),
                                 QString::fromUtf8(c.fallback), c.toEnd),
                  QString::fromUtf8(c.value))
            << c.line << " / " << c.key;
    }
}

TEST(ParameterString, ServerAddressesGiveTheBareName) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {{"tcp/SRV01:1433", "SRV01"},
                 {"SRV01:1433", "SRV01"},
                 {"a/b/c:1", "b/c"},
                 {"SRV01", "SRV01"},
                 {"", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(LimpiaServidor(QString::fromUtf8(c.in)), QString::fromUtf8(c.out));
}

TEST_F(Startup, AStartOnTheDemoDatabaseSetsEverythingUp) {
    start(demoLine());
    DB_Dll& db = gDB();
    ASSERT_TRUE(db.gOpenFlag);
    EXPECT_TRUE(exits.empty());
    EXPECT_TRUE(db.gEsAdmin);
    EXPECT_EQ(gCaja, QStringLiteral("3"));
    EXPECT_EQ(gUsuarioLogeado, QStringLiteral("demo"));
    EXPECT_EQ(gPcUsuario,
              SuiteLib::machineInfo().ComputerName().toUpper() + QStringLiteral("|JUAN"));
    EXPECT_EQ(gCadenaODBC, QStringLiteral("DSN=GESTION; UID=demo; PWD="));
    EXPECT_EQ(gTimeOut, 360);
    EXPECT_EQ(db.gCnn.commandTimeout(), 360);
    EXPECT_EQ(db.gCnn.isolationLevel(), 256);
    EXPECT_TRUE(gDBEstadisticas().gOpenFlag);
    QString aux;
    EXPECT_EQ(CfgVL(QStringLiteral("TimeOut"), aux), QStringLiteral("0"))
        << "a missing row is created with 0";
    EXPECT_EQ(QFile(dir.filePath(QStringLiteral("consultas.vln"))).size(), 11 * 1202);
    EXPECT_EQ(gConsulta().gRutaMascaraConsultas,
              SuiteLib::tools().FolderPath(dir.path()) + QStringLiteral("consultas.vln"));
    EXPECT_TRUE(gConsulta().gUsarMascarasConsultas);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Usuario || '|' || Formulario || '|' || Tarea || '|' || "
                                    "NombreUsuario FROM Control_Acceso")),
              QStringLiteral("DEMO|CRONEQUIPO|CRONOGRAMA DE MANTENIMIENTOS|demo"));
    EXPECT_FALSE(gSSConfidencialidad);
    EXPECT_EQ(gTopDefault.trimmed().isEmpty(), false);
    EXPECT_TRUE(prompts->shown().empty());
    EXPECT_EQ(gArchivoAyuda, SuiteLib::tools().FolderPath(dir.path()) +
                                 QStringLiteral("htmlhelp\\cordavistel.chm"));

    // Started again while connected: no new connection, one more access row.
    start(QStringLiteral("@Server=otro;@Usuario=otro;"));
    EXPECT_EQ(gDB().gServidor, QStringLiteral("sqlite"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Control_Acceso")), QStringLiteral("2"));
}

TEST_F(Startup, TheStatisticsTimeOutAndAnExistingLookupFile) {
    makeDatabase(QStringLiteral("stats.tmp"), {});
    {
        ado::Connection c;
        c.open(QStringLiteral(
            "PROVIDER=SQLOLEDB;Server=sqlite;Database =VL_ESTADISTICAS;UId=x;Pwd=;"));
        c.execute(
            QStringLiteral("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES ('TIMEOUT', '45')"));
    }
    QFile vln(dir.filePath(QStringLiteral("consultas.vln")));
    ASSERT_TRUE(vln.open(QIODevice::WriteOnly));
    const QByteArray propio = QByteArray("propio").leftJustified(1200, ' ') + "\r\n";
    vln.write(propio);
    vln.close();
    start(demoLine());
    EXPECT_EQ(gTimeOut, 45);
    EXPECT_EQ(gDB().gCnn.commandTimeout(), 45);
    EXPECT_EQ(fileBytes(dir.filePath(QStringLiteral("consultas.vln"))), propio);
}

TEST_F(Startup, WithoutServerOrUserTheDialogDecidesAndACancelEndsTheProgram) {
    EXPECT_THROW(start(QString()), platform::process::ProgramEnded);
    EXPECT_EQ(exits, std::vector<int>{1});
    EXPECT_TRUE(prompts->shown().empty());
}

TEST_F(Startup, AnOracleServerGetsItsConnectionString) {
    prompts->answer(mb::No);
    QString cadena;
    EXPECT_THROW(
        IniciaSesion(false,
                     QStringLiteral("@Server=#ORCL;@DbName=VENTAS;@Usuario=scott;@Password=tiger;"),
                     cadena, 3),
        platform::process::ProgramEnded);
    EXPECT_EQ(cadena,
              QStringLiteral(
                  "Provider=OraOLEDB.Oracle.1;Data Source=VENTAS;User Id=scott;Password=tiger;"));
    EXPECT_EQ(gDB().gServidor, QStringLiteral("ORCL"));
    EXPECT_EQ(gDB().gConnString, cadena);
}

TEST_F(Startup, TheMachineSettingsFileStandsInForTheParameters) {
    const auto& t = SuiteLib::tools();
    const QString section =
        SuiteLib::machineInfo().ComputerName().toUpper() + QStringLiteral("|JUANBaseDeDatos");
    const QString ini = dir.filePath(QStringLiteral("KV300mn.INI"));
    platform::writeIniKey(ini, section, QStringLiteral("Servidor"), QStringLiteral("sqlite"));
    platform::writeIniKey(ini, section, QStringLiteral("DbName"), QStringLiteral("GESTION"));
    platform::writeIniKey(ini, section, QStringLiteral("Usuario"),
                          t.EncodeStored(QStringLiteral("ope|rador")));
    platform::writeIniKey(
        ini, SuiteLib::machineInfo().ComputerName().toUpper() + QStringLiteral("|JUAN"),
        QStringLiteral("FlatToolbars"), QStringLiteral("0"));
    platform::process::setCommandLine(QString());
    QString cadena;
    IniciaSesion(true, QString(), cadena, 3);
    platform::process::setCommandLine(QString());
    EXPECT_TRUE(gDB().gOpenFlag);
    EXPECT_EQ(gDB().gUsuario, QStringLiteral("operador"));
    EXPECT_EQ(gDB().gUserPassWord, QStringLiteral("tarsemo"));
    EXPECT_FALSE(gDB().gEsAdmin);
    EXPECT_EQ(gFlatToolbars, 0);
}

TEST_F(Startup, ALongComputerAndUserKeyIsCutToFifty) {
    qputenv("USERNAME", QByteArray(60, 'u'));
    start(demoLine());
    EXPECT_EQ(gPcUsuario.size(), 50);
}

TEST_F(Startup, ConfigurationValues) {
    start(demoLine());
    QString aux = QStringLiteral("sin tocar");
    EXPECT_EQ(Cfg(QStringLiteral("NO_EXISTE"), aux), QStringLiteral(" "));
    EXPECT_EQ(aux, QString());
    gDB().gCnn.execute(QStringLiteral(
        "INSERT INTO ta_configuracion (CLAVE, VALOR, ValorAux) VALUES ('NULO', NULL, 'a')"));
    EXPECT_EQ(Cfg(QStringLiteral(" nulo "), aux), QString());
    EXPECT_EQ(aux, QStringLiteral("a"));
    gDB().gCnn.execute(QStringLiteral("DELETE FROM ta_configuracion WHERE CLAVE = 'THEME'"));
    EXPECT_EQ(Cfg(QStringLiteral("theme"), aux), QStringLiteral("1"));
    EXPECT_TRUE(prompts->shown().empty());

    GrabaCfgVL(QStringLiteral(" clave nueva "), Variant(QStringLiteral(" 12 ")),
               QStringLiteral(" x "), true, QStringLiteral("G"), true);
    EXPECT_EQ(CfgVL(QStringLiteral("CLAVE NUEVA"), aux), QStringLiteral("12"));
    EXPECT_EQ(aux, QStringLiteral("x"));
    GrabaCfgVL(QStringLiteral("CLAVE NUEVA"), Variant(QStringLiteral("13")), QString(), false,
               QStringLiteral("G"), false);
    EXPECT_EQ(CfgVL(QStringLiteral("clave nueva"), aux), QStringLiteral("13"));
    EXPECT_EQ(aux, QStringLiteral("x")) << "an empty auxiliary leaves the column as it was";

    gDB().gCnn.execute(QStringLiteral(
        "UPDATE ta_configuracion SET VALOR = 'SI' WHERE CLAVE = 'SS_CONFIDENCIALIDAD'"));
    gDB().gCnn.execute(QStringLiteral("DELETE FROM ta_usuarios WHERE Nombre = 'demo'"));
    gDB().gCnn.execute(
        QStringLiteral("UPDATE ta_configuracion SET VALOR = '' WHERE CLAVE = 'Top_Default'"));
    gDB().gCnn.execute(
        QStringLiteral("DELETE FROM ta_configuracion WHERE CLAVE IN "
                       "('RazonSocialPorUneg', 'VALIDACODIGOBARRA')"));
    gDB().gCnn.execute(QStringLiteral(
        "INSERT INTO ta_configuracion (CLAVE, VALOR) VALUES ('RazonSocialPorUneg', ' si '), "
        "('VALIDACODIGOBARRA', 'Si')"));
    gRazonSocialPorUneg = gValidaCodigoBarra = false;
    CargaConfiguracion(dir.path() + QLatin1Char('/'));
    EXPECT_TRUE(gRazonSocialPorUneg) << "flags are compared without regard to case";
    EXPECT_TRUE(gValidaCodigoBarra);
    EXPECT_TRUE(gSSConfidencialidad);
    EXPECT_EQ(gUNegocio, QStringLiteral("   1"));
    EXPECT_EQ(gTopDefault, QStringLiteral("1000"));
    EXPECT_EQ(gArchivoDocTareas, dir.path() + QStringLiteral("/VLDOCTareas.vln"));
    gSSConfidencialidad = false;

    gDB().gCnn.close();
    gDB().gOpenFlag = false;
    EXPECT_EQ(Cfg(QStringLiteral("NOMBRE"), aux), QString()) << "closed: empty, no message";
    EXPECT_TRUE(prompts->shown().empty());
}

TEST_F(Startup, AFailingSettingIsReportedUnderItsRoutine) {
    start(demoLine());
    qputenv("TEMP", dir.path().toUtf8());
    gTablaConfiguracion = QStringLiteral("NoExiste");
    prompts->answer(mb::Abort);   // the data layer's own prompt for the failed query
    prompts->answer(mb::Ignore);  // the query left closed: its reading fails and is reported
    prompts->answer(mb::Abort);
    QString aux;
    EXPECT_EQ(Cfg(QStringLiteral("NOMBRE"), aux), QString());
    qunsetenv("TEMP");
    ASSERT_GE(prompts->shown().size(), 2u);
    EXPECT_TRUE(
        prompts->shown()[1].title.endsWith(QStringLiteral(" - Cfg Aviso al operador!!! - 2 ")));
    EXPECT_TRUE(fileBytes(dir.filePath(QStringLiteral("VLERR.LOG")))
                    .contains(" Rutina: - Cfg Mensaje Ha ocurrido el Siguiente Error ("));
}

TEST_F(Startup, TheGlobalErrorPromptAndItsLog) {
    qunsetenv("TEMP");
    qputenv("TMP", dir.path().toUtf8());
    prompts->answer(mb::Ignore);
    EXPECT_EQ(ReportaError(platform::ErrorInfo{-5, QStringLiteral(" Descripción "),
                                               QStringLiteral("Fuente")},
                           std::nullopt, QStringLiteral("Cfg")),
              mb::Ignore);
    EXPECT_EQ(prompts->last().text,
              QStringLiteral("Ha ocurrido el Siguiente Error (-5) Descripción"));
    EXPECT_EQ(prompts->last().title, QStringLiteral("Fuente - Cfg Aviso al operador!!! - 2 "));
    EXPECT_EQ(prompts->last().style, 18);
    const QByteArray log = fileBytes(dir.filePath(QStringLiteral("VLERR.LOG")));
    EXPECT_TRUE(
        log.endsWith(" Rutina: - Cfg Mensaje Ha ocurrido el Siguiente Error (-5) Descripci\xF3n "
                     "Respondi\xF3 : Ignorar\r\n"));

    prompts->answer(mb::Retry);
    ReportaError(platform::ErrorInfo{7, QStringLiteral("x"), QStringLiteral("F")});
    EXPECT_EQ(prompts->last().title, QStringLiteral("F Aviso al operador!!! - 2 "));
    EXPECT_TRUE(
        fileBytes(dir.filePath(QStringLiteral("VLERR.LOG"))).contains(" Rutina:  Mensaje "));

    QFile::remove(dir.filePath(QStringLiteral("VLERR.LOG")));
    const std::size_t before = prompts->shown().size();
    EXPECT_EQ(ReportaError(platform::ErrorInfo{0, QStringLiteral("nada"), {}}), 0);
    EXPECT_EQ(prompts->shown().size(), before);
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("VLERR.LOG"))));
    EXPECT_EQ(QFile(dir.filePath(QStringLiteral("VLERR.LOG"))).size(), 0);
    qunsetenv("TMP");
}

TEST_F(Startup, AnErrorLogLineIsAppendedWholeOrNotAtAll) {
    qunsetenv("TEMP");
    qputenv("TMP", dir.path().toUtf8());
    const QString log = dir.filePath(QStringLiteral("VLERR.LOG"));
    prompts->answer(mb::Ignore);
    ReportaError(platform::ErrorInfo{-5, QStringLiteral("primera"), QStringLiteral("F")});
    const QByteArray entera = fileBytes(log);
    ASSERT_TRUE(entera.endsWith("\r\n"));
    // A disk that fills in the middle of the next line: the answer still counts, the log keeps
    // what it had.
    platform::escritura::fallaTras(25);
    prompts->answer(mb::Ignore);
    EXPECT_EQ(ReportaError(platform::ErrorInfo{-6, QStringLiteral("segunda"), QStringLiteral("F")}),
              mb::Ignore);
    platform::escritura::fallaTras(-1);
    EXPECT_EQ(fileBytes(log), entera);
    // With room again the next line starts a line of its own.
    ReportaError(platform::ErrorInfo{-7, QStringLiteral("tercera"), QStringLiteral("F")});
    const QList<QByteArray> lineas = fileBytes(log).split('\n');
    ASSERT_EQ(lineas.size(), 3);  // two lines and what follows the last line end
    EXPECT_TRUE(lineas[1].contains("(-7) tercera")) << lineas[1].toStdString();
    EXPECT_EQ(lineas[1].count("Rutina:"), 1) << "no line glued to another";
    qunsetenv("TMP");
}

TEST_F(Startup, AScriptStoppedByAnythingIsAFailureAndChangesNothing) {
    connect();
    bool fallo = false;
    qint32 numero = 0;
    QString ejecutado, mensaje;
    // Not a failure of the database: an allocation refused at the script's statement, after its
    // transaction began.
    ado::SqliteEngine::failCallFromNow(2, ado::SqliteEngine::Injected::Memory);
    GActualizarDatoScript(
        {QStringLiteral("INSERT INTO V_TA_Cajas (IdCajas, Descripcion) VALUES ('  77', 'Nueva')")},
        fallo, numero, false, false, ejecutado, mensaje, false);
    ado::SqliteEngine::failCallFromNow(0);
    EXPECT_TRUE(fallo) << "a script that did not run is never reported as done";
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM V_TA_Cajas WHERE IdCajas = '  77'")),
              QStringLiteral("0"));
}

TEST(SqlTexto, DateFormats) {
    const QDateTime when(QDate(2021, 3, 5), QTime(14, 7, 9));
    EXPECT_EQ(Formato(when, FormatoFechaHora()), QStringLiteral("05/03/21 14:07"));
    EXPECT_EQ(Formato(when, FormatoFecha()), QStringLiteral("05/03/21"));
    EXPECT_EQ(Formato(when, FormatoHora()), QStringLiteral("14:07"));
    platform::Regional r;
    r.dateSeparator = QLatin1Char('-');
    r.timeSeparator = QLatin1Char('.');
    platform::Regional::setCurrent(r);
    EXPECT_EQ(Formato(when, FormatoFechaHora()), QStringLiteral("05-03-21 14.07"));
    platform::Regional::setCurrent(platform::Regional{});
}

TEST(SqlTexto, FieldListsBuildStatements) {
    QString v1 = QStringLiteral("PC01"), v2 = QStringLiteral("O'Brien"),
            v3 = QStringLiteral("null"), v4 = QStringLiteral("12,5");
    AgregaCampo(QStringLiteral("Maquina"), v1, QStringLiteral("'"), true);
    AgregaCampo(QStringLiteral("Usuario"), v2, QStringLiteral("'"), false);
    AgregaCampo(QStringLiteral("Nota"), v3, QStringLiteral("'"), false);
    AgregaCampo(QStringLiteral("Importe"), v4, QStringLiteral("@"), false);
    EXPECT_EQ(v2, QStringLiteral("OBrien"));
    QStringList sentencias;
    QString where;
    ArmaSentencia(gCampos, sentencias, QStringLiteral("Control_Acceso"), false, where, true);
    EXPECT_EQ(sentencias, (QStringList{"INSERT INTO Control_Acceso (Maquina,Usuario,Nota,Importe) "
                                       "VALUES ('PC01','OBrien',Null,12.5)",
                                       ""}));
    where = QStringLiteral("ID = 5");
    ArmaSentencia(gCampos, sentencias, QStringLiteral("T"), true, where, false);
    EXPECT_EQ(sentencias[2], QStringLiteral("UPDATE T SET Maquina = 'PC01',Usuario = 'OBrien',Nota "
                                            "= Null,Importe = 12.5  WHERE ID = 5"));
    EXPECT_EQ(where, QStringLiteral(" WHERE ID = 5"));
    EXPECT_EQ(gCampos.size(), 1u);
    EXPECT_TRUE(gCampos[0].campo.isEmpty());
}

TEST_F(Startup, ScriptsRunAsOneTransaction) {
    connect();
    bool fallo = true;
    qint32 numero = -1;
    QString ejecutado = QStringLiteral("previo"), mensaje = QStringLiteral("previo");
    GActualizarDatoScript({QString(), QStringLiteral("  ")}, fallo, numero, false, false, ejecutado,
                          mensaje, true);
    EXPECT_FALSE(fallo);
    EXPECT_EQ(numero, -1);
    EXPECT_EQ(ejecutado, QStringLiteral("previo"));

    GActualizarDatoScript(
        {QStringLiteral("INSERT INTO V_TA_Cajas (IdCajas, Descripcion) VALUES ('   9', 'Nueva')"),
         QString()},
        fallo, numero, false, false, ejecutado, mensaje, true);
    EXPECT_FALSE(fallo);
    EXPECT_EQ(numero, 0);
    EXPECT_EQ(ejecutado, QStringLiteral("BEGIN TRANSACTION \r\r\rINSERT INTO V_TA_Cajas (IdCajas, "
                                        "Descripcion) VALUES ('   9', 'Nueva')\r"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM V_TA_Cajas WHERE IdCajas = '   9'")),
              QStringLiteral("1"));

    // The second statement fails: the first one is rolled back, the failure stored and shown.
    const QStringList script = {
        QStringLiteral("INSERT INTO V_TA_Cajas (IdCajas, Descripcion) VALUES ('  10', 'Diez')"),
        QStringLiteral(
            "INSERT INTO V_TA_Cajas (IdCajas, Descripcion) VALUES ('   9', 'Repetida')")};
    GActualizarDatoScript(script, fallo, numero, false, false, ejecutado, mensaje, true);
    EXPECT_TRUE(fallo);
    EXPECT_EQ(numero, 2627);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM V_TA_Cajas WHERE IdCajas = '  10'")),
              QStringLiteral("0"));
    ASSERT_EQ(prompts->shown().size(), 1u);
    EXPECT_EQ(prompts->last().title, QStringLiteral("Aviso al Operador!"));
    EXPECT_EQ(prompts->last().style, mb::Critical);
    EXPECT_TRUE(prompts->last().text.startsWith(QStringLiteral("2627 : ")));
    EXPECT_EQ(prompts->last().text.count(QStringLiteral("\r\n")), 1)
        << "two records: all but the last are reported";
    EXPECT_EQ(
        scalar(QStringLiteral("SELECT Proceso || '|' || Error || '|' || Usuario FROM AUX_ERR")),
        QStringLiteral("Cronequipo|2627|demo"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT SQL FROM AUX_ERR")), ejecutado);
    EXPECT_EQ(gDB().gCnn.errors().count(), 0);

    GActualizarDatoScript(script, fallo, numero, true, false, ejecutado, mensaje, true);
    EXPECT_TRUE(fallo);
    EXPECT_EQ(prompts->shown().size(), 1u) << "a tolerated duplicate is not shown";
    EXPECT_FALSE(mensaje.startsWith(QStringLiteral("2627")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM AUX_ERR")), QStringLiteral("2"));
}

TEST_F(Startup, FailedScriptRowsKeepTheFirst250Characters) {
    connect();
    QString proceso;
    RegistraErrorSQL(QStringLiteral("SELECT 1"), proceso, 547, QString(300, QLatin1Char('x')));
    EXPECT_EQ(proceso, QStringLiteral("Cronequipo"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT LEN(Descripcion) FROM AUX_ERR")),
              QStringLiteral("250"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT PC FROM AUX_ERR")),
              SuiteLib::machineInfo().ComputerName());
}

TEST_F(Startup, AnErrorRowWithTextsLongerThanItsColumnsIsWrittenCut) {
    connect();
    const QString usuario = QStringLiteral("Núñez").repeated(2000);
    gDB().gUsuario = usuario;
    QString proceso = QString(300, QLatin1Char('p'));
    const QString script =
        QStringLiteral("INSERT INTO X VALUES ('") + usuario + QStringLiteral("')");
    RegistraErrorSQL(script, proceso, 8152, QStringLiteral("Los datos se truncarían."));
    EXPECT_EQ(proceso.size(), 300) << "the caller's name stays whole";
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM AUX_ERR")), QStringLiteral("1"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Usuario FROM AUX_ERR")), usuario.left(50));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Proceso FROM AUX_ERR")), proceso.left(50));
    EXPECT_EQ(scalar(QStringLiteral("SELECT SQL FROM AUX_ERR")), script)
        << "a text column is whole";
    EXPECT_EQ(scalar(QStringLiteral("SELECT Error FROM AUX_ERR")), QStringLiteral("8152"));
}

// Every call of the engine that runs statements is made to fail in turn, once per start.
TEST_F(Startup, AFailureAtAnyStatementOfTheStartIsReportedOrEndsTheProgram) {
    connect();
    auto accesos = [&] {
        return scalar(QStringLiteral("SELECT COUNT(*) FROM Control_Acceso")).toInt();
    };
    ado::SqliteEngine::failCallFromNow(0);
    resetSharedDB();
    start(demoLine());
    const int llamadas = ado::SqliteEngine::callsCounted();
    ASSERT_GT(llamadas, 3);
    int terminados = 0;
    for (int n = 1; n <= llamadas; ++n) {
        SCOPED_TRACE(testing::Message() << "call " << n << " of " << llamadas);
        resetSharedDB();
        resetEstadisticas();
        connect();
        const int antes = accesos();
        prompts->reset();
        for (int k = 0; k < 20; ++k) prompts->answer(mb::Abort);
        exits.clear();
        ado::SqliteEngine::failCallFromNow(n);
        try {
            start(demoLine());
        } catch (const platform::process::ProgramEnded&) {
            ++terminados;  // the program ends, as its conventions say for this step
        } catch (...) {
            ADD_FAILURE() << "a failure escaped the start";
        }
        ado::SqliteEngine::failCallFromNow(0);
        resetSharedDB();
        connect();
        EXPECT_LE(accesos() - antes, 1) << "at most the one access row of this start";
        EXPECT_GE(accesos(), antes);
        EXPECT_EQ(scalar(QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
    }
    std::printf("%d calls of the start made to fail: %d ended the program\n", llamadas, terminados);
}

TEST_F(Startup, AccessRowsAndTheirTasks) {
    struct Case {
        const char* user;
        const char* tarea;
    } cases[] = {{"lfernandez", ""},
                 {"GESTION", "CRONEQUIPO"},
                 {"operador", "CRONOGRAMA DE MANTENIMIENTOS"}};
    for (const auto& c : cases) {
        resetSharedDB();
        connect(QString::fromUtf8(c.user));
        gDB().gCnn.execute(QStringLiteral("DELETE FROM Control_Acceso"));
        RegistraAcceso(QString());
        EXPECT_EQ(scalar(QStringLiteral("SELECT Tarea FROM Control_Acceso")),
                  QString::fromUtf8(c.tarea))
            << c.user;
    }
    // A quote in the name is part of the name: the rights are found, the log row keeps the
    // suite's form without quotes.
    gDB().gCnn.execute(
        QStringLiteral("INSERT INTO TA_TAREAS (USUARIO, TAREA) VALUES "
                       "('o''neil', '0103'), ('x'' OR ''1''=''1', '0101')"));
    for (const char* user : {"o'neil", "nobody' OR '1'='1"}) {
        gDB().gUsuario = QString::fromUtf8(user);
        gDB().gCnn.execute(QStringLiteral("DELETE FROM Control_Acceso"));
        RegistraAcceso(QString());
        const bool oneil = *user == 'o';
        EXPECT_EQ(scalar(QStringLiteral("SELECT Tarea FROM Control_Acceso")),
                  oneil ? QStringLiteral("CRONOGRAMA DE MANTENIMIENTOS") : QString())
            << user;
        if (oneil) {
            EXPECT_EQ(gUsuarioLogeado, QStringLiteral("oneil"));
            EXPECT_EQ(scalar(QStringLiteral(
                          "SELECT Usuario || '|' || NombreUsuario FROM Control_Acceso")),
                      QStringLiteral("ONEIL|oneil"));
        }
    }
    EXPECT_TRUE(prompts->shown().empty()) << prompts->last().text.toStdString();
}

TEST_F(Startup, AStoredTimeOutOutOfRangeIsLeftAsItIs) {
    {
        ado::Connection c;
        c.open(QStringLiteral(
            "PROVIDER=SQLOLEDB;Server=sqlite;Database =VL_ESTADISTICAS;UId=x;Pwd=;"));
        c.execute(QStringLiteral(
            "INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES ('TIMEOUT', '40000')"));
    }
    start(demoLine());
    EXPECT_EQ(gTimeOut, 360);
    QString aux;
    EXPECT_EQ(CfgVL(QStringLiteral("TimeOut"), aux), QStringLiteral("40000"));
}

TEST_F(Startup, AQuickLookupFileThatCannotBeWrittenIsSkipped) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("consultas.vln")));
    start(demoLine());
    EXPECT_TRUE(exits.empty());
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Control_Acceso")), QStringLiteral("1"))
        << "the access row is still written";
    EXPECT_FALSE(gTopDefault.trimmed().isEmpty()) << "the configuration is still loaded";
}

// The settings file and the quick lookups, each what is not a regular file or is too large: the
// start goes to its end at once, with the defaults and without the quick lookups, saying nothing.
TEST_F(Startup, SettingsOrQuickLookupsThatCannotBeReadNeverStopTheStart) {
    for (const char* archivo : {"KV300mn.INI", "consultas.vln"}) {
        for (const auto& caso : hostiles::ilegibles(platform::limite::kAjustes)) {
            const QString ruta = dir.filePath(QString::fromUtf8(archivo));
            ASSERT_TRUE(caso.pon(ruta)) << caso.nombre;
            const QString antes = hostiles::claseDe(ruta);
            resetSharedDB();
            {
                hostiles::Vigia vigia(dir.path());
                start(demoLine());
                EXPECT_FALSE(vigia.termina()) << archivo << " a " << caso.nombre;
            }
            EXPECT_TRUE(gDB().gOpenFlag) << archivo << " a " << caso.nombre;
            EXPECT_TRUE(exits.empty()) << archivo << " a " << caso.nombre;
            EXPECT_TRUE(prompts->shown().empty()) << archivo << " a " << caso.nombre;
            EXPECT_EQ(gFlatToolbars, 1) << archivo << " a " << caso.nombre;
            EXPECT_EQ(hostiles::claseDe(ruta), antes) << archivo << " a " << caso.nombre;
            hostiles::quita(ruta);
        }
    }
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Control_Acceso")), QStringLiteral("10"))
        << "every start wrote its access row";
}

// A settings file that is there but cannot be read is not a missing one: the start goes on with
// the defaults, and the error log says which file and why, once however often it is read.
TEST_F(Startup, ASettingsFileThatCannotBeReadIsToldInTheErrorLogOnce) {
    qputenv("TEMP", dir.path().toUtf8());
    const QString log = dir.filePath(QStringLiteral("VLERR.LOG"));
    const QString ini = dir.filePath(QStringLiteral("KV300mn.INI"));
    auto lineasDelIni = [&] {
        QStringList lineas;
        for (const QString& l :
             platform::cp1252::decode(fileBytes(log)).split(QStringLiteral("\r\n")))
            if (l.contains(QStringLiteral("KV300mn.INI"))) lineas << l;
        return lineas;
    };
    for (const auto& caso : hostiles::ilegibles(platform::limite::kAjustes)) {
        ASSERT_TRUE(caso.pon(ini)) << caso.nombre;
        QFile::remove(log);
        for (int vez = 0; vez < 2; ++vez) {
            resetSharedDB();
            hostiles::Vigia vigia(dir.path());
            start(demoLine());
            EXPECT_FALSE(vigia.termina()) << caso.nombre;
            EXPECT_EQ(gFlatToolbars, 1) << caso.nombre;
        }
        const QStringList lineas = lineasDelIni();
        ASSERT_EQ(lineas.size(), 1) << caso.nombre << "\n" << lineas.join('\n').toStdString();
        EXPECT_TRUE(lineas[0].contains(QStringLiteral(" Rutina: - LeeIni Mensaje «") + ini +
                                       QStringLiteral("» ") + caso.causa +
                                       QStringLiteral("; se usan los valores por defecto")))
            << caso.nombre << ": " << lineas[0].toStdString();
        EXPECT_TRUE(prompts->shown().empty()) << caso.nombre;
        hostiles::quita(ini);
    }
    // A missing one is no failure: nothing is told.
    QFile::remove(log);
    start(demoLine());
    EXPECT_TRUE(lineasDelIni().isEmpty());
    qunsetenv("TEMP");
}

// Both error logs, each what is not a regular file: the answer comes back at once and the log
// stays what it was.
TEST_F(Startup, AnErrorLogThatIsNotARegularFileLosesItsLineButNeverBlocks) {
    qputenv("TEMP", dir.path().toUtf8());
    const QString log = dir.filePath(QStringLiteral("VLERR.LOG"));
    const platform::ErrorInfo error{5, QStringLiteral("x"), QStringLiteral("F")};
    for (const auto& caso : hostiles::noComunes()) {
        ASSERT_TRUE(caso.pon(log)) << caso.nombre;
        const QString antes = hostiles::claseDe(log);
        hostiles::Vigia vigia(dir.path());
        prompts->answer(mb::Ignore);
        EXPECT_EQ(ReportaError(error, std::nullopt, QStringLiteral("Cfg")), mb::Ignore)
            << caso.nombre;
        prompts->answer(mb::Retry);
        EXPECT_EQ(gDB().TratamientoErrores(error, std::nullopt, QStringLiteral("Abrir")), mb::Retry)
            << caso.nombre;
        EXPECT_FALSE(vigia.termina()) << caso.nombre;
        EXPECT_EQ(hostiles::claseDe(log), antes) << caso.nombre;
    }
    qunsetenv("TEMP");
}

TEST_F(Startup, ExisteArchivoIsFalseForWhatCannotBeOpenedForReading) {
    const QString ruta = dir.filePath(QStringLiteral("x.txt"));
    for (const auto& caso : hostiles::noComunes()) {
        ASSERT_TRUE(caso.pon(ruta)) << caso.nombre;
        hostiles::Vigia vigia(dir.path());
        EXPECT_FALSE(ExisteArchivo(ruta)) << caso.nombre;
        EXPECT_FALSE(vigia.termina()) << caso.nombre;
    }
}

TEST_F(Startup, TheQuickLookupFileGetsElevenRecords) {
    gConsulta().gRutaMascaraConsultas = dir.filePath(QStringLiteral("consultas.vln"));
    CreaConsultasRapidas();
    const QByteArray all = fileBytes(gConsulta().gRutaMascaraConsultas);
    ASSERT_EQ(all.size(), 11 * 1202);
    const QByteArray ninth = all.mid(8 * 1202, 1202);
    EXPECT_TRUE(ninth.startsWith("TAREAS "));
    EXPECT_EQ(ninth.mid(100, 13), QByteArray("V_TA_Tareas  "));
    EXPECT_TRUE(ninth.mid(200, 500).startsWith("|Descripcion|IdTarea| "));
    EXPECT_EQ(ninth.mid(700, 500), QByteArray(500, ' '));
    EXPECT_EQ(ninth.right(2), QByteArray("\r\n"));
    CreaConsultasRapidas();
    EXPECT_EQ(QFile(gConsulta().gRutaMascaraConsultas).size(), 22 * 1202)
        << "appended after the records there";

    // A file cut short (a full disk, a killed run) is as good as missing: made again whole.
    QFile cut(gConsulta().gRutaMascaraConsultas);
    ASSERT_TRUE(cut.resize(1202 + 500));
    CreaConsultasRapidas();
    EXPECT_EQ(fileBytes(gConsulta().gRutaMascaraConsultas), all);
}

TEST_F(Startup, AQuickLookupFileIsWrittenWholeOrNotAtAllAndAnEmptyOrCutOneIsMadeAgain) {
    const QString ruta = dir.filePath(QStringLiteral("consultas.vln"));
    gConsulta().gRutaMascaraConsultas = ruta;
    // A disk that fills after a few records: nothing of the new file stays.
    for (const qint64 cabe : {qint64(0), qint64(1202 * 3 + 17), qint64(11 * 1202 - 1)}) {
        SCOPED_TRACE(cabe);
        QFile::remove(ruta);
        platform::escritura::fallaTras(cabe);
        EXPECT_NE(failureNumber([] { CreaConsultasRapidas(); }), 0) << "the failure is told";
        platform::escritura::fallaTras(-1);
        EXPECT_FALSE(QFile::exists(ruta));
        EXPECT_TRUE(QDir(dir.path())
                        .entryList({QStringLiteral(".consultas.vln.*")}, QDir::Files | QDir::Hidden)
                        .isEmpty());
    }
    // Empty or cut, the start makes it again; whole, it is left alone.
    const struct {
        const char* que;
        QByteArray contenido;
        bool seHace;
    } casos[] = {{"empty", QByteArray(), true},
                 {"cut", QByteArray(3 * 1202 + 5, 'x'), true},
                 {"whole records", QByteArray(2 * 1202, 'y'), false}};
    for (const auto& c : casos) {
        QFile f(ruta);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.contenido);
        f.close();
        EXPECT_EQ(FaltanConsultasRapidas(ruta), c.seHace) << c.que;
    }
    QFile::remove(ruta);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("consultas.vln")));
    EXPECT_FALSE(FaltanConsultasRapidas(ruta)) << "a folder in its place is never replaced";
}

TEST_F(Startup, OtherProgramsStartWithTheParameterString) {
    connect();
    gUsuarioLogeado = QStringLiteral("demo");
    gCaja = QStringLiteral("2");
    std::vector<QString> lines;
    platform::process::setProgramStarter([&](const QString& l) {
        lines.push_back(l);
        return qint64(4711);
    });
    const QString folder = SuiteLib::tools().FolderPath(dir.path());
    const QString params = QStringLiteral(
        " ; @server=sqlite; @dbname=GESTION; @usuario=demo; @Password=; @ParametroAdicional=%1; "
        "brun@ ; "
        "@UsuarioLogeado = demo; @Caja=2;");
    struct Case {
        const char* program;
        const char* extra;
        QString line;
    } cases[] = {
        {"SHELL:Articulos", "V_TA_RUBROS",
         folder + QStringLiteral("Articulos") + params.arg(QStringLiteral("V_TA_RUBROS"))},
        {"SHELL:Articulos", "uno dos tres",
         folder + QStringLiteral("Articulos") + params.arg(QStringLiteral("dos tres"))},
        {"Clientes", "", folder + QStringLiteral("Clientes") + params.arg(QString())},
        {"XXXXXXC:\\Prog\\Otro.exe", "",
         QStringLiteral("C:\\Prog\\Otro.exe") + params.arg(QString())},
    };
    for (const auto& c : cases) {
        QString extra = QString::fromUtf8(c.extra);
        qint64 tarea = 0;
        MenuExes(QString::fromUtf8(c.program), extra, tarea);
        EXPECT_EQ(tarea, 4711);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), c.line) << c.program;
    }
    EXPECT_TRUE(prompts->shown().empty());

    // Read back by the start-up of the other program, every value is there.
    const QString line = lines.front();
    EXPECT_EQ(ValorParametro(line, QStringLiteral("@Usuario"), {}, false), QStringLiteral("demo"));
    EXPECT_EQ(ValorParametro(line, QStringLiteral("@Caja"), {}, false), QStringLiteral("2"));
    EXPECT_EQ(ValorParametro(line, QStringLiteral("@ParametroAdicional"), {}, true),
              QStringLiteral("V_TA_RUBROS"));

    platform::process::setProgramStarter([](const QString&) { return qint64(0); });
    prompts->answer(mb::Ignore);
    QString extra;
    qint64 tarea = -1;
    MenuExes(QStringLiteral("SHELL:NoExiste"), extra, tarea);
    EXPECT_EQ(tarea, 0);
    ASSERT_EQ(prompts->shown().size(), 2u);
    EXPECT_TRUE(prompts->shown()[0].title.endsWith(
        QStringLiteral(" - MenuExes Aviso al operador!!! - 2 ")));
    EXPECT_EQ(prompts->last().text,
              QStringLiteral("Opcion no Implementada!\rComuniquese con su proveedor de sistemas"));
    EXPECT_EQ(prompts->last().title, QStringLiteral("Atención"));
}

TEST_F(Startup, SmallHelpers) {
    connect();
    EXPECT_EQ(AdaptaSQL(QStringLiteral("Select TOP 1 * from Control_Acceso  with(nolock) ")),
              QStringLiteral("Select TOP 1 * from Control_Acceso  with(nolock) "));
    QFile f(dir.filePath(QStringLiteral("a b.txt")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_TRUE(ExisteArchivo(QLatin1Char('"') + dir.filePath(QStringLiteral("a b.txt")) +
                              QLatin1Char('"')));
    EXPECT_FALSE(ExisteArchivo(dir.filePath(QStringLiteral("no.txt"))));
}

}  // namespace
