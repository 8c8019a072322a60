#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include "lookup/Lib_ClsCons3.h"
#include "lookup/Lib_FrmCons3Tree.h"
#include "tests/support/Aplicacion.h"
#include "tests/support/ImprimeQString.h"
#include "tests/support/ProgramFolder.h"

namespace {

class Arbol : public ProgramFolder {
  protected:
    void SetUp() override {
        testApp();
        ProgramFolder::SetUp();
        connect();
    }
    std::unique_ptr<Lib_FrmCons3Tree> abre(const QString& sql, const char* campo,
                                           bool casillas = false) {
        auto w = std::make_unique<Lib_FrmCons3Tree>();
        w->SQL = sql;
        w->CampoDevuelto = QString::fromUtf8(campo);
        w->CheckBoxes = casillas;
        w->Carga();
        w->show();
        return w;
    }
    // The parent's code of a node, "A" for the root's children.
    static QString padre(const Lib_FrmCons3Tree& w, const char* codigo) {
        QTreeWidgetItem* n = w.nodo(QStringLiteral("A") + QString::fromUtf8(codigo));
        if (!n || !n->parent()) return QStringLiteral("?");
        return n->parent()->data(0, Qt::UserRole).toString();
    }
};

TEST_F(Arbol, FamiliesHangFromTheParentTheDatabaseWorksOut) {
    auto w = abre(QStringLiteral("select * from v_ta_familias"), "IDFAMILIA");
    const struct {
        const char* codigo;
        const char* padre;
    } casos[] = {{"01", "A"}, {"0101", "A01"}, {"0102", "A01"}, {"010201", "A0102"},
                 {"02", "A"}, {"0201", "A02"}, {"03", "A"}};
    for (const auto& c : casos)
        EXPECT_EQ(padre(*w, c.codigo), QString::fromUtf8(c.padre)) << c.codigo;
    EXPECT_EQ(w->nodo(QStringLiteral("A0101"))->text(0),
              QStringLiteral("0101 - Gases refrigerantes"));
    // Search by description, any case; Enter accepts the family looked up in its table.
    w->CmbSearch->setEditText(QStringLiteral("compresores h"));
    EXPECT_EQ(w->TreeV->currentItem(), w->nodo(QStringLiteral("A010201")));
    w->Aceptar();
    EXPECT_EQ(w->ValorDevuelto.toText(), QStringLiteral("010201"));
}

TEST_F(Arbol, AnyStatementHangsEachCodeFromTheLongestCodeThatStartsIt) {
    gDB().gCnn.execute(QStringLiteral(
        "CREATE TABLE Codigos (Codigo VARCHAR(10), Descripcion VARCHAR(20), Orden INT);"
        "INSERT INTO Codigos VALUES ('13', 'trece', 1), ('1', 'uno', 2), ('11', 'once', 3), "
        "('12', 'doce', 4), ('2', 'dos', 5)"));
    auto w =
        abre(QStringLiteral("select Codigo, Descripcion from Codigos order by Orden"), "CODIGO");
    EXPECT_EQ(padre(*w, "13"), QStringLiteral("A")) << "no key started it when it was added";
    EXPECT_EQ(padre(*w, "11"), QStringLiteral("A1"));
    EXPECT_EQ(padre(*w, "12"), QStringLiteral("A1"));
    EXPECT_EQ(padre(*w, "2"), QStringLiteral("A"));
    // F5 narrows by description; the typed quote is a value.
    w->CmbSearch->setEditText(QStringLiteral("o'"));
    w->CmbSearch->lineEdit()->setFocus();
    QKeyEvent f5(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier);
    QCoreApplication::sendEvent(w->CmbSearch->lineEdit(), &f5);
    EXPECT_TRUE(w->SQL.contains(QStringLiteral("Descripcion like '%o''%' order by Orden")))
        << w->SQL.toStdString();
    EXPECT_EQ(w->nodo(QStringLiteral("A1")), nullptr) << "nothing matches: only the root";
    EXPECT_TRUE(prompts->shown().empty());
}

TEST_F(Arbol, F5TypedInTheSearchBoxEmptiesIt) {
    gDB().gCnn.execute(
        QStringLiteral("CREATE TABLE Codigos (Codigo VARCHAR(10), Descripcion VARCHAR(20));"
                       "INSERT INTO Codigos VALUES ('1', 'uno'), ('11', 'once'), ('2', 'dos')"));
    auto w = abre(QStringLiteral("select Codigo, Descripcion from Codigos"), "CODIGO");
    QApplication::setActiveWindow(w.get());
    w->CmbSearch->setFocus();
    // The keys go where a user's keys go: to the widget with the focus.
    QWidget* foco = QApplication::focusWidget();
    ASSERT_NE(foco, nullptr);
    QTest::keyClicks(foco, QStringLiteral("on"));
    ASSERT_EQ(w->CmbSearch->currentText(), QStringLiteral("on"));
    QTest::keyClick(foco, Qt::Key_F5);
    EXPECT_EQ(w->CmbSearch->currentText(), QString());
    EXPECT_TRUE(w->SQL.contains(QStringLiteral("Descripcion like '%on%'"))) << w->SQL.toStdString();
    EXPECT_NE(w->nodo(QStringLiteral("A11")), nullptr);
    EXPECT_EQ(w->nodo(QStringLiteral("A2")), nullptr);
}

TEST_F(Arbol, CheckingANodeChecksSixGenerations) {
    gDB().gCnn.execute(QStringLiteral(
        "CREATE TABLE Hondo (Codigo VARCHAR(10), Descripcion VARCHAR(20));"
        "INSERT INTO Hondo VALUES ('1', 'a'), ('12', 'b'), ('123', 'c'), ('1234', 'd'), "
        "('12345', 'e'), ('123456', 'f'), ('1234567', 'g'), ('12345678', 'h')"));
    auto w = abre(QStringLiteral("select Codigo, Descripcion from Hondo order by Codigo"), "CODIGO",
                  true);
    w->nodo(QStringLiteral("A1"))->setCheckState(0, Qt::Checked);
    for (const char* c : {"12", "123", "1234", "12345", "123456", "1234567"})
        EXPECT_EQ(w->nodo(QStringLiteral("A") + QString::fromUtf8(c))->checkState(0), Qt::Checked)
            << c;
    EXPECT_EQ(w->nodo(QStringLiteral("A12345678"))->checkState(0), Qt::Unchecked)
        << "the seventh generation keeps its own state";
    w->Aceptar();
    EXPECT_EQ(w->Valores->size(), 7);
}

TEST_F(Arbol, CodesAreLookedUpInTheirTables) {
    auto w = abre(QStringLiteral("select CODIGO, DESCRIPCION from MA_CUENTAS order by CODIGO"),
                  "CODIGO");
    w->TreeV->setCurrentItem(w->nodo(QStringLiteral("A4.1.02")));
    w->Aceptar();
    EXPECT_EQ(w->ValorDevuelto.toText(), QStringLiteral("4.1.02")) << "found in the accounts";
    auto p = abre(
        QStringLiteral("select IDPOSICION, DESCRIPCION from MA_POSICIONES order by IDPOSICION"),
        "IDPOSICION", true);
    EXPECT_EQ(padre(*p, "A11"), QStringLiteral("AA1"));
    p->nodo(QStringLiteral("AA1"))->setCheckState(0, Qt::Checked);
    p->Aceptar();
    EXPECT_EQ(p->Valores, (QStringList{"A1", "A11"}));
    auto c = abre(QStringLiteral("select CODIGO, DESCRIPCION from MA_CUENTAS"), "CODIGO");
    c->Cancelar();
    EXPECT_EQ(c->ValorDevuelto.toText(), QString());
    EXPECT_FALSE(c->Valores.has_value());
}

}  // namespace
