#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDirIterator>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QStyleOptionButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "lookup/Lib_FrmCons3.h"
#include "lookup/ListaConsulta.h"
#include "platform/IniReader.h"
#include "platform/Regional.h"
#include "report/frmCronequipo.h"
#include "startup/UltimoRecurso.h"
#include "startup/globals/Globals.h"
#include "suitelib/SuiteLib.h"
#include "tests/support/Aplicacion.h"
#include "tests/support/HoyFijado.h"
#include "tests/support/ImprimeQString.h"
#include "tests/support/ProgramFolder.h"
#include "widgets/GuardedApplication.h"
#include "widgets/TBarRep.h"

namespace mb = platform::mb;

namespace {

QApplication& app() {
    return testApp();
}

struct Grabador : SuiteLib::ReportEngine {
    QStringList plantillas;
    bool run(const QString& t, const QString&, const QString&, const QString&, const QString&,
             const QString&, const QString&, const QString&, const QString&, const QString&,
             const SuiteLib::ReportOutput&, qint32) override {
        plantillas << t;
        return true;
    }
};

class Ventana : public ProgramFolder {
  protected:
    void SetUp() override {
        app();
        ProgramFolder::SetUp();
        connect();
        gPcUsuario = QStringLiteral("PC01|JUAN");
        SuiteLib::ReportRunner::setEngine(&motor);
        // The last day of the demo's year: its work orders are in the window's range, and the
        // dates the window starts with are those of a day the test names.
        dia = QDate(demoYear(), 12, 31);
        fijado = std::make_unique<HoyFijado>(dia);
        w = std::make_unique<frmCronequipo>();
        w->Inicializa();
        w->show();
        QApplication::setActiveWindow(w.get());
    }
    void TearDown() override {
        w.reset();
        fijado.reset();
        SuiteLib::ReportRunner::setEngine(nullptr);
        ProgramFolder::TearDown();
    }
    QString hoy() const {
        return platform::Regional::current().formatDate(QDateTime(dia, QTime(0, 0)));
    }
    QString filas() {
        return scalar(
            QStringLiteral("SELECT COUNT(*) FROM AUX_ESTADISTICACTA WHERE USUARIO = 'PC01|JUAN'"));
    }

    Grabador motor;
    QDate dia;
    std::unique_ptr<HoyFijado> fijado;
    std::unique_ptr<frmCronequipo> w;
};

TEST_F(Ventana, StartsOnTheScheduleWithTodaysDates) {
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Cronequipo de Equipos"));
    EXPECT_EQ(w->CmbTG->currentText(), QStringLiteral("Cronograma de Mantenimientos"));
    EXPECT_EQ(w->CmbTG->count(), 4);
    EXPECT_EQ(w->CmbPeriodicidad->currentText(), QStringLiteral("Diario"));
    EXPECT_EQ(w->CmbPeriodicidad->itemText(2), QStringLiteral("Quicenal"));
    EXPECT_EQ(w->campo(QStringLiteral("FECHAD"))->text(), hoy());
    EXPECT_EQ(w->campo(QStringLiteral("fechah"))->text(), hoy());
    EXPECT_TRUE(w->campo(QStringLiteral("TecnicoD"))->text().isEmpty());
    EXPECT_EQ(w->campo(QStringLiteral("fechad"))->maxLength(), 10);
}

TEST_F(Ventana, TheReportTypeEnablesItsParameters) {
    w->chkCodigo->setChecked(true);
    w->campo(QStringLiteral("tecnicoD"))->setText(QStringLiteral("3"));
    w->CmbTG->setCurrentIndex(2);
    emit w->CmbTG->activated(2);
    for (QLineEdit* f : w->txtfields) {
        EXPECT_FALSE(f->isEnabled());
        EXPECT_TRUE(f->text().isEmpty());
    }
    EXPECT_FALSE(w->frmCampos->isEnabled());
    EXPECT_FALSE(w->CmbPeriodicidad->isEnabled());
    w->CmbTG->setCurrentIndex(1);
    emit w->CmbTG->activated(1);
    EXPECT_EQ(w->campo(QStringLiteral("fechad"))->text(), hoy());
    EXPECT_TRUE(w->campo(QStringLiteral("tecnicoD"))->isEnabled());
    EXPECT_TRUE(w->chkCodigo->isChecked()) << "the boxes keep their ticks";
}

TEST_F(Ventana, AnEmptyDateKeepsTheFocusForTheSchedule) {
    QLineEdit* desde = w->campo(QStringLiteral("fechad"));
    desde->clear();
    desde->setFocus();
    QTest::keyClick(desde, Qt::Key_Return);
    ASSERT_EQ(prompts->shown().size(), 1u);
    EXPECT_EQ(prompts->last().text, QStringLiteral("De completar los campos de fecha"));
    EXPECT_EQ(prompts->last().title, QStringLiteral("Aviso al operador..."));
    EXPECT_TRUE(w->HayError().toBool());
    EXPECT_TRUE(desde->hasFocus());

    w->CmbTG->setCurrentIndex(1);  // the same empty field passes for type 1
    desde->setFocus();
    QTest::keyClick(desde, Qt::Key_Return);
    EXPECT_FALSE(w->HayError().toBool());
    EXPECT_EQ(prompts->shown().size(), 1u);
}

TEST_F(Ventana, ListsRefuseTypedCharactersAndEnterMovesOn) {
    w->CmbPeriodicidad->setFocus();
    QTest::keyClick(w->CmbPeriodicidad, Qt::Key_M);
    EXPECT_EQ(w->CmbPeriodicidad->currentIndex(), 0);
    QTest::keyClick(w->CmbPeriodicidad, Qt::Key_Return);
    EXPECT_FALSE(w->CmbPeriodicidad->hasFocus());
}

TEST_F(Ventana, CommandsValidateGenerateAndLaunch) {
    QString c = QStringLiteral("pantalla");
    w->Comando(c);
    EXPECT_EQ(prompts->last().text,
              QStringLiteral("Debe informar un campo para la primera columna del cronograma"));
    EXPECT_EQ(prompts->last().style, mb::Information);
    EXPECT_EQ(filas(), QStringLiteral("0")) << "nothing generated";
    EXPECT_TRUE(motor.plantillas.isEmpty());

    w->chkDescripcion->setChecked(true);
    w->campo(QStringLiteral("fechad"))->setText(QStringLiteral("01/01/%1").arg(dia.year()));
    c = QStringLiteral("Pantalla");
    w->Comando(c);
    EXPECT_GT(filas().toInt(), 0);
    EXPECT_EQ(motor.plantillas, QStringList{"Cronequipo"});

    c = QStringLiteral("VER");
    w->Comando(c);
    EXPECT_EQ(motor.plantillas.size(), 1);

    // The toolbar's keys reach the same commands.
    w->CmbTG->setCurrentIndex(2);
    emit w->CmbTG->activated(2);
    w->CmbTG->setFocus();
    QTest::keyClick(w->CmbTG, Qt::Key_F6);
    EXPECT_EQ(motor.plantillas, (QStringList{"Cronequipo", "Rp_InvenEquipos"}));
}

TEST_F(Ventana, ClosingEndsTheProgram) {
    w->close();
    EXPECT_EQ(exits, std::vector<int>{0});
}

// ---- the window as the program starts it ----------------------------------------------------

const QString kParametros =
    QStringLiteral("@Server=sqlite;@DbName=GESTION;@Usuario=demo;@Password=;@Caja=1;");

// The five styles by their number in the settings file, and the sheet each one loads.
const struct Estilo {
    const char* numero;
    const char* hoja;
} kEstilos[] = {{"1", "Styles/Vista.cjstyles"},
                {"2", "Styles/WinXP.Luna.cjstyles"},
                {"3", "Styles/WinXP.Royale.cjstyles"},
                {"4", "Styles/iTunes/Normal.qss"},
                {"5", "Styles/Office2007.cjstyles"}};

// The darkest pixel of a part of a widget as the window shows it: the colour of its text.
int tinta(QWidget* w, const QRect& zona) {
    QWidget* ventana = w->window();
    const QImage img =
        ventana->grab(QRect(w->mapTo(ventana, zona.topLeft()), zona.size())).toImage();
    int min = 255;
    const QRect r = img.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) min = std::min(min, qGray(img.pixel(x, y)));
    return min;
}

class Arranque : public ProgramFolder {
  protected:
    void SetUp() override {
        app();
        ProgramFolder::SetUp();
        qputenv("USERNAME", "juan");
        copyTree(QStringLiteral(TEST_STYLES_DIR), dir.filePath(QStringLiteral("Styles")));
        platform::process::setCommandLine(kParametros);
        previoUltimo = platform::GuardedApplication::setLastResort(&ReportaUltimoRecurso);
        SuiteLib::ReportRunner::setEngine(&motor);
    }
    void TearDown() override {
        w.reset();
        qApp->setStyleSheet(QString());
        SuiteLib::Tools::setDatePicker({});
        SuiteLib::ReportRunner::setEngine(nullptr);
        platform::GuardedApplication::setLastResort(previoUltimo);
        platform::process::setCommandLine(QString());
        qunsetenv("USERNAME");
        ProgramFolder::TearDown();
    }
    void estilo(const QString& valor) {
        platform::writeIniKey(dir.filePath(QStringLiteral("KV300mn.INI")),
                              QStringLiteral("JUAN_GESTIONStyles"), QStringLiteral("Styles"),
                              valor);
    }
    // Creates and loads the window as the program does, and shows it active.
    void abre() {
        w = std::make_unique<frmCronequipo>();
        platform::GuardedApplication::guard(QStringLiteral("Form_Load"), [&] { w->Form_Load(); });
        w->show();
        QApplication::setActiveWindow(w.get());
        QApplication::processEvents();
    }
    QLineEdit* campo(const char* clave) { return w->campo(QString::fromUtf8(clave)); }
    static QColor fondo(QLineEdit* f) {
        const QImage img = f->grab().toImage();
        return img.pixelColor(img.width() - 8, img.height() / 2);
    }

    Grabador motor;
    std::unique_ptr<frmCronequipo> w;
    platform::GuardedApplication::LastResort previoUltimo;
};

TEST_F(Arranque, ABrokenStyleIsReportedAndTheWindowOpensInThePlainLook) {
    const struct Caso {
        const char* nombre;
        const char* valor;   // the user's style number
        const char* quitar;  // removed from the program folder, nullptr for nothing
        qint32 error;
    } casos[] = {
        {"number out of range", "99999", nullptr, platform::errnum::Overflow},
        {"missing style file", "1", "Styles/Vista.cjstyles", platform::errnum::FileNotFound},
        {"no Styles folder", "4", "Styles", platform::errnum::FileNotFound},
    };
    for (const Caso& c : casos) {
        estilo(QString::fromUtf8(c.valor));
        if (c.quitar) {
            const QString ruta = dir.filePath(QString::fromUtf8(c.quitar));
            QFileInfo(ruta).isDir() ? QDir(ruta).removeRecursively() : QFile::remove(ruta);
        }
        prompts->reset();
        abre();
        EXPECT_TRUE(w->isVisible()) << c.nombre;
        EXPECT_TRUE(exits.empty()) << c.nombre;
        EXPECT_TRUE(w->styleSheet().isEmpty()) << c.nombre;
        EXPECT_TRUE(qApp->styleSheet().isEmpty()) << c.nombre;
        ASSERT_EQ(prompts->shown().size(), 1u) << c.nombre;
        EXPECT_TRUE(prompts->last().text.startsWith(
            QStringLiteral("Ha ocurrido el Siguiente Error (%1)").arg(c.error)))
            << c.nombre << ": " << prompts->last().text.toStdString();
        EXPECT_TRUE(prompts->last().title.contains(QStringLiteral("Form_Load")));
        // The rest of the load ran.
        EXPECT_EQ(w->CmbTG->count(), 4) << c.nombre;
        EXPECT_FALSE(
            w->sbStatusBar->findChild<QLabel*>(QStringLiteral("SERVER"))->text().isEmpty());
        w.reset();
    }
}

TEST_F(Arranque, AFailureEscapingAnEventHandlerIsReportedAndTheProgramGoesOn) {
    struct Lanzador : QObject {
        bool event(QEvent* e) override {
            if (e->type() == QEvent::User) platform::raise(5, QStringLiteral("falla de prueba"));
            return QObject::event(e);
        }
    } lanzador;
    lanzador.setObjectName(QStringLiteral("lanzador"));
    QEvent evento(QEvent::User);
    QCoreApplication::sendEvent(&lanzador, &evento);
    ASSERT_EQ(prompts->shown().size(), 1u);
    EXPECT_EQ(prompts->last().text,
              QStringLiteral("Ha ocurrido el Siguiente Error (5) falla de prueba"));
    EXPECT_TRUE(prompts->last().title.contains(QStringLiteral("lanzador Aviso al operador!!!")));
    EXPECT_EQ(prompts->last().style, mb::OkOnly | mb::Critical);

    // A slot called from the event loop is guarded the same way.
    QTimer::singleShot(0, [] { platform::raise(13, QStringLiteral("desde un slot")); });
    QApplication::processEvents();
    ASSERT_EQ(prompts->shown().size(), 2u);
    EXPECT_TRUE(prompts->last().text.endsWith(QStringLiteral("(13) desde un slot")));
}

TEST_F(Arranque, StartsInTheFirstDateFieldWithTheLookupEnabled) {
    abre();
    QLineEdit* desde = campo("fechad");
    EXPECT_EQ(QApplication::focusWidget(), desde);
    EXPECT_EQ(desde->selectedText(), desde->text()) << "the date is highlighted";
    EXPECT_TRUE(w->TBarRep1->action(QStringLiteral("CONSULTAR"))->isEnabled());
    EXPECT_EQ(fondo(desde), QColor(0x00, 0xFF, 0xFF));
}

TEST_F(Arranque, TheFocusedFieldIsCyanInEveryStyle) {
    for (const Estilo& e : kEstilos) {
        estilo(QString::fromUtf8(e.numero));
        abre();
        ASSERT_TRUE(prompts->shown().empty()) << e.hoja;
        QLineEdit* desde = campo("fechad");
        QLineEdit* hasta = campo("fechah");
        hasta->setFocus();
        EXPECT_EQ(fondo(hasta), QColor(0x00, 0xFF, 0xFF)) << e.hoja;
        EXPECT_EQ(fondo(desde), QColor(Qt::white)) << e.hoja;
        desde->setFocus();
        EXPECT_EQ(fondo(desde), QColor(0x00, 0xFF, 0xFF)) << e.hoja;
        EXPECT_EQ(fondo(hasta), QColor(Qt::white)) << e.hoja;
        w.reset();
    }
}

TEST_F(Arranque, DisabledBoxesLabelsAndTitlesLookDisabledInEveryStyle) {
    for (const Estilo& e : kEstilos) {
        estilo(QString::fromUtf8(e.numero));
        abre();
        QLabel* etiqueta = nullptr;
        for (QLabel* l : w->FrmPrincipal->findChildren<QLabel*>())
            if (l->text() == QStringLiteral("Técnico Desde")) etiqueta = l;
        ASSERT_NE(etiqueta, nullptr);
        auto tintas = [&] {
            QStyleOptionButton opt;
            opt.initFrom(w->chkCodigo);
            opt.text = w->chkCodigo->text();
            const QRect texto = w->chkCodigo->style()->subElementRect(QStyle::SE_CheckBoxContents,
                                                                      &opt, w->chkCodigo);
            const QRect titulo(0, 0, w->frmCampos->width() / 2,
                               w->frmCampos->fontMetrics().height());
            return std::array<int, 3>{tinta(w->chkCodigo, texto), tinta(etiqueta, etiqueta->rect()),
                                      tinta(w->frmCampos, titulo)};
        };
        // Labels are disabled one by one; the window's own stay enabled with every report type.
        const auto activas = tintas();
        etiqueta->setEnabled(false);
        w->CmbTG->setCurrentIndex(2);
        emit w->CmbTG->activated(2);
        ASSERT_FALSE(w->chkCodigo->isEnabled());
        const auto inactivas = tintas();
        const char* partes[] = {"check box", "label", "group title"};
        for (int k = 0; k < 3; ++k)
            EXPECT_GE(inactivas[k], activas[k] + 40)
                << e.hoja << " " << partes[k] << ": " << activas[k] << " -> " << inactivas[k];
        w.reset();
    }
}

TEST_F(Arranque, ADisabledFieldOpensNothingAndEnablesNothing) {
    int abiertos = 0;
    SuiteLib::Tools::setDatePicker([&](const QDate&) {
        ++abiertos;
        return std::optional<QDate>(QDate(2030, 1, 1));
    });
    abre();
    QLineEdit* desde = campo("fechad");
    desde->setFocus();  // the last field with the focus is the one a lookup works on
    w->CmbTG->setFocus();
    w->CmbTG->setCurrentIndex(2);
    emit w->CmbTG->activated(2);
    QTest::mouseClick(desde, Qt::RightButton);
    QString consultar = QStringLiteral("CONSULTAR");
    w->Comando(consultar);
    EXPECT_EQ(abiertos, 0);
    EXPECT_TRUE(desde->text().isEmpty());
    EXPECT_FALSE(w->TBarRep1->action(QStringLiteral("CONSULTAR"))->isEnabled());
}

TEST_F(Arranque, APickedDateIsValidatedAndTheFocusMovesOn) {
    abre();
    QLineEdit* desde = campo("fechad");
    QLineEdit* hasta = campo("fechah");
    // The real calendar: Spanish names, Monday first, six whole weeks, then a choice.
    struct Visto {
        bool abierto = false;
        QString mes, dia;
        Qt::DayOfWeek primero = Qt::Sunday;
        bool seisSemanas = false;
    } visto;
    auto elige = [&](bool acepta) {
        QTimer::singleShot(0, [&, acepta] {
            auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!d) return;
            auto* cal = d->findChild<QCalendarWidget*>();
            auto* vista = cal->findChild<QTableView*>();
            visto.abierto = true;
            cal->setSelectedDate(QDate(2026, 5, 20));
            QApplication::processEvents();
            visto.mes =
                cal->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"))->text();
            visto.dia = vista->model()->index(0, 0).data().toString();
            visto.primero = cal->firstDayOfWeek();
            const int ultima = vista->model()->rowCount() - 1;
            visto.seisSemanas = vista->model()->rowCount() == 7 &&
                                vista->rowViewportPosition(ultima) >= 0 &&
                                vista->rowViewportPosition(ultima) + vista->rowHeight(ultima) <=
                                    vista->viewport()->height();
            acepta ? d->accept() : d->reject();
        });
    };
    desde->setFocus();
    elige(true);
    QString consultar = QStringLiteral("CONSULTAR");
    w->Comando(consultar);
    QApplication::processEvents();
    ASSERT_TRUE(visto.abierto);
    EXPECT_EQ(visto.mes, QStringLiteral("mayo"));
    EXPECT_EQ(visto.primero, Qt::Monday);
    EXPECT_TRUE(visto.dia.startsWith(QStringLiteral("l"))) << visto.dia.toStdString();
    EXPECT_TRUE(visto.seisSemanas);
    EXPECT_EQ(desde->text(), QStringLiteral("20/05/2026"));
    EXPECT_EQ(QApplication::focusWidget(), hasta) << "Enter after the pick";
    EXPECT_EQ(fondo(hasta), QColor(0x00, 0xFF, 0xFF));

    // Cancelling leaves the field as it was, and the focus still moves on.
    hasta->setText(QStringLiteral("31/12/2026"));
    hasta->setFocus();
    elige(false);
    w->Comando(consultar);
    QApplication::processEvents();
    EXPECT_EQ(hasta->text(), QStringLiteral("31/12/2026"));
    EXPECT_TRUE(prompts->shown().empty());

    // An empty date after the pick: the message, and the field keeps the focus.
    desde->setFocus();
    desde->clear();
    elige(false);
    w->Comando(consultar);
    QApplication::processEvents();
    ASSERT_EQ(prompts->shown().size(), 1u);
    EXPECT_EQ(prompts->last().text, QStringLiteral("De completar los campos de fecha"));
    EXPECT_EQ(QApplication::focusWidget(), desde);
    EXPECT_EQ(fondo(desde), QColor(0x00, 0xFF, 0xFF));
}

TEST_F(Arranque, TheTechnicianLookupPutsTheChosenCodeIntoTheField) {
    abre();
    QLineEdit* desde = campo("tecnicoD");
    desde->setFocus();
    EXPECT_TRUE(w->TBarRep1->action(QStringLiteral("CONSULTAR"))->isEnabled());
    auto elige = [](const char* nombre) {
        QTimer::singleShot(0, [nombre] {
            auto* v = qobject_cast<Lib_FrmCons3*>(QApplication::activeModalWidget());
            if (!v) return;
            if (!nombre) return v->Cancelar();
            v->ListView1->setCurrentIndex(
                v->lista().index(v->Busqueda(1, QString::fromUtf8(nombre)) - 1, 0));
            v->Aceptar();
        });
    };
    elige("roc");
    QString consultar = QStringLiteral("CONSULTAR");
    w->Comando(consultar);
    EXPECT_EQ(desde->text(), QStringLiteral("4")) << "the code, not the name";
    // A right click on the field with the focus, then a cancel: the field is emptied.
    QLineEdit* hasta = campo("tecnicoH");
    hasta->setText(QStringLiteral("9"));
    QApplication::setActiveWindow(w.get());
    hasta->setFocus();
    elige(nullptr);
    QTest::mouseClick(hasta, Qt::RightButton);
    EXPECT_EQ(hasta->text(), QString());
    EXPECT_TRUE(prompts->shown().empty());
}

TEST_F(Arranque, AVeryLongUserKeepsTheWindowItsSizeAndIsLoggedCutToItsColumns) {
    abre();
    const QSize normal = w->size();
    w.reset();
    gDB().gCnn.execute(QStringLiteral("DELETE FROM Control_Acceso"));
    resetSharedDB();
    resetEstadisticas();
    gDB().gCnn.errors().clear();
    const QString usuario = QStringLiteral("Peña").repeated(2500);
    ASSERT_EQ(usuario.size(), 10000);
    platform::process::setCommandLine(QStringLiteral("@Server=sqlite;@DbName=GESTION;@Usuario=") +
                                      usuario + QStringLiteral(";@Password=;@Caja=1;"));
    abre();
    EXPECT_EQ(w->size(), normal) << "the window keeps its size";
    auto* panel = w->sbStatusBar->findChild<QLabel*>(QStringLiteral("USUARIO"));
    ASSERT_TRUE(panel);
    EXPECT_LT(panel->width(), normal.width() / 2);
    EXPECT_EQ(panel->text(), QStringLiteral("Uid: ") + usuario) << "the whole text is kept";
    EXPECT_EQ(panel->toolTip(), panel->text());
    for (const char* clave : {"SERVER", "BASEDEDATOS", "CAJA", "VERSION", "FECHA"}) {
        const auto* otro = w->sbStatusBar->findChild<QLabel*>(QString::fromLatin1(clave));
        ASSERT_TRUE(otro) << clave;
        EXPECT_GE(otro->contentsRect().width(), otro->fontMetrics().horizontalAdvance(otro->text()))
            << clave << ": the other panels show their texts whole";
    }
    // The access row is written, its texts cut to their columns (50 characters).
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Control_Acceso")), QStringLiteral("1"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Usuario FROM Control_Acceso")),
              usuario.toUpper().left(50));
    EXPECT_EQ(scalar(QStringLiteral("SELECT NombreUsuario FROM Control_Acceso")), usuario.left(50));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM AUX_ERR")), QStringLiteral("0"));
    EXPECT_EQ(gUsuarioLogeado, usuario) << "only what is written is cut";
    EXPECT_TRUE(prompts->shown().empty()) << prompts->last().text.toStdString();
}

TEST_F(Arranque, WithoutParametersTheConnectionDialogLeadsToTheMainWindow) {
    platform::process::setCommandLine(QString());
    int preguntas = 0;
    DB_Dll::setDialogoConexion([&](const DB_Dll::DatosConexion& inicial) {
        ++preguntas;
        EXPECT_TRUE(inicial.TxtServidor.isEmpty());
        DB_Dll::DatosConexion r;
        r.Aceptar = true;
        r.TxtServidor = QStringLiteral("sqlite");
        r.TxtDbName = QStringLiteral("GESTION");
        r.TxtUserId = QStringLiteral("demo");
        return r;
    });
    abre();
    DB_Dll::setDialogoConexion({});
    EXPECT_EQ(preguntas, 1);
    EXPECT_TRUE(gDB().gOpenFlag);
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(exits.empty());
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Control_Acceso")), QStringLiteral("1"));
}

}  // namespace
