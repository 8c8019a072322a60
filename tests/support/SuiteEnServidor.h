#pragma once

#include <QFile>
#include <QProcess>
#include <QString>

#include "ado/Connection.h"
#include "tests/support/PostgresServer.h"

// The suite's databases on the tests' PostgreSQL server, as an administrator sets them up for
// the program: the schema made from the same scripts as the embedded databases, and the
// statistics database and its login, whose names the server keeps in their case.
namespace suite_en_servidor {

// A script of db/ (the test target defines TEST_DB_DIR).
inline QString script(const char* nombre) {
    QFile f(QStringLiteral(TEST_DB_DIR "/") + QString::fromUtf8(nombre));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Three work orders in the SQL Server dialect, their dates as the user types them: either side
// of the 12th, so that a server reading month first would move or refuse them; a quote and
// accents in the texts, and a code that differs from the others only in case.
inline const char* const kOrdenes[] = {
    "INSERT INTO VT_CLIENTES (CODIGO, RAZON_SOCIAL) VALUES ('     1', 'Panadería O''Higgins')",
    "INSERT INTO V_TA_TECNICOS (idtecnico, nombre) VALUES ('   1', 'Martín'), ('   2', 'Sofía')",
    "INSERT INTO v_ma_mantenimientos (codigo, descripcion, ubicacion, idcliente) VALUES "
    "('EQ-001', 'Horno rotativo', 'Cuadra', '     1'), ('eq-002', 'Cámara de frío', 'Depósito', "
    "'     1'), ('EQ-003', 'Caldera', 'Sótano', '     1')",
    "INSERT INTO v_mv_cpte (idcomprobante, tc, numero, fecha, fechaestinicio, idcliente, "
    "idtecnico, codigomant, ANULADA, FINALIZADA) VALUES "
    "(1, 'ot', '0001-1', '01/02/2026', '03/02/2026', '     1', '   1', 'EQ-001', 0, 0), "
    "(2, 'ot', '0001-2', '10/02/2026', '13/02/2026', '     1', '   2', 'eq-002', 0, 0), "
    "(3, 'ot', '0001-3', '13/02/2026', '14/02/2026', '     1', '   1', 'EQ-003', 0, 0)",
    "INSERT INTO v_mv_cronograma (idcomprobante, codigomant, frecuencia, cada, "
    "total_repeticiones) VALUES (1, 'EQ-001', 'D', 2, 10), (2, 'eq-002', 'S', 1, 4), "
    "(3, 'EQ-003', 'M', 1, 3)",
};

// What psql prints for one statement the data layer would not translate (names whose case
// the server keeps), unaligned.
inline QString psql(const PostgresServer& server, const QString& sql) {
    QProcess p;
    p.start(
        QStringLiteral("psql"),
        {QStringLiteral("-XAtq"), QStringLiteral("-h"), server.socketFolder(), QStringLiteral("-p"),
         QString::number(server.port()), QStringLiteral("-U"), QStringLiteral("postgres"),
         QStringLiteral("-d"), QStringLiteral("cronequipo"), QStringLiteral("-c"), sql});
    if (!p.waitForFinished(60000)) return QStringLiteral("psql no terminó");
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// The statistics database through its own login, which the program uses.
inline QString estadisticas(const PostgresServer& server) {
    return server.connectionString()
        .replace(QStringLiteral("Database=cronequipo"), QStringLiteral("Database=VL_ESTADISTICAS"))
        .replace(QStringLiteral("UID=postgres"), QStringLiteral("UID=VL_ESTADISTICAS"));
}

// Opens `pg` on the suite's database, made again from db/schema.sql, and makes the statistics
// database again, by its login: it owns what it reads and writes.
inline void creaBases(const PostgresServer& server, ado::Connection& pg) {
    pg.open(server.connectionString());
    pg.execute(QStringLiteral("DROP SCHEMA public CASCADE"));
    pg.execute(QStringLiteral("CREATE SCHEMA public"));
    pg.execute(script("schema.sql"));
    psql(server, QStringLiteral("DROP DATABASE IF EXISTS \"VL_ESTADISTICAS\""));
    psql(server, QStringLiteral("DO $$BEGIN CREATE ROLE \"VL_ESTADISTICAS\" LOGIN; EXCEPTION "
                                "WHEN duplicate_object THEN NULL; END$$"));
    psql(server, QStringLiteral("CREATE DATABASE \"VL_ESTADISTICAS\" OWNER \"VL_ESTADISTICAS\""));
    ado::Connection vl;
    vl.open(estadisticas(server));
    vl.execute(script("estadisticas.sql"));
    vl.close();
}

}  // namespace suite_en_servidor
