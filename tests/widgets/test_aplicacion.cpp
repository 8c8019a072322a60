// The application object as every program of ours makes it: Qt's own texts in Spanish and
// numbers for files in the "C" form, whatever the desktop's language.

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <clocale>
#include <cstdio>
#include <memory>

#include "tests/support/Aplicacion.h"

namespace {

TEST(Aplicacion, QtsOwnDialogsAndMenusSpeakSpanish) {
    testApp();
    auto* app = dynamic_cast<platform::GuardedApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    ASSERT_TRUE(app->enEspanol()) << "Qt's Spanish translations (qt6-translations-l10n)";

    QLineEdit caja;
    const std::unique_ptr<QMenu> menu(caja.createStandardContextMenu());
    QStringList textos;
    for (const QAction* a : menu->actions())
        if (!a->isSeparator())
            textos << a->text().section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&'));
    for (const char* esperado : {"Deshacer", "Rehacer", "Cortar", "Copiar", "Pegar"})
        EXPECT_TRUE(textos.contains(QString::fromUtf8(esperado)))
            << esperado << " in " << textos.join(QStringLiteral(", ")).toStdString();

    // The overwrite question of the save dialog and the buttons of Qt's own boxes.
    const QString pregunta = QCoreApplication::translate(
        "QFileDialog", "%1 already exists.\nDo you want to replace it?");
    EXPECT_FALSE(pregunta.contains(QStringLiteral("already exists"))) << pregunta.toStdString();
    QMessageBox caja2;
    QPushButton* guardar = caja2.addButton(QMessageBox::Save);
    QPushButton* cancelar = caja2.addButton(QMessageBox::Cancel);
    EXPECT_EQ(guardar->text().remove(QLatin1Char('&')), QStringLiteral("Guardar"));
    EXPECT_EQ(cancelar->text().remove(QLatin1Char('&')), QStringLiteral("Cancelar"));
}

TEST(Aplicacion, NumbersKeepThePointOnceTheApplicationExists) {
    // A Spanish desktop, unless an application of this run already took another one.
    if (!QCoreApplication::instance()) qputenv("LC_ALL", "es_ES.UTF-8");
    testApp();
    char texto[16];
    std::snprintf(texto, sizeof texto, "%.2f", 13.25);
    EXPECT_STREQ(texto, "13.25") << std::setlocale(LC_NUMERIC, nullptr);
}

}  // namespace
