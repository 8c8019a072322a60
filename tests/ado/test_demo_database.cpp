// The embedded demo database as the program will read it: created from the committed scripts and
// queried in the server's dialect through the data layer.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "ado/sqlite/SqliteEngine.h"

using namespace ado;

namespace {

QString script(const char* name) {
    QFile f(QStringLiteral(TEST_DB_DIR "/") + QString::fromUtf8(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return QString::fromUtf8(f.readAll());
}

class DemoDatabase : public testing::Test {
  protected:
    void SetUp() override {
        const QString path = dir_.filePath(QStringLiteral("GESTION.db"));
        SqliteEngine::create(path);
        auto engine = SqliteEngine::open(path);
        engine->execute(script("schema.sql"));
        engine->execute(script("demo.sql"));
        engine.reset();
        cnn_.open(QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database =%1;UId=demo;Pwd=;")
                      .arg(path));
    }
    double number(const QString& sql) { return cnn_.execute(sql)->field(0).value().toNumber(); }

    QTemporaryDir dir_;
    Connection cnn_;
};

TEST_F(DemoDatabase, HoldsASmallMaintenanceBusiness) {
    EXPECT_GE(number(QStringLiteral("SELECT COUNT(*) FROM v_ta_tecnicos with(nolock)")), 8);
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM v_ta_tecnicos WHERE LEN(idtecnico) <> 4 "
                                    "OR idtecnico NOT LIKE ' %'")),
              0)
        << "technician codes are right-aligned at width 4";
    EXPECT_GE(number(QStringLiteral("SELECT COUNT(*) FROM v_mv_cpte WHERE tc = 'OT'")), 40);
    EXPECT_GE(number(QStringLiteral("SELECT COUNT(*) FROM v_mv_cpte WHERE tc <> 'ot'")), 1);
    EXPECT_GE(
        number(QStringLiteral("SELECT COUNT(*) FROM v_mv_cpte WHERE CHARINDEX('''', nombre) > 0")),
        1);
    EXPECT_EQ(
        number(QStringLiteral("SELECT COUNT(DISTINCT UPPER(frecuencia)) FROM v_mv_cronograma")), 4);
    EXPECT_GE(number(QStringLiteral(
                  "SELECT COUNT(*) FROM v_mv_cronograma WHERE total_repeticiones IS NULL")),
              1);
    EXPECT_GE(
        number(QStringLiteral("SELECT COUNT(*) FROM v_mv_cronograma WHERE total_repeticiones = 0")),
        1);
    auto empresa = cnn_.execute(QStringLiteral(
        "SELECT VALOR, valoraux FROM ta_configuracion with(nolock)  WHERE CLAVE = 'nombre '"));
    ASSERT_FALSE(empresa->eof());
    EXPECT_FALSE(empresa->field(QStringLiteral("Valor")).value().text().trimmed().isEmpty());
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM ta_usuarios WHERE Administrador = 1")),
              1);
    EXPECT_GE(number(QStringLiteral("SELECT COUNT(*) FROM ta_usuarios WHERE Administrador = 0")),
              1);
}

TEST_F(DemoDatabase, TheScheduleQueryFindsTheWorkOrdersOfTheYear) {
    // The year the database was made in, not the clock's: its orders are dated from that day.
    const int year =
        cnn_.execute(QStringLiteral("SELECT VALOR FROM ta_configuracion WHERE CLAVE = 'PERIODO'"))
            ->field(0)
            .value()
            .toText()
            .trimmed()
            .toInt();
    const QString sql =
        QStringLiteral(
            "select "
            "v_mv_cpte.comentarios,v_mv_cpte.tc,v_mv_cpte.idcomprobante,v_mv_cpte.codigomant,"
            "v_mv_cpte.fechaestinicio as fecha_inicio, v_mv_cpte.nombre, "
            "v_ma_mantenimientos.codigo, "
            "v_ma_mantenimientos.descripcion, v_ma_mantenimientos.ubicacion, "
            " (Select v_mv_cronograma.frecuencia from v_mv_cronograma where "
            "v_mv_cronograma.idcomprobante = "
            "v_mv_cpte.idcomprobante and  v_mv_cronograma.codigomant = v_mv_cpte.codigomant and "
            "v_mv_cpte.tc='ot') as Frecuencia, "
            " (Select v_mv_cronograma.cada from v_mv_cronograma where "
            "v_mv_cronograma.idcomprobante = v_mv_cpte.idcomprobante "
            "and v_mv_cronograma.codigomant = v_mv_cpte.codigomant and v_mv_cpte.tc='ot') as cada, "
            " (Select v_mv_cronograma.total_repeticiones from v_mv_cronograma where "
            "v_mv_cronograma.idcomprobante = "
            "v_mv_cpte.idcomprobante and  v_mv_cronograma.codigomant = v_mv_cpte.codigomant and "
            "v_mv_cpte.tc='ot') as total_repeticiones, "
            " (Select nombre from v_ta_tecnicos where v_mv_cpte.idtecnico = "
            "v_ta_tecnicos.idtecnico ) as tecnico from v_mv_cpte "
            "inner join v_ma_mantenimientos on v_mv_cpte.codigomant = v_ma_mantenimientos.codigo "
            "where  V_MV_CPTE.ANULADA=0 "
            " AND V_MV_CPTE.FINALIZADA = 0  and v_mv_cpte.idtecnico>= '   1' and "
            "v_mv_cpte.idtecnico<= '   8'"
            " and v_mv_cpte.fecha >= '01/01/%1' and v_mv_cpte.fecha <= '31/12/%1'"
            " group by v_mv_cpte.nombre, v_ma_mantenimientos.codigo, "
            "v_ma_mantenimientos.descripcion, "
            "v_ma_mantenimientos.ubicacion, "
            "v_mv_cpte.fechaestinicio,v_mv_cpte.idtecnico,v_mv_cpte.idcomprobante,"
            "v_mv_cpte.codigomant, v_mv_cpte.tc, v_mv_cpte.comentarios ")
            .arg(year);
    Recordset rs;
    rs.open(sql, cnn_, adcursor::ForwardOnly, adlock::ReadOnly);
    int rows = 0, withPlan = 0, withTechnician = 0;
    while (!rs.eof()) {
        ++rows;
        EXPECT_TRUE(rs.field(QStringLiteral("fecha_inicio")).value().isDate());
        if (!rs.field(QStringLiteral("Frecuencia")).value().isNull()) ++withPlan;
        if (!rs.field(QStringLiteral("TECNICO")).value().isNull()) ++withTechnician;
        rs.moveNext();
    }
    EXPECT_GT(rows, 5);
    EXPECT_GT(withPlan, 0);
    EXPECT_EQ(withTechnician, rows);
}

TEST_F(DemoDatabase, TheScheduleTableIsIndexedByUser) {
    auto rs =
        cnn_.execute(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' AND "
                                    "tbl_name = 'AUX_ESTADISTICACTA' AND sql LIKE '%USUARIO%'"));
    EXPECT_EQ(rs->field(0).value().number(), 1);
}

}  // namespace
