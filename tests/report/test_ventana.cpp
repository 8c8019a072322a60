#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QTest>

#include "platform/Regional.h"
#include "platform/TBarRep.h"
#include "report/frmCronequipo.h"
#include "startup/globals/Globals.h"
#include "suitelib/SuiteLib.h"
#include "tests/support/Aplicacion.h"
#include "tests/support/ProgramFolder.h"

namespace mb = platform::mb;

namespace {

QApplication& app() {
    return testApp();
}

QString hoy() {
    return platform::Regional::current().formatDate(QDateTime(QDate::currentDate(), QTime(0, 0)));
}

struct Grabador : SuiteLib::ReportEngine {
    QStringList plantillas;
    void run(const QString& t, const QString&, const QString&, const QString&, const QString&,
             const QString&, const QString&, const QString&, const QString&,
             const SuiteLib::ReportOutput&, qint32) override {
        plantillas << t;
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
        w = std::make_unique<frmCronequipo>();
        w->Inicializa();
        w->show();
        QApplication::setActiveWindow(w.get());
    }
    void TearDown() override {
        w.reset();
        SuiteLib::ReportRunner::setEngine(nullptr);
        ProgramFolder::TearDown();
    }
    QString filas() {
        return scalar(
            QStringLiteral("SELECT COUNT(*) FROM AUX_ESTADISTICACTA WHERE USUARIO = 'PC01|JUAN'"));
    }

    Grabador motor;
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
    w->campo(QStringLiteral("fechad"))
        ->setText(QStringLiteral("01/01/%1").arg(QDate::currentDate().year()));
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

}  // namespace
