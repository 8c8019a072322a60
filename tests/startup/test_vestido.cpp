#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QIcon>
#include <QLabel>
#include <QMainWindow>
#include <QRegularExpression>
#include <QStatusBar>
#include <QToolButton>

#include "platform/ArchivoLegible.h"
#include "platform/IniReader.h"
#include "startup/Vestido.h"
#include "startup/globals/Globals.h"
#include "tests/support/Aplicacion.h"
#include "tests/support/Hostiles.h"
#include "tests/support/ProgramFolder.h"
#include "widgets/SkinControl.h"
#include "widgets/TBarRep.h"

// The resource registration lives outside any namespace, where the resource functions are.
static void quitaRecursoIcono() {
    Q_CLEANUP_RESOURCE(vestido);
}
static void reponRecursoIcono() {
    Q_INIT_RESOURCE(vestido);
}

namespace {

void ensureApplication() {
    testApp();
}

// A form dressed as the main window: skin control, report toolbar and the status bar panels.
struct Form {
    Form() {
        window.setObjectName(QStringLiteral("frmCronequipo"));
        skin = new SkinControl(&window);
        skin->setObjectName(QStringLiteral("SkinFramework1"));
        bar = new TBarRep(&window);
        bar->setObjectName(QStringLiteral("TBarRep1"));
        window.addToolBar(bar);
        window.setCentralWidget(new QWidget);
        ArmaBarraEstado(window.statusBar());
        window.resize(640, 300);
    }
    QLabel* panel(const char* key) const {
        return window.statusBar()->findChild<QLabel*>(QString::fromLatin1(key));
    }
    QMainWindow window;
    SkinControl* skin = nullptr;
    TBarRep* bar = nullptr;
};

// Collects Qt's warnings, among them the style sheets it cannot parse.
class WarningTrap {
  public:
    WarningTrap() { previous_ = qInstallMessageHandler(&WarningTrap::handle); }
    ~WarningTrap() { qInstallMessageHandler(previous_); }
    static inline QStringList seen;

  private:
    static void handle(QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtDebugMsg && type != QtInfoMsg) seen << text;
    }
    QtMessageHandler previous_ = nullptr;
};

class Dressing : public ProgramFolder {
  protected:
    void SetUp() override {
        ProgramFolder::SetUp();
        ensureApplication();
        qputenv("USERNAME", "juan");
        previousFolder = QDir::currentPath();
        copyTree(QStringLiteral(TEST_STYLES_DIR), dir.filePath(QStringLiteral("Styles")));
        connect();
        gCaja = QStringLiteral("1");
        gFlatToolbars = 1;
    }
    void TearDown() override {
        qApp->setStyleSheet(QString());
        QCoreApplication::setApplicationVersion(QString());
        QDir::setCurrent(previousFolder);
        qunsetenv("USERNAME");
        gCaja = QStringLiteral("1");
        gFlatToolbars = 1;
        ProgramFolder::TearDown();
    }

    void setStyle(const QString& section, const QString& value) {
        platform::writeIniKey(dir.filePath(QStringLiteral("KV300mn.INI")), section,
                              QStringLiteral("Styles"), value);
    }
    static QString text(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    QString previousFolder;
};

TEST_F(Dressing, TheStyleIsChosenForTheUserAndTheDatabase) {
    const struct Case {
        const char* section;  // nullptr: no settings at all
        const char* value;
        const char* sheet;
    } cases[] = {
        {nullptr, "", "Styles/iTunes/Normal.qss"},
        {"JUAN_GESTIONStyles", "1", "Styles/Vista.cjstyles"},
        {"JUAN_GESTIONStyles", "2", "Styles/WinXP.Luna.cjstyles"},
        {"JUAN_GESTIONStyles", "3", "Styles/WinXP.Royale.cjstyles"},
        {"JUAN_GESTIONStyles", "4", "Styles/iTunes/Normal.qss"},
        {"JUAN_GESTIONStyles", "7", "Styles/Office2007.cjstyles"},
        {"JUAN_GESTIONStyles", "0", "Styles/Office2007.cjstyles"},
        {"JUAN_GESTIONStyles", "azul", "Styles/Office2007.cjstyles"},
        {"JUAN_GESTIONStyles", " 2.4 estilo", "Styles/WinXP.Luna.cjstyles"},
        {"JUAN_GESTIONStyles", "3,6", "Styles/iTunes/Normal.qss"},
        // Halves go to the even number, as every conversion to an integer of the suite.
        {"JUAN_GESTIONStyles", "2,5", "Styles/WinXP.Luna.cjstyles"},
        {"JUAN_GESTIONStyles", "3.5", "Styles/iTunes/Normal.qss"},
        {"JUAN_GESTIONStyles", "1.5", "Styles/WinXP.Luna.cjstyles"},
        {"JUAN_GESTIONStyles", "0,5", "Styles/Office2007.cjstyles"},
        {"juan_gestionstyles", "1", "Styles/Vista.cjstyles"},
        {"ANA_GESTIONStyles", "1", "Styles/iTunes/Normal.qss"},
        {"JUAN_OTRAStyles", "2", "Styles/iTunes/Normal.qss"},
    };
    for (const Case& c : cases) {
        QFile::remove(dir.filePath(QStringLiteral("KV300mn.INI")));
        if (c.section) setStyle(QString::fromLatin1(c.section), QString::fromUtf8(c.value));
        Form form;
        form.skin->setApplyOptions(4);
        AplicaSkin(&form.window);
        const QString sheet = dir.filePath(QString::fromLatin1(c.sheet));
        EXPECT_EQ(form.skin->sheetFile(), sheet) << (c.section ? c.section : "-") << " " << c.value;
        EXPECT_EQ(form.window.styleSheet(), text(sheet));
        EXPECT_EQ(qApp->styleSheet(), text(sheet)) << "the other windows take the style too";
        EXPECT_EQ(form.skin->ApplyOptions(), 5) << "bit 1 is added to what was there";
    }
}

TEST_F(Dressing, TheFiveStylesParseAndLookDifferent) {
    WarningTrap trap;
    WarningTrap::seen.clear();
    QList<QRgb> toolbars, statusBars;
    for (const char* value : {"1", "2", "3", "4", "9"}) {
        setStyle(QStringLiteral("JUAN_GESTIONStyles"), QString::fromLatin1(value));
        Form form;
        AplicaSkin(&form.window);
        const QImage bar = form.bar->grab().toImage();
        const QImage status = form.window.statusBar()->grab().toImage();
        toolbars << bar.pixel(bar.width() - 4, bar.height() / 2);
        statusBars << status.pixel(status.width() / 2, status.height() / 2);
    }
    EXPECT_TRUE(WarningTrap::seen.isEmpty()) << WarningTrap::seen.join(u'\n').toStdString();
    for (int i = 0; i < toolbars.size(); ++i) {
        for (int j = 0; j < i; ++j) {
            EXPECT_NE(toolbars[i], toolbars[j]) << "styles " << i + 1 << " and " << j + 1;
            EXPECT_NE(statusBars[i], statusBars[j]) << "styles " << i + 1 << " and " << j + 1;
        }
    }
}

TEST_F(Dressing, ASkinFailureGoesToTheCaller) {
    const struct Case {
        const char* value;
        const char* removed;  // a file of the program folder taken away first
        bool skinControl;
        qint32 error;
    } cases[] = {
        {"1", nullptr, false, 438},
        {"7", "Styles/Office2007.cjstyles", true, platform::errnum::FileNotFound},
        {"4", "Styles/iTunes/Normalitunes.ini", true, platform::errnum::FileNotFound},
        {"4", "Styles/iTunes/Normal.qss", true, platform::errnum::FileNotFound},
        {"99999", nullptr, true, platform::errnum::Overflow},
    };
    for (const Case& c : cases) {
        setStyle(QStringLiteral("JUAN_GESTIONStyles"), QString::fromLatin1(c.value));
        if (c.removed) QFile::remove(dir.filePath(QString::fromLatin1(c.removed)));
        Form form;
        if (!c.skinControl) delete form.skin;
        try {
            AplicaSkin(&form.window);
            ADD_FAILURE() << c.value << ": no failure";
        } catch (const platform::Failure& f) {
            EXPECT_EQ(f.info().number, c.error) << c.value;
        }
        EXPECT_TRUE(form.window.styleSheet().isEmpty());
    }
}

// Each file of a style (a sheet, a style folder's settings file or its sheet) put back as what
// is not a regular file, or beyond the bound of its kind: the failure says which file and what it
// is, at once.
TEST_F(Dressing, AStyleFileThatCannotBeReadIsNamedForWhatItIs) {
    const struct Archivo {
        const char* valor;
        const char* ruta;
        qint64 limite;
        const char* limiteEscrito;
    } archivos[] = {
        {"1", "Styles/Vista.cjstyles", platform::limite::kEstilos, "1 MB"},
        {"4", "Styles/iTunes/Normalitunes.ini", platform::limite::kAjustes, "1 MB"},
        {"4", "Styles/iTunes/Normal.qss", platform::limite::kEstilos, "1 MB"},
    };
    for (const Archivo& a : archivos) {
        const QString ruta = dir.filePath(QString::fromUtf8(a.ruta));
        const QByteArray original = fileBytes(ruta);
        for (const auto& caso : hostiles::ilegibles(a.limite, "[Estilo]\r\nHoja=Normal.qss\r\n",
                                                    QString::fromUtf8(a.limiteEscrito))) {
            setStyle(QStringLiteral("JUAN_GESTIONStyles"), QString::fromLatin1(a.valor));
            ASSERT_TRUE(caso.pon(ruta)) << a.ruta << " " << caso.nombre;
            Form form;
            hostiles::Vigia vigia(dir.path());
            try {
                AplicaSkin(&form.window);
                ADD_FAILURE() << a.ruta << " as a " << caso.nombre << ": no failure";
            } catch (const platform::Failure& f) {
                EXPECT_EQ(f.info().number, platform::errnum::PathFileAccess)
                    << a.ruta << " as a " << caso.nombre;
                EXPECT_EQ(f.info().description,
                          QStringLiteral("«%1» %2").arg(QDir::cleanPath(ruta), caso.causa))
                    << a.ruta << " as a " << caso.nombre << ": "
                    << f.info().description.toStdString();
            }
            EXPECT_FALSE(vigia.termina()) << a.ruta << " as a " << caso.nombre;
            EXPECT_TRUE(form.window.styleSheet().isEmpty());
        }
        hostiles::quita(ruta);
        QFile f(ruta);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(original);
    }
}

TEST_F(Dressing, TheStatusBarShowsTheConnectionCashDeskAndVersion) {
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0.50"));
    Form form;
    const QString fecha = form.panel("FECHA")->text();
    ASSERT_FALSE(fecha.isEmpty());
    CargaBarraEstado(form.window.statusBar(), QString());
    const struct {
        const char* key;
        const char* text;
        bool tip;
    } expected[] = {
        {"MENSAJE", "", false},
        {"SERVER", "Srv: sqlite", true},
        {"USUARIO", "Uid: demo", true},
        {"BASEDEDATOS", "Db: GESTION", true},
        {"CAJA", "1 Caja Administración", true},
        {"VERSION", "V.1.0.50", false},
    };
    auto check = [&](const char* message) {
        for (const auto& e : expected) {
            const QString text = e.key == QLatin1String("MENSAJE") ? QString::fromUtf8(message)
                                                                   : QString::fromUtf8(e.text);
            EXPECT_EQ(form.panel(e.key)->text(), text) << e.key;
            EXPECT_EQ(form.panel(e.key)->toolTip(), e.tip ? text : QString()) << e.key;
        }
        EXPECT_EQ(form.panel("FECHA")->text(), fecha);
    };
    check("");

    // A second call changes the message alone.
    gDB().gServidor = QStringLiteral("OTRO");
    gDB().gUsuario = QStringLiteral("ana");
    gCaja = QStringLiteral("2");
    QCoreApplication::setApplicationVersion(QStringLiteral("9.9.9"));
    CargaBarraEstado(form.window.statusBar(), QStringLiteral("Generando..."));
    check("Generando...");
    EXPECT_TRUE(prompts->shown().empty());
}

TEST_F(Dressing, AnUnknownCashDeskIsRegistered) {
    const struct Case {
        const char* caja;
        const char* panel;
        const char* cajaAfter;
        const char* stored;  // the row the cash desk has afterwards
        int rows;
    } cases[] = {
        {"3", "3 CAJA 3", "3", "   3|CAJA 3", 3},
        {" 12 ", " 12  CAJA  12 ", " 12 ", "  12|CAJA  12 ", 3},
        {"", "1 Caja Administración", "1", "   1|Caja Administración", 2},
        {"2", "2 Caja Taller", "2", "   2|Caja Taller", 2},
    };
    for (const Case& c : cases) {
        gCaja = QString::fromUtf8(c.caja);
        Form form;
        CargaBarraEstado(form.window.statusBar(), QString());
        EXPECT_EQ(form.panel("CAJA")->text(), QString::fromUtf8(c.panel)) << c.caja;
        EXPECT_EQ(gCaja, QString::fromUtf8(c.cajaAfter));
        const QString code = QString::fromUtf8(c.stored).section(u'|', 0, 0);
        EXPECT_EQ(scalar(QStringLiteral("SELECT IdCajas || '|' || Descripcion FROM V_TA_Cajas "
                                        "WHERE IdCajas = '") +
                         code + QStringLiteral("'")),
                  QString::fromUtf8(c.stored));
        EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM V_TA_Cajas")),
                  QString::number(c.rows));
        gDB().gCnn.execute(
            QStringLiteral("DELETE FROM V_TA_Cajas WHERE IdCajas NOT IN ('   1', '   2')"));
    }
    EXPECT_TRUE(prompts->shown().empty());
}

TEST_F(Dressing, MissingPanelsAndAFailedRegistrationAreSkipped) {
    ado::SqliteEngine::open(dir.filePath(QStringLiteral("GESTION.db")))
        ->executeRaw(QStringLiteral("CREATE TRIGGER SinCajas BEFORE INSERT ON V_TA_Cajas "
                                    "BEGIN SELECT RAISE(ABORT, 'no'); END;"));
    gCaja = QStringLiteral("7");
    QStatusBar bar;
    for (const char* key : {"CAJA", "VERSION", "USUARIO"}) {
        auto* p = new QLabel(&bar);
        p->setObjectName(QString::fromLatin1(key));
        bar.addWidget(p);
    }
    CargaBarraEstado(&bar, QStringLiteral("sin panel"));
    auto panel = [&](const char* key) { return bar.findChild<QLabel*>(QString::fromLatin1(key)); };
    EXPECT_EQ(panel("CAJA")->text(), QStringLiteral("7 "));
    EXPECT_EQ(panel("CAJA")->toolTip(), QStringLiteral("7 "));
    EXPECT_EQ(panel("USUARIO")->text(), QStringLiteral("Uid: demo"));
    EXPECT_TRUE(panel("VERSION")->text().contains(
        QRegularExpression(QStringLiteral("^V\\.\\d+\\.\\d+\\.\\d+$"))))
        << panel("VERSION")->text().toStdString();
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM V_TA_Cajas")), QStringLiteral("2"));
    EXPECT_TRUE(prompts->shown().empty());

    // Without a "SERVER" panel nothing tells a later call that the panels are filled.
    gCaja = QStringLiteral("8");
    CargaBarraEstado(&bar, QString());
    EXPECT_EQ(panel("CAJA")->text(), QStringLiteral("8 "));
}

// A multiple-document frame: the icon only, its bars keep their own style.
class frmMDI : public QMainWindow {
    Q_OBJECT
};

TEST_F(Dressing, TheIconAndTheToolbarStyle) {
    const QImage suite = QIcon(QStringLiteral(":/ICONVORLANE")).pixmap(32).toImage();
    ASSERT_FALSE(suite.isNull()) << "the icon is compiled into the program";
    gFlatToolbars = 0;

    Form form;
    auto* utilVor = new QObject(&form.window);
    utilVor->setObjectName(QStringLiteral("UtilVor1"));
    AsignaIcono(&form.window);
    EXPECT_EQ(form.window.windowIcon().pixmap(32).toImage(), suite);
    EXPECT_EQ(form.bar->property("StyleBar").toDouble(), 0.0);
    EXPECT_EQ(utilVor->property("StyleBar").toDouble(), 0.0);
    auto* button = qobject_cast<QToolButton*>(
        form.bar->widgetForAction(form.bar->action(QStringLiteral("PANTALLA"))));
    EXPECT_FALSE(button->autoRaise()) << "0 gives raised buttons";
    gFlatToolbars = 2;
    AsignaIcono(&form.window);
    EXPECT_TRUE(button->autoRaise()) << "any other value flat ones";

    frmMDI mdi;
    auto* tools = new QObject(&mdi);
    tools->setObjectName(QStringLiteral("Util0011"));
    AsignaIcono(&mdi);
    EXPECT_EQ(mdi.windowIcon().pixmap(32).toImage(), suite);
    EXPECT_FALSE(tools->property("StyleBar").isValid());

    QWidget bare;
    auto* util = new QObject(&bare);
    util->setObjectName(QStringLiteral("Util0011"));
    AsignaIcono(&bare);
    EXPECT_EQ(util->property("StyleBar").toDouble(), 2.0)
        << "the controls that are missing are skipped";
}

TEST_F(Dressing, WithoutTheResourceTheIconFileOfTheCurrentFolderServes) {
    QImage red(32, 32, QImage::Format_ARGB32);
    red.fill(QColor(200, 0, 0));
    QImage blue = red;
    blue.fill(QColor(0, 0, 200));
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    quitaRecursoIcono();
    struct Repon {
        ~Repon() { reponRecursoIcono(); }
    } repon;
    const struct Case {
        bool file;
        bool ownIcon;
        QRgb expected;      // 0: no icon
        bool fifo = false;  // a FIFO in place of the file: no icon, at once
    } cases[] = {
        {false, false, 0},
        {true, false, qRgb(200, 0, 0)},
        {true, true, qRgb(0, 0, 200)},
        {false, false, 0, true},
    };
    for (const Case& c : cases) {
        hostiles::quita(dir.filePath(QStringLiteral("vorlane.ico")));
        if (c.file) {
            ASSERT_TRUE(red.save(dir.filePath(QStringLiteral("vorlane.ico")), "ICO"));
        }
        if (c.fifo) {
            ASSERT_TRUE(hostiles::tuberia(dir.filePath(QStringLiteral("vorlane.ico"))));
        }
        Form form;
        if (c.ownIcon) form.window.setWindowIcon(QIcon(QPixmap::fromImage(blue)));
        hostiles::Vigia vigia(dir.path());
        AsignaIcono(&form.window);
        EXPECT_FALSE(vigia.termina()) << "a FIFO in place of the icon file";
        if (c.expected == 0) {
            EXPECT_TRUE(form.window.windowIcon().isNull());
        } else {
            EXPECT_EQ(form.window.windowIcon().pixmap(32).toImage().pixel(16, 16), c.expected);
        }
        EXPECT_EQ(form.bar->property("StyleBar").toDouble(), 1.0) << "later steps still run";
    }
}

}  // namespace

#include "test_vestido.moc"
