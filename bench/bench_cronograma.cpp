// Times the schedule generation of a year of daily periods against a bare SQLite insert loop
// that writes the same number of rows of the same shape into the same table.
#include <sqlite3.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "ado/sqlite/SqliteEngine.h"
#include "data/db_dll/DB_Dll.h"
#include "platform/NonInteractivePrompter.h"
#include "platform/Process.h"
#include "report/AvisoBanner.h"
#include "report/GeneradorCronograma.h"
#include "startup/globals/Globals.h"

namespace {

long peakKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

void exec(sqlite3* db, const char* sql) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", sql, err ? err : "");
        std::exit(1);
    }
}

// Work orders of one year, each with a weekly plan of 60 repetitions.
void fill(const QString& path, int orders, int year) {
    auto engine = ado::SqliteEngine::open(path);
    QString sql = QStringLiteral(
        "BEGIN;INSERT INTO v_ta_tecnicos (idtecnico, nombre) VALUES ('   1', 'Técnico Uno');");
    for (int i = 1; i <= orders; ++i) {
        const QString code = QStringLiteral("EQ-%1").arg(i, 5, 10, QLatin1Char('0'));
        const QString day = QDate(year, 1, 1).addDays(i % 365).toString(Qt::ISODate);
        sql += QStringLiteral(
                   "INSERT INTO v_ma_mantenimientos (codigo, descripcion, ubicacion) VALUES ('%1', "
                   "'Equipo %2', 'Planta %3');")
                   .arg(code)
                   .arg(i)
                   .arg(i % 7);
        sql += QStringLiteral(
                   "INSERT INTO v_mv_cpte (idcomprobante, tc, codigomant, fecha, fechaestinicio, "
                   "nombre, idtecnico, comentarios, ANULADA, FINALIZADA) "
                   "VALUES (%1, 'ot', '%2', '%3', '%3', 'Cliente %4', '   1', 'Revisión general', "
                   "0, 0);")
                   .arg(i)
                   .arg(code, day)
                   .arg(i % 50);
        sql += QStringLiteral(
                   "INSERT INTO v_mv_cronograma (idcomprobante, codigomant, frecuencia, cada, "
                   "total_repeticiones) VALUES (%1, '%2', 'S', 1, 60);")
                   .arg(i)
                   .arg(code);
    }
    sql += QStringLiteral("COMMIT;");
    engine->executeRaw(sql);
}

double bareLoop(const QString& path, qint64 rows, int periods) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    ado::registerSqliteExtensions(db);
    QElapsedTimer t;
    t.start();
    exec(db, "BEGIN IMMEDIATE");
    exec(db, "DELETE FROM AUX_ESTADISTICACTA WHERE USUARIO = 'BARE|LOOP'");
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO AUX_ESTADISTICACTA "
                       "(USUARIO,Nombre,Grupo,FechaD,FechaH,ImporteG1,ImporteG2,Detalle) "
                       "VALUES (?,?,?,?,?,?,?,?)",
                       -1, &st, nullptr);
    const QDate first(QDate::currentDate().year(), 1, 1);
    for (qint64 i = 0; i < rows; ++i) {
        const QByteArray label = "EQ-00001 Equipo 1\r\nCliente 1\r\nPlanta 1\r\nTécnico Uno";
        const QByteArray day = first.addDays(i % periods).toString(Qt::ISODate).toUtf8();
        sqlite3_bind_text(st, 1, "BARE|LOOP", -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 2, "Equipo 1", -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 3, label.constData(), static_cast<int>(label.size()),
                          SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 4, day.constData(), static_cast<int>(day.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 5, day.constData(), static_cast<int>(day.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(st, 6, i % 2);
        sqlite3_bind_int64(st, 7, 0);
        sqlite3_bind_text(st, 8, (i % 2) ? "Revisión general" : "", -1, SQLITE_STATIC);
        if (sqlite3_step(st) != SQLITE_DONE) {
            std::fprintf(stderr, "insert: %s\n", sqlite3_errmsg(db));
            std::exit(1);
        }
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    exec(db, "COMMIT");
    const double s = t.elapsed() / 1000.0;
    sqlite3_close(db);
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int orders = argc > 1 ? std::atoi(argv[1]) : 2740;
    platform::setPrompter(std::make_shared<platform::NonInteractivePrompter>());
    QTemporaryDir dir;
    platform::process::setProgramFolder(dir.path());
    const QString path = dir.filePath(QStringLiteral("BENCH.db"));
    ado::SqliteEngine::create(path);
    {
        QFile schema(QStringLiteral(BENCH_DB_DIR "/schema.sql"));
        schema.open(QIODevice::ReadOnly);
        ado::SqliteEngine::open(path)->execute(QString::fromUtf8(schema.readAll()));
    }
    const int year = QDate::currentDate().year();
    fill(path, orders, year);

    DB_Dll& db = gDB();
    db.gServidor = QStringLiteral("sqlite");
    db.gDBName = QStringLiteral("BENCH");
    db.gUsuario = QStringLiteral("bench");
    db.OpenServerADODB(false, 3, QString(), false, false);
    if (!db.gOpenFlag) return 1;
    gPcUsuario = QStringLiteral("BENCH|USUARIO");

    ParametrosCronograma p;
    p.fechaD = QDate(year, 1, 1).toString(QStringLiteral("dd/MM/yyyy"));
    p.fechaH = QDate(year, 12, 31).toString(QStringLiteral("dd/MM/yyyy"));
    p.periodicidad = 0;
    p.codigo = p.descripcion = p.cliente = p.ubicacion = p.tecnico = true;
    const long before = peakKb();
    AvisoMudo aviso;
    GeneradorCronograma g(aviso);
    QElapsedTimer t;
    t.start();
    if (!g.genera(p)) return 1;
    const double ours = t.elapsed() / 1000.0;
    const long peak = peakKb();
    const int periods = QDate(year, 1, 1).daysTo(QDate(year, 12, 31)) + 1;
    const double bare = bareLoop(path, g.filasEscritas(), periods);

    std::printf("work orders:        %d\n", orders);
    std::printf("rows written:       %lld\n", static_cast<long long>(g.filasEscritas()));
    std::printf("generation:         %.2f s, %.0f rows/s\n", ours, g.filasEscritas() / ours);
    std::printf("bare insert loop:   %.2f s, %.0f rows/s\n", bare, g.filasEscritas() / bare);
    std::printf("ratio:              %.2f\n", ours / bare);
    std::printf("peak memory:        %.1f MB (%.1f MB before the generation)\n", peak / 1024.0,
                before / 1024.0);
    return 0;
}
