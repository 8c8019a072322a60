// The report component: selection formulas, formula fields, templates, the schedule grid, page
// layout, and whole reports written to files from an embedded database.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "ado/Command.h"
#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "ado/sqlite/SqliteEngine.h"
#include "platform/ArchivoLegible.h"
#include "platform/Process.h"
#include "reportengine/FontMeasure.h"
#include "reportengine/PageLayout.h"
#include "reportengine/PdfExport.h"
#include "reportengine/ReportEngineImpl.h"
#include "reportengine/ReportFields.h"
#include "reportengine/ReportSource.h"
#include "reportengine/ReportTemplate.h"
#include "reportengine/ScheduleGrid.h"
#include "reportengine/SelectionFormula.h"
#include "suitelib/SuiteLib.h"
#include "tests/support/Aplicacion.h"
#include "tests/support/Hostiles.h"
#include "tests/support/HoyFijado.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/Unzip.h"

using namespace SuiteLib;
using namespace reportengine;
using platform::Variant;

namespace {

void ensureApplication() {
    testApp();
}

const std::vector<TableColumns> kAuxTables = {
    {QStringLiteral("AUX_ESTADISTICACTA"),
     {"Id", "USUARIO", "Nombre", "Grupo", "FechaD", "FechaH", "ImporteG1", "ImporteG2", "Detalle"}},
    {QStringLiteral("VT_CLIENTES"), {"CODIGO", "RAZON_SOCIAL"}},
};

QString describe(const std::vector<Variant>& values) {
    QStringList out;
    for (const auto& v : values) {
        if (v.isDate())
            out << QStringLiteral("#") + v.date().date().toString(Qt::ISODate);
        else if (v.isNumber())
            out << QStringLiteral("n") + v.toText();
        else
            out << QStringLiteral("'") + v.text() + QStringLiteral("'");
    }
    return out.join(QLatin1Char('|'));
}

// ---- selection formulas -----------------------------------------------------------------------

TEST(SelectionFormula, ReadableFormulasBecomeConditionsWithParameters) {
    // today() is the program's today: a day the test names, the last of a year.
    const HoyFijado fijado(QDate(2026, 12, 31));
    const QString today = QStringLiteral("#2026-12-31");
    struct Case {
        QString formula, sql, parameters;
    } cases[] = {
        {"uppercase({Aux_EstadisticaCta.USUARIO}) = 'PC01|JUAN'",
         "UPPER(AUX_ESTADISTICACTA.USUARIO) = ?", "'PC01|JUAN'"},
        // A quote inside a value, however it is dressed up, stays part of the value.
        {"{Aux_EstadisticaCta.USUARIO} = 'x'' OR 1=1 --'", "AUX_ESTADISTICACTA.USUARIO = ?",
         "'x' OR 1=1 --'"},
        {"{Grupo} = 'a' or {Nombre} = 'b' and {Detalle} = 'c'",
         "(AUX_ESTADISTICACTA.Grupo = ? OR (AUX_ESTADISTICACTA.Nombre = ? AND "
         "AUX_ESTADISTICACTA.Detalle = ?))",
         "'a'|'b'|'c'"},
        {"({grupo} = 'a' OR {nombre} = 'b') AND NOT trim({detalle}) <> ''",
         "((AUX_ESTADISTICACTA.Grupo = ? OR AUX_ESTADISTICACTA.Nombre = ?) AND (NOT "
         "LTRIM(RTRIM(AUX_ESTADISTICACTA.Detalle)) <> ?))",
         "'a'|'b'|''"},
        {"LowerCase({USUARIO})<='z' and {ImporteG1}>=1.5 and {ImporteG2}<0 and {Id}>-3",
         "(((LOWER(AUX_ESTADISTICACTA.USUARIO) <= ? AND AUX_ESTADISTICACTA.ImporteG1 >= ?) AND "
         "AUX_ESTADISTICACTA.ImporteG2 < ?) AND AUX_ESTADISTICACTA.Id > ?)",
         "'z'|n1,5|n0|n-3"},
        {"{FechaH} >= today() and {VT_CLIENTES.razon_social} > 'M'",
         "(AUX_ESTADISTICACTA.FechaH >= ? AND VT_CLIENTES.RAZON_SOCIAL > ?)", today + "|'M'"},
        {"  ", "", ""},
    };
    for (const auto& c : cases) {
        QString error;
        const auto r = SelectionFormula::translate(c.formula, kAuxTables, &error);
        ASSERT_TRUE(r.has_value()) << c.formula.toStdString() << ": " << error.toStdString();
        EXPECT_EQ(r->sql, c.sql) << c.formula.toStdString();
        EXPECT_EQ(describe(r->parameters), c.parameters) << c.formula.toStdString();
        EXPECT_EQ(r->sql.count(QLatin1Char('?')), static_cast<int>(r->parameters.size()));
    }
}

TEST(SelectionFormula, NestingAPersonWritesIsRead) {
    const QString formula =
        QString(40, QLatin1Char('(')) + "not {USUARIO} = 'x'" + QString(40, QLatin1Char(')'));
    QString error;
    const auto c = SelectionFormula::translate(formula, kAuxTables, &error);
    ASSERT_TRUE(c.has_value()) << error.toStdString();
    EXPECT_EQ(c->parameters.size(), 1u);
}

TEST(SelectionFormula, UnreadableFormulasAreExplained) {
    struct Case {
        QString formula, explanation;
    } cases[] = {
        {"{Aux_EstadisticaCta.USUARIO = 'x'", "posición 1: falta la llave de cierre"},
        {"{USUARIO} = 'x", "posición 13: falta la comilla de cierre"},
        {"{Otra.USUARIO} = 'x'", "la tabla «Otra» no forma parte"},
        {"{Aux_EstadisticaCta.CLAVE} = 'x'", "{Aux_EstadisticaCta.CLAVE} no existe"},
        {"{AUX.USU ARIO} = 'x'", "no tiene la forma {Tabla.Campo}"},
        {"{USUARIO}", "se esperaba una comparación"},
        {"{USUARIO} = 'x' and",
         "se esperaba un campo, un texto o una función y se encontró el final"},
        {"{USUARIO} == 'x'", "se encontró ="},
        {"({USUARIO} = 'x'", "se esperaba «)»"},
        {"{USUARIO} = 'x')", "sobra «)»"},
        {"upper({USUARIO}) = 'X'", "función desconocida: upper"},
        {"USUARIO = 'x'", "«usuario» no es un campo ni una función"},
        {"{USUARIO} = 'x'; DROP TABLE AUX_ESTADISTICACTA", "no se reconoce el carácter «;»"},
        {"{USUARIO} = \"x\"", "no se reconoce el carácter «\"»"},
        {"not", "se encontró el final"},
        {"{ImporteG1} > 1.2.3", "número no válido"},
        // Nesting deep enough to exhaust the stack is refused, not followed.
        {QString(100000, QLatin1Char('(')), "anida más de 100 niveles"},
        {QString("not ").repeated(5000) + "{USUARIO} = 'x'", "anida más de 100 niveles"},
        {QString("uppercase(").repeated(5000) + "{USUARIO}", "anida más de 100 niveles"},
    };
    for (const auto& c : cases) {
        QString error;
        EXPECT_FALSE(SelectionFormula::translate(c.formula, kAuxTables, &error).has_value())
            << c.formula.toStdString();
        EXPECT_TRUE(error.contains(c.explanation))
            << c.formula.toStdString() << " -> " << error.toStdString();
    }
}

// ---- formula fields ---------------------------------------------------------------------------

TEST(ReportFields, NamedValuesFromFormulaTexts) {
    struct Case {
        QString formula;
        bool readable;
        QString name, value;
    } cases[] = {
        {"NOMBREREP= 'Cronograma de Mantenimiento de Equipos'", true, "nombrerep",
         "Cronograma de Mantenimiento de Equipos"},
        {"Parametros =''", true, "PARAMETROS", ""},
        {"empresa = ' '", true, "Empresa", " "},
        {"empresa = 'Taller O''Higgins'", true, "empresa", "Taller O'Higgins"},
        // The suite does not double the quotes of the company name it hands over.
        {"empresa = 'Taller O'Higgins'", true, "empresa", "Taller O'Higgins"},
        {"Parametros = ' Fecha Desde: 01/01/2024 Hasta: 31/12/2024 Periodo: Mensual'", true,
         "parametros", " Fecha Desde: 01/01/2024 Hasta: 31/12/2024 Periodo: Mensual"},
        {"titulo = Sin comillas", true, "titulo", "Sin comillas"},
        {"", true, "", ""},
        {"sin signo igual", false, "", ""},
        {"= 'x'", false, "", ""},
        {"dos palabras = 'x'", false, "", ""},
        {"a = 'x", false, "", ""},
    };
    for (const auto& c : cases) {
        ReportFields fields;
        EXPECT_EQ(fields.assign(c.formula), c.readable) << c.formula.toStdString();
        if (!c.name.isEmpty()) {
            EXPECT_TRUE(fields.contains(c.name)) << c.formula.toStdString();
            EXPECT_EQ(fields.value(c.name), c.value) << c.formula.toStdString();
        }
    }
    ReportFields fields;
    fields.assign(QStringLiteral("a = '1'"));
    fields.assign(QStringLiteral("A = '2'"));
    EXPECT_EQ(fields.value(QStringLiteral("a")), "2") << "the last formula for a name wins";
    EXPECT_FALSE(fields.contains(QStringLiteral("b")));
}

// ---- templates --------------------------------------------------------------------------------

TEST(ReportTemplate, TheProgramsTemplatesAreReadable) {
    struct Case {
        const char* name;
        ReportTemplate::Kind kind;
        bool landscape, showDetail;
        QString table;
    } cases[] = {
        {"Cronequipo", ReportTemplate::Kind::Grid, true, false, "AUX_ESTADISTICACTA"},
        {"CronequipoObs", ReportTemplate::Kind::Grid, true, true, "AUX_ESTADISTICACTA"},
        {"Rp_InvenEquipos", ReportTemplate::Kind::List, false, false, "v_ma_mantenimientos"},
        {"Rp_EquiposGarantia", ReportTemplate::Kind::List, false, false, "v_ma_mantenimientos"},
    };
    for (const auto& c : cases) {
        QString error;
        const auto t = ReportTemplate::load(
            QStringLiteral(TEST_REPORTS_DIR "/%1.xml").arg(QLatin1String(c.name)), &error);
        ASSERT_TRUE(t.has_value()) << c.name << ": " << error.toStdString();
        EXPECT_EQ(t->kind, c.kind) << c.name;
        EXPECT_EQ(t->landscape, c.landscape) << c.name;
        EXPECT_EQ(t->grid.showDetail, c.showDetail) << c.name;
        EXPECT_EQ(t->table, c.table) << c.name;
        EXPECT_EQ(t->titleField, "NOMBREREP") << c.name;
    }
}

TEST(ReportTemplate, UnusableTemplatesAreExplained) {
    const QString list = QStringLiteral(
        "<report kind='list'><source table='T'/><columns><column field='%1'/></columns></report>");
    struct Case {
        QString xml, explanation;
    } cases[] = {
        {"<informe/>", "<report>"},
        {"<report kind='tabla'/>", "kind"},
        {"<report kind='grid' orientation='diagonal'/>", "orientation"},
        {"<report kind='list'><columns><column field='a'/></columns></report>", "tabla de origen"},
        {"<report kind='list'><source table='T; DROP'/><columns><column field='a'/></columns>"
         "</report>",
         "tabla de origen"},
        {"<report kind='list'><source table='T'/></report>", "al menos una columna"},
        {list.arg("a b"), "campo de columna no válido"},
        {list.arg("T.a.b"), "campo de columna no válido"},
        {"<report kind='grid'><source table='T'/><grid label='G' from='D' to='H'/></report>",
         "label, from, to y count"},
        {"<report kind='list'><source table='T' order='a;b'/><columns><column field='a'/>"
         "</columns></report>",
         "orden"},
        {"<report kind='list'><source table='T'/><pie/></report>", "<pie>"},
        {"<report kind='list'><source table='T'><join table='C' field='x'/></source></report>",
         "unión"},
        {"<report kind='list'><source table='T'/><columns><column field='a'>", "línea"},
    };
    for (const auto& c : cases) {
        QString error;
        EXPECT_FALSE(ReportTemplate::fromXml(c.xml.toUtf8(), &error).has_value())
            << c.xml.toStdString();
        EXPECT_TRUE(error.contains(c.explanation))
            << c.xml.toStdString() << " -> " << error.toStdString();
    }
}

// ---- the schedule grid ------------------------------------------------------------------------

ScheduleEntry entry(const char* label, const char* from, const char* to, double count,
                    const char* detail = "") {
    return {QString::fromUtf8(label),
            QDate::fromString(QLatin1String(from), Qt::ISODate),
            QDate::fromString(QLatin1String(to), Qt::ISODate),
            count,
            false,
            QString::fromUtf8(detail)};
}

TEST(ScheduleGrid, RowsPerLabelAndPeriodsInDateOrder) {
    // Given in the order the schedule writes them: row by row, with the year turning.
    const ScheduleGrid g({
        entry("EQ-010 Horno\r\nPanadería Núñez\r\n", "2023-12-01", "2023-12-31", 1, "Revisar"),
        entry("EQ-010 Horno\r\nPanadería Núñez\r\n", "2024-01-01", "2024-01-31", 0),
        entry("EQ-010 Horno\r\nPanadería Núñez\r\n", "2023-11-01", "2023-11-30", 2, "Correa"),
        entry("EQ-9 Cámara\r\n", "2024-01-01", "2024-01-31", 3, "Gas"),
        entry("EQ-9 Cámara\r\n", "2023-12-01", "2023-12-31", 0),
        // A second work order of the same equipment adds to the same cells.
        entry("EQ-010 Horno\r\nPanadería Núñez\r\n", "2023-12-01", "2023-12-31", 2, "Limpieza"),
        entry("EQ-010 Horno\r\nPanadería Núñez\r\n", "2023-11-01", "2023-11-30", 1, "Correa"),
    });
    ASSERT_EQ(g.rowCount(), 2);
    ASSERT_EQ(g.periodCount(), 3);
    EXPECT_EQ(g.label(0), "EQ-9 Cámara") << "numbers in labels compare as numbers";
    EXPECT_EQ(g.label(1), "EQ-010 Horno\nPanadería Núñez");
    EXPECT_EQ(g.periodHeading(0), "01/11/23\n30/11/23");
    EXPECT_EQ(g.periodHeading(1), "01/12/23\n31/12/23");
    EXPECT_EQ(g.periodHeading(2), "01/01/24\n31/01/24");

    struct Cell {
        int row, period;
        double count;
        QString text, detail;
    } cells[] = {
        {0, 0, 0, "", ""},
        {0, 1, 0, "", ""},
        {0, 2, 3, "3", "Gas"},
        {1, 0, 3, "3", "Correa"},
        {1, 1, 3, "3", "Revisar\nLimpieza"},
        {1, 2, 0, "", ""},
    };
    for (const auto& c : cells) {
        EXPECT_EQ(g.count(c.row, c.period), c.count) << c.row << "," << c.period;
        EXPECT_EQ(g.cellText(c.row, c.period), c.text) << c.row << "," << c.period;
        EXPECT_EQ(g.detail(c.row, c.period), c.detail) << c.row << "," << c.period;
    }
    EXPECT_EQ(g.rowTotal(0), 3);
    EXPECT_EQ(g.rowTotal(1), 6);
    EXPECT_EQ(g.periodTotal(0), 3);
    EXPECT_EQ(g.periodTotal(1), 3);
    EXPECT_EQ(g.periodTotal(2), 3);
    EXPECT_EQ(g.grandTotal(), 9);
    EXPECT_EQ(g.maxCount(), 3);
}

TEST(ScheduleGrid, SingleDaysAreHeadedByTheirDay) {
    ScheduleEntry daily = entry("A", "2024-03-02", "2024-03-02", 1);
    daily.daily = true;
    ScheduleEntry oneDayRange = entry("A", "2024-03-31", "2024-03-31", 1);
    const ScheduleGrid g({daily, entry("A", "2024-03-03", "2024-03-09", 1), oneDayRange});
    EXPECT_EQ(g.periodHeading(0), "02/03/24");
    EXPECT_EQ(g.periodHeading(1), "03/03/24\n09/03/24");
    EXPECT_EQ(g.periodHeading(2), "31/03/24");
}

TEST(ScheduleGrid, ShadingDeepensWithTheCount) {
    struct Case {
        double count, max;
        int level;
    } cases[] = {
        {0, 5, 0},  {1, 1, 1},  {1, 4, 1},  {2, 4, 2},   {3, 4, 3},    {4, 4, 4},
        {1, 10, 1}, {5, 10, 2}, {9, 10, 3}, {10, 10, 4}, {0.5, 10, 1}, {-1, 3, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScheduleGrid::shadeLevel(c.count, c.max), c.level) << c.count << "/" << c.max;
}

// ---- measuring ---------------------------------------------------------------------------------

TEST(FontMeasure, WhetherALineFitsIsWhatItsMeasuredWidthSays) {
    ensureApplication();
    const FontMeasure measure;
    const QString lines[] = {
        QStringLiteral("EQ-0000123"),
        QStringLiteral("Compresor de aire con tanque de 200 litros"),
        QStringLiteral("Panadería Núñez — Depósito"),
        QStringLiteral("AVAVAVAVAV To Ty Te WAVE Yo LT"),
        QStringLiteral("fi fl ffi ffl office"),
        QStringLiteral("iiiiiiiiiiiiiiiiiiii"),
        QStringLiteral("WWWWWWWWWWMMMMMMMMMM"),
        QStringLiteral("31/12/2100 1.234.567,89"),
        QStringLiteral("Taller O'Higgins S.R.L. (sucursal «Norte»)"),
        QStringLiteral("Ωμέγα 東京"),  // beyond Latin-1: always shaped
    };
    const double shares[] = {0.5, 0.85, 0.9, 0.95, 0.97, 0.99, 1.0, 1.01, 1.03, 1.09, 1.1, 1.2, 2};
    for (PageFont font : {PageFont::Body, PageFont::BodyBold, PageFont::Heading, PageFont::Title}) {
        for (const QString& line : lines) {
            const double width = measure.width(line, font);
            for (double share : shares) {
                const double room = width * share;
                EXPECT_EQ(measure.fits(line, font, room), width <= room)
                    << line.toStdString() << " in " << share << " of its width";
            }
        }
    }
}

// ---- page layout ------------------------------------------------------------------------------

// Every character is as wide as its style's width, so that pages can be worked out by hand.
class FixedMeasure : public TextMeasure {
  public:
    double width(const QString& line, PageFont font) const override {
        return line.size() * (font == PageFont::Title ? 8 : 4);
    }
    double lineHeight(PageFont font) const override { return font == PageFont::Title ? 16 : 8; }
};

ReportDocument scheduleDocument(int rows, int periods, bool details = false) {
    std::vector<ScheduleEntry> entries;
    const QDate start(2024, 12, 30);
    for (int r = 0; r < rows; ++r) {
        const QString label =
            QStringLiteral("EQ-%1 Equipo\r\nCliente %1\r\n").arg(r + 1, 3, 10, QLatin1Char('0'));
        for (int p = 0; p < periods; ++p) {
            const QDate d = start.addDays(p);
            entries.push_back(
                {label, d, d, double((r + p) % 3), true,
                 details && (r + p) % 3 ? QStringLiteral("Cambio de filtro") : QString()});
        }
    }
    ReportDocument doc;
    doc.name = QStringLiteral("Cronequipo");
    doc.kind = ReportTemplate::Kind::Grid;
    doc.landscape = true;
    doc.title = QStringLiteral("Cronograma de Mantenimiento de Equipos");
    doc.company = QStringLiteral("Servicios Técnicos del Sur");
    doc.parameters = QStringLiteral("Fecha Desde: 30/12/2024 Hasta: 31/03/2025 Periodo: Diario");
    doc.printedAt = QDateTime(QDate(2025, 1, 2), QTime(9, 30));
    doc.grid = ScheduleGrid(entries);
    doc.showDetails = details;
    doc.labelHeading = QStringLiteral("Equipo");
    return doc;
}

std::vector<QString> texts(const ReportPage& page) {
    std::vector<QString> out;
    for (const auto& b : page.boxes) out.push_back(b.text);
    return out;
}

bool has(const ReportPage& page, const QString& text) {
    const auto t = texts(page);
    return std::find(t.begin(), t.end(), text) != t.end();
}

void expectInside(const std::vector<ReportPage>& pages, QSizeF size) {
    for (std::size_t i = 0; i < pages.size(); ++i) {
        for (const auto& b : pages[i].boxes) {
            EXPECT_GE(b.rect.left(), -0.01) << "page " << i << " " << b.text.toStdString();
            EXPECT_GE(b.rect.top(), -0.01) << "page " << i << " " << b.text.toStdString();
            EXPECT_LE(b.rect.right(), size.width() + 0.01)
                << "page " << i << " " << b.text.toStdString();
            EXPECT_LE(b.rect.bottom(), size.height() + 0.01)
                << "page " << i << " " << b.text.toStdString();
        }
    }
}

TEST(PageLayout, PeriodsThatDoNotFitContinueWithTheLabelsRepeated) {
    const FixedMeasure measure;
    const QSizeF size(400, 300);
    const PageLayout layout(size, measure);
    struct Case {
        int rows, periods;
        bool details;
    } cases[] = {{3, 30, false}, {3, 6, false}, {40, 30, false}, {5, 12, true}, {1, 1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rows << " rows, " << c.periods << " periods");
        const ReportDocument doc = scheduleDocument(c.rows, c.periods, c.details);
        const auto plan = layout.gridPlan(doc);
        const auto pages = layout.pages(doc);
        ASSERT_EQ(pages.size(), plan.size());
        expectInside(pages, size);

        // Across first: the bands of periods repeat, in order, for every slice of rows.
        int bands = 0;
        while (bands < int(plan.size()) && plan[bands].firstRow == plan[0].firstRow) ++bands;
        ASSERT_EQ(plan.size() % bands, 0u);
        int nextRow = 0;
        for (std::size_t i = 0; i < plan.size(); ++i) {
            const auto& s = plan[i];
            const int band = int(i) % bands;
            EXPECT_EQ(s.firstPeriod, plan[band].firstPeriod);
            EXPECT_EQ(s.periodCount, plan[band].periodCount);
            EXPECT_EQ(s.rowTotals, band == bands - 1);
            EXPECT_EQ(s.periodTotals, i / bands == plan.size() / bands - 1);
            if (band == 0) {
                EXPECT_EQ(s.firstRow, nextRow);
                nextRow += s.rowCount;
            }
        }
        EXPECT_EQ(nextRow, c.rows);
        int nextPeriod = 0;
        for (int b = 0; b < bands; ++b) {
            EXPECT_EQ(plan[b].firstPeriod, nextPeriod);
            nextPeriod += plan[b].periodCount;
        }
        EXPECT_EQ(nextPeriod, c.periods);

        // Each page shows its rows' labels, its periods' headings and its number.
        for (std::size_t i = 0; i < pages.size(); ++i) {
            const auto& s = plan[i];
            for (int r = s.firstRow; r < s.firstRow + s.rowCount; ++r)
                EXPECT_TRUE(has(pages[i], doc.grid.label(r))) << "page " << i << " row " << r;
            for (int p = s.firstPeriod; p < s.firstPeriod + s.periodCount; ++p)
                EXPECT_TRUE(has(pages[i], doc.grid.periodHeading(p))) << "page " << i;
            EXPECT_FALSE(s.firstPeriod > 0 && has(pages[i], doc.grid.periodHeading(0)));
            EXPECT_TRUE(
                has(pages[i], QStringLiteral("Página %1 de %2").arg(i + 1).arg(pages.size())));
            EXPECT_TRUE(has(pages[i], QStringLiteral("Impreso el 02/01/2025 09:30")));
            EXPECT_TRUE(has(pages[i], doc.title));
            EXPECT_TRUE(has(pages[i], doc.company));
            EXPECT_EQ(has(pages[i], QStringLiteral("Total")), s.rowTotals || s.periodTotals);
        }
    }
}

TEST(PageLayout, GridCellsShowCountsShadesAndTotals) {
    const FixedMeasure measure;
    const ReportDocument doc = scheduleDocument(2, 3);
    // Counts (r + p) % 3: row 0 = 0 1 2 (total 3), row 1 = 1 2 0 (total 3).
    const auto pages = PageLayout(QSizeF(800, 500), measure).pages(doc);
    ASSERT_EQ(pages.size(), 1u);
    std::vector<const PageBox*> cells;
    for (const auto& b : pages[0].boxes) {
        if (b.border && b.font == PageFont::Body && b.align == PageBox::Align::Center)
            cells.push_back(&b);
    }
    ASSERT_EQ(cells.size(), 6u);
    const char* expectedTexts[] = {"", "1", "2", "1", "2", ""};
    const BoxFill expectedFills[] = {BoxFill::None,   BoxFill::Shade1, BoxFill::Shade4,
                                     BoxFill::Shade1, BoxFill::Shade4, BoxFill::None};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(cells[i]->text, expectedTexts[i]) << i;
        EXPECT_EQ(cells[i]->fill, expectedFills[i]) << i;
    }
    // Totals: two rows of 3, periods 1 3 2, all 6.
    QStringList totals;
    for (const auto& b : pages[0].boxes)
        if (b.fill == BoxFill::Total) totals << b.text;
    EXPECT_EQ(totals, QStringList({"3", "3", "Total", "1", "3", "2", "6"}));
}

TEST(PageLayout, WrappedLinesFitTheirWidth) {
    const FixedMeasure measure;
    const PageLayout layout(QSizeF(400, 300), measure);
    struct Case {
        QString text;
        double width;
        QStringList lines;
    } cases[] = {
        {"Horno rotativo a gas de 18 bandejas", 60, {"Horno rotativo", "a gas de 18", "bandejas"}},
        {"EQ-001 Horno\nPanadería Núñez", 200, {"EQ-001 Horno", "Panadería Núñez"}},
        {"Supercalifragilístico", 40, {"Supercalif", "ragilístic", "o"}},
        {"", 40, {""}},
    };
    for (const auto& c : cases) {
        const QStringList lines = layout.wrap(c.text, c.width, PageFont::Body);
        EXPECT_EQ(lines, c.lines) << c.text.toStdString();
        for (const QString& l : lines) EXPECT_LE(measure.width(l, PageFont::Body), c.width);
    }
}

TEST(PageLayout, ListsRepeatTheirHeadingAndEndWithTheCount) {
    const FixedMeasure measure;
    ReportDocument doc;
    doc.title = QStringLiteral("Inventario de Equipos");
    doc.printedAt = QDateTime(QDate(2025, 1, 2), QTime(9, 30));
    std::vector<std::vector<Variant>> rows;
    for (int i = 0; i < 45; ++i)
        rows.push_back({QStringLiteral("EQ-%1").arg(i), QDate(2025, 1, 1).addDays(i), 1.5 * i});
    auto column = [](const char* field, const char* heading, int decimals, const char* format) {
        ReportTemplate::Column c;
        c.field = QString::fromUtf8(field);
        c.heading = QString::fromUtf8(heading);
        c.decimals = decimals;
        c.dateFormat = QString::fromUtf8(format);
        return c;
    };
    doc.table = ReportTable(
        {column("codigo", "Código", -1, ""), column("FechaFinGarantia", "Fin", -1, "dd/MM/yy"),
         column("importe", "Importe", 2, "")},
        rows);
    const QSizeF size(300, 200);
    const auto pages = PageLayout(size, measure).pages(doc);
    ASSERT_GT(pages.size(), 2u);
    expectInside(pages, size);
    int seen = 0;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        EXPECT_TRUE(has(pages[i], QStringLiteral("Código"))) << i;
        for (const auto& b : pages[i].boxes) {
            if (b.text.startsWith(QLatin1String("EQ-"))) {
                EXPECT_EQ(b.text, QStringLiteral("EQ-%1").arg(seen++));
            }
        }
    }
    EXPECT_EQ(seen, 45);
    EXPECT_TRUE(has(pages.back(), QStringLiteral("Cantidad de registros: 45")));
    EXPECT_TRUE(has(pages[0], QStringLiteral("02/01/25")));
    EXPECT_TRUE(has(pages[0], QStringLiteral("1,50")));
    for (const auto& b : pages[0].boxes) {
        if (b.text == QLatin1String("1,50")) {
            EXPECT_EQ(b.align, PageBox::Align::Right);
        }
        if (b.text == QLatin1String("02/01/25")) {
            EXPECT_EQ(b.align, PageBox::Align::Center);
        }
    }
}

// ---- whole reports on an embedded database ----------------------------------------------------

QString sqlScript(const char* name) {
    QFile f(QStringLiteral(TEST_DB_DIR "/") + QString::fromUtf8(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return QString::fromUtf8(f.readAll());
}

int pdfPages(const QByteArray& pdf) {
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    return static_cast<int>(QString::fromLatin1(pdf).count(page));
}

class ReportFiles : public testing::Test {
  protected:
    void SetUp() override {
        ensureApplication();
        ASSERT_TRUE(dir.isValid());
        platform::process::setProgramFolder(dir.path());
        previousPrompter = platform::setPrompter(prompts);
        QDir(dir.path()).mkpath(QStringLiteral("reportes"));
        for (const char* t :
             {"Cronequipo", "CronequipoObs", "Rp_InvenEquipos", "Rp_EquiposGarantia"}) {
            ASSERT_TRUE(
                QFile::copy(QStringLiteral(TEST_REPORTS_DIR "/%1.xml").arg(QLatin1String(t)),
                            dir.filePath(QStringLiteral("reportes/%1.xml").arg(QLatin1String(t)))));
        }
        const QString db = dir.filePath(QStringLiteral("GESTION.db"));
        ado::SqliteEngine::create(db);
        ado::SqliteEngine::open(db)->execute(sqlScript("schema.sql"));
        cnn.open(ReportSource::connectionString(kConnectionText));
        installReportEngine();
        runner.SetFolder(platform::process::programFolder());
    }

    void TearDown() override {
        ReportRunner::setEngine(nullptr);
        if (cnn.state() == ado::adstate::Open) cnn.close();
        platform::setPrompter(previousPrompter);
        platform::process::setProgramFolder({});
    }

    // A row as the schedule writes it, dates as short-date texts.
    void schedule(const QString& user, const QString& label, const QString& from, const QString& to,
                  int count, bool daily = false, const QString& detail = {}) {
        ado::Command insert;
        insert.setActiveConnection(cnn);
        insert.setCommandText(QStringLiteral(
            "INSERT INTO AUX_ESTADISTICACTA (USUARIO,Nombre,Grupo,FechaD,FechaH,ImporteG1,"
            "ImporteG2,Detalle) VALUES (?,?,?,?,?,?,?,?)"));
        insert.execute({user, QStringLiteral("x"), label, from, to, count, daily ? 0 : 1, detail});
    }

    void run(const QString& report, const QString& selection, const QString& title) {
        ReportOutput out{ReportOutput::Kind::Files, pdf(), xlsx()};
        runner.setOutput(out);
        runner.RunReport(report, {}, {}, selection, kConnectionText,
                         QStringLiteral("empresa = 'Servicios Técnicos del Sur'"),
                         QStringLiteral("NOMBREREP= '%1'").arg(title),
                         QStringLiteral("Parametros = ' Fecha Desde: 01/01/2024 Hasta: 31/03/2024 "
                                        "Periodo: Mensual'"));
    }

    QString pdf() const { return dir.filePath(QStringLiteral("informe.pdf")); }
    QString xlsx() const { return dir.filePath(QStringLiteral("informe.xlsx")); }
    QByteArray bytes(const QString& path) const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    const QString kConnectionText = QStringLiteral("DSN=GESTION; UID=demo; PWD=");
    const QString kMine = QStringLiteral("uppercase({Aux_EstadisticaCta.USUARIO}) = 'PC01|JUAN'");
    QTemporaryDir dir;
    ado::Connection cnn;
    ReportRunner runner;
    std::shared_ptr<platform::ScriptedPrompter> prompts =
        std::make_shared<platform::ScriptedPrompter>();
    std::shared_ptr<platform::Prompter> previousPrompter;
};

TEST_F(ReportFiles, TheConnectionTextNamesTheEmbeddedDatabaseWhenItsFileExists) {
    struct Case {
        QString text, expected;
    } cases[] = {
        {"DSN=GESTION; UID=demo; PWD=",
         "PROVIDER=SQLOLEDB;Server=sqlite;Database =GESTION;UId=demo;Pwd=;"},
        {"DSN=GESTION;UID=ana;PWD=clave",
         "PROVIDER=SQLOLEDB;Server=sqlite;Database =GESTION;UId=ana;Pwd=clave;"},
        // no such file: the data source of the driver manager, without the blanks that would
        // make " UID" another key
        {"DSN=CONTABLE; UID=demo; PWD=", "DSN=CONTABLE;UID=demo;PWD=;"},
        {"Driver={FreeTDS};Server=srv", "Driver={FreeTDS};Server=srv"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReportSource::connectionString(c.text).toStdString(), c.expected.toStdString());
    }
}

TEST_F(ReportFiles, ScheduleOfTheUserWrittenAsPdfAndSpreadsheet) {
    const QString horno = QStringLiteral("EQ-001 Horno rotativo\r\nPanadería Núñez\r\n");
    const QString camara = QStringLiteral("EQ-002 Cámara frigorífica\r\n");
    schedule("PC01|JUAN", horno, "01/01/24", "31/01/24", 2, false, "Cambio de correa");
    schedule("PC01|JUAN", horno, "01/02/24", "29/02/24", 0);
    schedule("PC01|JUAN", camara, "01/02/24", "29/02/24", 3);
    schedule("PC01|JUAN", camara, "01/01/24", "31/01/24", 1);
    schedule("PC02|ANA", "EQ-999 De otro usuario", "01/01/24", "31/01/24", 5);

    run("Cronequipo", kMine, "Cronograma de Mantenimiento de Equipos");
    EXPECT_TRUE(prompts->shown().empty()) << prompts->last().text.toStdString();
    const QByteArray pdfBytes = bytes(pdf());
    ASSERT_TRUE(pdfBytes.startsWith("%PDF"));
    EXPECT_EQ(pdfPages(pdfBytes), 1);

    const QByteArray sheet = unzipped(xlsx(), "xl/worksheets/sheet1.xml");
    // Texts are written in the cells themselves, as the rows stream out.
    const QByteArray& strings = sheet;
    ASSERT_FALSE(sheet.isEmpty());
    // Two heading rows (from and to dates) under the heading lines, labels frozen at the left.
    EXPECT_TRUE(
        QRegularExpression(R"(<pane xSplit="1" ySplit="6" topLeftCell="B7"[^>]* state="frozen")")
            .match(QString::fromUtf8(sheet))
            .hasMatch())
        << sheet.toStdString();
    // Horno (row 7): January 2, February blank. Cámara (row 8): January 1, February 3.
    static const QRegularExpression number(
        QStringLiteral("<c r=\"([A-Z]+[0-9]+)\"(?: s=\"[0-9]+\")?><v>([0-9.]+)</v></c>"));
    QStringList numbers;
    for (auto it = number.globalMatch(QString::fromUtf8(sheet)); it.hasNext();) {
        const auto m = it.next();
        numbers << m.captured(1) + QLatin1Char('=') + m.captured(2);
    }
    EXPECT_EQ(numbers, QStringList({"B5=45292", "C5=45323", "B6=45322", "C6=45351", "B7=2", "D7=2",
                                    "B8=1", "C8=3", "D8=4", "B9=3", "C9=3", "D9=6"}))
        << "dates as serial numbers, counts as numbers, zero cells left out";
    EXPECT_TRUE(strings.contains("EQ-002 Cámara frigorífica"));
    EXPECT_TRUE(strings.contains("EQ-001 Horno rotativo\nPanadería Núñez"));
    EXPECT_FALSE(strings.contains("EQ-999")) << "another user's rows";
    EXPECT_TRUE(strings.contains("Servicios Técnicos del Sur"));
}

TEST_F(ReportFiles, AScheduleWiderThanThePageGoesOnFurtherPages) {
    for (int day = 0; day < 90; ++day) {
        const QString d = QDate(2024, 1, 1).addDays(day).toString(QStringLiteral("dd/MM/yy"));
        schedule("PC01|JUAN", "EQ-001 Horno rotativo\r\n", d, d, day % 4, true,
                 day % 4 ? QStringLiteral("Revisión") : QString());
        schedule("PC01|JUAN", "EQ-002 Compresor\r\n", d, d, (day + 1) % 2, true);
    }
    for (const char* report : {"Cronequipo", "CronequipoObs"}) {
        SCOPED_TRACE(report);
        QFile::remove(pdf());
        run(report, kMine, "Cronograma");
        EXPECT_TRUE(prompts->shown().empty());
        const QByteArray pdfBytes = bytes(pdf());
        ASSERT_TRUE(pdfBytes.startsWith("%PDF"));

        const auto doc = ReportEngineImpl::build(report, kMine, kConnectionText,
                                                 {QStringLiteral("NOMBREREP = 'Cronograma'")},
                                                 platform::process::programFolder());
        ASSERT_TRUE(doc.has_value());
        ASSERT_EQ(doc->grid.periodCount(), 90);
        const FontMeasure measure;
        const QSizeF area = PdfExport::pageLayout(true).paintRect(QPageLayout::Point).size();
        const auto plan = PageLayout(area, measure).gridPlan(*doc);
        EXPECT_GT(plan.size(), 2u) << "90 days do not fit one page";
        EXPECT_EQ(pdfPages(pdfBytes), static_cast<int>(plan.size()));
    }
}

TEST_F(ReportFiles, AValueCannotWidenTheSelection) {
    schedule("PC01|JUAN", "EQ-001 Horno", "01/01/24", "31/01/24", 2);
    run("Cronequipo", "{Aux_EstadisticaCta.USUARIO} = 'x'' OR 1=1 --'", "Cronograma");
    EXPECT_TRUE(prompts->shown().empty());
    ASSERT_TRUE(bytes(pdf()).startsWith("%PDF"));
    EXPECT_EQ(pdfPages(bytes(pdf())), 1);
    const QByteArray sheet = unzipped(xlsx(), "xl/worksheets/sheet1.xml");
    ASSERT_TRUE(sheet.contains("Cronograma")) << "the sheet was read";
    EXPECT_FALSE(sheet.contains("EQ-001"));
    EXPECT_EQ(cnn.execute(QStringLiteral("SELECT COUNT(*) FROM AUX_ESTADISTICACTA"))
                  ->field(0)
                  .value()
                  .toNumber(),
              1);
}

TEST_F(ReportFiles, WhatCannotBeReadIsExplainedAndNothingIsWritten) {
    schedule("PC01|JUAN", "EQ-001 Horno", "01/01/24", "31/01/24", 2);
    struct Case {
        QString report, selection, explanation;
    } cases[] = {
        {"Cronequipo", "uppercase({Aux_EstadisticaCta.USUARIO} = 'PC01|JUAN'",
         "La fórmula de selección del informe «Cronequipo» no se puede leer"},
        {"Cronequipo", "{Aux_EstadisticaCta.CLAVE} = '1'", "{Aux_EstadisticaCta.CLAVE} no existe"},
        {"Inexistente", "", "No se encuentra el formato del informe «Inexistente»"},
    };
    for (const auto& c : cases) {
        prompts->reset();
        run(c.report, c.selection, "Cronograma");
        ASSERT_EQ(prompts->shown().size(), 1u) << c.selection.toStdString();
        EXPECT_TRUE(prompts->last().text.contains(c.explanation))
            << prompts->last().text.toStdString();
        EXPECT_FALSE(QFile::exists(pdf()));
        EXPECT_FALSE(QFile::exists(xlsx()));
    }
    prompts->reset();
    runner.setOutput({ReportOutput::Kind::Files, pdf(), xlsx()});
    runner.RunReport("Cronequipo", {}, {}, kMine, kConnectionText, "empresa", {}, {});
    ASSERT_EQ(prompts->shown().size(), 1u);
    EXPECT_TRUE(prompts->last().text.contains("nombre = 'valor'"));
    EXPECT_FALSE(QFile::exists(pdf()));
}

// A template that is there but cannot be read is not "missing": the message names what it is.
TEST_F(ReportFiles, ATemplateThatCannotBeReadIsNamedForWhatItIs) {
    schedule("PC01|JUAN", "EQ-001 Horno", "01/01/24", "31/01/24", 2);
    const QString ruta = dir.filePath(QStringLiteral("reportes/Cronequipo.xml"));
    for (const auto& caso :
         hostiles::ilegibles(platform::limite::kFormatos, {}, QStringLiteral("16 MB"))) {
        ASSERT_TRUE(caso.pon(ruta)) << caso.nombre;
        prompts->reset();
        hostiles::Vigia vigia(dir.path());
        run(QStringLiteral("Cronequipo"), kMine, QStringLiteral("Cronograma"));
        EXPECT_FALSE(vigia.termina()) << caso.nombre;
        ASSERT_EQ(prompts->shown().size(), 1u) << caso.nombre;
        EXPECT_EQ(prompts->last().text,
                  QStringLiteral("El formato del informe «Cronequipo» no se puede leer: «%1» %2.")
                      .arg(ruta, caso.causa))
            << prompts->last().text.toStdString();
        EXPECT_FALSE(QFile::exists(pdf())) << caso.nombre;
        EXPECT_FALSE(QFile::exists(xlsx())) << caso.nombre;
    }
}

TEST_F(ReportFiles, WarrantiesStillRunningNearestEndFirst) {
    // The last day of a year: a warranty ending today still runs, one ending yesterday does not,
    // and the later ones end in the next year.
    const QDate today(2026, 12, 31);
    const HoyFijado fijado(today);
    cnn.execute(
        QStringLiteral("INSERT INTO VT_CLIENTES (CODIGO, RAZON_SOCIAL) VALUES "
                       "('     1', 'Panadería Núñez'), ('     2', 'Taller O''Higgins')"));
    struct Equipment {
        const char* code;
        const char* customer;
        QDate end;
    } equipment[] = {
        {"EQ-A", "     1", today.addDays(100)},
        {"EQ-B", "     2", today.addDays(-1)},
        {"EQ-C", "     2", today},
        {"EQ-D", "     1", QDate()},
        {"EQ-E", "     9", today.addDays(10)},
    };
    ado::Command insert;
    insert.setActiveConnection(cnn);
    insert.setCommandText(
        QStringLiteral("INSERT INTO v_ma_mantenimientos (codigo, descripcion, "
                       "ubicacion, idcliente, FechaFinGarantia) VALUES (?,?,?,?,?)"));
    for (const auto& e : equipment) {
        insert.execute({QString::fromLatin1(e.code), QStringLiteral("Equipo"),
                        QStringLiteral("Depósito"), QString::fromLatin1(e.customer),
                        e.end.isValid() ? Variant(e.end) : Variant::null()});
    }
    run("Rp_EquiposGarantia", {}, "Equipos en Garantia");
    EXPECT_TRUE(prompts->shown().empty());
    ASSERT_TRUE(bytes(pdf()).startsWith("%PDF"));
    const QString sheet = QString::fromUtf8(unzipped(xlsx(), "xl/worksheets/sheet1.xml"));
    const QString& strings = sheet;
    static const QRegularExpression code(QStringLiteral("EQ-[A-Z]"));
    QStringList codes;
    for (auto it = code.globalMatch(strings); it.hasNext();) codes << it.next().captured();
    EXPECT_EQ(codes, QStringList({"EQ-C", "EQ-E", "EQ-A"}));
    EXPECT_TRUE(strings.contains("Taller O'Higgins") || strings.contains("Taller O&apos;Higgins"));
    EXPECT_TRUE(QRegularExpression(R"(<pane ySplit="5" topLeftCell="A6"[^>]* state="frozen")")
                    .match(sheet)
                    .hasMatch())
        << sheet.toStdString();
    // The end of the first warranty (today) is a date: a serial number under a date style.
    const int serial = static_cast<int>(QDate(1899, 12, 30).daysTo(today));
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("<c r=\"A6\" s=\"[0-9]+\"><v>%1</v></c>").arg(serial))
            .match(sheet)
            .hasMatch())
        << sheet.toStdString();
}

TEST_F(ReportFiles, WithoutPrintersThePrintedReportIsKeptAsAPdf) {
    if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "this machine has printers";
    schedule("PC01|JUAN", "EQ-001 Horno", "01/01/24", "31/01/24", 2);
    QTemporaryDir temp;
    const QByteArray previous = qgetenv("TMPDIR");
    qputenv("TMPDIR", temp.path().toLocal8Bit());
    runner.setOutput({ReportOutput::Kind::Printer, {}, {}});
    runner.RunReport("Cronequipo", {}, {}, kMine, kConnectionText, {}, "NOMBREREP = 'C'", {});
    previous.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", previous);

    ASSERT_EQ(prompts->shown().size(), 1u);
    const QStringList written = QDir(temp.path()).entryList({QStringLiteral("Cronequipo-*.pdf")});
    ASSERT_EQ(written.size(), 1);
    const QString path = QDir(temp.path()).filePath(written[0]);
    EXPECT_TRUE(prompts->last().text.contains(QDir::toNativeSeparators(path)))
        << prompts->last().text.toStdString();
    EXPECT_TRUE(bytes(path).startsWith("%PDF"));
}

}  // namespace

TEST(PageLayout, AScheduleNarrowerThanThePageSharesItsWidthAmongThePeriods) {
    const FixedMeasure measure;
    const QSizeF size(800, 500);
    for (const int periods : {1, 3, 12}) {
        SCOPED_TRACE(testing::Message() << periods << " periods");
        const ReportDocument doc = scheduleDocument(4, periods);
        const auto pages = PageLayout(size, measure).pages(doc);
        ASSERT_EQ(pages.size(), 1u);
        std::vector<double> widths;
        double right = 0;
        for (const auto& b : pages[0].boxes) {
            if (!b.border) continue;
            right = std::max(right, b.rect.right());
            for (int p = 0; p < periods; ++p)
                if (b.text == doc.grid.periodHeading(p)) widths.push_back(b.rect.width());
        }
        ASSERT_EQ(widths.size(), static_cast<std::size_t>(periods));
        EXPECT_NEAR(right, size.width(), 0.5) << "the grid reaches the printable width";
        for (double w : widths) EXPECT_DOUBLE_EQ(w, widths.front());
    }
}
