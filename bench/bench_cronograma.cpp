// Times the schedule generation of a year of daily periods against bare loops that write the same
// number of rows of the same shape into the same table: on the embedded database against a bare
// SQLite loop of 250-row statements writing the very same rows, for a first run and a repeated
// one, in this process and through the program's batch mode; with --servidor on a PostgreSQL server
// started for the run, against a bare loop through the same ODBC driver and against the same rows
// made inside the server.
#include <sqlite3.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ado/ConnectionString.h"
#include "ado/sqlite/SqliteEngine.h"
#include "bench/BareOdbc.h"
#include "data/db_dll/DB_Dll.h"
#include "platform/IniReader.h"
#include "platform/NonInteractivePrompter.h"
#include "platform/Process.h"
#include "report/AvisoBanner.h"
#include "report/CalendarioCronograma.h"
#include "report/GeneradorCronograma.h"
#include "startup/globals/Globals.h"
#include "tests/support/PostgresServer.h"

namespace {

long peakKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// What this process spent on the processor, apart from what it waited for.
double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// What the processes this one waited for spent on the processor.
double childCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Elapsed and processor seconds of one timed step.
struct Tiempo {
    double seconds = 0, cpu = 0;
};

class Reloj {
  public:
    Reloj() { wall_.start(); }
    Tiempo lee() const { return {wall_.elapsed() / 1000.0, cpuSeconds() - cpu_}; }

  private:
    QElapsedTimer wall_;
    double cpu_ = cpuSeconds();
};

QString schema() {
    QFile f(QStringLiteral(BENCH_DB_DIR "/schema.sql"));
    f.open(QIODevice::ReadOnly);
    return QString::fromUtf8(f.readAll());
}

// Work orders `first` to `last` of one year, each with a weekly plan of 60 repetitions: one
// multi-row INSERT a table, in the dialect every engine takes.
QString ordenes(int first, int last, int year) {
    QStringList equipos, comprobantes, planes;
    for (int i = first; i <= last; ++i) {
        const QString code = QStringLiteral("EQ-%1").arg(i, 5, 10, QLatin1Char('0'));
        const QString day = QDate(year, 1, 1).addDays(i % 365).toString(Qt::ISODate);
        equipos << QStringLiteral("('%1', 'Equipo %2', 'Planta %3')").arg(code).arg(i).arg(i % 7);
        comprobantes << QStringLiteral(
                            "(%1, 'ot', '%2', '%3', '%3', 'Cliente %4', '   1', "
                            "'Revisión general', 0, 0)")
                            .arg(i)
                            .arg(code, day)
                            .arg(i % 50);
        planes << QStringLiteral("(%1, '%2', 'S', 1, 60)").arg(i).arg(code);
    }
    return QStringLiteral(
               "INSERT INTO v_ma_mantenimientos (codigo, descripcion, ubicacion) VALUES ") +
           equipos.join(QLatin1Char(',')) +
           QStringLiteral(
               ";\nINSERT INTO v_mv_cpte (idcomprobante, tc, codigomant, fecha, fechaestinicio, "
               "nombre, idtecnico, comentarios, ANULADA, FINALIZADA) VALUES ") +
           comprobantes.join(QLatin1Char(',')) +
           QStringLiteral(
               ";\nINSERT INTO v_mv_cronograma (idcomprobante, codigomant, frecuencia, cada, "
               "total_repeticiones) VALUES ") +
           planes.join(QLatin1Char(',')) + QStringLiteral(";\n");
}

const QString kTecnico = QStringLiteral(
    "INSERT INTO v_ta_tecnicos (idtecnico, nombre) VALUES ('   1', 'Técnico Uno');\n");
constexpr int kOrdenesPorLote = 500;

struct Generacion {
    qint64 rows = 0;
    Tiempo tiempo;
    long peakBeforeKb = 0, peakKb = 0;
};

// A year of daily periods with every box ticked.
ParametrosCronograma parametrosDelAnio(int year) {
    ParametrosCronograma p;
    p.fechaD = QDate(year, 1, 1).toString(QStringLiteral("dd/MM/yyyy"));
    p.fechaH = QDate(year, 12, 31).toString(QStringLiteral("dd/MM/yyyy"));
    p.periodicidad = 0;
    p.codigo = p.descripcion = p.cliente = p.ubicacion = p.tecnico = true;
    return p;
}

// The year through the code the window uses.
bool genera(int year, Generacion& out) {
    gPcUsuario = QStringLiteral("BENCH|USUARIO");
    const ParametrosCronograma p = parametrosDelAnio(year);
    out.peakBeforeKb = peakKb();
    AvisoMudo aviso;
    GeneradorCronograma g(aviso);
    const Reloj reloj;
    if (!g.genera(p)) return false;
    out.tiempo = reloj.lee();
    out.peakKb = peakKb();
    out.rows = g.filasEscritas();
    return true;
}

int periodsOf(int year) {
    return static_cast<int>(QDate(year, 1, 1).daysTo(QDate(year, 12, 31))) + 1;
}

const char* const kLabel = "EQ-00001 Equipo 1\r\nCliente 1\r\nPlanta 1\r\nTécnico Uno";

// ---- the embedded database ------------------------------------------------------------------

void exec(sqlite3* db, const char* sql) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", sql, err ? err : "");
        std::exit(1);
    }
}

constexpr int kColumns = 8;
constexpr int kRowsPerStatement = 250;

std::string insertText(int rows) {
    std::string sql =
        "INSERT INTO AUX_ESTADISTICACTA "
        "(USUARIO,Nombre,Grupo,FechaD,FechaH,ImporteG1,ImporteG2,Detalle) VALUES ";
    for (int r = 0; r < rows; ++r) sql += r ? ",(?,?,?,?,?,?,?,?)" : "(?,?,?,?,?,?,?,?)";
    return sql;
}

// The rows the generation writes for the bench's work orders, made before the loop is timed:
// the same texts (the row label of every ticked box), one row a day with the count of the
// weekly plan's repetitions that fall on it.
struct FilasDesnudas {
    struct Orden {
        std::string nombre, grupo;
        std::vector<char> cuenta;  // per day of the year
    };
    std::vector<Orden> ordenes;
    std::vector<std::string> dias;
    std::string usuario;
    qint64 filas = 0;
};

FilasDesnudas filasDesnudas(int orders, int year, const QString& usuario) {
    FilasDesnudas f;
    f.usuario = usuario.toStdString();
    const int periods = periodsOf(year);
    for (int k = 0; k < periods; ++k)
        f.dias.push_back(QDate(year, 1, 1).addDays(k).toString(Qt::ISODate).toStdString());
    for (int i = 1; i <= orders; ++i) {
        FilasDesnudas::Orden o;
        const QString code = QStringLiteral("EQ-%1").arg(i, 5, 10, QLatin1Char('0'));
        o.nombre = QStringLiteral("Equipo %1").arg(i).toStdString();
        o.grupo = QStringLiteral("%1 Equipo %2\r\nCliente %3\r\nPlanta %4\r\nTécnico Uno")
                      .arg(code)
                      .arg(i)
                      .arg(i % 50)
                      .arg(i % 7)
                      .toStdString();
        o.cuenta.assign(static_cast<std::size_t>(periods), 0);
        for (int r = 0, day = i % 365; r < 60 && day < periods; ++r, day += 7)
            o.cuenta[static_cast<std::size_t>(day)] = 1;
        f.ordenes.push_back(std::move(o));
    }
    f.filas = static_cast<qint64>(orders) * periods;
    return f;
}

struct StmtFree {
    void operator()(sqlite3_stmt* s) const noexcept { sqlite3_finalize(s); }
};
using Stmt = std::unique_ptr<sqlite3_stmt, StmtFree>;

Stmt prepara(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "prepare: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
    return Stmt(st);
}

void paso(sqlite3* db, sqlite3_stmt* st) {
    if (sqlite3_step(st) != SQLITE_DONE) {
        std::fprintf(stderr, "insert: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
    sqlite3_reset(st);
}

// The fastest plain loop we know on the same table (its indexes and collation): one
// transaction that first empties the user's previous rows, statements of 250 rows prepared
// once, texts bound in place without copies, the rows left at the end one statement each.
Tiempo bareLoop(const QString& path, const FilasDesnudas& f) {
    sqlite3* raw = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                    nullptr);
    const std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(raw, sqlite3_close);
    ado::registerSqliteExtensions(raw);
    exec(raw, "PRAGMA foreign_keys=ON");
    const Reloj reloj;
    exec(raw, "BEGIN IMMEDIATE");
    {
        const Stmt borra = prepara(raw, "DELETE FROM AUX_ESTADISTICACTA WHERE USUARIO = ?");
        sqlite3_bind_text(borra.get(), 1, f.usuario.data(), static_cast<int>(f.usuario.size()),
                          SQLITE_STATIC);
        paso(raw, borra.get());
    }
    const Stmt lleno = prepara(raw, insertText(kRowsPerStatement));
    const Stmt uno = prepara(raw, insertText(1));
    const std::string detalle = "Revisión general";
    int enLleno = 0;
    auto text = [](sqlite3_stmt* st, int p, const std::string& s) {
        sqlite3_bind_text(st, p, s.data(), static_cast<int>(s.size()), SQLITE_STATIC);
    };
    const qint64 resto = f.filas % kRowsPerStatement;
    qint64 hechas = 0;
    for (const FilasDesnudas::Orden& o : f.ordenes) {
        for (std::size_t k = 0; k < f.dias.size(); ++k, ++hechas) {
            const bool suelta = hechas >= f.filas - resto;
            sqlite3_stmt* st = suelta ? uno.get() : lleno.get();
            const int p = suelta ? 1 : enLleno * kColumns + 1;
            const int cuenta = o.cuenta[k];
            text(st, p, f.usuario);
            text(st, p + 1, o.nombre);
            text(st, p + 2, o.grupo);
            text(st, p + 3, f.dias[k]);
            text(st, p + 4, f.dias[k]);
            sqlite3_bind_int(st, p + 5, cuenta);
            sqlite3_bind_int(st, p + 6, 0);
            sqlite3_bind_text(st, p + 7, cuenta ? detalle.data() : "",
                              cuenta ? static_cast<int>(detalle.size()) : 0, SQLITE_STATIC);
            if (suelta) {
                paso(raw, st);
            } else if (++enLleno == kRowsPerStatement) {
                paso(raw, st);
                enLleno = 0;
            }
        }
    }
    exec(raw, "COMMIT");
    return reloj.lee();
}

// A year of daily periods with every box ticked, run by the program itself in batch mode from
// a folder of its own, as the suite's scripts run it: process start and end included.
Tiempo loteProceso(const QString& carpeta, int year) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("USERNAME"), QStringLiteral("bench"));
    env.insert(QStringLiteral("TEMP"), carpeta);
    env.remove(QStringLiteral("DISPLAY"));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const double cpu = childCpuSeconds();
    QElapsedTimer t;
    t.start();
    p.start(
        carpeta + QStringLiteral("/cronequipo"),
        {QStringLiteral("@Server=sqlite;@DbName=GESTION;@Usuario=bench;@Password=;@Caja=1;"),
         QStringLiteral("--batch"), QStringLiteral("--desde"), QStringLiteral("01/01/%1").arg(year),
         QStringLiteral("--hasta"), QStringLiteral("31/12/%1").arg(year),
         QStringLiteral("--periodicidad"), QStringLiteral("Diario"), QStringLiteral("--campos"),
         QStringLiteral("codigo,descripcion,cliente,ubicacion,tecnico")});
    if (!p.waitForFinished(600000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        std::fprintf(stderr, "the batch run failed (status %d)\n", p.exitCode());
        std::exit(1);
    }
    return {t.elapsed() / 1000.0, childCpuSeconds() - cpu};
}

// Rows of one user in one database that are not, as many times, the other's: 0 when the
// generation and the bare loop wrote the same schedule.
long long diferentes(const QString& a, const QString& usuarioA, const QString& b,
                     const QString& usuarioB) {
    sqlite3* raw = nullptr;
    sqlite3_open_v2(a.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    const std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(raw, sqlite3_close);
    ado::registerSqliteExtensions(raw);
    const QString sql =
        QStringLiteral(
            "ATTACH '%1' AS otra; "
            "SELECT (SELECT COUNT(*) FROM AUX_ESTADISTICACTA WHERE USUARIO = '%2') - "
            "(SELECT COUNT(*) FROM otra.AUX_ESTADISTICACTA WHERE USUARIO = '%3') + "
            "(SELECT COUNT(*) FROM (SELECT Nombre, Grupo, FechaD, FechaH, ImporteG1, ImporteG2, "
            "Detalle FROM AUX_ESTADISTICACTA WHERE USUARIO = '%2' EXCEPT SELECT Nombre, Grupo, "
            "FechaD, FechaH, ImporteG1, ImporteG2, Detalle FROM otra.AUX_ESTADISTICACTA WHERE "
            "USUARIO = '%3'))")
            .arg(b, usuarioA, usuarioB);
    long long n = -1;
    sqlite3_exec(
        raw, sql.toUtf8().constData(),
        [](void* out, int, char** v, char**) {
            *static_cast<long long*>(out) = v[0] ? std::atoll(v[0]) : -1;
            return 0;
        },
        &n, nullptr);
    return n;
}

// Processor seconds are printed too: on a loaded machine they vary less than elapsed ones.
void fila(const char* forma, const Tiempo& generacion, const Tiempo& desnudo, qint64 rows) {
    std::printf(
        "%-30s %.2f s (%.0f rows/s, processor %.2f s) against %.2f s (%.0f rows/s, "
        "processor %.2f s): ratio %.2f\n",
        forma, generacion.seconds, static_cast<double>(rows) / generacion.seconds, generacion.cpu,
        desnudo.seconds, static_cast<double>(rows) / desnudo.seconds, desnudo.cpu,
        generacion.seconds / desnudo.seconds);
}

int enArchivo(int orders) {
    QTemporaryDir dir;
    // BENCH_CARPETA keeps the folders for a profiler: its "programa" runs the batch mode again.
    const QString guardar = qEnvironmentVariable("BENCH_CARPETA");
    if (!guardar.isEmpty()) dir.setAutoRemove(false);
    platform::process::setProgramFolder(dir.path());
    const QString base = dir.filePath(QStringLiteral("base.db"));
    ado::SqliteEngine::create(base);
    ado::SqliteEngine::open(base)->execute(schema());
    const int year = QDate::currentDate().year();
    {
        QString sql = QStringLiteral("BEGIN;") + kTecnico;
        for (int i = 1; i <= orders; i += kOrdenesPorLote)
            sql += ordenes(i, std::min(orders, i + kOrdenesPorLote - 1), year);
        ado::SqliteEngine::open(base)->executeRaw(sql + QStringLiteral("COMMIT;"));
    }
    // Every form starts on its own copy of the same database: none finds rows another wrote.
    const QString path = dir.filePath(QStringLiteral("BENCH.db"));
    const QString desnudo = dir.filePath(QStringLiteral("DESNUDO.db"));
    QFile::copy(base, path);
    QFile::copy(base, desnudo);

    DB_Dll& db = gDB();
    db.gServidor = QStringLiteral("sqlite");
    db.gDBName = QStringLiteral("BENCH");
    db.gUsuario = QStringLiteral("bench");
    db.OpenServerADODB(false, 3, QString(), false, false);
    if (!db.gOpenFlag) return 1;

    // The first run writes into the empty table, the second replaces the same user's rows. The
    // forms take turns, so that neither alone pays for what the machine still owes to the one
    // before it (the copies just written, the previous run's pages).
    gPcUsuario = QStringLiteral("BENCH|USUARIO");
    const FilasDesnudas filas = filasDesnudas(orders, year, gPcUsuario);
    Generacion primera, segunda;
    const Tiempo bare1 = bareLoop(desnudo, filas);
    if (!genera(year, primera)) return 1;
    const Tiempo bare2 = bareLoop(desnudo, filas);
    if (!genera(year, segunda)) return 1;
    // What the generation's last step costs: measuring the table for the planner, as it does.
    const Reloj medida;
    db.gCnn.refreshStatistics(QStringLiteral("AUX_ESTADISTICACTA"));
    const Tiempo analyze = medida.lee();
    db.gCnn.close();
    const long long distintas = diferentes(path, gPcUsuario, desnudo, gPcUsuario) +
                                diferentes(desnudo, gPcUsuario, path, gPcUsuario);
    if (primera.rows != filas.filas || segunda.rows != filas.filas || distintas != 0) {
        std::fprintf(stderr,
                     "the generation wrote %lld and %lld rows, the bare loop %lld; %lld "
                     "differ\n",
                     static_cast<long long>(primera.rows), static_cast<long long>(segunda.rows),
                     static_cast<long long>(filas.filas), distintas);
        return 1;
    }

    std::printf("work orders:                   %d\n", orders);
    std::printf("rows written:                  %lld (the same rows in both forms)\n",
                static_cast<long long>(filas.filas));
    std::printf("generation against the bare loop of 250-row statements:\n");
    fila("first run (empty table):", primera.tiempo, bare1, filas.filas);
    fila("repeated run (rows replaced):", segunda.tiempo, bare2, filas.filas);
    std::printf("of each, measuring the table:  %.2f s (processor %.2f s)\n", analyze.seconds,
                analyze.cpu);
    std::printf("peak memory:                   %.1f MB (%.1f MB before the generation)\n",
                segunda.peakKb / 1024.0, primera.peakBeforeKb / 1024.0);

    // The schedule's visits as a calendar, as --ics writes them: the orders read again, their
    // repetitions, every event written; then again over the first file, which it replaces.
    // Then with every order planned daily, a visit in each of the 730,000 rows.
    const char* veces[] = {"calendar of its visits:", "calendar over the last one:",
                           "calendar, every order daily:", "the same over the last one:"};
    for (const char* vez : veces) {
        db.OpenServerADODB(false, 3, QString(), false, false);
        if (vez == veces[2]) {
            db.gCnn.execute(QStringLiteral(
                "UPDATE v_mv_cronograma SET frecuencia = 'D', cada = 1, total_repeticiones = 0"));
            db.gCnn.execute(QStringLiteral("UPDATE v_mv_cpte SET fechaestinicio = '%1'")
                                .arg(QDate(year, 1, 1).toString(Qt::ISODate)));
        }
        CalendarioCronograma calendario(parametrosDelAnio(year));
        QString error;
        const Reloj reloj;
        if (!calendario.escribe(dir.filePath(QStringLiteral("visitas.ics")), &error)) {
            std::fprintf(stderr, "calendar: %s\n", error.toUtf8().constData());
            return 1;
        }
        const Tiempo t = reloj.lee();
        db.gCnn.close();
        std::printf("%-31s%.2f s (%lld events, %.0f events/s, processor %.2f s), peak %.1f MB\n",
                    vez, t.seconds, static_cast<long long>(calendario.visitas()),
                    calendario.visitas() / t.seconds, t.cpu, peakKb() / 1024.0);
    }

    // The program in batch mode, from a folder that holds it and a copy of the same database.
    const QString carpeta = dir.filePath(QStringLiteral("programa"));
    QDir().mkpath(carpeta);
    if (!QFile::copy(QStringLiteral(CRONEQUIPO_EXE), carpeta + QStringLiteral("/cronequipo")) ||
        !QFile::copy(base, carpeta + QStringLiteral("/GESTION.db"))) {
        std::fprintf(stderr, "cannot copy the program or the database\n");
        return 1;
    }
    const Tiempo lote1 = loteProceso(carpeta, year);
    const Tiempo lote2 = loteProceso(carpeta, year);
    if (!guardar.isEmpty()) QDir().rename(dir.path(), guardar);
    std::printf("batch mode, process start included, against the same bare loop:\n");
    fila("first run (empty table):", lote1, bare1, filas.filas);
    fila("repeated run (rows replaced):", lote2, bare2, filas.filas);
    return 0;
}

// ---- a database server ----------------------------------------------------------------------

// A text in the driver's wide characters, as the data layer hands texts over.
struct WideText {
    SQLWCHAR chars[64] = {0};
    SQLLEN bytes = 0;
    void set(const std::u16string& s) {
        const std::size_t n = std::min(s.size(), std::size(chars));
        std::memcpy(chars, s.data(), n * sizeof(SQLWCHAR));
        bytes = static_cast<SQLLEN>(n * sizeof(SQLWCHAR));
    }
};

// The buffers of one row of a statement, bound once; each execution only refills them.
struct BoundRow {
    WideText usuario, nombre, grupo, detalle;
    SQL_TIMESTAMP_STRUCT desde{}, hasta{};
    double cuenta = 0, diario = 0;
    SQLLEN dateInd = 0, numberInd = 0;

    void bind(SQLHSTMT st, int first) {
        auto p = [&](int k) { return static_cast<SQLUSMALLINT>(first + k); };
        auto text = [&](int k, WideText& t) {
            bench::check(SQLBindParameter(st, p(k), SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR, 255,
                                          0, t.chars, sizeof t.chars, &t.bytes),
                         SQL_HANDLE_STMT, st, "bind");
        };
        auto stamp = [&](int k, SQL_TIMESTAMP_STRUCT& ts) {
            bench::check(SQLBindParameter(st, p(k), SQL_PARAM_INPUT, SQL_C_TYPE_TIMESTAMP,
                                          SQL_TYPE_TIMESTAMP, 19, 0, &ts, 0, &dateInd),
                         SQL_HANDLE_STMT, st, "bind");
        };
        auto number = [&](int k, double& v) {
            bench::check(SQLBindParameter(st, p(k), SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 15,
                                          0, &v, 0, &numberInd),
                         SQL_HANDLE_STMT, st, "bind");
        };
        text(0, usuario);
        text(1, nombre);
        text(2, grupo);
        stamp(3, desde);
        stamp(4, hasta);
        number(5, cuenta);
        number(6, diario);
        text(7, detalle);
    }
};

// Rows of the schedule's shape through the ODBC C API: one transaction that first empties the
// loop's own rows, a prepared statement of 250 rows re-executed over its bound buffers (the rows
// left at the end in one statement of their own), a commit.
Tiempo bareOdbcLoop(const std::string& connection, qint64 rows, int year) {
    const int periods = periodsOf(year);
    std::vector<SQL_TIMESTAMP_STRUCT> days(static_cast<std::size_t>(periods));
    for (int k = 0; k < periods; ++k) {
        const QDate d = QDate(year, 1, 1).addDays(k);
        days[static_cast<std::size_t>(k)] = {static_cast<SQLSMALLINT>(d.year()),
                                             static_cast<SQLUSMALLINT>(d.month()),
                                             static_cast<SQLUSMALLINT>(d.day()),
                                             0,
                                             0,
                                             0,
                                             0};
    }
    const std::u16string usuario = u"BARE|LOOP", nombre = u"Equipo 1",
                         grupo = QString::fromUtf8(kLabel).toStdU16String(),
                         detalle = u"Revisión general", vacio;

    bench::OdbcConnection db(connection);
    const Reloj reloj;
    db.begin();
    db.exec("DELETE FROM AUX_ESTADISTICACTA WHERE USUARIO = 'BARE|LOOP'");
    auto write = [&](int perStatement, qint64 from, qint64 to) {
        bench::OdbcStatement st(db);
        st.prepare(insertText(perStatement));
        std::vector<BoundRow> batch(static_cast<std::size_t>(perStatement));
        for (int r = 0; r < perStatement; ++r)
            batch[static_cast<std::size_t>(r)].bind(st.get(), r * kColumns + 1);
        for (qint64 done = from; done < to; done += perStatement) {
            for (int r = 0; r < perStatement; ++r) {
                const qint64 i = done + r;
                BoundRow& row = batch[static_cast<std::size_t>(r)];
                row.usuario.set(usuario);
                row.nombre.set(nombre);
                row.grupo.set(grupo);
                row.desde = row.hasta = days[static_cast<std::size_t>(i % periods)];
                row.cuenta = static_cast<double>(i % 2);
                row.diario = 0;
                row.detalle.set(i % 2 ? detalle : vacio);
            }
            st.execute();
        }
    };
    const qint64 whole = rows / kRowsPerStatement * kRowsPerStatement;
    write(kRowsPerStatement, 0, whole);
    if (whole < rows) write(static_cast<int>(rows - whole), whole, rows);
    db.commit();
    return reloj.lee();
}

// The same rows made by the server itself in one statement: no client, no parameters. What the
// server spends on inserting them bounds every client.
Tiempo insertSelect(const std::string& connection, qint64 rows, int year) {
    const std::string sql =
        "INSERT INTO AUX_ESTADISTICACTA "
        "(USUARIO,Nombre,Grupo,FechaD,FechaH,ImporteG1,ImporteG2,Detalle) "
        "SELECT 'INSERT|SELECT', 'Equipo 1', E'EQ-00001 Equipo 1\\r\\nCliente 1\\r\\nPlanta "
        "1\\r\\nTécnico Uno', d, d, i % 2, 0, CASE WHEN i % 2 = 1 THEN 'Revisión general' ELSE "
        "'' END FROM (SELECT i, timestamp '" +
        QDate(year, 1, 1).toString(Qt::ISODate).toStdString() + "' + (i % " +
        std::to_string(periodsOf(year)) + ") * interval '1 day' AS d FROM generate_series(0, " +
        std::to_string(rows - 1) + ") AS i) AS s";
    bench::OdbcConnection db(connection);
    const Reloj reloj;
    db.begin();
    db.exec("DELETE FROM AUX_ESTADISTICACTA WHERE USUARIO = 'INSERT|SELECT'");
    db.exec(sql);
    db.commit();
    return reloj.lee();
}

// The server's database made from the same script as the embedded one, and filled with the same
// work orders, through the data layer.
void preparaServidor(const PostgresServer& server, int orders, int year) {
    ado::Connection pg;
    pg.open(server.connectionString());
    pg.execute(QStringLiteral("DROP SCHEMA public CASCADE"));
    pg.execute(QStringLiteral("CREATE SCHEMA public"));
    pg.execute(schema());
    pg.beginTrans();
    pg.execute(kTecnico);
    for (int i = 1; i <= orders; i += kOrdenesPorLote)
        pg.execute(ordenes(i, std::min(orders, i + kOrdenesPorLote - 1), year));
    pg.commitTrans();
    pg.close();
}

// Each form starts on the same empty table, after a checkpoint: none pays for the rows or the
// log another left. The rows of the one before are counted first.
bool siguiente(const std::string& odbc, const char* usuario, qint64 rows) {
    bench::OdbcConnection db(odbc);
    if (usuario) {
        const long long n =
            db.scalar(std::string("SELECT COUNT(*) FROM AUX_ESTADISTICACTA WHERE USUARIO = '") +
                      usuario + "'");
        if (n != rows) {
            std::fprintf(stderr, "%s wrote %lld rows, not %lld\n", usuario, n,
                         static_cast<long long>(rows));
            return false;
        }
        db.exec("TRUNCATE AUX_ESTADISTICACTA");
    }
    db.exec("CHECKPOINT");
    return true;
}

void imprime(const char* form, const Tiempo& t, qint64 rows) {
    std::printf("%-28s %.2f s, %.0f rows/s (client processor %.2f s)\n", form, t.seconds,
                static_cast<double>(rows) / t.seconds, t.cpu);
}

int enServidor(int orders) {
    const PostgresServer& server = PostgresServer::instance();
    if (!server.failure().isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(server.failure()));
        return 1;
    }
    const int year = QDate::currentDate().year();
    preparaServidor(server, orders, year);

    // The program reaches the server as an administrator sets it up: the driver named in its
    // settings file, the server as "host,port".
    QTemporaryDir dir;
    platform::process::setProgramFolder(dir.path());
    platform::writeIniKey(dir.filePath(QStringLiteral("KV300mn.INI")), QStringLiteral("ODBC"),
                          QStringLiteral("DriverSQLServer"), PostgresServer::driver());
    DB_Dll& db = gDB();
    db.gServidor = QStringLiteral("127.0.0.1,%1").arg(server.port());
    db.gDBName = QStringLiteral("cronequipo");
    db.gUsuario = QStringLiteral("postgres");
    db.gUserPassWord.clear();
    db.OpenServerADODB(false, 3, QString(), false, false);
    if (!db.gOpenFlag) return 1;
    // The loops go through the very text the data layer handed to the driver manager.
    const std::string odbc = ado::chooseEngine(db.gConnString, {}, {}).odbcText.toStdString();

    // A first round of the rows, untimed, makes the server's log files: the form timed first
    // would otherwise pay for creating them and the others only reuse them.
    const qint64 expected = static_cast<qint64>(orders) * periodsOf(year);
    insertSelect(odbc, expected, year);
    Generacion g;
    if (!siguiente(odbc, "INSERT|SELECT", expected) || !genera(year, g)) return 1;
    if (!siguiente(odbc, "BENCH|USUARIO", g.rows)) return 1;
    const Tiempo bare = bareOdbcLoop(odbc, g.rows, year);
    if (!siguiente(odbc, "BARE|LOOP", g.rows)) return 1;
    const Tiempo inside = insertSelect(odbc, g.rows, year);
    if (!siguiente(odbc, "INSERT|SELECT", g.rows)) return 1;

    std::printf("work orders:                 %d (PostgreSQL through its ODBC driver)\n", orders);
    std::printf("rows written:                %lld\n", static_cast<long long>(g.rows));
    imprime("generation:", g.tiempo, g.rows);
    imprime("bare ODBC loop:", bare, g.rows);
    imprime("INSERT ... SELECT:", inside, g.rows);
    std::printf("ratio to the bare loop:      %.2f\n", g.tiempo.seconds / bare.seconds);
    std::printf("ratio to INSERT ... SELECT:  %.2f\n", g.tiempo.seconds / inside.seconds);
    std::printf("peak memory:                 %.1f MB (%.1f MB before the generation)\n",
                g.peakKb / 1024.0, g.peakBeforeKb / 1024.0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    platform::setPrompter(std::make_shared<platform::NonInteractivePrompter>());
    const bool servidor = argc > 1 && std::strcmp(argv[1], "--servidor") == 0;
    const int first = servidor ? 2 : 1;
    // 2,000 work orders make 730,000 rows of a daily year; on a server 1,370 (500,050 rows):
    // three forms and the round that makes the server's log files stay well under a minute.
    const int orders = argc > first ? std::atoi(argv[first]) : servidor ? 1370 : 2000;
    try {
        return servidor ? enServidor(orders) : enArchivo(orders);
    } catch (const std::exception& e) {
        // A failure of the driver or of the data layer ends the run with its message.
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
