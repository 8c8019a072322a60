#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QToolButton>

#include "tests/support/Aplicacion.h"
#include "widgets/TBarRep.h"

namespace {

void ensureApplication() {
    testApp();
}

class TBarRepCommands : public testing::Test {
  protected:
    void SetUp() override {
        QObject::connect(&bar, &TBarRep::Comando, [this](QString& c) { received << c; });
    }

    // The key after ProcesaTecla.
    int press(int key) {
        bar.ProcesaTecla(key);
        return key;
    }

    bool application_ = (ensureApplication(), true);
    TBarRep bar;
    QStringList received;
};

TEST_F(TBarRepCommands, KeysBecomeCommandsAndAreSpent) {
    const struct Case {
        int key;
        bool consulta;
        const char* command;  // nullptr: not a command
    } cases[] = {
        {Qt::Key_F5, false, "PANTALLA"},   {Qt::Key_F6, false, "IMPRESORA"},
        {Qt::Key_Escape, false, "CERRAR"}, {Qt::Key_F3, true, "CONSULTAR"},
        {Qt::Key_F3, false, nullptr},      {Qt::Key_F4, true, nullptr},
        {Qt::Key_Return, true, nullptr},   {Qt::Key_A, false, nullptr},
        {Qt::Key_F2, true, nullptr},       {0, true, nullptr},
    };
    for (const Case& c : cases) {
        received.clear();
        bar.setHabilitaConsulta(c.consulta);
        const int left = press(c.key);
        if (c.command) {
            EXPECT_EQ(received, QStringList{QString::fromLatin1(c.command)}) << c.key;
            EXPECT_EQ(left, 0) << c.key;
        } else {
            EXPECT_TRUE(received.isEmpty()) << c.key;
            EXPECT_EQ(left, c.key) << "a key that is no command reaches the window";
        }
    }
}

TEST_F(TBarRepCommands, EachButtonAdvertisesTheKeyThatRunsItAndSendsItsCommand) {
    bar.setHabilitaConsulta(true);
    const struct Case {
        const char* command;
        int key;
    } cases[] = {{"PANTALLA", Qt::Key_F5},
                 {"IMPRESORA", Qt::Key_F6},
                 {"CONSULTAR", Qt::Key_F3},
                 {"CERRAR", Qt::Key_Escape}};
    for (const Case& c : cases) {
        QAction* a = bar.action(QString::fromLatin1(c.command).toLower());
        ASSERT_NE(a, nullptr) << c.command;
        const QString keyName = QKeySequence(c.key).toString();
        EXPECT_TRUE(a->toolTip().endsWith(QStringLiteral("(") + keyName + QStringLiteral(")")))
            << a->toolTip().toStdString();
        EXPECT_TRUE(a->shortcut().isEmpty()) << "keys arrive only through ProcesaTecla";

        received.clear();
        qobject_cast<QToolButton*>(bar.widgetForAction(a))->click();
        EXPECT_EQ(received, QStringList{QString::fromLatin1(c.command)});
        int key = c.key;
        bar.ProcesaTecla(key);
        EXPECT_EQ(received,
                  QStringList({QString::fromLatin1(c.command), QString::fromLatin1(c.command)}))
            << "the key and the button give the same command";
    }
}

TEST_F(TBarRepCommands, WhileBusyEveryCommandIsRefusedAndNothingIsDeliveredLater) {
    bar.setHabilitaConsulta(true);
    bar.setOcupado(true);
    for (const char* c : {"PANTALLA", "IMPRESORA", "CONSULTAR", "CERRAR"}) {
        QAction* a = bar.action(QString::fromLatin1(c));
        EXPECT_FALSE(a->isEnabled()) << c;
        a->trigger();
    }
    for (int key : {Qt::Key_F5, Qt::Key_F6, Qt::Key_F3, Qt::Key_Escape})
        EXPECT_EQ(press(key), 0) << "a command key is spent while busy";
    EXPECT_EQ(press(Qt::Key_A), Qt::Key_A);
    bar.setHabilitaConsulta(false);
    bar.setHabilitaConsulta(true);
    EXPECT_FALSE(bar.action(QStringLiteral("CONSULTAR"))->isEnabled());
    QApplication::processEvents();
    EXPECT_TRUE(received.isEmpty());

    bar.setOcupado(false);
    QApplication::processEvents();
    EXPECT_TRUE(received.isEmpty()) << "refused commands are not queued";
    EXPECT_TRUE(bar.action(QStringLiteral("CONSULTAR"))->isEnabled());
    EXPECT_EQ(press(Qt::Key_F6), 0);
    EXPECT_EQ(received, QStringList{QStringLiteral("IMPRESORA")});

    bar.setHabilitaConsulta(false);
    bar.setOcupado(true);
    bar.setOcupado(false);
    EXPECT_FALSE(bar.action(QStringLiteral("CONSULTAR"))->isEnabled())
        << "the end of a run does not enable a lookup the field does not offer";
}

}  // namespace
