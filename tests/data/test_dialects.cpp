#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/db_dll/Dialects.h"
#include "platform/Failure.h"
#include "tests/support/FailureNumber.h"

using namespace dbdll;

namespace {

const QString kOracle =
    QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=ORCL;User Id=ventas;Password=clave;");
const QString kSqlServer =
    QStringLiteral("PROVIDER=SQLOLEDB;Server=SRV1;Database =GESTION;UId=sa;Pwd=;");

QString q(const char* s) {
    return QString::fromUtf8(s);
}
std::string s(const QString& t) {
    return t.toStdString();
}

platform::Regional dayFirst() {
    return platform::Regional{};
}
platform::Regional monthFirst() {
    platform::Regional r;
    r.shortDateFormat = QStringLiteral("MM/dd/yyyy");
    return r;
}

// Records what the runner asks of the connection, in order.
class RecordingTarget : public ScriptTarget {
  public:
    std::vector<std::string> calls;
    std::vector<qint64> rows;        // rows answered by the n-th execute; 0 beyond
    std::vector<qint32> errors;      // the error collection left behind
    std::size_t failingExecute = 0;  // 1-based; 0 never fails

    void beginTrans() override { calls.push_back("BeginTrans"); }
    void commitTrans() override { calls.push_back("CommitTrans"); }
    void rollbackTrans() override { calls.push_back("RollbackTrans"); }
    qint64 execute(const QString& statement) override {
        calls.push_back("Execute(" + s(statement) + ")");
        ++executes_;
        if (executes_ == failingExecute)
            platform::raise(1400, QStringLiteral("no se puede insertar NULL"));
        return executes_ <= rows.size() ? rows[executes_ - 1] : 0;
    }
    int errorCount() const override { return int(errors.size()); }
    qint32 errorNumber(int index) const override { return errors.at(std::size_t(index)); }
    void clearErrors() override { errors.clear(); }

  private:
    std::size_t executes_ = 0;
};

}  // namespace

TEST(OracleDicc, OtherConnectionsGetTheTextBackUntouched) {
    for (const char* text : {"SELECT top 3 * FROM T ORDER BY A", "len", "WHERE N = 'abierta",
                             "SELECT [A] FROM T WHERE F = '05/03/2021' AND N = ''"}) {
        EXPECT_EQ(s(oracleDicc(q(text), kSqlServer, dayFirst())), text);
    }
}

TEST(OracleDicc, ASingleWordIsANameAndOnlyLenChanges) {
    struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"len", "LENGTH"},      {"Len", "LENGTH"},        {"LEN", "LENGTH"},
        {"LENGTH", "LENGTH"},   {"NOMBRE", "NOMBRE"},     {"", ""},
        {"[Fecha]", "[Fecha]"}, {"'abierta", "'abierta"}, {"  top  ", "  top  "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(s(oracleDicc(q(c.in), kOracle, dayFirst())), c.out) << c.in;
}

TEST(OracleDicc, TranslatesStatementsStepByStep) {
    struct {
        const char* in;
        const char* out;
    } cases[] = {
        // row limit: the blanks left behind are part of the result
        {"SELECT top 10 A, B FROM T WHERE X=1 ORDER BY A",
         "SELECT  A, B FROM T WHERE X=1    AND ROWNUM <= 10  ORDER BY A"},
        {"SELECT top 3 * FROM T ORDER BY A", "SELECT  * FROM T    WHERE ROWNUM <= 3  ORDER BY A"},
        {"SELECT TOP 5 A, COUNT(*) FROM T WHERE B=1 GROUP BY A ORDER BY A",
         "SELECT  A, COUNT(*) FROM T WHERE B=1    AND ROWNUM <= 5  GROUP BY A ORDER BY A "},
        {"SELECT TOP 1 * FROM T", "SELECT  * FROM T  WHERE ROWNUM <= 1  "},
        // length function: only with a blank in front and up to four blanks before "("
        {"SELECT len(A), LEN (B), LEN    (C), LEN     (D),LEN(E) FROM T",
         "SELECT LENGTH(A), LENGTH(B), LENGTH(C), LEN     (D),LEN(E) FROM T"},
        {"SELECT [Fecha Alta] FROM [T]", "SELECT \"Fecha Alta\" FROM \"T\""},
        // date literals, in any form the regional reading accepts
        {"SELECT * FROM T WHERE F >= '05/03/2021' AND G < '2021-03-06'",
         "SELECT * FROM T WHERE F >= TO_DATE('05/03/2021','DD/MM/YYYY') AND G < "
         "TO_DATE('06/03/2021','DD/MM/YYYY')"},
        {"UPDATE T SET F = '5/3/21 10:30' WHERE G = '05/03/2021' OR H = '05/03/2021'",
         "UPDATE T SET F = TO_DATE('05/03/2021','DD/MM/YYYY') WHERE G = "
         "TO_DATE('05/03/2021','DD/MM/YYYY') OR H = TO_DATE('05/03/2021','DD/MM/YYYY')"},
        {"UPDATE T SET F = TO_DATE('05/03/2021','DD/MM/YYYY')",
         "UPDATE T SET F = TO_DATE('05/03/2021','DD/MM/YYYY')"},
        {"SELECT * FROM T WHERE F = '31/02/2026' AND N = 'ABC' AND C = '12'",
         "SELECT * FROM T WHERE F = '31/02/2026' AND N = 'ABC' AND C = '12'"},
        {"SELECT CHARINDEX('a', N) FROM T", "SELECT InStr('a', N) FROM T"},
        {"SELECT CONVERT(NVARCHAR, F, 103), convert(int, C) FROM T",
         "SELECT TO_CHAR( F, 'DD/MM/YYYY'), TO_NUMBER( C) FROM T"},
        {"SELECT A FROM T WHERE C = 103 AND D IN (103)",
         "SELECT A FROM T WHERE C = 103 AND D IN (103)"},
        // empty strings become IS NULL only from the first WHERE on
        {"SELECT A FROM T WHERE NOMBRE = ''", "SELECT A FROM T WHERE NOMBRE  IS NULL "},
        {"UPDATE T SET A = '' WHERE B = '' AND C=''",
         "UPDATE T SET A = '' WHERE B  IS NULL  AND C IS NULL "},
        {"UPDATE T SET A = ''", "UPDATE T SET A = ''"},
        {"SELECT SUBSTRING(A,1,2), IsNull(B,0) FROM T", "SELECT SUBSTR(A,1,2), NVL(B,0) FROM T"},
        {"SELECT TOP 1 * FROM T WHERE F = '05/03/2021'",
         "SELECT  * FROM T WHERE F = TO_DATE('05/03/2021','DD/MM/YYYY')  AND ROWNUM <= 1  "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(s(oracleDicc(q(c.in), kOracle, dayFirst())), c.out) << c.in;
}

TEST(OracleDicc, DatesAreReadInTheRegionalOrder) {
    const QString in = QStringLiteral("SELECT * FROM T WHERE F = '03/05/2021'");
    EXPECT_EQ(s(oracleDicc(in, kOracle, dayFirst())),
              "SELECT * FROM T WHERE F = TO_DATE('03/05/2021','DD/MM/YYYY')");
    EXPECT_EQ(s(oracleDicc(in, kOracle, monthFirst())),
              "SELECT * FROM T WHERE F = TO_DATE('05/03/2021','DD/MM/YYYY')");
}

TEST(OracleDicc, AnOddNumberOfQuotesIsAnInvalidArgument) {
    for (const char* text :
         {"SELECT * FROM T WHERE N = 'abierta", "SELECT * FROM T WHERE N = 'O''Brien"}) {
        EXPECT_EQ(failureNumber([&] { oracleDicc(q(text), kOracle, dayFirst()); }),
                  platform::errnum::InvalidArgument)
            << text;
    }
}

TEST(SsTSinonimos, RedirectsConfidentialTablesForOrdinaryUsers) {
    struct {
        const char* in;
        bool admin;
        bool confidencialidad;
        const char* out;
    } cases[] = {
        {"SELECT * FROM MA_CUENTAS WHERE 1=1", true, true, "SELECT * FROM MA_CUENTAS WHERE 1=1"},
        {"SELECT * FROM MA_CUENTAS WHERE 1=1", false, false,
         "SELECT * FROM SS_MA_CUENTAS WHERE 1=1"},
        {"SELECT * FROM MA_CUENTAS C, MV_ASIENTOS A WHERE 1=1", false, false,
         "SELECT * FROM MA_CUENTAS C, MV_ASIENTOS A WHERE 1=1"},
        {"SELECT * FROM MA_CUENTAS C, MV_ASIENTOS A WHERE 1=1", false, true,
         "SELECT * FROM SS_MA_CUENTAS C, SS_MV_ASIENTOS A WHERE 1=1"},
        {"SELECT * FROM @Admin_MA_CUENTAS ", false, false, "SELECT * FROM MA_CUENTAS "},
        {"SELECT * FROM @Admin_MA_CUENTAS ", false, true, "SELECT * FROM MA_CUENTAS "},
        {"SELECT * FROM @Admin_MA_CUENTAS ", true, false, "SELECT * FROM MA_CUENTAS "},
        {"SELECT * FROM @admin_v_ta_cajas X", false, false, "SELECT * FROM v_ta_cajas X"},
        {"SELECT * FROM @Admin_MV_ASIENTOS A", false, true, "SELECT * FROM MV_ASIENTOS A"},
        // the five forms, and the brace form of the accounts only
        {"SELECT * FROM (v_ta_cajas C)", false, false, "SELECT * FROM (SS_V_TA_CAJAS C)"},
        {"SELECT V_TA_CAJAS.A FROM X", false, false, "SELECT SS_V_TA_CAJAS.A FROM X"},
        {"SELECT (V_TA_CAJAS.A) FROM X", false, false, "SELECT (SS_V_TA_CAJAS.A) FROM X"},
        {"SELECT 1,V_TA_CAJAS.A FROM X", false, false, "SELECT 1,SS_V_TA_CAJAS.A FROM X"},
        {"{MA_CUENTAS.A} {V_TA_CAJAS.A}", false, false, "{SS_MA_CUENTAS.A} {V_TA_CAJAS.A}"},
        {"SELECT 1,V_TA_CAJAS A", false, false, "SELECT 1,V_TA_CAJAS A"},
        // no delimiter on one side: not a reference
        {"MA_CUENTAS WHERE 1=1", false, false, "MA_CUENTAS WHERE 1=1"},
        {"SELECT * FROM MA_CUENTAS", false, false, "SELECT * FROM MA_CUENTAS"},
        {"SELECT *\r\nFROM\r\nMA_CUENTAS WHERE 1=1", false, false,
         "SELECT *\r\nFROM\r\nMA_CUENTAS WHERE 1=1"},
        {"SELECT * FROM X_MA_CUENTAS WHERE 1=1", false, false,
         "SELECT * FROM X_MA_CUENTAS WHERE 1=1"},
        {"SELECT * FROM AC_CUENTASDIARIO A, AC_CUENTASDIARIO_CCOSTO B WHERE 1=1", false, false,
         "SELECT * FROM SS_AC_CUENTASDIARIO A, SS_AC_CUENTAS_DIARIO_CCOSTO B WHERE 1=1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(
            s(ssTSinonimos(q(c.in), c.admin, c.confidencialidad, QStringLiteral("CRONEQUIPO"))),
            c.out)
            << c.in << " admin=" << c.admin << " conf=" << c.confidencialidad;
    }
}

TEST(SsTSinonimos, SomeProgramsReadTheRealDepositsOrFamilies) {
    const QString sql =
        QStringLiteral("SELECT * FROM V_TA_DEPOSITO D, V_TA_FAMILIAS F, V_TA_CAJAS C WHERE 1=1");
    struct {
        const char* program;
        const char* out;
    } cases[] = {
        {"CRONEQUIPO",
         "SELECT * FROM SS_V_TA_DEPOSITO D, SS_V_TA_FAMILIAS F, SS_V_TA_CAJAS C WHERE 1=1"},
        {"vldepositos",
         "SELECT * FROM V_TA_DEPOSITO D, SS_V_TA_FAMILIAS F, SS_V_TA_CAJAS C WHERE 1=1"},
        {"VLTRASPASOS",
         "SELECT * FROM V_TA_DEPOSITO D, SS_V_TA_FAMILIAS F, SS_V_TA_CAJAS C WHERE 1=1"},
        {"VLFamilias",
         "SELECT * FROM SS_V_TA_DEPOSITO D, V_TA_FAMILIAS F, SS_V_TA_CAJAS C WHERE 1=1"},
        {"VLARTICULOS",
         "SELECT * FROM SS_V_TA_DEPOSITO D, V_TA_FAMILIAS F, SS_V_TA_CAJAS C WHERE 1=1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(s(ssTSinonimos(sql, false, false, q(c.program))), c.out) << c.program;
}

TEST(DescartaSentenciaOracle, EmptiesWhatOracleCannotRun) {
    struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"SET NOCOUNT ON", ""},
        {"if not exists (SELECT 1 FROM T)", ""},
        {"IF EXISTS (SELECT 1 FROM T)", "IF EXISTS (SELECT 1 FROM T)"},
        {"INSERT INTO T VALUES (1)", "INSERT INTO T VALUES (1)"},
    };
    for (const auto& c : cases) {
        QString sql = q(c.in);
        const QString result = descartaSentenciaOracle(sql);
        EXPECT_EQ(s(result), c.out) << c.in;
        EXPECT_EQ(s(sql), c.out) << c.in;
    }
}

TEST(EjecutaScriptOracle, RunsEachStatementAndTheTransactionCommands) {
    struct {
        const char* script;
        std::vector<qint64> rows;
        std::vector<std::string> calls;
        qint32 records;  // from 7
        const char* left;
    } cases[] = {
        {"BEGIN TRANSACTION\r\nINSERT INTO T VALUES (1)\r\nGO\r\nCOMMIT TRANSACTION",
         {3},
         {"BeginTrans", "Execute(INSERT INTO T VALUES (1))", "CommitTrans"},
         10,
         ""},
        {"SET NOCOUNT ON\r\nUPDATE T SET A = 1 WHERE B = 2\r\nDELETE FROM U\r\nSET NOCOUNT OFF",
         {2, 5},
         {"Execute(UPDATE T SET A = 1 WHERE B = 2)", "Execute(DELETE FROM U)"},
         14,
         ""},
        {"begin trans\rdelete from T\r\nrollback transaction",
         {4},
         {"BeginTrans", "Execute(delete from T)", "RollbackTrans"},
         11,
         ""},
        {"INSERT INTO T VALUES (1) GO INSERT INTO T VALUES (2)\r\nGO \r\nINSERT INTO T VALUES (3)"
         "\r\nGO\r\n",
         {1, 1, 1},
         {"Execute(INSERT INTO T VALUES (1))", "Execute(INSERT INTO T VALUES (2))",
          "Execute(INSERT INTO T VALUES (3))"},
         10,
         ""},
        {"IF NOT EXISTS (SELECT 1 FROM T) INSERT INTO T VALUES (1)",
         {1},
         {"Execute(INSERT INTO T VALUES (1))"},
         8,
         ""},
        {"IF EXISTS (SELECT 1 FROM T) DROP TABLE T",
         {0, 0},
         {"Execute(IF EXISTS (SELECT 1 FROM T))", "Execute(DROP TABLE T)"},
         7,
         ""},
        {"PRINT 'x'\r\nUPDATE T SET A = ISNULL(B,0) WHERE C = '05/03/2021'",
         {6},
         {"Execute(UPDATE T SET A = NVL(B,0) WHERE C = TO_DATE('05/03/2021','DD/MM/YYYY'))"},
         13,
         ""},
        {"-- nada\r\nSELECT 1", {}, {}, 7, "-- nada SELECT 1"},
    };
    for (const auto& c : cases) {
        RecordingTarget target;
        target.rows = c.rows;
        QString script = q(c.script);
        qint32 records = 7;
        ejecutaScriptOracle(script, records, target, kOracle, dayFirst());
        EXPECT_EQ(target.calls, c.calls) << c.script;
        EXPECT_EQ(records, c.records) << c.script;
        EXPECT_EQ(s(script), c.left) << c.script;
    }
}

TEST(EjecutaScriptOracle, ClearsOnlyTheLoneHarmlessError) {
    struct {
        std::vector<qint32> before;
        std::vector<qint32> after;
    } cases[] = {
        {{265929}, {}},
        {{265929, 1400}, {265929, 1400}},
        {{1400, 265929}, {1400, 265929}},
        {{1400}, {1400}},
    };
    for (const auto& c : cases) {
        RecordingTarget target;
        target.errors = c.before;
        QString script = QStringLiteral("INSERT INTO T VALUES (1)");
        qint32 records = 0;
        ejecutaScriptOracle(script, records, target, kOracle, dayFirst());
        EXPECT_EQ(target.errors, c.after);
    }
}

TEST(EjecutaScriptOracle, AFailureStopsTheScriptWhereItHappened) {
    struct {
        const char* script;
        std::size_t failingExecute;
        qint32 number;
        std::vector<std::string> calls;
        const char* left;
    } cases[] = {
        {"BEGIN TRANSACTION\r\nINSERT INTO T VALUES (1)\r\nINSERT INTO T VALUES (NULL)\r\nCOMMIT",
         2,
         1400,
         {"BeginTrans", "Execute(INSERT INTO T VALUES (1))",
          "Execute(INSERT INTO T VALUES (NULL))"},
         "INSERT INTO T VALUES (NULL) COMMIT"},
        {"BEGIN TRANSACTION\r\nINSERT INTO T VALUES (1)\r\nUPDATE T SET N = 'x\r\nCOMMIT",
         0,
         platform::errnum::InvalidArgument,
         {"BeginTrans", "Execute(INSERT INTO T VALUES (1))"},
         "UPDATE T SET N = 'x COMMIT"},
    };
    for (const auto& c : cases) {
        RecordingTarget target;
        target.rows = {2, 9};
        target.failingExecute = c.failingExecute;
        QString script = q(c.script);
        qint32 records = 0;
        EXPECT_EQ(failureNumber(
                      [&] { ejecutaScriptOracle(script, records, target, kOracle, dayFirst()); }),
                  c.number)
            << c.script;
        EXPECT_EQ(target.calls, c.calls) << c.script;
        EXPECT_EQ(records, 2) << c.script;
        EXPECT_EQ(s(script), c.left) << c.script;
    }
}

TEST(AdaptaSql, RewritesTheRowLimitOnOracleOnly) {
    struct {
        const char* in;
        QString conn;
        const char* out;
    } cases[] = {
        {"Select TOP 1 * from Control_Acceso  with(nolock) ", kOracle,
         "Select  *  from Control_Acceso  with(nolock)  WHERE ROWNUM <=  1 "},
        {"select top 5 * from T where A = 1", kOracle,
         "select  *  from T where A = 1 WHERE ROWNUM <=  5 "},
        {"Select TOP 1 * from T", kSqlServer, "Select TOP 1 * from T"},
        {"len", kSqlServer, "len"},
        {"len", kOracle, "LENGTH"},
        {"Len", QStringLiteral("provider=oraoledb.oracle.1;"), "LENGTH"},
        {"NOMBRE", kOracle, "NOMBRE"},
        {"SELECT * FROM T", kOracle, "SELECT * FROM T"},
    };
    for (const auto& c : cases) EXPECT_EQ(s(adaptaSql(q(c.in), c.conn)), c.out) << c.in;
}

TEST(AdaptaSql, ARowLimitWithoutStarIsAnInvalidArgument) {
    EXPECT_EQ(failureNumber([] { adaptaSql(QStringLiteral("select top 1 A from T"), kOracle); }),
              platform::errnum::InvalidArgument);
}
