#include <QDir>
#include <QFile>

#include "ado/core/Error.h"
#include "data/db_dll/DB_Dll.h"
#include "tests/support/PostgresServer.h"
#include "tests/support/ProgramFolder.h"

using platform::Variant;
using platform::mb::Abort;
using platform::mb::Ignore;
using platform::mb::No;
using platform::mb::Retry;
using platform::mb::Yes;

namespace {

using DbDll = ProgramFolder;

TEST(DbDllConnString, BuiltFromTheConnectionFields) {
    struct Case {
        const char* servidor;
        const char* extended;
        const char* expected;
    } cases[] = {
        {"SRV1", "", "PROVIDER=SQLOLEDB;Server=SRV1;Database =GESTION;UId=sa;Pwd=;"},
        {"SRV1\\INST", "Connect Timeout=5;",
         "PROVIDER=SQLOLEDB;Server=SRV1\\INST;Database =GESTION;UId=sa;Pwd=;Connect Timeout=5;"},
        {"ORCL#", "Connect Timeout=5;",
         "Provider=OraOLEDB.Oracle.1;Data Source=GESTION;User Id=sa;Password=;"},
    };
    for (const auto& c : cases) {
        DB_Dll db;
        db.gServidor = QString::fromUtf8(c.servidor);
        db.gDBName = QStringLiteral("GESTION");
        db.gUsuario = QStringLiteral("sa");
        db.gExtended = QString::fromUtf8(c.extended);
        db.gProveedor = QStringLiteral("OraOLEDB.Oracle.1");  // never changes the SQL Server form
        db.ArmaConnString();
        EXPECT_EQ(db.gConnString, QString::fromUtf8(c.expected)) << c.servidor;
    }
}

TEST_F(DbDll, TheAdministratorFlagComesFromTheUserTable) {
    struct Case {
        const char* user;
        bool admin;
    } cases[] = {{"demo", true}, {"operador", false}, {"nadie", false}, {" DEMO ", true}};
    for (const auto& c : cases) {
        resetSharedDB();
        connect(QString::fromUtf8(c.user));
        EXPECT_EQ(gDB().gEsAdmin, c.admin) << c.user;
        EXPECT_EQ(gDB().gProveedor, QStringLiteral("SQLOLEDB"));
        EXPECT_EQ(gDB().gConnString,
                  QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database =GESTION;UId=%1;Pwd=;")
                      .arg(QString::fromUtf8(c.user)));
    }
    EXPECT_TRUE(prompts->shown().empty());
}

TEST_F(DbDll, WithoutAdministratorCheckOrWithoutUserTable) {
    DB_Dll& db = gDB();
    db.gServidor = QStringLiteral("sqlite");
    db.gDBName = QStringLiteral("GESTION");
    db.gUsuario = QStringLiteral("operador");
    db.OpenServerADODB(false, 3, QString(), false, true);
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_TRUE(db.gEsAdmin) << "no check asked: administrator";

    resetSharedDB();
    connect(QStringLiteral("operador"));
    gDB().gCnn.close();
    gDB().OpenServerADODB(false, 3, QString(), true, false);
    EXPECT_TRUE(gDB().gEsAdmin) << "errors not shown: administrator without reading the table";

    resetSharedDB();
    makeDatabase(QStringLiteral("VACIA.db"), {});
    DB_Dll& vacia = gDB();
    vacia.gServidor = QStringLiteral("sqlite");
    vacia.gDBName = QStringLiteral("VACIA");
    vacia.gUsuario = QStringLiteral("demo");
    vacia.OpenServerADODB(false, 3, QString(), true, true);
    EXPECT_TRUE(vacia.gOpenFlag);
    EXPECT_FALSE(vacia.gEsAdmin) << "no user table: the flag keeps its value";
}

TEST_F(DbDll, AMissingDatabaseAsksWhetherToTryAgain) {
    DB_Dll& db = gDB();
    db.gServidor = QStringLiteral("sqlite");
    db.gDBName = QStringLiteral("NOEXISTE");
    db.gUsuario = QStringLiteral("demo");
    prompts->answer(No);
    db.OpenServerADODB(false, 3, QString(), true, true);
    EXPECT_FALSE(db.gOpenFlag);
    ASSERT_EQ(prompts->shown().size(), 1u);
    const auto& shown = prompts->last();
    EXPECT_EQ(shown.title, QStringLiteral(" Error de Conexion a Base de Datos"));
    EXPECT_EQ(shown.style, platform::mb::YesNo | platform::mb::Critical);
    EXPECT_TRUE(shown.text.startsWith(
        QStringLiteral(" Estado de Sql: 42000\rNumero de Error: -2147467259\rDescripcion: ")));
    EXPECT_TRUE(shown.text.contains(
        QStringLiteral("\rCodigo Nativo: 4060\r\r\nNombre de Proceso: Cronequipo\r\r\n\r\n")));
    EXPECT_TRUE(
        shown.text.contains(QStringLiteral("por ejemplo : sqlite\\CORDAVISTEL\r\n3. Verifique si "
                                           "el inicio de sesion para el usuario demo existe")));
    EXPECT_TRUE(
        shown.text.endsWith(QStringLiteral("\r\n\r\n\r\n - Desea Intentarlo Nuevamente??? ")));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("NOEXISTE.db"))));
}

TEST_F(DbDll, YesOpensTheConnectionDialogAndTriesTheNewData) {
    int dialogs = 0;
    DB_Dll::setDialogoConexion([&](const DB_Dll::DatosConexion& inicial) {
        ++dialogs;
        EXPECT_EQ(inicial.TxtDbName, QStringLiteral("NOEXISTE"));
        DB_Dll::DatosConexion r = inicial;
        r.Aceptar = true;
        r.TxtDbName = QStringLiteral("GESTION");
        return r;
    });
    DB_Dll& db = gDB();
    db.gServidor = QStringLiteral("sqlite");
    db.gDBName = QStringLiteral("NOEXISTE");
    db.gUsuario = QStringLiteral("demo");
    prompts->answer(Yes);
    db.OpenServerADODB(false, 3, QString(), true, true);
    DB_Dll::setDialogoConexion({});
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_TRUE(db.gEsAdmin);
    EXPECT_EQ(db.gCnn.state(), ado::adstate::Open);
    EXPECT_EQ(db.gConnString,
              QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database =GESTION;UId=demo;Pwd=;"));
}

TEST_F(DbDll, ACancelledDialogOpensNothingAndSaysNothing) {
    DB_Dll& db = gDB();
    db.OpenServerADODB(true, 3, QString(), true, true);  // no dialog installed: a cancel
    EXPECT_FALSE(db.gOpenFlag);
    EXPECT_EQ(db.gCnn.state(), ado::adstate::Closed);
    EXPECT_TRUE(prompts->shown().empty());
}

TEST_F(DbDll, OpeningAnOpenConnectionClosesItOnceAndOpensAgain) {
    connect();
    for (bool muestra : {false, true}) {
        gDB().OpenServerADODB(false, 3, QString(), true, muestra);
        EXPECT_TRUE(gDB().gOpenFlag) << muestra;
        EXPECT_EQ(gDB().gCnn.state(), ado::adstate::Open);
    }
    EXPECT_TRUE(prompts->shown().empty());
}

TEST_F(DbDll, ReconnectSkipsTheCloseOfAClosedConnectionAndFailsQuietly) {
    connect();
    gDB().gCnn.close();
    gDB().ReintentaConectar();
    EXPECT_TRUE(gDB().gOpenFlag);
    EXPECT_EQ(gDB().gCnn.state(), ado::adstate::Open);
    EXPECT_EQ(gDB().gCnn.commandTimeout(), 5);

    ASSERT_TRUE(QDir(dir.path()).rename(QStringLiteral("GESTION.db"), QStringLiteral("OTRA.db")));
    gDB().ReintentaConectar();
    EXPECT_FALSE(gDB().gOpenFlag);
    EXPECT_TRUE(prompts->shown().empty()) << "an unreachable database ends quietly";
}

TEST_F(DbDll, ALostConnectionIsReopenedAndTheOperatorMayRetry) {
    connect();
    QString mala = QStringLiteral("SELECT * FROM NoExiste");
    qint32 n = 0;
    gDB().EjecutaConsultaSQL(mala, n, nullptr);  // leaves a record in the collection
    gDB().gCnn.close();                          // the server went away
    prompts->answer(Retry);
    DB_Dll::Recordset rs;
    QString sql = QStringLiteral("SELECT * FROM v_ta_tecnicos");
    gDB().AbrirRecordset(sql, rs);
    ASSERT_EQ(prompts->shown().size(), 1u);
    EXPECT_TRUE(prompts->last().title.endsWith(
        QStringLiteral(" - AbrirRecordset Aviso al operador!!! - 5 ")));
    ASSERT_EQ(rs->state(), ado::adstate::Open);
    EXPECT_FALSE(rs->eof());
}

// On a real server: a connection the server drops is opened again and the statement retried;
// a missing table is reported and the connection kept.
TEST_F(DbDll, OnAServerOnlyALostConnectionIsOpenedAgain) {
    const PostgresServer& server = PostgresServer::instance();
    ASSERT_TRUE(server.failure().isEmpty()) << server.failure().toStdString();
    DB_Dll& db = gDB();
    db.gCnn.open(server.connectionString());
    db.gOpenFlag = true;
    QString crear = QStringLiteral(
        "DROP TABLE IF EXISTS tecnicos; CREATE TABLE tecnicos (id INT); "
        "INSERT INTO tecnicos VALUES (1)");
    qint32 n = 0;
    db.EjecutaConsultaSQL(crear, n, nullptr);
    auto backend = [&] {
        return db.gCnn.execute(QStringLiteral("SELECT pg_backend_pid()"))
            ->field(0)
            .value()
            .number();
    };
    const double first = backend();

    prompts->answer(Ignore);
    DB_Dll::Recordset rs;
    QString falta = QStringLiteral("SELECT * FROM NoExisteTabla");
    db.AbrirRecordset(falta, rs);
    ASSERT_EQ(prompts->shown().size(), 1u);
    EXPECT_FALSE(prompts->last().text.contains(QStringLiteral("Se perdio")));
    EXPECT_EQ(backend(), first) << "a missing table is no reason to connect again";

    ado::Connection other;
    other.open(server.connectionString());
    other.execute(QStringLiteral("SELECT pg_terminate_backend(%1)").arg(first));
    other.close();
    prompts->answer(Retry);
    QString sql = QStringLiteral("SELECT id FROM tecnicos");
    db.AbrirRecordset(sql, rs);
    ASSERT_EQ(rs->state(), ado::adstate::Open);
    ASSERT_FALSE(rs->eof());
    EXPECT_EQ(rs->field(0).value().number(), 1);
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_NE(backend(), first) << "a new connection";
    for (const auto& p : prompts->shown())
        EXPECT_FALSE(p.text.contains(QStringLiteral("Se perdio"))) << "reopened at the first try";
    db.gCnn.close();
}

TEST_F(DbDll, ALostConnectionThatCannotBeReopenedEndsTheProgramOnNo) {
    connect();
    QString mala = QStringLiteral("SELECT * FROM NoExiste");
    qint32 n = 0;
    gDB().EjecutaConsultaSQL(mala, n, nullptr);
    gDB().gCnn.close();
    ASSERT_TRUE(QDir(dir.path()).rename(QStringLiteral("GESTION.db"), QStringLiteral("OTRA.db")));
    prompts->answer(Yes);
    prompts->answer(No);
    DB_Dll::Recordset rs;
    QString sql = QStringLiteral("SELECT * FROM v_ta_tecnicos");
    EXPECT_THROW(gDB().AbrirRecordset(sql, rs), platform::process::ProgramEnded);
    EXPECT_EQ(exits, std::vector<int>{1});
    ASSERT_EQ(prompts->shown().size(), 2u);
    EXPECT_EQ(prompts->last().title, QStringLiteral("AVISO AL OPERADOR"));
    EXPECT_EQ(prompts->last().text,
              QStringLiteral(
                  "\r\n\r\n\r\nSe perdio la conexion con la base de datos GESTION\r\n Servidor "
                  "sqlite\r\n\r\nElija SI para reintentar conectarse\r\nElija NO para "
                  "cerrar la aplicacion\r\n\r\n\r\n"));
}

TEST_F(DbDll, TheErrorTreatmentAnswersDecideAndAreLogged) {
    connect();
    struct Case {
        std::vector<int> answers;
        std::size_t prompts;
        const char* lastWord;
    } cases[] = {
        {{Ignore}, 1, "Ignorar"}, {{Abort}, 1, "Abortar"}, {{Retry, Ignore}, 2, "Ignorar"}};
    for (const auto& c : cases) {
        prompts->reset();
        QFile::remove(dir.filePath(QStringLiteral("VLERR.LOG")));
        for (int a : c.answers) prompts->answer(a);
        DB_Dll::Recordset rs;
        QString sql = QStringLiteral("SELECT * FROM NoExiste");
        gDB().AbrirRecordset(sql, rs);
        EXPECT_EQ(prompts->shown().size(), c.prompts);
        EXPECT_EQ(rs->state(), ado::adstate::Closed);
        const QByteArray log = fileBytes(dir.filePath(QStringLiteral("VLERR.LOG")));
        EXPECT_EQ(log.count("\r\n"), static_cast<qsizetype>(c.prompts));
        EXPECT_TRUE(log.contains(
            " Rutina: - AbrirRecordset Mensaje Ha ocurrido el Siguiente Error (-2147217865) "));
        EXPECT_TRUE(log.contains(QByteArray(" Respondi\xF3 : ") + c.lastWord + "\r\n"))
            << log.constData();
    }
}

TEST_F(DbDll, TheErrorTreatmentItself) {
    const platform::ErrorInfo err{-2147217900, QStringLiteral("Sintaxis incorrecta "),
                                  QStringLiteral("Proveedor")};
    DB_Dll db;
    prompts->answer(Retry);
    EXPECT_EQ(db.TratamientoErrores(err), Retry);
    EXPECT_EQ(prompts->last().text,
              QStringLiteral("Ha ocurrido el Siguiente Error (-2147217900) Sintaxis incorrecta"));
    EXPECT_EQ(prompts->last().title, QStringLiteral("Proveedor Aviso al operador!!! - 5 "));
    EXPECT_EQ(prompts->last().style, 18);
    const QByteArray line = fileBytes(dir.filePath(QStringLiteral("VLERR.LOG")));
    EXPECT_TRUE(line.contains(" Rutina:  Mensaje Ha ocurrido"))
        << "no routine: nothing between the two words";
    EXPECT_TRUE(line.endsWith(" Respondi\xF3 : Reintentar\r\n"));
    EXPECT_EQ(line.mid(2, 1), "-");
    EXPECT_EQ(line.mid(10, 1), " ");

    db.setArchivoErrores(Variant(dir.filePath(QStringLiteral("otro.log"))));
    prompts->answer(Yes);
    EXPECT_EQ(db.TratamientoErrores(err, platform::mb::YesNo, QStringLiteral("X")), Yes);
    EXPECT_TRUE(
        fileBytes(dir.filePath(QStringLiteral("otro.log"))).endsWith(" Respondi\xF3 : S\xED\r\n"));

    const std::size_t before = prompts->shown().size();
    EXPECT_EQ(db.TratamientoErrores(platform::ErrorInfo{0, QStringLiteral("nada"), {}}), 0);
    EXPECT_EQ(prompts->shown().size(), before);
    EXPECT_THROW(db.setArchivoErrores(Variant::null()), platform::Failure);
}

TEST_F(DbDll, StatementsAreRewrittenAndFailuresLeftInTheCollection) {
    connect();
    DB_Dll& db = gDB();
    QString sql =
        QStringLiteral("UPDATE ta_configuracion SET VALOR = 'x@Admin_y' WHERE CLAVE = 'NOMBRE'");
    qint32 n = -1;
    db.EjecutaConsultaSQL(sql, n, nullptr);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(sql,
              QStringLiteral("UPDATE ta_configuracion SET VALOR = 'xy' WHERE CLAVE = 'NOMBRE'"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT VALOR FROM ta_configuracion WHERE CLAVE = 'NOMBRE'")),
              QStringLiteral("xy"));

    DB_Dll::Recordset lrcs = std::make_shared<ado::Recordset>();
    QString select = QStringLiteral("SELECT COUNT(*) FROM v_ta_tecnicos");
    db.EjecutaConsultaSQL(select, n, &lrcs);
    EXPECT_EQ(lrcs->state(), ado::adstate::Open);

    QString dup = QStringLiteral("INSERT INTO ta_usuarios (Nombre) VALUES ('demo')");
    db.EjecutaConsultaRSQL(dup, n, nullptr);
    EXPECT_TRUE(prompts->shown().empty()) << "a duplicate key is the caller's to judge";
    ASSERT_EQ(db.gCnn.errors().count(), 2);
    EXPECT_EQ(db.gCnn.errors().item(0).nativeError, 2627);

    db.gCnn.close();
    QString any = QStringLiteral("DELETE FROM AUX_ESTADISTICACTA");
    db.EjecutaConsultaRSQL(any, n, nullptr);
    ASSERT_EQ(prompts->shown().size(), 1u);
    EXPECT_EQ(prompts->last().title, QStringLiteral("Aviso al operador!!!"));
    EXPECT_GE(db.gCnn.errors().count(), 1) << "a statement that never ran is not taken for done";
}

TEST_F(DbDll, ClosingARecordsetWithAPendingEdit) {
    connect();
    DB_Dll::Recordset rs;
    QString sql = QStringLiteral("SELECT * FROM ta_configuracion WHERE CLAVE = 'NOMBRE'");
    gDB().AbrirRecordset(sql, rs, nullptr, 2, 3);
    rs->field(QStringLiteral("VALOR")).setValue(QStringLiteral("sin guardar"));
    gDB().CierraRecordset(rs);
    EXPECT_EQ(rs->state(), ado::adstate::Closed);
    gDB().CierraRecordset(rs);
    EXPECT_TRUE(prompts->shown().empty());
    EXPECT_NE(scalar(QStringLiteral("SELECT VALOR FROM ta_configuracion WHERE CLAVE = 'NOMBRE'")),
              QStringLiteral("sin guardar"));
}

TEST(DbDllValues, ClassifiersAndLiterals) {
    struct Code {
        Variant code;
        bool date, text, numeric, currency, boolean;
        const char* comilla;
    } codes[] = {{Variant(135), true, false, false, false, false, "'"},
                 {Variant(3), false, false, true, false, false, ""},
                 {Variant(6), false, false, false, true, false, ""},
                 {Variant("200"), false, true, false, false, false, "'"},
                 {Variant(11), false, false, false, false, true, ""},
                 {Variant(999), false, false, false, false, false, ""},
                 {Variant(), false, false, false, false, false, ""}};
    for (const auto& c : codes) {
        EXPECT_EQ(DB_Dll::adodate(c.code), c.date);
        EXPECT_EQ(DB_Dll::ADOText(c.code), c.text);
        EXPECT_EQ(DB_Dll::ADONumeric(c.code), c.numeric);
        EXPECT_EQ(DB_Dll::ADOCurrency(c.code), c.currency);
        EXPECT_EQ(DB_Dll::ADOBoolean(c.code), c.boolean);
        EXPECT_EQ(DB_Dll::ADOComilla(c.code), QString::fromUtf8(c.comilla));
    }
    DB_Dll db;
    struct Literal {
        Variant value;
        const char* tipo;
        const char* sql;
    } literals[] = {{Variant(1234.5), "@", "1234.5"}, {Variant("1234,5"), "@", "1234.5"},
                    {Variant("abc"), "'", "'abc'"},   {Variant("O'Brien"), "'", "'O'Brien'"},
                    {Variant::null(), "@", "0"},      {Variant::null(), "'", "NULL"},
                    {Variant::null(), "x", "NULL"},   {Variant("tal cual"), "", "tal cual"}};
    for (const auto& l : literals)
        EXPECT_EQ(db.SQLValue(l.value, QString::fromUtf8(l.tipo)).toText(),
                  QString::fromUtf8(l.sql));
}

TEST(DbDllValues, NameOperations) {
    DB_Dll db;
    QString name = QStringLiteral("dbo.Tabla");
    EXPECT_EQ(db.stSTF(name, 0), QStringLiteral("dbo"));
    EXPECT_EQ(db.stSTF(name, 1), QStringLiteral("Tabla"));
    QString three = QStringLiteral("srv.dbo.Tabla");
    EXPECT_EQ(db.stSTF(three, 0), QStringLiteral("dbo.Tabla"));
    EXPECT_EQ(three, QStringLiteral("dbo.Tabla"));
    QString bare = QStringLiteral("Tabla");
    EXPECT_EQ(db.stSTF(bare, 1), QStringLiteral("Tabla"));
    EXPECT_THROW(db.stSTF(bare, 0), platform::Failure);
    EXPECT_EQ(db.AddBrackets(QStringLiteral("Mi Tabla")), QStringLiteral("[Mi Tabla]"));
    EXPECT_EQ(db.AddBrackets(QStringLiteral("[Mi Tabla]")), QStringLiteral("[Mi Tabla]"));
    EXPECT_EQ(db.StripConnect(QStringLiteral("Cuentas ->x")), QStringLiteral("Cuentas"));
    EXPECT_THROW(db.StripConnect(QStringLiteral("->x")), platform::Failure);
    EXPECT_EQ(db.StripBrackets(QStringLiteral("[Mi Tabla]")), QStringLiteral("Mi Tabla"));
    EXPECT_THROW(db.StripBrackets(QStringLiteral("[")), platform::Failure);
    QString owned = QStringLiteral("dbo.T");
    EXPECT_EQ(db.StripOwner(owned), QStringLiteral("T"));
    EXPECT_EQ(owned, QStringLiteral("T"));
    EXPECT_EQ(db.StripFileName(QStringLiteral("C:\\Datos\\base.mdb")), QStringLiteral("C:\\Datos"));
    EXPECT_EQ(db.StripFileName(QStringLiteral("base.mdb")), QString());
}

TEST_F(DbDll, TableLookups) {
    connect();
    DB_Dll& db = gDB();
    EXPECT_TRUE(db.ExisteEnTabla(QStringLiteral("v_ta_tecnicos"), QStringLiteral(" 1 "),
                                 QStringLiteral("idtecnico")));
    EXPECT_FALSE(db.ExisteEnTabla(QStringLiteral("v_ta_tecnicos"), QStringLiteral("99"),
                                  QStringLiteral("idtecnico")));
    EXPECT_TRUE(db.ExisteEnTabla(QStringLiteral("v_ta_tecnicos"), QStringLiteral("ignorado"),
                                 QStringLiteral("x"), nullptr, Variant(8),
                                 QStringLiteral("v_ta_tecnicos WHERE idtecnico = '   2'")))
        << "a condition with its own WHERE";
    EXPECT_TRUE(db.ExisteEnTablaST(QStringLiteral("v_ta_tecnicos"), QStringLiteral("   3"),
                                   QStringLiteral("idtecnico")));
    EXPECT_FALSE(db.ExisteEnTablaST(QStringLiteral("v_ta_tecnicos"), QStringLiteral("3"),
                                    QStringLiteral("idtecnico")))
        << "no trimming in the plain form";

    DB_Dll::Recordset kept = std::make_shared<ado::Recordset>();
    EXPECT_TRUE(db.ExisteEnTabla(QStringLiteral("v_ta_tecnicos"), QStringLiteral("4"),
                                 QStringLiteral("idtecnico"), &kept));
    ASSERT_EQ(kept->state(), ado::adstate::Open);
    EXPECT_EQ(kept->field(QStringLiteral("idtecnico")).value().text(), QStringLiteral("   4"));

    EXPECT_EQ(db.DatosTabla(QStringLiteral("ta_configuracion"), QStringLiteral("nombre"),
                            QStringLiteral("VALOR"), QStringLiteral("CLAVE"))
                  .toText(),
              scalar(QStringLiteral("SELECT VALOR FROM ta_configuracion WHERE CLAVE = 'NOMBRE'")));
    EXPECT_EQ(db.DatosTabla(QStringLiteral("ta_configuracion"), QStringLiteral("no hay"),
                            QStringLiteral("VALOR"), QStringLiteral("CLAVE"))
                  .toText(),
              QString());
    EXPECT_EQ(db.DatosTabla(QStringLiteral("ta_usuarios"), QStringLiteral("demo"),
                            QStringLiteral("Administrador"), QStringLiteral("nombre"), Variant(8),
                            QStringLiteral("Administrador = 0"))
                  .toText(),
              QString())
        << "the condition is added with AND";
    EXPECT_TRUE(prompts->shown().empty());

    EXPECT_EQ(db.DatosTabla(QStringLiteral("ta_usuarios"), QStringLiteral("demo"),
                            QStringLiteral("NoHay"), QStringLiteral("nombre"), Variant(8),
                            QString(), true, true)
                  .toText(),
              QString());
    EXPECT_TRUE(prompts->shown().empty()) << "errors ignored: nothing shown";
    prompts->answer(Abort);
    db.DatosTabla(QStringLiteral("ta_usuarios"), QStringLiteral("demo"), QStringLiteral("NoHay"),
                  QStringLiteral("nombre"));
    ASSERT_EQ(prompts->shown().size(), 1u);
    EXPECT_EQ(prompts->last().title, QStringLiteral("Aviso al Operador"));
    EXPECT_EQ(prompts->last().style, platform::mb::AbortRetryIgnore | platform::mb::Critical);

    // A table that cannot be opened: the data layer's own prompt, then the closed recordset's
    // error goes to the operator like any other.
    prompts->reset();
    prompts->answer(Ignore);
    prompts->answer(Abort);
    EXPECT_EQ(db.DatosTabla(QStringLiteral("no_existe"), QStringLiteral("x"), QStringLiteral("y"),
                            QStringLiteral("z"))
                  .toText(),
              QString());
    ASSERT_EQ(prompts->shown().size(), 2u);
    EXPECT_EQ(prompts->last().title, QStringLiteral("Aviso al Operador"));
}

TEST_F(DbDll, KeyValuesWithQuotesStayValues) {
    connect();
    DB_Dll& db = gDB();
    db.gCnn.execute(
        QStringLiteral("INSERT INTO ta_usuarios (Nombre, Administrador) VALUES ('o''neil', 1)"));
    const struct Case {
        const char* key;
        const char* admin;  // the value found, "" when no row
    } cases[] = {{"o'neil", "1"},          {"demo", "1"}, {"nobody", ""}, {"nobody' OR '1'='1", ""},
                 {"nobody' OR '1''1", ""}, {"'", ""}};
    for (const Case& c : cases) {
        EXPECT_EQ(db.DatosTabla(QStringLiteral("ta_usuarios"), QString::fromUtf8(c.key),
                                QStringLiteral("Administrador"), QStringLiteral("nombre"),
                                Variant(8), QString(), true, false)
                      .toText(),
                  QString::fromUtf8(c.admin))
            << c.key;
        EXPECT_EQ(db.ExisteEnTabla(QStringLiteral("ta_usuarios"), QString::fromUtf8(c.key),
                                   QStringLiteral("nombre")),
                  *c.admin != 0)
            << c.key;
    }
    EXPECT_TRUE(prompts->shown().empty()) << prompts->last().text.toStdString();
}

TEST_F(DbDll, AHostileUserNameIsNoAdministrator) {
    {
        ado::Connection c;
        c.open(QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database =GESTION;UId=x;Pwd=;"));
        c.execute(QStringLiteral(
            "INSERT INTO ta_usuarios (Nombre, Administrador) VALUES ('o''neil', 1)"));
    }
    const struct Case {
        const char* user;
        bool admin;
    } cases[] = {{"nobody", false},
                 {"nobody' OR '1'='1", false},
                 {"nobody' OR '1''1", false},
                 {"o'neil", true},
                 {"demo", true}};
    for (const Case& c : cases) {
        resetSharedDB();
        connect(QString::fromUtf8(c.user));
        EXPECT_EQ(gDB().gEsAdmin, c.admin) << c.user;
    }
    EXPECT_TRUE(prompts->shown().empty()) << prompts->last().text.toStdString();
}

TEST_F(DbDll, MaximaMinimaAndLastCodes) {
    connect();
    DB_Dll& db = gDB();
    db.gCnn.execute(QStringLiteral("CREATE TABLE Numeros (N INT NULL, F DATETIME NULL)"));
    EXPECT_TRUE(db.BuscaMinimo(QStringLiteral("Numeros"), QStringLiteral("N")).isNumber());
    EXPECT_EQ(db.BuscaMinimo(QStringLiteral("Numeros"), QStringLiteral("N")).number(), 0)
        << "MIN of nothing is null, read as 0";
    db.gCnn.execute(QStringLiteral("INSERT INTO Numeros (N, F) VALUES (5, '31/01/2026')"));
    db.gCnn.execute(QStringLiteral("INSERT INTO Numeros (N, F) VALUES (12, '28/02/2026')"));
    EXPECT_EQ(db.BuscaMaximo(QStringLiteral("Numeros"), QStringLiteral("N")).number(), 12);
    EXPECT_EQ(db.BuscaMinimo(QStringLiteral("Numeros"), QStringLiteral("N")).number(), 5);
    QString cond = QStringLiteral("N < 10");
    EXPECT_EQ(db.BuscaMaximo(QStringLiteral("Numeros"), QStringLiteral("N"), std::nullopt, &cond)
                  .number(),
              5);
    EXPECT_TRUE(
        db.BuscaMaximo(QStringLiteral("Numeros"), QStringLiteral("F"), Variant(7)).isDate());
    EXPECT_EQ(db.BuscaUltimoCodigo(QStringLiteral("Numeros"), QStringLiteral("N"), Variant(),
                                   QStringLiteral(" "))
                  .number(),
              12);
    EXPECT_THROW(db.BuscaMaximo(QStringLiteral("NoExiste"), QStringLiteral("N")),
                 platform::Failure);

    db.gCnn.execute(QStringLiteral(
        "INSERT INTO V_MA_ARTICULOS (IDARTICULO, DESCRIPCION) VALUES ('0999', 'cero')"));
    QString articulos;
    const Variant max = db.BuscaMaximo(QStringLiteral("V_MA_ARTICULOS"),
                                       QStringLiteral("IDARTICULO"), std::nullopt, &articulos);
    EXPECT_EQ(articulos, QStringLiteral(" substring(ltrim(idarticulo),1,1)<>'0'"));
    EXPECT_NE(max.number(), 999);
}

TEST_F(DbDll, SchemaQuestionsAndAddingAColumn) {
    connect();
    DB_Dll& db = gDB();
    EXPECT_TRUE(db.ExisteTablaDB(QStringLiteral(" ta_usuarios ")));
    EXPECT_FALSE(db.ExisteTablaDB(QStringLiteral("NoExiste")));
    EXPECT_TRUE(db.ExisteCampoDB(QStringLiteral("ta_usuarios"), QStringLiteral("ADMINISTRADOR")));
    EXPECT_FALSE(db.ExisteCampoDB(QStringLiteral("ta_usuarios"), QStringLiteral("Edad")));
    EXPECT_TRUE(db.VerCampoDB(QStringLiteral("ta_usuarios"), QStringLiteral("Edad"), true,
                              QStringLiteral("int"), false, Variant(0)));
    EXPECT_TRUE(db.ExisteCampoDB(QStringLiteral("ta_usuarios"), QStringLiteral("Edad")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Edad FROM ta_usuarios WHERE Nombre = 'demo'")),
              QStringLiteral("0"));
    EXPECT_TRUE(db.VerCampoDB(QStringLiteral("NoExiste"), QStringLiteral("X"), true,
                              QStringLiteral("int"), true));
    db.gProveedor = QStringLiteral("OraOLEDB.Oracle.1");
    EXPECT_TRUE(db.ExisteCampoDB(QStringLiteral("ta_usuarios"), QStringLiteral("Cualquiera")));
    EXPECT_TRUE(prompts->shown().empty());
}

TEST_F(DbDll, RestrictedViewsForUsersWhoAreNotAdministrators) {
    connect(QStringLiteral("operador"));
    DB_Dll& db = gDB();
    ASSERT_FALSE(db.gEsAdmin);
    EXPECT_EQ(db.SS_TSinonimos(QStringLiteral("SELECT * FROM MA_CUENTAS WHERE 1=1")),
              QStringLiteral("SELECT * FROM SS_MA_CUENTAS WHERE 1=1"));
    EXPECT_EQ(db.SS_TSinonimos(QStringLiteral("SELECT * FROM @Admin_MA_CUENTAS ")),
              QStringLiteral("SELECT * FROM MA_CUENTAS "));
    DB_Dll::Recordset rs;
    QString sql = QStringLiteral("SELECT COUNT(*) FROM MA_CUENTAS WHERE 1=1");
    db.AbrirRecordset(sql, rs);
    EXPECT_EQ(sql, QStringLiteral("SELECT COUNT(*) FROM SS_MA_CUENTAS WHERE 1=1"));
    EXPECT_EQ(rs->state(), ado::adstate::Open);
    db.gEsAdmin = true;
    EXPECT_EQ(db.SS_TSinonimos(QStringLiteral("SELECT * FROM MA_CUENTAS WHERE 1=1")),
              QStringLiteral("SELECT * FROM MA_CUENTAS WHERE 1=1"));
}

}  // namespace
