// Times the schedule report's outputs against bare loops that write the same cells: a
// spreadsheet through libxlsxwriter in constant memory, a PDF through QPdfWriter and QPainter.
// Prints seconds, pages and the peak memory of the process after each step.
#include <sqlite3.h>
#include <sys/resource.h>
#include <xlsxwriter.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

#include "ado/sqlite/SqliteEngine.h"
#include "platform/NonInteractivePrompter.h"
#include "platform/Process.h"
#include "reportengine/PageView.h"
#include "reportengine/PagedReport.h"
#include "reportengine/PdfExport.h"
#include "reportengine/ReportEngineImpl.h"
#include "reportengine/ReportPreview.h"
#include "reportengine/ReportTable.h"
#include "reportengine/XlsxExport.h"
#include "widgets/GuardedApplication.h"

using namespace reportengine;

namespace {

const char* kUser = "BENCH|USUARIO";

long peakMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
}

void exec(sqlite3* db, const char* sql) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", sql, err ? err : "");
        std::exit(1);
    }
}

struct Scenario {
    const char* name;
    int labels;
    QDate first;
    int periods;
    int days;  // a period's length
};

QString labelOf(int r) {
    return QStringLiteral("EQ-%1 Equipo %2\r\nCliente %3")
        .arg(r + 1, 5, 10, QLatin1Char('0'))
        .arg(r + 1)
        .arg(r % 50);
}

// Visits of a cell: a few, most cells empty, as a schedule has them.
int visits(int r, int p) {
    return (r * 7 + p) % 13 == 0 ? 1 + (r + p) % 2 : 0;
}

void fill(const QString& path, const Scenario& s) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    ado::registerSqliteExtensions(db);
    exec(db, "BEGIN IMMEDIATE");
    exec(db, "DELETE FROM AUX_ESTADISTICACTA");
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO AUX_ESTADISTICACTA "
                       "(USUARIO,Nombre,Grupo,FechaD,FechaH,ImporteG1,ImporteG2,Detalle) "
                       "VALUES (?,'Equipo',?,?,?,?,?,'')",
                       -1, &st, nullptr);
    // Work order by work order, every period of each, as the generation writes them.
    for (int r = 0; r < s.labels; ++r) {
        const QByteArray label = labelOf(r).toUtf8();
        for (int p = 0; p < s.periods; ++p) {
            const QDate from = s.first.addDays(qint64(p) * s.days);
            const QByteArray f = from.toString(Qt::ISODate).toUtf8();
            const QByteArray t = from.addDays(s.days - 1).toString(Qt::ISODate).toUtf8();
            sqlite3_bind_text(st, 1, kUser, -1, SQLITE_STATIC);
            sqlite3_bind_text(st, 2, label.constData(), int(label.size()), SQLITE_STATIC);
            sqlite3_bind_text(st, 3, f.constData(), int(f.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 4, t.constData(), int(t.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int(st, 5, visits(r, p));
            sqlite3_bind_int(st, 6, s.days == 1 ? 0 : 1);
            if (sqlite3_step(st) != SQLITE_DONE) std::exit(1);
            sqlite3_reset(st);
        }
    }
    sqlite3_finalize(st);
    exec(db, "COMMIT");
    sqlite3_close(db);
    // Measured, as the generation leaves its table (SINSTATS=1: unmeasured, to compare).
    if (!qEnvironmentVariableIsSet("SINSTATS"))
        ado::SqliteEngine::open(path)->refreshStatistics(QStringLiteral("AUX_ESTADISTICACTA"));
    if (qEnvironmentVariableIsSet("PAUSA")) QThread::sleep(qEnvironmentVariableIntValue("PAUSA"));
}

// The same cells as the report's sheet, written straight from the generating formula; sheets
// of 16,383 periods as the report cuts them.
double bareXlsx(const QString& path, const Scenario& s) {
    QElapsedTimer t;
    t.start();
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    lxw_format* date = workbook_add_format(book);
    format_set_num_format(date, "dd/mm/yy");
    const int across = XlsxExport::kMaxColumns - 1;
    const int sheets = (s.periods + 1 + across - 1) / across;
    std::vector<lxw_worksheet*> ws;
    for (int i = 0; i < sheets; ++i) ws.push_back(workbook_add_worksheet(book, nullptr));
    for (auto* w : ws) worksheet_write_string(w, 0, 0, "Cronograma de Mantenimiento", nullptr);
    for (int h = 0; h < (s.days == 1 ? 1 : 2); ++h) {
        for (int p = 0; p < s.periods; ++p) {
            const QDate d = s.first.addDays(qint64(p) * s.days + (h ? s.days - 1 : 0));
            const lxw_col_t col = static_cast<lxw_col_t>(p % across + 1);
            if (d.year() < 1900) {
                worksheet_write_string(
                    ws[p / across], 4 + h, col,
                    d.toString(QStringLiteral("dd/MM/yyyy")).toUtf8().constData(), nullptr);
            } else {
                lxw_datetime dt{d.year(), d.month(), d.day(), 0, 0, 0};
                worksheet_write_datetime(ws[p / across], 4 + h, col, &dt, date);
            }
        }
    }
    const lxw_row_t first = s.days == 1 ? 5 : 6;
    std::vector<double> periodTotals(static_cast<std::size_t>(s.periods));
    for (int r = 0; r < s.labels; ++r) {
        const QByteArray label = labelOf(r).toUtf8();
        double total = 0;
        for (auto* w : ws) worksheet_write_string(w, first + r, 0, label.constData(), nullptr);
        for (int p = 0; p < s.periods; ++p) {
            const int v = visits(r, p);
            if (v == 0) continue;
            total += v;
            periodTotals[p] += v;
            worksheet_write_number(ws[p / across], first + r,
                                   static_cast<lxw_col_t>(p % across + 1), v, nullptr);
        }
        worksheet_write_number(ws[s.periods / across], first + r,
                               static_cast<lxw_col_t>(s.periods % across + 1), total, nullptr);
    }
    for (int p = 0; p < s.periods; ++p)
        worksheet_write_number(ws[p / across], first + s.labels,
                               static_cast<lxw_col_t>(p % across + 1), periodTotals[p], nullptr);
    workbook_close(book);
    return t.elapsed() / 1000.0;
}

// The same pages as the report's PDF: on each, the heading lines, a grid of the same rows and
// periods with their texts, and the foot line.
double barePdf(const QString& path, const Scenario& s, int pages, int rowsPerPage,
               int periodsPerPage) {
    QElapsedTimer t;
    t.start();
    QPdfWriter writer(path);
    writer.setPageLayout(PdfExport::pageLayout(true));
    writer.setResolution(600);
    QPainter painter(&writer);
    const double scale = writer.logicalDpiX() / 72.0;
    painter.scale(scale, scale);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(7 * 72.0 / writer.logicalDpiY());
    painter.setFont(font);
    painter.setPen(QPen(Qt::gray, 0.4));
    const double w = 30, h = 24, left = 150;
    for (int page = 0; page < pages; ++page) {
        if (page > 0) writer.newPage();
        painter.drawText(QRectF(0, 0, 700, 20), Qt::AlignCenter,
                         QStringLiteral("Cronograma de Mantenimiento"));
        const int firstPeriod = (page * periodsPerPage) % std::max(s.periods, 1);
        for (int i = 0; i < periodsPerPage; ++i) {
            const QRectF cell(left + i * w, 40, w, h);
            painter.drawRect(cell);
            painter.drawText(cell, Qt::AlignCenter,
                             s.first.addDays(qint64(firstPeriod + i) * s.days)
                                 .toString(QStringLiteral("dd/MM/yy")));
        }
        for (int r = 0; r < rowsPerPage; ++r) {
            const double y = 40 + h * (r + 1);
            painter.fillRect(QRectF(0, y, left, h), Qt::white);
            painter.drawRect(QRectF(0, y, left, h));
            painter.drawText(QRectF(2, y, left, h), Qt::AlignLeft | Qt::AlignVCenter,
                             labelOf(r).left(20));
            for (int i = 0; i < periodsPerPage; ++i) {
                const QRectF cell(left + i * w, y, w, h);
                const int v = visits(r, firstPeriod + i);
                if (v) painter.fillRect(cell, QColor(0xc9, 0xdf, 0xf4));
                painter.drawRect(cell);
                if (v) painter.drawText(cell, Qt::AlignCenter, QString::number(v));
            }
        }
        painter.drawText(QRectF(0, 520, 700, 12), Qt::AlignRight,
                         QStringLiteral("Página %1 de %2").arg(page + 1).arg(pages));
    }
    painter.end();
    return t.elapsed() / 1000.0;
}

// Opens the preview and paints its first page; gives the page count.
int showFirstPage(const ReportDocument& doc) {
    ReportPreview preview(doc, 0);
    preview.show();
    preview.view()->grab();
    return preview.view()->pageCount();
}

void run(const QString& folder, const Scenario& s) {
    fill(QDir(folder).filePath(QStringLiteral("BENCH.db")), s);
    std::printf("\n%s: %d labels x %d periods (%lld cells)\n", s.name, s.labels, s.periods,
                static_cast<long long>(s.labels) * s.periods);
    QElapsedTimer t;
    t.start();
    auto doc = ReportEngineImpl::build(
        QStringLiteral("Cronequipo"),
        QStringLiteral("{Aux_EstadisticaCta.USUARIO} = '%1'").arg(QLatin1String(kUser)),
        QStringLiteral("DSN=BENCH; UID=bench; PWD="), {}, folder);
    if (!doc) std::exit(1);
    std::printf(
        "  labels, periods, totals, cells %6.2f s   peak %4ld MB  (read from the database)\n",
        t.elapsed() / 1000.0, peakMb());
    // LECTURAS=n: the reading alone, n times more, to see how much it varies.
    for (int i = 0; i < qEnvironmentVariableIntValue("LECTURAS"); ++i) {
        t.restart();
        doc = ReportEngineImpl::build(
            QStringLiteral("Cronequipo"),
            QStringLiteral("{Aux_EstadisticaCta.USUARIO} = '%1'").arg(QLatin1String(kUser)),
            QStringLiteral("DSN=BENCH; UID=bench; PWD="), {}, folder);
        const double read = t.elapsed() / 1000.0;
        showFirstPage(*doc);
        std::printf("  read again, first page shown  %7.2f s   (%.2f s reading)\n",
                    t.elapsed() / 1000.0, read);
    }
    if (qEnvironmentVariableIsSet("LECTURAS")) return;

    t.restart();
    const int pageCount = showFirstPage(*doc);
    std::printf("  preview, first page shown     %7.2f s   peak %4ld MB  (%d pages)\n",
                t.elapsed() / 1000.0, peakMb(), pageCount);

    QString why;
    const QString xlsx = QDir(folder).filePath(QStringLiteral("informe.xlsx"));
    t.restart();
    if (XlsxExport::write(*doc, xlsx, &why) != Outcome::Written) std::exit(1);
    const double ours = t.elapsed() / 1000.0;
    const double bare = bareXlsx(QDir(folder).filePath(QStringLiteral("bare.xlsx")), s);
    std::printf("  spreadsheet                   %7.2f s   peak %4ld MB\n", ours, peakMb());
    std::printf("  bare libxlsxwriter loop       %7.2f s   ratio %.2f\n", bare, ours / bare);

    const QString pdf = QDir(folder).filePath(QStringLiteral("informe.pdf"));
    const QPageLayout page = PdfExport::pageLayout(true);
    int pages = 0, rowsPerPage = 0, periodsPerPage = 0;
    {
        FontMeasure measure;
        const PageLayout layout(page.paintRect(QPageLayout::Point).size(), measure);
        const auto plan = layout.gridPlan(*doc);
        pages = static_cast<int>(plan.size());
        rowsPerPage = plan.front().rowCount;
        periodsPerPage = plan.front().periodCount;
    }
    t.restart();
    if (PdfExport::write(*doc, pdf, &why) != Outcome::Written) std::exit(1);
    const double oursPdf = t.elapsed() / 1000.0;
    const double barePdfTime = barePdf(QDir(folder).filePath(QStringLiteral("bare.pdf")), s, pages,
                                       rowsPerPage, periodsPerPage);
    std::printf("  PDF (%5d pages)              %7.2f s   peak %4ld MB\n", pages, oursPdf,
                peakMb());
    std::printf("  bare QPdfWriter loop          %7.2f s   ratio %.2f\n", barePdfTime,
                oursPdf / barePdfTime);
}

// A list longer than the rows kept in memory: the inventory of `count` pieces of equipment.
void runList(const QString& folder, int count) {
    const QString path = QDir(folder).filePath(QStringLiteral("BENCH.db"));
    {
        sqlite3* db = nullptr;
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        ado::registerSqliteExtensions(db);
        exec(db, "BEGIN IMMEDIATE");
        exec(db, "DELETE FROM v_ma_mantenimientos");
        exec(db, "DELETE FROM VT_CLIENTES");
        for (int c = 0; c < 50; ++c) {
            exec(db, QStringLiteral("INSERT INTO VT_CLIENTES (CODIGO, RAZON_SOCIAL) VALUES "
                                    "('%1', 'Cliente %2 S.R.L.')")
                         .arg(c, 6)
                         .arg(c)
                         .toUtf8()
                         .constData());
        }
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO v_ma_mantenimientos (codigo, descripcion, ubicacion, "
                           "idcliente) VALUES (?,?,?,?)",
                           -1, &st, nullptr);
        for (int r = 0; r < count; ++r) {
            const QByteArray code =
                QStringLiteral("EQ-%1").arg(r, 7, 10, QLatin1Char('0')).toUtf8();
            const QByteArray what = QStringLiteral("Compresor de aire%1")
                                        .arg(r % 5 ? ""
                                                   : " con tanque de 200 litros y "
                                                     "filtro de partículas")
                                        .toUtf8();
            const QByteArray where =
                QStringLiteral("Planta %1, sector %2").arg(r % 7).arg(r % 11).toUtf8();
            const QByteArray customer = QStringLiteral("%1").arg(r % 50, 6).toUtf8();
            sqlite3_bind_text(st, 1, code.constData(), int(code.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 2, what.constData(), int(what.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 3, where.constData(), int(where.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 4, customer.constData(), int(customer.size()), SQLITE_TRANSIENT);
            if (sqlite3_step(st) != SQLITE_DONE) std::exit(1);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        exec(db, "COMMIT");
        sqlite3_close(db);
    }
    std::printf("\ninventario: %d rows (%.0f values kept in memory at most)\n", count,
                ReportTable::heldBudget());
    QElapsedTimer t;
    t.start();
    auto doc = ReportEngineImpl::build(QStringLiteral("Rp_InvenEquipos"), {},
                                       QStringLiteral("DSN=BENCH; UID=bench; PWD="), {}, folder);
    if (!doc) std::exit(1);
    std::printf("  rows counted                  %7.2f s   peak %4ld MB  (%s)\n",
                t.elapsed() / 1000.0, peakMb(), doc->table.held() ? "held" : "read again");
    t.restart();
    const int pageCount = showFirstPage(*doc);
    std::printf("  preview, first page shown     %7.2f s   peak %4ld MB  (%d pages)\n",
                t.elapsed() / 1000.0, peakMb(), pageCount);
    QString why;
    t.restart();
    if (XlsxExport::write(*doc, QDir(folder).filePath(QStringLiteral("lista.xlsx")), &why) !=
        Outcome::Written)
        std::exit(1);
    std::printf("  spreadsheet                   %7.2f s   peak %4ld MB\n", t.elapsed() / 1000.0,
                peakMb());
    t.restart();
    if (PdfExport::write(*doc, QDir(folder).filePath(QStringLiteral("lista.pdf")), &why) !=
        Outcome::Written)
        std::exit(1);
    std::printf("  PDF                           %7.2f s   peak %4ld MB\n", t.elapsed() / 1000.0,
                peakMb());
}

}  // namespace

int main(int argc, char** argv) {
    platform::GuardedApplication app(argc, argv);
    platform::setPrompter(std::make_shared<platform::NonInteractivePrompter>());
    QTemporaryDir dir;
    platform::process::setProgramFolder(dir.path());
    QDir(dir.path()).mkdir(QStringLiteral("reportes"));
    QFile::copy(QStringLiteral(BENCH_REPORTS_DIR "/Cronequipo.xml"),
                dir.filePath(QStringLiteral("reportes/Cronequipo.xml")));
    const QString path = dir.filePath(QStringLiteral("BENCH.db"));
    ado::SqliteEngine::create(path);
    {
        QFile schema(QStringLiteral(BENCH_DB_DIR "/schema.sql"));
        schema.open(QIODevice::ReadOnly);
        ado::SqliteEngine::open(path)->execute(QString::fromUtf8(schema.readAll()));
    }
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const Scenario scenarios[] = {
        {"semanal", 2000, QDate(2026, 1, 5), 52, 7},
        {"diario", 20, QDate(1900, 1, 1),
         static_cast<int>(QDate(1900, 1, 1).daysTo(QDate(2100, 12, 31))) + 1, 1},
    };
    for (const Scenario& s : scenarios)
        if (only.isEmpty() || only == QLatin1String(s.name)) run(dir.path(), s);
    // On its own only: the peak memory is the process's, and would be the schedules'.
    if (only == QLatin1String("inventario")) {
        QFile::copy(QStringLiteral(BENCH_REPORTS_DIR "/Rp_InvenEquipos.xml"),
                    dir.filePath(QStringLiteral("reportes/Rp_InvenEquipos.xml")));
        runList(dir.path(), argc > 2 ? std::atoi(argv[2]) : 300000);
    }
    return 0;
}
