#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include "connect/BasesRegistradas.h"
#include "connect/frmAcceso.h"
#include "platform/Process.h"
#include "tests/support/Aplicacion.h"

namespace {

TEST(BasesTxt, ValuesFollowTheDelimitedTextRules) {
    const struct {
        const char* linea;
        QStringList valores;
    } casos[] = {
        {"GESTION / SRV1,Gestion,Gestion,x,srv1:1444",
         {"GESTION / SRV1", "Gestion", "Gestion", "x", "srv1:1444"}},
        {"  A / B ,  b , c,\"d, con coma\" ,e", {"A / B", "b", "c", "d, con coma", "e"}},
        {"\" con blancos \",x", {" con blancos ", "x"}},
        {"", {""}},
    };
    for (const auto& c : casos)
        EXPECT_EQ(valoresDeLinea(QString::fromUtf8(c.linea)), c.valores) << c.linea;
}

class Acceso : public testing::Test {
  protected:
    void SetUp() override {
        testApp();
        ASSERT_TRUE(dir.isValid());
        platform::process::setProgramFolder(dir.path());
    }
    void TearDown() override { platform::process::setProgramFolder({}); }
    void bases(const QByteArray& contenido) {
        QFile f(dir.filePath(QStringLiteral("BASES.TXT")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contenido);
    }
    QTemporaryDir dir;
};

TEST_F(Acceso, ChoosingAnEntryFillsTheFields) {
    bases(
        "GESTION / SRV1,Gestion,Gestion,x,srv1:1444\r\n"
        "VENTAS / SRV2,Ventas,Ventas,x,srv2\r\n"
        "corto,sin,valores\r\n"
        "minus / srv3,Minus,Minus,x,srv3\r\n"
        " ,Oculta,Oculta,x,srv4\r\n");
    frmAcceso w;
    w.Carga();
    ASSERT_EQ(w.lstBases->count(), 3) << "a short entry and a blank key are not listed";
    // The first entry is selected at once.
    EXPECT_EQ(w.TxtServidor->text(), QStringLiteral("SRV1"));
    EXPECT_EQ(w.TxtDbName->text(), QStringLiteral("Gestion"));
    EXPECT_EQ(w.TxtPuerto->text(), QStringLiteral("1444"));
    EXPECT_EQ(w.TxtUserId->text(), QStringLiteral("Ingrese el usuario"))
        << "the prompt of an empty box";
    EXPECT_EQ(w.TxtUserPassword->echoMode(), QLineEdit::Password);
    // An entry without a port keeps the port the last one gave.
    w.lstBases->setCurrentRow(1);
    EXPECT_EQ(w.TxtServidor->text(), QStringLiteral("srv2"));
    EXPECT_EQ(w.TxtPuerto->text(), QStringLiteral("1444"));
    // A lower-case key is found through the list text.
    w.lstBases->setCurrentRow(2);
    EXPECT_EQ(w.TxtDbName->text(), QStringLiteral("Minus"));
    EXPECT_FALSE(buscaBase(w.archivoBases(), QStringLiteral("MINUS / SRV3")).has_value())
        << "keys are compared with their case";
}

TEST_F(Acceso, WithoutTheFileTheBoxesShowTheirPrompts) {
    frmAcceso w;
    w.Carga();
    EXPECT_EQ(w.lstBases->count(), 0);
    EXPECT_EQ(w.TxtDbName->text(), QStringLiteral("ingrese el nombre de la base de datos"));
    EXPECT_EQ(w.TxtServidor->text(), QStringLiteral("ingrese el nombre del servidor e instancia"));
    EXPECT_EQ(w.TxtDbName->selectedText(), w.TxtDbName->text()) << "typing replaces the prompt";
    EXPECT_EQ(w.TxtPuerto->text(), QStringLiteral("1433"));
    // Confirming untouched hands the prompt back as the database name.
    w.bcAceptar->click();
    EXPECT_TRUE(w.Aceptar);
    EXPECT_EQ(w.TxtDbName->text(), QStringLiteral("ingrese el nombre de la base de datos"));
    frmAcceso c;
    c.Carga();
    c.bcCancelar->click();
    EXPECT_FALSE(c.Aceptar);
}

}  // namespace
