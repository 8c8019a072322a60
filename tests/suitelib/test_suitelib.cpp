#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>
#include <memory>

#include "platform/IniReader.h"
#include "platform/Process.h"
#include "platform/Regional.h"
#include "suitelib/SuiteLib.h"
#include "tests/support/Aplicacion.h"
#include "tests/support/HoyFijado.h"
#include "tests/support/ScriptedPrompter.h"

using platform::Variant;
using SuiteLib::tools;

namespace {

void ensureApplication() {
    testApp();
}

// Sets the regional settings for one test and puts the previous ones back.
class RegionalScope {
  public:
    explicit RegionalScope(QChar decimal) {
        platform::Regional r = saved_;
        r.decimalSeparator = decimal;
        platform::Regional::setCurrent(r);
    }
    ~RegionalScope() { platform::Regional::setCurrent(saved_); }

  private:
    platform::Regional saved_ = platform::Regional::current();
};

// What SQLite reads back from a literal written between single quotes.
QString sqliteLiteral(const QString& inside) {
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    const QByteArray sql = ("SELECT '" + inside + "'").toUtf8();
    sqlite3_stmt* statement = nullptr;
    QString result = QStringLiteral("<no se pudo preparar>");
    if (sqlite3_prepare_v2(db, sql.constData(), static_cast<int>(sql.size()), &statement,
                           nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
        result = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)),
                                   sqlite3_column_bytes(statement, 0));
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return result;
}

}  // namespace

TEST(Tools, LeftTextAndPadCode) {
    struct Case {
        QString text;
        int n;
        QString left;
        QString padded;
    } cases[] = {
        {"7", 4, "7", "   7"},
        {"  12 ", 4, "  12", "  12"},
        {"ABCDE", 4, "ABCD", "ABCDE"},  // a longer code is never cut
        {"", 4, "", "    "},
        {"x", 0, "", "x"},
        {"x", -3, "", "x"},
        {"ART-001", 25, "ART-001", QString(18, ' ') + "ART-001"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tools().LeftText(c.text, c.n), c.left) << c.text.toStdString() << " " << c.n;
        EXPECT_EQ(tools().PadCode(c.text, c.n), c.padded) << c.text.toStdString() << " " << c.n;
    }
}

TEST(Tools, WordCountCountsRunsOfBlanksOnce) {
    struct Case {
        QString text;
        int words;
    } cases[] = {
        {"", 0},
        {"     ", 0},
        {"LEN", 1},
        {"  LEN  ", 1},
        {"LEN (campo)", 2},
        {"a   b    c", 3},
        {"SELECT\tcampo\r\nFROM tabla", 4},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tools().WordCount(c.text), c.words) << c.text.toStdString();
    }
}

TEST(Tools, ReplaceTextEveryAndName) {
    EXPECT_EQ(tools().ReplaceText("Servidor=SRV=01", "="), "ServidorSRV01");
    EXPECT_EQ(tools().ReplaceText("a|b||c", "|"), "abc");
    EXPECT_EQ(tools().ReplaceText("a|b", "|", QString("/")), "a/b");
    EXPECT_EQ(tools().ReplaceText("abc", ""), "abc");

    struct EveryCase {
        QString text, find, with, expected;
    } every[] = {
        {"1,5", ",", ".", "1.5"}, {"ab*c*", "*", "%", "ab%c%"},
        {"aAa", "a", "x", "xAx"},  // case-sensitive
        {"aaa", "aa", "b", "ba"},  // left to right, without overlaps
        {"abc", "", "x", "abc"},  {"", "a", "b", ""},
    };
    for (const auto& c : every) {
        EXPECT_EQ(tools().ReplaceEvery(c.text, c.find, c.with), c.expected)
            << c.text.toStdString() << " / " << c.find.toStdString();
    }

    struct NameCase {
        QString statement, oldName, newName, expected;
    } names[] = {
        {"SELECT * FROM V_MA_ARTICULOS", "V_MA_ARTICULOS", "VT_MA_ARTICULOS",
         "SELECT * FROM VT_MA_ARTICULOS"},
        {"select * from v_ma_articulos a join dbo.V_Ma_Articulos b", "V_MA_ARTICULOS", "VT",
         "select * from VT a join dbo.VT b"},
        {"SELECT * FROM V_MA_ARTICULOS_EXT", "V_MA_ARTICULOS", "VT",
         "SELECT * FROM V_MA_ARTICULOS_EXT"},
        {"SELECT * FROM XV_MA_ARTICULOS", "V_MA_ARTICULOS", "VT", "SELECT * FROM XV_MA_ARTICULOS"},
        {"(V_MA_ARTICULOS)", "V_MA_ARTICULOS", "$1\\0", "($1\\0)"},  // the new name is literal
        {"año, añoB", "año", "ejercicio", "ejercicio, añoB"},
        {"a.b", "a.b", "c", "c"},  // the old name is literal, not a pattern
        {"axb", "a.b", "c", "axb"},
    };
    for (const auto& c : names) {
        EXPECT_EQ(tools().ReplaceName(c.statement, c.oldName, c.newName), c.expected)
            << c.statement.toStdString();
    }
}

TEST(Tools, SqlSafeTextSurvivesBetweenQuotes) {
    EXPECT_EQ(tools().SqlSafeText("O'Brien"), "O''Brien");
    const QString texts[] = {
        "O'Brien",
        "'",
        "''",
        "'inicio y fin'",
        "sin comillas",
        "",
        "dos '' ya dobladas",
        "acentos: ñandú 'ü'",
        "línea\r\nsiguiente 'x'",
    };
    for (const QString& text : texts) {
        EXPECT_EQ(sqliteLiteral(tools().SqlSafeText(text)), text) << text.toStdString();
    }
    const QString withNul = QStringLiteral("a") + QChar(u'\0') + QStringLiteral("'b");
    EXPECT_EQ(sqliteLiteral(tools().SqlSafeText(withNul)), "a'b");
}

TEST(Tools, TextToNumberReadsBothSeparatorsAndRoundsToFourDecimals) {
    RegionalScope comma(QLatin1Char(','));
    struct Case {
        QString text;
        double amount;
        qint64 integer;
    } cases[] = {
        {"", 0, 0},
        {"abc", 0, 0},
        {"1,5", 1.5, 2},
        {"1.5", 1.5, 2},
        {"  -2,25 kg", -2.25, -2},
        {"-2,5", -2.5, -3},
        {"1,23455", 1.2346, 1},
        {"1,23454", 1.2345, 1},
        {"-1,00005", -1.0001, -1},
        {"0,00004", 0, 0},
        {"0,00015", 0.0002, 0},  // just below the half in binary
        {"-0,00465", -0.0047, 0},
        {"12345678,9", 12345678.9, 12345679},
        {"7x", 7, 7},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(tools().TextToNumber(c.text), c.amount) << c.text.toStdString();
        EXPECT_EQ(tools().ToInteger(c.text), c.integer) << c.text.toStdString();
    }

    try {
        tools().TextToNumber("1" + QString(20, '0'));
        ADD_FAILURE() << "an amount out of range must raise";
    } catch (const platform::Failure& f) {
        EXPECT_EQ(f.info().number, platform::errnum::Overflow);
    }
}

TEST(Tools, TextToNumberUnderPointSettings) {
    RegionalScope point(QLatin1Char('.'));
    EXPECT_DOUBLE_EQ(tools().TextToNumber("3.75"), 3.75);
    EXPECT_DOUBLE_EQ(tools().TextToNumber("3,75"), 3);  // the comma is no separator here
}

TEST(Tools, NoNullOnlyChangesNull) {
    struct Case {
        Variant in;
        Variant out;
        Variant::Kind kind;
    } cases[] = {
        {Variant::null(), Variant(QString()), Variant::Kind::Text},
        {Variant(), Variant(), Variant::Kind::Empty},
        {Variant(0), Variant(0), Variant::Kind::Number},
        {Variant("  x "), Variant("  x "), Variant::Kind::Text},
        {Variant(false), Variant(false), Variant::Kind::Boolean},
    };
    for (const auto& c : cases) {
        const Variant result = tools().NoNull(c.in);
        EXPECT_EQ(result.kind(), c.kind);
        EXPECT_TRUE(result == c.out);
    }
}

TEST(Tools, FolderPathIsReadyForAFileName) {
    struct Case {
        QString folder, expected;
    } cases[] = {
        {"", ""},
        {"/opt/suite", "/opt/suite/"},
        {"/opt/suite/", "/opt/suite/"},
        {"C:\\Suite\\", "C:\\Suite\\"},
        {"C:\\Suite", "C:\\Suite/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tools().FolderPath(c.folder), c.expected) << c.folder.toStdString();
    }
}

TEST(Tools, StoredFormRoundTripsAndStaysInPlainAscii) {
    const QString texts[] = {
        "",
        "Vorlane",
        "tarsemo",
        "áéíóú ñÑ ü €",
        "a;b=c|[d],\"e\"",
        "  blancos  ",
        QString(200, 'a'),
        QStringLiteral("\U0001F600"),
    };
    QStringList seen;
    for (const QString& text : texts) {
        const QString stored = tools().EncodeStored(text);
        EXPECT_NE(stored, text);
        EXPECT_FALSE(stored.contains(text) && !text.isEmpty()) << stored.toStdString();
        EXPECT_EQ(tools().DecodeStored(stored), text) << stored.toStdString();
        EXPECT_EQ(stored, stored.trimmed()) << "the settings file would trim it";
        for (const QChar c : stored) {
            EXPECT_TRUE(c.unicode() > 0x20 && c.unicode() < 0x7F) << stored.toStdString();
            EXPECT_FALSE(QStringLiteral(";=|[],\"").contains(c)) << stored.toStdString();
        }
        EXPECT_FALSE(seen.contains(stored)) << "two texts share a stored form";
        seen << stored;
    }
}

TEST(Tools, DecodeStoredLeavesPlainValuesAlone) {
    // Hand-written settings, hex-looking values and broken stored forms.
    const QString plain[] = {"", "tarsemo", "1234", "CAFE", "~ABC", "~abcd", "~GG", "~ 12"};
    for (const QString& text : plain) {
        EXPECT_EQ(tools().DecodeStored(text), text) << text.toStdString();
    }
}

TEST(Tools, HandleErrorShowsTheErrorAndGivesTheAnswer) {
    auto scripted = std::make_shared<platform::ScriptedPrompter>();
    auto previous = platform::setPrompter(scripted);
    struct Case {
        platform::ErrorInfo error;
        QString procedure;
        int answer;
        QString text;
        QString title;
    } cases[] = {
        {{53, "No se encontró el archivo  ", "Cronequipo"},
         "Inicializa",
         platform::mb::Abort,
         "Ha ocurrido el Siguiente Error (53) No se encontró el archivo",
         "Cronequipo - Inicializa"},
        {{-2147217900, " Sintaxis incorrecta", "Microsoft OLE DB"},
         "GeneraAuxiliar",
         platform::mb::Retry,
         "Ha ocurrido el Siguiente Error (-2147217900) Sintaxis incorrecta",
         "Microsoft OLE DB - GeneraAuxiliar"},
        {{13, "No coinciden los tipos", ""},
         "unload",
         platform::mb::Ignore,
         "Ha ocurrido el Siguiente Error (13) No coinciden los tipos",
         " - unload"},
        {{5, "x", "s"}, "p", 2, "Ha ocurrido el Siguiente Error (5) x", "s - p"},
    };
    for (const auto& c : cases) {
        scripted->answer(c.answer);
        EXPECT_EQ(tools().HandleError(c.error, QVariant(), c.procedure), c.answer);
        EXPECT_EQ(scripted->last().text, c.text);
        EXPECT_EQ(scripted->last().title, c.title);
        EXPECT_EQ(scripted->last().style, platform::mb::AbortRetryIgnore | platform::mb::Critical);
    }
    EXPECT_EQ(scripted->unexpected(), 0);
    platform::setPrompter(previous);
}

TEST(Tools, PickDateOpensOnTheGivenDateAndFormatsTheChoice) {
    // Without a date to start from, the picker opens on today: a day the test names.
    const QDate hoy(2028, 2, 29);
    const HoyFijado fijado(hoy);
    struct Case {
        QString initial;
        QDate opensOn;
        std::optional<QDate> chosen;
        QString result;
    } cases[] = {
        {"15/03/2026", QDate(2026, 3, 15), QDate(2026, 4, 1), "01/04/2026"},
        {"2026-03-15", QDate(2026, 3, 15), std::nullopt, "2026-03-15"},  // cancelled: as it was
        {"", hoy, QDate(1999, 12, 31), "31/12/1999"},
        {"31/02/2026", hoy, QDate(2026, 2, 28), "28/02/2026"},
    };
    for (const auto& c : cases) {
        QDate received;
        SuiteLib::Tools::setDatePicker([&](const QDate& initial) {
            received = initial;
            return c.chosen;
        });
        EXPECT_EQ(tools().PickDate(c.initial), c.result) << c.initial.toStdString();
        EXPECT_EQ(received, c.opensOn) << c.initial.toStdString();
    }
    SuiteLib::Tools::setDatePicker({});
}

TEST(Tools, PickDateCalendarWindow) {
    ensureApplication();
    SuiteLib::Tools::setDatePicker({});
    for (const bool accept : {true, false}) {
        QString title;
        QStringList captions;
        QDate shown;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            title = dialog->windowTitle();
            auto* calendar = dialog->findChild<QCalendarWidget*>();
            ASSERT_NE(calendar, nullptr);
            shown = calendar->selectedDate();
            calendar->setSelectedDate(QDate(2026, 5, 20));
            for (auto* button : dialog->findChild<QDialogButtonBox*>()->buttons()) {
                captions << button->text();
            }
            accept ? dialog->accept() : dialog->reject();
        });
        const QString result = tools().PickDate("10/05/2026");
        EXPECT_EQ(title, "Seleccione la fecha");
        EXPECT_TRUE(captions.contains("Aceptar") && captions.contains("Cancelar"));
        EXPECT_EQ(shown, QDate(2026, 5, 10));
        EXPECT_EQ(result, accept ? "20/05/2026" : "10/05/2026");
    }
}

TEST(FormTools, FieldIndexIgnoresCase) {
    ensureApplication();
    QLineEdit from, to, plain, tech;
    from.setProperty("dataField", "FechaD");
    to.setProperty("dataField", "fechah");
    tech.setProperty("dataField", "TECNICOD");
    const std::vector<QWidget*> fields = {&plain, &from, nullptr, &to, &tech};
    struct Case {
        QString key;
        int index;
    } cases[] = {
        {"fechad", 1},   {"FechaD", 1},   {"FECHAD", 1}, {"FECHAH", 3},
        {"tecnicoD", 4}, {"tecnico", -1}, {"", -1},      {"fechad ", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SuiteLib::formTools().FieldIndex(c.key, fields), c.index) << c.key.toStdString();
    }
    EXPECT_EQ(SuiteLib::formTools().FieldIndex("fechad", {}), -1);
}

TEST(FormTools, MoveKeysWalkTheTabOrder) {
    ensureApplication();
    struct KeyCase {
        int key;
        bool moves;
    } keys[] = {
        {Qt::Key_Return, true}, {Qt::Key_Enter, true}, {Qt::Key_Up, true},    {Qt::Key_Down, true},
        {Qt::Key_Tab, false},   {Qt::Key_A, false},    {Qt::Key_Left, false}, {13, true},
    };
    for (const auto& c : keys) {
        EXPECT_EQ(SuiteLib::formTools().IsMoveKey(c.key), c.moves) << c.key;
    }

    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* first = new QLineEdit(&window);
    auto* label = new QLabel(QStringLiteral("etiqueta"), &window);
    auto* disabled = new QLineEdit(&window);
    auto* second = new QLineEdit(&window);
    auto* third = new QLineEdit(&window);
    disabled->setEnabled(false);
    for (QWidget* w : {static_cast<QWidget*>(first), static_cast<QWidget*>(label),
                       static_cast<QWidget*>(disabled), static_cast<QWidget*>(second),
                       static_cast<QWidget*>(third)}) {
        layout->addWidget(w);
    }
    window.show();
    QApplication::setActiveWindow(&window);
    first->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), first);

    struct MoveCase {
        int key;
        QLineEdit* expected;
    } moves[] = {
        {Qt::Key_Down, second}, {Qt::Key_Return, third}, {Qt::Key_Up, second},
        {Qt::Key_Up, first},    {Qt::Key_A, first},      {Qt::Key_Enter, second},
    };
    for (const auto& c : moves) {
        SuiteLib::formTools().MoveByKey(c.key);
        QApplication::processEvents();
        EXPECT_EQ(QApplication::focusWidget(), c.expected) << c.key;
    }

    int character = 'a';
    SuiteLib::formTools().FilterKey(first, character);
    EXPECT_EQ(character, 'a');
}

TEST(IniFile, BareNameIsReadFromTheProgramFolder) {
    QTemporaryDir programDir, otherDir;
    ASSERT_TRUE(programDir.isValid() && otherDir.isValid());
    platform::writeIniKey(programDir.filePath("KV300mn.INI"), "Conexion", "Servidor", "SRV01");
    platform::writeIniKey(programDir.filePath("minusculas.ini"), "A", "K", "abajo");
    platform::writeIniKey(otherDir.filePath("KV300mn.INI"), "Conexion", "Servidor", "OTRO");
    platform::process::setProgramFolder(programDir.path());

    struct Case {
        QString file, section, key, expected;
    } cases[] = {
        {"KV300mn.INI", "Conexion", "Servidor", "SRV01"},
        {"KV300mn.INI", "CONEXION", "servidor", "SRV01"},
        {"KV300mn.INI", "Conexion", "Falta", "defecto"},
        {"KV300mn.INI", "Otra", "Servidor", "defecto"},
        {"MINUSCULAS.INI", "A", "K", "abajo"},
        {"NoExiste.INI", "Conexion", "Servidor", "defecto"},
        {otherDir.filePath("KV300mn.INI"), "Conexion", "Servidor", "OTRO"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SuiteLib::iniFile().ReadKey(c.file, c.section, c.key, "defecto"), c.expected)
            << c.file.toStdString() << " " << c.key.toStdString();
    }
    platform::process::setProgramFolder(QString());
}

TEST(FileDialog, ChooserGetsTheDialogFilterAndAnswers) {
    struct Case {
        QString filter;
        QString dialogFilter;
        std::optional<QString> chosen;
    } cases[] = {
        {"Base de Datos de Microsoft Access |*.MDB", "Base de Datos de Microsoft Access (*.MDB)",
         QString("/datos/equipos.mdb")},
        {"Bases|*.MDB;*.ACCDB|Todos|*.*", "Bases (*.MDB *.ACCDB);;Todos (*.*)", std::nullopt},
        {"", "", QString("")},
    };
    SuiteLib::FileDialog dialog;
    dialog.SetDialogTitle("Abrir base");
    for (const auto& c : cases) {
        QString title, filter;
        SuiteLib::FileDialog::setChooser([&](const QString& t, const QString& f) {
            title = t;
            filter = f;
            return c.chosen;
        });
        dialog.SetFilter(c.filter);
        dialog.ShowOpen();
        EXPECT_EQ(title, "Abrir base");
        EXPECT_EQ(filter, c.dialogFilter);
        const bool picked = c.chosen && !c.chosen->isEmpty();
        EXPECT_EQ(dialog.GetCancelled(), !picked);
        EXPECT_EQ(dialog.GetFileName(), picked ? *c.chosen : QString());
    }
    SuiteLib::FileDialog::setChooser({});
}

TEST(ReportRunner, WithoutEngineRaises429) {
    SuiteLib::ReportRunner runner;
    try {
        runner.RunReport("a.rpt", "", "", "", "", "", "", "");
        ADD_FAILURE() << "no engine is installed";
    } catch (const platform::Failure& f) {
        EXPECT_EQ(f.info().number, 429);
        EXPECT_EQ(f.info().description, "No se puede crear el componente de informes.");
        EXPECT_EQ(f.info().source, "SuiteLib.ReportRunner");
    }
}

TEST(ReportRunner, InstalledEngineGetsTheLaunchAndFolder) {
    struct RecordingEngine : SuiteLib::ReportEngine {
        QStringList received;
        bool run(const QString& t, const QString& a, const QString& b, const QString& sel,
                 const QString& conn, const QString& data, const QString& f1, const QString& f2,
                 const QString& f3, const QString& folder, const SuiteLib::ReportOutput& output,
                 qint32 printSetting) override {
            received = {t,  a,  b,  sel,    conn,           data,
                        f1, f2, f3, folder, output.pdfPath, QString::number(printSetting)};
            return answer;
        }
        bool answer = true;
    } engine;
    SuiteLib::ReportRunner runner;
    runner.SetFolder("/informes/");
    runner.ApplyPrintSetting(7);
    runner.SetDataConnection("PROVIDER=SQLOLEDB;Server=s,1;Database =G;UId=u;Pwd=p;");
    runner.setOutput({SuiteLib::ReportOutput::Kind::Files, "/tmp/x.pdf", {}});
    SuiteLib::ReportRunner::setEngine(&engine);
    EXPECT_TRUE(runner.RunReport("t.rpt", "x", "y", "{a}=1", "DSN=z", "f1", "f2", "f3"));
    engine.answer = false;
    EXPECT_FALSE(runner.RunReport("t.rpt", "x", "y", "{a}=1", "DSN=z", "f1", "f2", "f3"))
        << "the engine's failure reaches the caller";
    SuiteLib::ReportRunner::setEngine(nullptr);
    EXPECT_EQ(engine.received, QStringList({"t.rpt", "x", "y", "{a}=1", "DSN=z",
                                            "PROVIDER=SQLOLEDB;Server=s,1;Database =G;UId=u;Pwd=p;",
                                            "f1", "f2", "f3", "/informes/", "/tmp/x.pdf", "7"}));
    EXPECT_EQ(runner.ReadPrintSetting(), 7);
    EXPECT_THROW(runner.RunReport("t.rpt", "", "", "", "", "", "", ""), platform::Failure);
}
