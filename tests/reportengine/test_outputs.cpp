// The report's outputs at scale: cells read from the database a block at a time, sheets that
// continue, files put in place only when complete, cancelled outputs, the preview's keys.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <thread>

#include "ado/Command.h"
#include "ado/Connection.h"
#include "ado/sqlite/SqliteEngine.h"
#include "banner/Dll_Display.h"
#include "banner/Lbf_CtrlDisplay.h"
#include "platform/Process.h"
#include "reportengine/Background.h"
#include "reportengine/BannerProgress.h"
#include "reportengine/FontMeasure.h"
#include "reportengine/OutputFile.h"
#include "reportengine/PageLayout.h"
#include "reportengine/PageView.h"
#include "reportengine/PdfExport.h"
#include "reportengine/PeriodReader.h"
#include "reportengine/PrintSettingStore.h"
#include "reportengine/ReportEngineImpl.h"
#include "reportengine/ReportPreview.h"
#include "reportengine/ReportSource.h"
#include "reportengine/ReportTable.h"
#include "reportengine/XlsxExport.h"
#include "tests/support/Aplicacion.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/Unzip.h"

using namespace reportengine;
using platform::Variant;

namespace {

QByteArray bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

ReportDocument gridDocument(const std::vector<ScheduleEntry>& entries) {
    ReportDocument doc;
    doc.name = QStringLiteral("Cronequipo");
    doc.kind = ReportTemplate::Kind::Grid;
    doc.landscape = true;
    doc.title = QStringLiteral("Cronograma de Mantenimiento de Equipos");
    doc.company = QStringLiteral("Servicios Técnicos del Sur");
    doc.printedAt = QDateTime(QDate(2026, 12, 9), QTime(10, 0));
    doc.grid = ScheduleGrid(entries);
    doc.labelHeading = QStringLiteral("Equipo");
    return doc;
}

// Labels by periods of single days from `first`, a visit where (r + p) % every == 0.
std::vector<ScheduleEntry> days(int labels, int periods, QDate first, int every = 3) {
    std::vector<ScheduleEntry> out;
    for (int r = 0; r < labels; ++r) {
        for (int p = 0; p < periods; ++p) {
            const QDate d = first.addDays(p);
            out.push_back({QStringLiteral("EQ-%1").arg(r + 1, 3, 10, QLatin1Char('0')), d, d,
                           (r + p) % every == 0 ? 1.0 : 0.0, true, QString()});
        }
    }
    return out;
}

// The cells of a sheet: reference (A1) to value, numbers and inline texts alike.
std::map<QString, QString> cells(const QByteArray& sheet) {
    static const QRegularExpression cell(QStringLiteral(
        R"re(<c r="([A-Z]+[0-9]+)"[^>]*?(?:/>|>(?:<v>([^<]*)</v>|<is><t[^>]*>([^<]*)</t></is>)</c>))re"));
    std::map<QString, QString> out;
    for (auto it = cell.globalMatch(QString::fromUtf8(sheet)); it.hasNext();) {
        const auto m = it.next();
        out[m.captured(1)] = m.captured(2).isNull() ? m.captured(3) : m.captured(2);
    }
    return out;
}

class Outputs : public testing::Test {
  protected:
    void SetUp() override {
        testApp();
        ASSERT_TRUE(dir.isValid());
        // The user's settings of this run alone: the same test under another locale may run
        // at the same time.
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
        previousPrompter = platform::setPrompter(prompts);
    }
    void TearDown() override {
        platform::setPrompter(previousPrompter);
        ScheduleGrid::setHeldBudget(ScheduleGrid::kHeldEntries);
        ReportTable::setHeldBudget(ReportTable::kHeldValues);
        if (cnn.state() == ado::adstate::Open) cnn.close();
        platform::process::setProgramFolder({});
    }
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    // An embedded database with the suite's tables in the program folder and the templates
    // named; `cnn` open on it. Gives the connection text the suite hands over.
    QString database(std::initializer_list<const char*> templates) {
        platform::process::setProgramFolder(dir.path());
        QDir(dir.path()).mkpath(QStringLiteral("reportes"));
        for (const char* t : templates) {
            const QString name = QStringLiteral("reportes/%1.xml").arg(QLatin1String(t));
            EXPECT_TRUE(
                QFile::copy(QStringLiteral(TEST_REPORTS_DIR "/%1.xml").arg(QLatin1String(t)),
                            dir.filePath(name)));
        }
        const QString db = dir.filePath(QStringLiteral("GESTION.db"));
        ado::SqliteEngine::create(db);
        QFile schema(QStringLiteral(TEST_DB_DIR "/schema.sql"));
        EXPECT_TRUE(schema.open(QIODevice::ReadOnly));
        ado::SqliteEngine::open(db)->execute(QString::fromUtf8(schema.readAll()));
        const QString connectionText = QStringLiteral("DSN=GESTION; UID=demo; PWD=");
        cnn.open(ReportSource::connectionString(connectionText));
        return connectionText;
    }

    QTemporaryDir dir;
    ado::Connection cnn;
    std::shared_ptr<platform::ScriptedPrompter> prompts =
        std::make_shared<platform::ScriptedPrompter>();
    std::shared_ptr<platform::Prompter> previousPrompter;
};

// ---- cells read from the database -------------------------------------------------------------

TEST_F(Outputs, TheCellsReadFromTheDatabaseAreThoseOfTheRowsHeldInMemory) {
    const QString connectionText = database({"Cronequipo", "CronequipoObs"});

    // Forty labels (some written two ways), forty days; several entries in some cells, zeros,
    // observations, another user's rows.
    std::vector<ScheduleEntry> mine;
    ado::Command insert;
    insert.setActiveConnection(cnn);
    insert.setCommandText(QStringLiteral(
        "INSERT INTO AUX_ESTADISTICACTA (USUARIO,Nombre,Grupo,FechaD,FechaH,ImporteG1,ImporteG2,"
        "Detalle) VALUES (?,'x',?,?,?,?,?,?)"));
    cnn.execute(QStringLiteral("BEGIN"));
    for (int r = 0; r < 40; ++r) {
        for (int p = 0; p < 40; ++p) {
            const QDate d = QDate(2026, 1, 1).addDays(p);
            for (int k = 0; k < 1 + (r * p) % 3; ++k) {
                const QString label =
                    QStringLiteral("EQ-%1 Equipo%2").arg(r).arg(k == 1 ? "\r\n" : "");
                const double count = (r + p + k) % 4 == 0 ? 1 + k : 0;
                const QString detail =
                    (r + p) % 7 == 0 ? QStringLiteral("Revisar %1").arg(k) : QString();
                insert.execute({QStringLiteral("PC01|JUAN"), label, d, d, count, 0, detail});
                mine.push_back({label, d, d, count, true, detail});
                insert.execute({QStringLiteral("PC02|ANA"), label, d, d, 9, 0, QString()});
            }
        }
    }
    cnn.execute(QStringLiteral("COMMIT"));
    const QString selection = QStringLiteral("{Aux_EstadisticaCta.USUARIO} = 'PC01|JUAN'");

    struct Case {
        const char* report;
        double budget;  // of entries kept in memory: all, or few enough to read page by page
    } cases[] = {{"Cronequipo", ScheduleGrid::kHeldEntries},
                 {"Cronequipo", 10},
                 {"CronequipoObs", ScheduleGrid::kHeldEntries},
                 {"CronequipoObs", 10}};
    const ScheduleGrid held(mine);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.report << ", budget " << c.budget);
        ScheduleGrid::setHeldBudget(c.budget);
        const auto doc = ReportEngineImpl::build(QString::fromLatin1(c.report), selection,
                                                 connectionText, {}, dir.path());
        ASSERT_TRUE(doc.has_value());
        const ScheduleGrid& g = doc->grid;
        ASSERT_EQ(g.rowCount(), held.rowCount());
        ASSERT_EQ(g.periodCount(), held.periodCount());
        for (int r = 0; r < g.rowCount(); ++r) {
            EXPECT_EQ(g.label(r), held.label(r));
            EXPECT_EQ(g.rowTotal(r), held.rowTotal(r)) << r;
        }
        for (int p = 0; p < g.periodCount(); ++p) {
            EXPECT_EQ(g.period(p).from, held.period(p).from);
            EXPECT_TRUE(g.period(p).daily);
            EXPECT_EQ(g.periodTotal(p), held.periodTotal(p)) << p;
        }
        EXPECT_EQ(g.grandTotal(), held.grandTotal());
        EXPECT_EQ(g.maxCount(), held.maxCount());

        // Block by block in the order of the pages, and then out of it, as a preview jumps.
        const FontMeasure measure;
        const auto plan = PageLayout(QSizeF(500, 300), measure).gridPlan(*doc);
        ASSERT_GT(plan.size(), 4u);
        std::vector<std::size_t> order(plan.size());
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
        order.insert(order.end(), {plan.size() - 1, 0, plan.size() / 2, 1});
        for (std::size_t i : order) {
            const auto& s = plan[i];
            const auto b = g.block(s.firstRow, s.rowCount, s.firstPeriod, s.periodCount);
            const auto h = held.block(s.firstRow, s.rowCount, s.firstPeriod, s.periodCount);
            for (int r = s.firstRow; r < s.firstRow + s.rowCount; ++r) {
                for (int p = s.firstPeriod; p < s.firstPeriod + s.periodCount; ++p) {
                    ASSERT_EQ(b.count(r, p), h.count(r, p))
                        << "page " << i << " row " << r << " period " << p;
                    if (QLatin1String(c.report) == QLatin1String("CronequipoObs")) {
                        ASSERT_EQ(b.detail(r, p), h.detail(r, p)) << "page " << i;
                    }
                }
            }
        }
    }

    // A period whose dates cannot be read stops the report with the reason, whichever of the
    // reads made at once meets it first.
    ScheduleGrid::setHeldBudget(ScheduleGrid::kHeldEntries);
    insert.execute({QStringLiteral("PC01|JUAN"), QStringLiteral("EQ-0 Equipo"),
                    QStringLiteral("no es fecha"), QDate(2026, 3, 1), 1, 0, QString()});
    const auto refused = ReportEngineImpl::build(QStringLiteral("Cronequipo"), selection,
                                                 connectionText, {}, dir.path());
    EXPECT_FALSE(refused.has_value());
    ASSERT_FALSE(prompts->shown().empty());
    EXPECT_TRUE(prompts->last().text.contains(
        QStringLiteral("tiene un período cuyas fechas no se pueden leer: «no es fecha»")))
        << prompts->last().text.toStdString();
}

// Every box of a page: where it stands and what it says.
QStringList boxesOf(const ReportPage& page) {
    QStringList out;
    for (const auto& b : page.boxes) {
        out << QStringLiteral("%1,%2,%3,%4 %5 %6")
                   .arg(b.rect.x())
                   .arg(b.rect.y())
                   .arg(b.rect.width())
                   .arg(b.rect.height())
                   .arg(static_cast<int>(b.align))
                   .arg(b.text);
    }
    return out;
}

TEST_F(Outputs, APeriodIsASingleDayWhenEveryEntryOfItSaysSo) {
    const QString connectionText = database({"Cronequipo"});
    ado::Command insert;
    insert.setActiveConnection(cnn);
    insert.setCommandText(QStringLiteral(
        "INSERT INTO AUX_ESTADISTICACTA (USUARIO,Nombre,Grupo,FechaD,FechaH,ImporteG1,ImporteG2,"
        "Detalle) VALUES ('PC01|JUAN','x',?,?,?,1,?,'')"));
    struct Case {
        int from, days;              // of January 2026
        std::vector<Variant> flags;  // of its entries, one label each
        bool single;
    } cases[] = {
        {1, 7, {1, 1}, false},
        {8, 1, {0}, true},
        {9, 7, {0, 0.0}, true},
        {16, 7, {0, 1}, false},
        {23, 7, {Variant::null()}, false},
        {30, 1, {QStringLiteral("0")}, true},
        {31, 1, {0, Variant::null()}, false},
    };
    for (const auto& c : cases) {
        const QDate from(2026, 1, c.from);
        for (std::size_t i = 0; i < c.flags.size(); ++i) {
            insert.execute(
                {QStringLiteral("EQ-%1").arg(i), from, from.addDays(c.days - 1), c.flags[i]});
        }
    }
    const auto doc = ReportEngineImpl::build(
        QStringLiteral("Cronequipo"), QStringLiteral("{Aux_EstadisticaCta.USUARIO} = 'PC01|JUAN'"),
        connectionText, {}, dir.path());
    ASSERT_TRUE(doc.has_value());
    ASSERT_EQ(doc->grid.periodCount(), static_cast<int>(std::size(cases)));
    for (int p = 0; p < doc->grid.periodCount(); ++p) {
        EXPECT_EQ(doc->grid.period(p).from.day(), cases[p].from);
        EXPECT_EQ(doc->grid.period(p).daily, cases[p].single) << "period " << p;
    }
}

// The periods read on a connection of their own reach the reading that takes them: what the read
// found, the period whose dates it could not read, or the failure it met, raised where taken.
TEST_F(Outputs, ThePeriodsReadApartReachTheReadingThatTakesThem) {
    const auto source = std::make_shared<ReportSource>(database({}));
    ado::Command insert;
    insert.setActiveConnection(cnn);
    insert.setCommandText(QStringLiteral(
        "INSERT INTO AUX_ESTADISTICACTA (USUARIO,Nombre,Grupo,FechaD,FechaH,ImporteG1,ImporteG2) "
        "VALUES ('PC01|JUAN','x','EQ',?,?,1,?)"));
    const QDate d1(2026, 1, 1), d2(2026, 1, 2), d8(2026, 1, 8);
    insert.execute({d1, d1, 0});
    insert.execute({d1, d1, 0});
    insert.execute({d2, d8, 0});
    insert.execute({d2, d8, 1});
    struct Case {
        const char* statement;
        std::map<std::pair<QDate, QDate>, bool> single;
        const char* error;  // part of it
        bool raises;
    } cases[] = {
        {"SELECT DISTINCT FechaD, FechaH, ImporteG2 FROM AUX_ESTADISTICACTA",
         {{{d1, d1}, true}, {{d2, d8}, false}},
         "",
         false},
        {"SELECT 'x', FechaH, ImporteG2 FROM AUX_ESTADISTICACTA", {}, "«x»", false},
        {"SELECT FechaD, FechaH, NULL FROM AUX_NO_EXISTE", {}, "", true},
    };
    for (const auto& c : cases) {
        PeriodReader reader(source->another(), QString::fromUtf8(c.statement), {});
        if (c.raises) {
            EXPECT_THROW(reader.take(), platform::Failure) << c.statement;
            continue;
        }
        const PeriodReader::Periods periods = reader.take();
        EXPECT_TRUE(reader.ready()) << c.statement;
        EXPECT_TRUE(periods.error.contains(QString::fromUtf8(c.error)))
            << c.statement << ": " << periods.error.toStdString();
        EXPECT_EQ(periods.error.isEmpty(), *c.error == 0) << c.statement;
        if (*c.error == 0) {
            EXPECT_EQ(periods.single, c.single) << c.statement;
        }
    }
}

TEST_F(Outputs, AListReadAgainPageByPageGivesThePagesOfTheListHeldInMemory) {
    const QString connectionText = database({"Rp_InvenEquipos"});
    cnn.execute(
        QStringLiteral("INSERT INTO VT_CLIENTES (CODIGO, RAZON_SOCIAL) VALUES "
                       "('     1', 'Panadería Núñez'), ('     2', 'Taller O''Higgins')"));
    ado::Command insert;
    insert.setActiveConnection(cnn);
    insert.setCommandText(QStringLiteral(
        "INSERT INTO v_ma_mantenimientos (codigo, descripcion, ubicacion, idcliente) "
        "VALUES (?,?,?,?)"));
    // Descriptions of one to several lines, equipment without a customer or a place.
    cnn.execute(QStringLiteral("BEGIN"));
    for (int i = 0; i < 150; ++i) {
        insert.execute(
            {QStringLiteral("EQ-%1").arg(i, 4, 10, QLatin1Char('0')),
             QStringLiteral("Compresor de aire ") +
                 QStringLiteral("con tanque y filtro ").repeated(i % 5),
             i % 4 == 0 ? Variant::null() : Variant(QStringLiteral("Depósito %1").arg(i)),
             QStringLiteral("     %1").arg(i % 3)});
    }
    cnn.execute(QStringLiteral("COMMIT"));

    auto build = [&](double budget) {
        ReportTable::setHeldBudget(budget);
        auto doc = ReportEngineImpl::build(QStringLiteral("Rp_InvenEquipos"), {}, connectionText,
                                           {}, dir.path());
        if (doc) doc->printedAt = QDateTime(QDate(2026, 12, 9), QTime(10, 0));
        return doc;
    };
    const auto held = build(ReportTable::kHeldValues);
    ASSERT_TRUE(held.has_value());
    EXPECT_TRUE(held->table.held());
    EXPECT_EQ(held->table.rowCount(), 150);
    const auto read = build(10);  // values: fewer than three rows
    ASSERT_TRUE(read.has_value());
    EXPECT_FALSE(read->table.held());
    EXPECT_EQ(read->table.rowCount(), 150);

    const FontMeasure measure;
    const PageLayout layout(QSizeF(500, 400), measure);
    const auto heldPlan = layout.plan(*held);
    const auto readPlan = layout.plan(*read);
    ASSERT_EQ(readPlan.pageCount, heldPlan.pageCount);
    ASSERT_GT(heldPlan.pageCount, 6);
    // In page order, then as a preview jumps about.
    std::vector<int> order(static_cast<std::size_t>(heldPlan.pageCount));
    for (int i = 0; i < heldPlan.pageCount; ++i) order[i] = i;
    order.insert(order.end(), {heldPlan.pageCount - 1, 0, heldPlan.pageCount / 2, 1, 1});
    QStringList codes;
    for (int i : order) {
        const QStringList expected = boxesOf(layout.page(*held, heldPlan, i));
        ASSERT_EQ(boxesOf(layout.page(*read, readPlan, i)), expected) << "page " << i;
        if (codes.size() < 150)
            codes << expected.filter(QRegularExpression(QStringLiteral(" EQ-\\d+$")));
    }
    EXPECT_EQ(codes.size(), 150);
    EXPECT_TRUE(boxesOf(layout.page(*read, readPlan, heldPlan.pageCount - 1))
                    .filter(QStringLiteral("Cantidad de registros: 150"))
                    .size() == 1);

    {
        QString why;
        ASSERT_EQ(XlsxExport::write(*held, path("held.xlsx"), &why), Outcome::Written);
        ASSERT_EQ(XlsxExport::write(*read, path("read.xlsx"), &why), Outcome::Written);
        const auto sheet =
            cells(unzipped(path("read.xlsx"), QStringLiteral("xl/worksheets/sheet1.xml")));
        EXPECT_EQ(sheet,
                  cells(unzipped(path("held.xlsx"), QStringLiteral("xl/worksheets/sheet1.xml"))));
        EXPECT_EQ(sheet.at("A155"), QStringLiteral("EQ-0149"));
    }

    // Rows gone or added after the count: the pages show what is there, up to the count.
    cnn.execute(QStringLiteral("DELETE FROM v_ma_mantenimientos WHERE codigo >= 'EQ-0140'"));
    cnn.execute(QStringLiteral("INSERT INTO v_ma_mantenimientos (codigo) VALUES ('EQ-0000A')"));
    auto shown = [&] {
        const auto changed = layout.plan(*read);
        int codes = 0;
        for (int i = 0; i < changed.pageCount; ++i)
            codes += static_cast<int>(boxesOf(layout.page(*read, changed, i))
                                          .filter(QRegularExpression(QStringLiteral(" EQ-")))
                                          .size());
        return codes;
    };
    EXPECT_EQ(shown(), 141);
    cnn.execute(
        QStringLiteral("INSERT INTO v_ma_mantenimientos (codigo) VALUES ('EQ-9001'), "
                       "('EQ-9002'), ('EQ-9003'), ('EQ-9004'), ('EQ-9005'), ('EQ-9006'), "
                       "('EQ-9007'), ('EQ-9008'), ('EQ-9009'), ('EQ-9010')"));
    EXPECT_EQ(shown(), 150);
}

// ---- the spreadsheet ----------------------------------------------------------------------------

TEST_F(Outputs, AScheduleWiderThanASheetContinuesOnAnotherWithTheLabelsRepeated) {
    // 16,400 days from Christmas 1899: more periods than a sheet has columns, the first days
    // before the spreadsheet's calendar begins.
    const ReportDocument doc = gridDocument(days(2, 16400, QDate(1899, 12, 25), 5000));
    QString why;
    ASSERT_EQ(XlsxExport::write(doc, path("ancho.xlsx"), &why), Outcome::Written)
        << why.toStdString();
    const auto first =
        cells(unzipped(path("ancho.xlsx"), QStringLiteral("xl/worksheets/sheet1.xml")));
    const auto second =
        cells(unzipped(path("ancho.xlsx"), QStringLiteral("xl/worksheets/sheet2.xml")));
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    // Column B is the first day, XFD (the 16,384th) the 16,383rd; the second sheet goes on.
    EXPECT_EQ(first.at("B5"), "25/12/1899") << "a date before 1900 as text";
    EXPECT_EQ(first.at("H5"), "31/12/1899");
    EXPECT_EQ(first.at("I5"), "1") << "1 January 1900 is the calendar's day 1";
    EXPECT_TRUE(first.count("XFD5"));
    EXPECT_EQ(first.count("XFE5"), 0u);
    for (const auto* sheet : {&first, &second}) {
        EXPECT_EQ(sheet->at("A6"), "EQ-001");
        EXPECT_EQ(sheet->at("A7"), "EQ-002");
        EXPECT_EQ(sheet->at("A8"), "Total");
    }
    // Period 16,383 (0-based) is the second sheet's B; 17 periods and the Total column there.
    EXPECT_TRUE(second.count("R5"));
    EXPECT_EQ(second.at("S5"), "Total");
    EXPECT_EQ(second.count("T5"), 0u);
    // Visits where (r + p) % 5000 == 0: row 0 at periods 0, 5000, 10000, 15000; row 1 at 4999,
    // 9999, 14999. Each shows once, on its sheet.
    EXPECT_EQ(first.at("B6"), "1");
    EXPECT_EQ(second.at("S6"), "4");
    EXPECT_EQ(second.at("S7"), "3");
    EXPECT_EQ(second.at("S8"), "7");
}

TEST_F(Outputs, RowsAndColumnsBeyondASheetGoOnFurtherSheetsWithNothingLost) {
    // Sheets cut at 12 rows and 8 columns: 7 rows of labels below the headings, 7 periods.
    const ReportDocument doc = gridDocument(days(20, 10, QDate(2026, 1, 1), 2));
    QString why;
    ASSERT_EQ(XlsxExport::write(doc, path("cortes.xlsx"), &why, {}, XlsxLimits{12, 8}),
              Outcome::Written)
        << why.toStdString();
    // 21 rows (20 and the totals) in 3 bands down, 11 columns (10 and the total) in 2 across.
    std::map<QString, int> labels;
    double counts = 0, totals = 0;
    int sheets = 0;
    for (int n = 1;; ++n) {
        const QByteArray xml =
            unzipped(path("cortes.xlsx"), QStringLiteral("xl/worksheets/sheet%1.xml").arg(n));
        if (xml.isEmpty()) break;
        ++sheets;
        for (const auto& [ref, value] : cells(xml)) {
            const QString column =
                ref.left(ref.indexOf(QRegularExpression(QStringLiteral("[0-9]"))));
            const int row = ref.mid(column.size()).toInt();
            if (row <= 5) continue;  // heading lines and dates
            if (column == QLatin1String("A")) {
                ++labels[value];
            } else if (n % 2 == 0 && column == QLatin1String("E")) {
                totals += value.toDouble();  // the total column on the second sheet across
            } else {
                counts += value.toDouble();
            }
        }
    }
    EXPECT_EQ(sheets, 6);
    for (int r = 1; r <= 20; ++r)
        EXPECT_EQ(labels[QStringLiteral("EQ-%1").arg(r, 3, 10, QLatin1Char('0'))], 2) << r;
    EXPECT_EQ(labels[QStringLiteral("Total")], 2);
    // Every visit once in its cell and once in the period totals; the row totals and the grand
    // total once each.
    EXPECT_EQ(counts, 2 * doc.grid.grandTotal());
    EXPECT_EQ(totals, 2 * doc.grid.grandTotal());
}

TEST_F(Outputs, TextsKeepWhatFollowsANulAndLongOnesAreMarkedWhereCut) {
    std::vector<ScheduleEntry> entries = days(2, 2, QDate(2026, 1, 1));
    entries[0].label = QStringLiteral("EQ-001 Horno") + QChar(0) + QStringLiteral(" Planta Sur");
    entries[1].label = entries[0].label;
    entries[2].label = entries[3].label = QString(40000, QLatin1Char('x'));
    QString why;
    ASSERT_EQ(XlsxExport::write(gridDocument(entries), path("textos.xlsx"), &why), Outcome::Written)
        << why.toStdString();
    const auto sheet =
        cells(unzipped(path("textos.xlsx"), QStringLiteral("xl/worksheets/sheet1.xml")));
    QStringList labels{sheet.at("A6"), sheet.at("A7")};
    labels.sort();
    EXPECT_EQ(labels[0], QStringLiteral("EQ-001 Horno\uFFFD Planta Sur"));
    EXPECT_EQ(labels[1].size(), XlsxExport::kMaxText);
    EXPECT_TRUE(labels[1].endsWith(QChar(0x2026)));
}

TEST_F(Outputs, ASpreadsheetCarriesItsNumbersWithAPointWhateverTheDesktopLocale) {
    // A library of ours may run where the process's numbers take a decimal comma.
    const std::string antes = std::setlocale(LC_NUMERIC, nullptr);
    ASSERT_NE(std::setlocale(LC_NUMERIC, "es_ES.UTF-8"), nullptr)
        << "es_ES.UTF-8 is not generated (scripts/deps makes it)";
    std::vector<ScheduleEntry> entries = days(3, 4, QDate(2026, 1, 1));
    entries[1].count = 2.5;
    QString why;
    const Outcome written = XlsxExport::write(gridDocument(entries), path("es.xlsx"), &why);
    char after[16];
    std::snprintf(after, sizeof after, "%.1f", 0.5);
    std::setlocale(LC_NUMERIC, antes.c_str());
    ASSERT_EQ(written, Outcome::Written) << why.toStdString();
    EXPECT_STREQ(after, "0,5") << "the process's own numbers are given back";

    const QByteArray sheet = unzipped(path("es.xlsx"), QStringLiteral("xl/worksheets/sheet1.xml"));
    static const QRegularExpression comma(
        QStringLiteral(R"re(="-?[0-9]+,[0-9]+"|>-?[0-9]+,[0-9]+<)re"));
    const auto m = comma.match(QString::fromUtf8(sheet));
    EXPECT_FALSE(m.hasMatch()) << m.captured(0).toStdString();
    EXPECT_TRUE(sheet.contains("<pageMargins left=\"0.")) << sheet.left(1500).toStdString();
    const auto values = cells(sheet);
    EXPECT_TRUE(std::any_of(values.begin(), values.end(), [](const auto& c) {
        return c.second == QStringLiteral("2.5");
    })) << "the amount 2.5 as a number";
}

// ---- files put in place whole -------------------------------------------------------------------

TEST_F(Outputs, AWriteRemovesTheTemporariesKilledRunsLeftOfTheSameTarget) {
    const ReportDocument doc = gridDocument(days(3, 5, QDate(2026, 1, 1)));
    auto pon = [&](const char* name, qint64 secondsAgo) {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("%PDF-1.4 a medias");
        f.flush();  // written before its time is set
        f.setFileTime(QDateTime::currentDateTime().addSecs(-secondsAgo),
                      QFileDevice::FileModificationTime);
    };
    const qint64 old = OutputFile::kStaleSeconds + 60;
    pon(".c.pdf.Ab3x9Z", old);     // a killed run's: removed
    pon(".c.pdf.Qw7rT2", 5);       // another run writing it now: kept
    pon(".c.pdf.notas", old);      // not our pattern: kept
    pon(".otro.pdf.Ab3x9Z", old);  // another target's: kept
    pon("c.pdf.Ab3x9Z", old);      // not hidden, not ours: kept
    QString why;
    ASSERT_EQ(PdfExport::write(doc, path("c.pdf"), &why), Outcome::Written) << why.toStdString();
    const QStringList left = filesIn(dir.path());
    EXPECT_FALSE(left.contains(QStringLiteral(".c.pdf.Ab3x9Z")));
    for (const char* kept : {".c.pdf.Qw7rT2", ".c.pdf.notas", ".otro.pdf.Ab3x9Z", "c.pdf.Ab3x9Z"})
        EXPECT_TRUE(left.contains(QString::fromUtf8(kept))) << kept;
    EXPECT_EQ(left.filter(QRegularExpression(QStringLiteral("^\\.c\\.pdf\\."))).size(), 2)
        << left.join(QLatin1Char(' ')).toStdString();
}

TEST_F(Outputs, AnOutputIsWrittenBesideItsTargetAndACancelledOneLeavesThePreviousFile) {
    const ReportDocument doc = gridDocument(days(60, 120, QDate(2026, 1, 1)));
    struct Case {
        const char* file;
        std::function<Outcome(const QString&, QString*, const Progress&)> write;
    } cases[] = {
        {"informe.pdf",
         [&](const QString& p, QString* why, const Progress& progress) {
             return PdfExport::write(doc, p, why, progress);
         }},
        {"informe.xlsx",
         [&](const QString& p, QString* why, const Progress& progress) {
             return XlsxExport::write(doc, p, why, progress);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const QString target = path(c.file);
        {
            QFile old(target);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("el informe anterior");
        }
        int steps = 0;
        QStringList duringTheWrite;
        QByteArray targetMeanwhile;
        QString why;
        const Outcome outcome = c.write(target, &why, [&](int done, int total) {
            EXPECT_LE(done, total);
            if (++steps == 2) {
                duringTheWrite = filesIn(dir.path());
                targetMeanwhile = bytes(target);
            }
            return steps < 3;
        });
        EXPECT_EQ(outcome, Outcome::Cancelled);
        EXPECT_EQ(duringTheWrite.size(), 2) << duringTheWrite.join(' ').toStdString();
        EXPECT_TRUE(std::any_of(duringTheWrite.begin(), duringTheWrite.end(),
                                [&](const QString& f) {
                                    return f.startsWith(
                                        QStringLiteral(".%1.").arg(QLatin1String(c.file)));
                                }))
            << "the file being written sits beside the target";
        EXPECT_EQ(targetMeanwhile, "el informe anterior");
        EXPECT_EQ(bytes(target), "el informe anterior");
        EXPECT_EQ(filesIn(dir.path()), QStringList{QString::fromLatin1(c.file)})
            << "nothing left behind";

        // Written to the end, the new file takes the target's place and nothing else remains.
        ASSERT_EQ(c.write(target, &why, {}), Outcome::Written) << why.toStdString();
        EXPECT_NE(bytes(target), "el informe anterior");
        EXPECT_EQ(filesIn(dir.path()), QStringList{QString::fromLatin1(c.file)});
        QFile::remove(target);
    }
}

TEST_F(Outputs, TheOpenDatabaseAFolderADeviceAPipeOrAMissingFolderAreRefusedAsTargets) {
    const QString db = path("GESTION.db");
    ado::SqliteEngine::create(db);
    platform::process::setProgramFolder(dir.path());
    cnn.open(ReportSource::connectionString(QStringLiteral("DSN=GESTION; UID=demo; PWD=")));
    const QByteArray before = bytes(db);
    QDir(dir.path()).mkdir(QStringLiteral("carpeta"));
    ado::SqliteEngine::create(path("OTRA.db"));  // a database nobody has open
    const QByteArray other = bytes(path("OTRA.db"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("tuberia")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), path("nulo")));
    const ReportDocument doc = gridDocument(days(3, 3, QDate(2026, 1, 1)));
    struct Case {
        QString target;
        const char* reason;
    } cases[] = {
        {db, "está abierto por el programa"},
        {path("carpeta"), "es una carpeta"},
        {path("tuberia"), "no es un archivo común"},
        {path("nulo"), "no es un archivo común"},
        {path("OTRA.db"), "es una base de datos"},
        {path("no-existe/informe"), "no se pudo escribir el archivo"},
    };
    for (const auto& c : cases) {
        for (bool pdf : {true, false}) {
            SCOPED_TRACE(c.target.toStdString() + (pdf ? " pdf" : " xlsx"));
            QString why;
            const Outcome o = pdf ? PdfExport::write(doc, c.target, &why)
                                  : XlsxExport::write(doc, c.target, &why);
            EXPECT_EQ(o, Outcome::Failed);
            EXPECT_TRUE(why.contains(QString::fromUtf8(c.reason))) << why.toStdString();
        }
    }
    EXPECT_EQ(bytes(db), before) << "the database is untouched";
    EXPECT_EQ(bytes(path("OTRA.db")), other);
    for (const char* kept : {"tuberia", "nulo"}) {
        const QFileInfo info(path(kept));
        EXPECT_TRUE(info.exists() && !info.isFile()) << kept << " is still what it was";
    }
    EXPECT_TRUE(QFileInfo(path("nulo")).isSymLink());
    EXPECT_TRUE(filesIn(dir.path()).filter(QStringLiteral(".tuberia.")).isEmpty());
}

// ---- progress
// -------------------------------------------------------------------------------------

TEST_F(Outputs, TheBannerShowsThePageAndItsCancelStopsTheOutput) {
    {
        BannerProgress progress(QStringLiteral("Guardando informe.pdf"), QStringLiteral("Página"),
                                0);
        EXPECT_TRUE(progress.step(1, 5));
        Lbf_CtrlDisplay* w = gCartel().window();
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->isVisible());
        EXPECT_FALSE(w->CmdDisplayCancelar()->isHidden()) << "the output can be cancelled";
        EXPECT_EQ(w->LblCtrol(0)->text(), "Guardando informe.pdf");
        EXPECT_EQ(w->LblCtrol(1)->text(), "Página 1 de 5");
        w->CmdDisplayCancelar()->click();
        EXPECT_FALSE(progress.step(5, 5));
        EXPECT_FALSE(progress.step(5, 5)) << "stays cancelled";
    }
    EXPECT_EQ(gCartel().window(), nullptr) << "closed with the output";

    // A short output never shows it.
    BannerProgress quick(QStringLiteral("x"), QStringLiteral("Página"), 60'000);
    EXPECT_TRUE(quick.step(1, 1));
    EXPECT_FALSE(quick.shown());
    EXPECT_EQ(gCartel().window(), nullptr);
}

TEST_F(Outputs, ALongReadShowsTheBannerAndItsFailureReachesTheCaller) {
    bool shownMeanwhile = false;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (gCartel().window() && gCartel().window()->isVisible()) shownMeanwhile = true;
    });
    probe.start(5);
    waitShowing(
        QStringLiteral("Leyendo el informe"),
        [] { std::this_thread::sleep_for(std::chrono::milliseconds(300)); }, 0);
    EXPECT_TRUE(shownMeanwhile) << "the window kept answering while it waited";
    EXPECT_EQ(gCartel().window(), nullptr);
    EXPECT_THROW(waitShowing(QStringLiteral("x"), [] { throw std::runtime_error("sin base"); }),
                 std::runtime_error);
}

// ---- the preview
// ----------------------------------------------------------------------------------

TEST_F(Outputs, ThePreviewPagesAnswerTheKeyboardFromTheStartAndItsIconsAreItsOwn) {
    ReportPreview preview(gridDocument(days(60, 120, QDate(2026, 1, 1))), 0);
    preview.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    preview.activateWindow();
    QApplication::setActiveWindow(&preview);
    const int last = preview.view()->pageCount() - 1;
    ASSERT_GE(last, 3);
    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int page;
    } steps[] = {
        {Qt::Key_PageDown, Qt::NoModifier, 1},    {Qt::Key_PageDown, Qt::NoModifier, 2},
        {Qt::Key_PageUp, Qt::NoModifier, 1},      {Qt::Key_End, Qt::ControlModifier, last},
        {Qt::Key_PageDown, Qt::NoModifier, last}, {Qt::Key_Home, Qt::ControlModifier, 0},
        {Qt::Key_PageUp, Qt::NoModifier, 0},
    };
    for (const auto& s : steps) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, s.key, s.modifiers);
        EXPECT_EQ(preview.view()->currentPage(), s.page)
            << QKeySequence(s.key | s.modifiers).toString().toStdString();
    }
    // Every button with a picture has one drawn by the program.
    int pictures = 0;
    for (QAction* a : preview.findChild<QToolBar*>()->actions()) {
        if (a->icon().isNull()) continue;
        const QImage image = a->icon().pixmap(16, 16).toImage();
        int inked = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) inked += qAlpha(image.pixel(x, y)) > 0;
        EXPECT_GT(inked, 10) << a->text().toStdString() << a->toolTip().toStdString();
        ++pictures;
    }
    EXPECT_EQ(pictures, 8);
}

}  // namespace

TEST_F(Outputs, AnExtraSaveOfTheCallerIsOfferedAfterExcelAndItsFailureIsToldNotLetOut) {
    QStandardPaths::setTestModeEnabled(true);
    PrintSettingStore::setSaveFolder(QString());
    ReportPreview preview(gridDocument(days(3, 10, QDate(2026, 1, 1))), 0);
    QStringList escritos;
    bool lanza = false;
    SuiteLib::ReportOutput::ExtraSave extra;
    extra.button = QStringLiteral("Calendario");
    extra.caption = QStringLiteral("Guardar las visitas como calendario");
    extra.filter = QStringLiteral("Calendarios (*.ics)");
    extra.suffix = QStringLiteral("ics");
    extra.write = [&](const QString& p) {
        if (lanza) platform::raise(platform::errnum::TypeMismatch, QStringLiteral("sin fecha"));
        escritos << p;
        return true;
    };
    preview.addExtraSave(extra);
    preview.addExtraSave(extra);  // offered once
    QStringList textos;
    for (QAction* a : preview.findChild<QToolBar*>()->actions()) textos << a->text();
    ASSERT_EQ(textos.count(QStringLiteral("Calendario")), 1);
    EXPECT_EQ(textos.indexOf(QStringLiteral("Calendario")),
              textos.indexOf(QStringLiteral("Excel")) + 1);
    QAction* calendario =
        preview.findChild<QToolBar*>()->actions()[textos.indexOf(QStringLiteral("Calendario"))];
    ReportPreview::setPathChooser(
        [&](const QString&, const QString&, const QString&) { return path("visitas"); });
    calendario->trigger();
    ASSERT_EQ(escritos, QStringList{path("visitas.ics")}) << "the suffix is added";
    EXPECT_TRUE(preview.statusText().contains(QDir::toNativeSeparators(path("visitas.ics"))));
    const std::size_t antes = prompts->shown().size();
    lanza = true;
    calendario->trigger();
    ReportPreview::setPathChooser({});
    ASSERT_EQ(prompts->shown().size(), antes + 1);
    EXPECT_EQ(prompts->last().text, QStringLiteral("sin fecha"));
    EXPECT_TRUE(preview.statusText().startsWith(QStringLiteral("No se pudo guardar")))
        << preview.statusText().toStdString();
    PrintSettingStore::setSaveFolder(QString());
    QStandardPaths::setTestModeEnabled(false);
}

TEST_F(Outputs, ThePreviewProposesTheTitleInTheFolderLastUsedAndSaysWhereItSaved) {
    QStandardPaths::setTestModeEnabled(true);
    PrintSettingStore::setSaveFolder(QString());
    ReportPreview preview(gridDocument(days(3, 10, QDate(2026, 1, 1))), 0);
    QStringList proposed;
    QString answer = path("primero");  // no suffix: the format's is added
    ReportPreview::setPathChooser([&](const QString&, const QString& p, const QString&) {
        proposed << p;
        return answer;
    });
    QAction* pdf = nullptr;
    for (QAction* a : preview.findChild<QToolBar*>()->actions())
        if (a->text() == QStringLiteral("PDF")) pdf = a;
    ASSERT_NE(pdf, nullptr);
    pdf->trigger();
    EXPECT_TRUE(QFileInfo(path("primero.pdf")).isFile());
    EXPECT_TRUE(preview.statusText().contains(QDir::toNativeSeparators(path("primero.pdf"))))
        << preview.statusText().toStdString();
    answer.clear();  // the user cancels the dialog: nothing said, nothing written
    pdf->trigger();
    ReportPreview::setPathChooser({});
    ASSERT_EQ(proposed.size(), 2);
    EXPECT_EQ(QFileInfo(proposed[0]).fileName(),
              QStringLiteral("Cronograma de Mantenimiento de Equipos.pdf"));
    EXPECT_EQ(QFileInfo(proposed[1]).absolutePath(), QFileInfo(path("primero.pdf")).absolutePath())
        << "the folder last used";
    PrintSettingStore::setSaveFolder(QString());
    QStandardPaths::setTestModeEnabled(false);

    const struct {
        const char* title;
        const char* name;
    } names[] = {
        {"Cronograma 2026/2027: equipos*", "Cronograma 2026 2027 equipos"},
        {"Inventario \"A\" <sur>|norte?.", "Inventario A sur norte"},
        {"Equipos en garantía", "Equipos en garantía"},
        {"/:*", ""},
    };
    for (const auto& n : names)
        EXPECT_EQ(ReportPreview::fileNameFor(QString::fromUtf8(n.title)), QString::fromUtf8(n.name))
            << n.title;
}

TEST_F(Outputs, TheBannerCancelsAnOutputStartedFromTheModalPreviewAndThePreviousFileStays) {
    const ReportDocument doc = gridDocument(days(20, 3000, QDate(1990, 1, 1)));
    BannerProgress::setUsualDelay(0);
    enum class How { Click, Escape, AltC };
    for (const How how : {How::Click, How::Escape, How::AltC}) {
        const QString target = path("anterior.pdf");
        QFile::remove(target);
        {
            QFile f(target);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("el anterior");
        }
        ReportPreview preview(doc, 0);
        preview.show();  // modal, as the report runner shows it
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
        ASSERT_TRUE(preview.isModal());
        preview.activateWindow();
        QApplication::setActiveWindow(&preview);
        ReportPreview::setPathChooser(
            [&](const QString&, const QString&, const QString&) { return target; });
        bool pressed = false;
        QTimer probe;
        QObject::connect(&probe, &QTimer::timeout, [&] {
            Lbf_CtrlDisplay* banner = gCartel().window();
            if (pressed || !banner || !banner->isVisible()) return;
            pressed = true;
            // As a user does: the mouse on the banner's button, the keys wherever the focus is.
            if (how == How::Click) QTest::mouseClick(banner->CmdDisplayCancelar(), Qt::LeftButton);
            QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : &preview;
            if (how == How::Escape)
                QTest::keyClick(focus, Qt::Key_Escape);
            else if (how == How::AltC)
                QTest::keyClick(focus, Qt::Key_C, Qt::AltModifier);
        });
        probe.start(20);
        for (QAction* a : preview.findChild<QToolBar*>()->actions())
            if (a->text() == QStringLiteral("PDF")) a->trigger();
        probe.stop();
        ReportPreview::setPathChooser({});
        const int n = static_cast<int>(how);
        EXPECT_TRUE(pressed) << n << ": the banner never showed";
        EXPECT_EQ(bytes(target), QByteArray("el anterior")) << n;
        EXPECT_EQ(filesIn(dir.path()).filter(QStringLiteral("anterior")),
                  QStringList{QStringLiteral("anterior.pdf")})
            << n << ": no partial file left";
        EXPECT_TRUE(preview.isVisible()) << n << ": Esc cancels the output, not the preview";
        EXPECT_TRUE(preview.statusText().contains(QStringLiteral("cancelado"))) << n;
    }
    BannerProgress::setUsualDelay(1000);
}

TEST_F(Outputs, ThePreviewsZoomControlsStayPutAsThePageNumberWidens) {
    ReportPreview preview(gridDocument(days(200, 120, QDate(2026, 1, 1))), 0);
    preview.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    ASSERT_GE(preview.view()->pageCount(), 10);
    auto* zoom = preview.findChild<QComboBox*>();
    ASSERT_NE(zoom, nullptr);
    const int x = zoom->mapTo(&preview, QPoint(0, 0)).x();
    preview.showPage(preview.view()->pageCount() - 1);
    QApplication::processEvents();
    EXPECT_EQ(zoom->mapTo(&preview, QPoint(0, 0)).x(), x);
}

TEST_F(Outputs, LabelsTheDatabaseFindsEqualAreOneRowInEveryScheduleReport) {
    const QString connectionText = database({"Cronequipo", "CronequipoObs"});
    ado::Command insert;
    insert.setActiveConnection(cnn);
    insert.setCommandText(QStringLiteral(
        "INSERT INTO AUX_ESTADISTICACTA (USUARIO,Nombre,Grupo,FechaD,FechaH,ImporteG1,ImporteG2,"
        "Detalle) VALUES ('PC01|JUAN','x',?,?,?,?,0,?)"));
    // One customer written in case and with trailing blanks, in the order that split it before;
    // "Ábaco" and "ábaco " beyond ASCII; another customer apart.
    const struct {
        const char* label;
        int day;
        double count;
        const char* detail;
    } rows[] = {
        {"ABC", 1, 1, "uno"}, {"abc", 1, 1, ""},     {"abc ", 2, 1, "dos"},
        {"Ábaco", 1, 2, ""},  {"ábaco  ", 3, 1, ""}, {"XYZ", 2, 5, ""},
    };
    for (const auto& r : rows) {
        const QDate d = QDate(2026, 1, r.day);
        insert.execute({QString::fromUtf8(r.label), d, d, r.count, QString::fromUtf8(r.detail)});
    }
    const QString selection = QStringLiteral("{Aux_EstadisticaCta.USUARIO} = 'PC01|JUAN'");
    std::vector<ScheduleEntry> entries;
    for (const auto& r : rows) {
        const QDate d = QDate(2026, 1, r.day);
        entries.push_back(
            {QString::fromUtf8(r.label), d, d, r.count, true, QString::fromUtf8(r.detail)});
    }
    struct Case {
        const char* what;
        std::optional<ScheduleGrid> grid;
    } cases[] = {
        {"Cronequipo", ReportEngineImpl::build(QStringLiteral("Cronequipo"), selection,
                                               connectionText, {}, dir.path())
                           .value()
                           .grid},
        {"CronequipoObs", ReportEngineImpl::build(QStringLiteral("CronequipoObs"), selection,
                                                  connectionText, {}, dir.path())
                              .value()
                              .grid},
        {"held in memory", ScheduleGrid(entries)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ScheduleGrid& g = *c.grid;
        ASSERT_EQ(g.rowCount(), 3);
        std::map<QString, int> rowOf;
        for (int r = 0; r < g.rowCount(); ++r) rowOf[g.label(r).toCaseFolded()] = r;
        ASSERT_EQ(rowOf.count(QStringLiteral("abc")), 1u);
        ASSERT_EQ(rowOf.count(QStringLiteral("ábaco")), 1u);
        const int abc = rowOf[QStringLiteral("abc")];
        const int abaco = rowOf[QStringLiteral("ábaco")];
        EXPECT_EQ(g.rowTotal(abc), 3);
        EXPECT_EQ(g.rowTotal(abaco), 3);
        EXPECT_EQ(g.grandTotal(), 11);
        ASSERT_EQ(g.periodCount(), 3);
        EXPECT_EQ(g.count(abc, 0), 2) << "both spellings of one day in one cell";
        EXPECT_EQ(g.count(abc, 1), 1);
        EXPECT_EQ(g.periodTotal(0), 4);
        if (QLatin1String(c.what) != QLatin1String("Cronequipo")) {
            EXPECT_EQ(g.detail(abc, 0), QStringLiteral("uno"));
            EXPECT_EQ(g.detail(abc, 1), QStringLiteral("dos"));
        }
    }
}
