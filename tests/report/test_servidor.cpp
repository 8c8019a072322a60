// The schedule's rows written to a real database server through its ODBC driver.
#include <gtest/gtest.h>

#include <QDate>

#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "report/EscritorFilas.h"
#include "tests/support/PostgresServer.h"

using platform::Variant;

namespace {

TEST(EscritorEnServidor, EveryRowOfTheScheduleArrivesWhole) {
    const PostgresServer& server = PostgresServer::instance();
    ASSERT_TRUE(server.failure().isEmpty()) << server.failure().toStdString();
    ado::Connection cnn;
    cnn.open(server.connectionString());
    cnn.execute(QStringLiteral("DROP TABLE IF EXISTS aux_escritor"));
    cnn.execute(QStringLiteral(
        "CREATE TABLE aux_escritor (id SERIAL PRIMARY KEY, USUARIO VARCHAR(50), Nombre "
        "VARCHAR(255), Grupo VARCHAR(255), FechaD TIMESTAMP, FechaH TIMESTAMP, ImporteG1 "
        "DECIMAL(18,4), ImporteG2 DECIMAL(18,4), Detalle VARCHAR(255))"));
    // 1,001 rows: four full sends of 250 and one row left for the last.
    constexpr int kRows = 1001;
    EscritorFilas escritor(
        cnn, QStringLiteral("aux_escritor"),
        {"USUARIO", "Nombre", "Grupo", "FechaD", "FechaH", "ImporteG1", "ImporteG2", "Detalle"},
        250);
    cnn.beginTrans();
    for (int i = 0; i < kRows; ++i) {
        const QDate d = QDate(1900, 1, 1).addDays(i);
        escritor.agrega({QStringLiteral("PC01|JOSÉ"), QStringLiteral("Cámara %1").arg(i % 7),
                         QStringLiteral("EQ-%1 Horno\r\nPanadería Núñez").arg(i % 13), d, d, i % 3,
                         0, i % 5 ? Variant::null() : Variant(QStringLiteral("Revisión ñ"))});
    }
    escritor.envia();
    cnn.commitTrans();
    EXPECT_EQ(escritor.escritas(), kRows);
    EXPECT_EQ(escritor.pendientes(), 0u);
    auto rs = cnn.execute(QStringLiteral(
        "SELECT COUNT(*), SUM(ImporteG1), COUNT(Detalle), MIN(FechaD), MAX(FechaH) FROM "
        "aux_escritor WHERE USUARIO = 'PC01|JOSÉ'"));
    EXPECT_EQ(rs->field(0).value().toNumber(), kRows);
    EXPECT_EQ(rs->field(1).value().toNumber(), 1000);  // 0 1 2 repeated: 333 x 3 + 0 + 1
    EXPECT_EQ(rs->field(2).value().toNumber(), 201);
    EXPECT_EQ(rs->field(3).value().date().date(), QDate(1900, 1, 1));
    EXPECT_EQ(rs->field(4).value().date().date(), QDate(1900, 1, 1).addDays(kRows - 1));
    rs =
        cnn.execute(QStringLiteral("SELECT Grupo, Detalle FROM aux_escritor WHERE ImporteG1 = 1 "
                                   "AND Detalle IS NOT NULL ORDER BY id LIMIT 1"));
    EXPECT_EQ(rs->field(0).value().text(), QStringLiteral("EQ-10 Horno\r\nPanadería Núñez"));
    EXPECT_EQ(rs->field(1).value().text(), QStringLiteral("Revisión ñ"));
    cnn.close();
}

}  // namespace
