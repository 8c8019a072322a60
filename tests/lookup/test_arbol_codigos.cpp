#include <QComboBox>
#include <QTreeWidget>
#include <map>
#include <random>

#include "lookup/ArbolCodigos.h"
#include "lookup/Lib_ClsCons3.h"
#include "lookup/Lib_FrmCons3Tree.h"
#include "tests/support/Aplicacion.h"
#include "tests/support/ImprimeQString.h"
#include "tests/support/ProgramFolder.h"

namespace {

// The window's tree as it was built before the codes were hashed: each new code compared with
// every code read before it. The reference the fast one must agree with.
std::vector<int> padresComoAntes(const std::vector<QString>& codigos) {
    std::map<QString, int> nodos{{QStringLiteral("A"), arbol::kRaiz}};
    std::vector<int> padres(codigos.size(), arbol::kRaiz);
    for (size_t i = 0; i < codigos.size(); ++i) {
        const QString clave = QStringLiteral("A") + codigos[i];
        if (nodos.count(clave)) {
            padres[i] = arbol::kRepetido;
            continue;
        }
        qsizetype mejor = 1;
        for (const auto& [k, indice] : nodos) {
            if (k.size() > mejor && k.size() <= clave.size() &&
                clave.left(k.size()).compare(k, Qt::CaseInsensitive) == 0) {
                mejor = k.size();
                padres[i] = indice;
            }
        }
        nodos[clave] = static_cast<int>(i);
    }
    return padres;
}

// Codes that share prefixes and cases: each one new, an earlier one lengthened, shortened,
// with a letter in the other case, repeated, empty or blank. `raros` adds lone surrogates,
// which no database column gives back.
std::vector<QString> codigosAlAzar(std::mt19937& azar, bool raros) {
    static const QStringList letras{"1",      "2", "a", "A",      "b", "B", " ", "é",
                                    "É",      "ß", "ẞ", "σ",      "ς", "Σ", "K", "\u212A",
                                    "\u0130", "i", "I", "\u0131", "𐐀", "𐐨", "ǅ", "ǆ"};
    static const QStringList solos{QString(QChar(0xD801)), QString(QChar(0xDC28))};
    const auto n = std::uniform_int_distribution<int>(1, 60)(azar);
    auto de = [&](int hasta) { return std::uniform_int_distribution<int>(0, hasta)(azar); };
    auto letra = [&] {
        return raros && de(9) == 0 ? solos[de(1)] : letras[de(int(letras.size()) - 1)];
    };
    std::vector<QString> codigos;
    for (int i = 0; i < n; ++i) {
        const QString antes = codigos.empty() ? QString() : codigos[size_t(de(i - 1))];
        QString c;
        switch (de(7)) {
            case 0:
                for (int k = de(4); k >= 0; --k) c += letra();
                break;
            case 1:
            case 2:
                c = antes;
                for (int k = de(2); k >= 0; --k) c += letra();
                break;
            case 3:
                c = antes.left(de(int(antes.size())));
                break;
            case 4:
                c = antes;
                if (!c.isEmpty()) {
                    const int k = de(int(c.size()) - 1);
                    c[k] = c[k].isUpper() ? c[k].toLower() : c[k].toUpper();
                }
                break;
            case 5:
                c = antes;
                break;
            case 6:
                c = de(1) ? QString() : QStringLiteral("  ");
                break;
            default:
                c = antes + QLatin1Char(' ');
        }
        codigos.push_back(c);
    }
    return codigos;
}

QString lista(const std::vector<QString>& codigos) {
    QStringList l;
    for (const QString& c : codigos) l << QLatin1Char('"') + c + QLatin1Char('"');
    return l.join(QLatin1Char(' '));
}

TEST(ArbolCodigos, EachCodeHangsWhereTheWindowHungItBefore) {
    std::mt19937 azar(20261210);
    for (int caso = 0; caso < 400; ++caso) {
        const auto codigos = codigosAlAzar(azar, caso % 2 == 1);
        ASSERT_EQ(arbol::padresPorPrefijo(codigos), padresComoAntes(codigos))
            << "case " << caso << ": " << lista(codigos).toStdString();
    }
}

TEST(ArbolCodigos, ChainsInAnyOrder) {
    std::vector<QString> cadena;
    for (int i = 1; i <= 300; ++i) cadena.push_back(QString(i, QLatin1Char(i % 2 ? 'x' : 'X')));
    std::vector<QString> alReves(cadena.rbegin(), cadena.rend());
    std::vector<QString> mezclada = cadena;
    std::shuffle(mezclada.begin(), mezclada.end(), std::mt19937(7));
    const struct {
        const char* nombre;
        const std::vector<QString>& codigos;
    } casos[] = {{"in order", cadena}, {"reversed", alReves}, {"shuffled", mezclada}};
    for (const auto& c : casos)
        EXPECT_EQ(arbol::padresPorPrefijo(c.codigos), padresComoAntes(c.codigos)) << c.nombre;
}

class ArbolVentana : public ProgramFolder {
  protected:
    void SetUp() override {
        testApp();
        ProgramFolder::SetUp();
        connect();
        serviciosConsulta().reporta = [this](const platform::ErrorInfo& e, const QString&) {
            avisos << e.description;
            return 0;
        };
    }
    void TearDown() override {
        serviciosConsulta() = {};
        ProgramFolder::TearDown();
    }
    QStringList avisos;
};

// What the window shows for codes read in that order: each node's children by key, and what
// the operator was told.
struct Forma {
    std::map<QString, QStringList> hijos;
    QStringList avisos;
    bool operator==(const Forma&) const = default;
};

void PrintTo(const Forma& f, std::ostream* os) {
    for (const auto& [padre, hijos] : f.hijos)
        *os << '"' << padre.toStdString() << "\" <- " << hijos.join(QLatin1Char(',')).toStdString()
            << "; ";
    *os << "told: " << f.avisos.join(QLatin1Char(',')).toStdString();
}

Forma formaEsperada(const std::vector<QString>& codigos) {
    Forma f;
    const auto padres = padresComoAntes(codigos);
    for (size_t i = 0; i < codigos.size(); ++i) {
        if (padres[i] == arbol::kRepetido) {
            f.avisos << QStringLiteral("La clave %1 ya existe").arg(codigos[i]);
            continue;
        }
        const QString padre = padres[i] == arbol::kRaiz ? QString() : codigos[size_t(padres[i])];
        f.hijos[QStringLiteral("A") + padre] << QStringLiteral("A") + codigos[i];
    }
    return f;
}

Forma formaDe(const QTreeWidget& arbol) {
    Forma f;
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(&arbol)); *it; ++it)
        for (int i = 0; i < (*it)->childCount(); ++i)
            f.hijos[(*it)->data(0, Qt::UserRole).toString()]
                << (*it)->child(i)->data(0, Qt::UserRole).toString();
    return f;
}

TEST_F(ArbolVentana, ShowsTheTreeItShowedBeforeInTheSameOrder) {
    gDB().gCnn.execute(
        QStringLiteral("CREATE TABLE Codigos (Orden INT, Codigo TEXT, Descripcion TEXT)"));
    std::mt19937 azar(515);
    for (int caso = 0; caso < 12; ++caso) {
        const auto codigos = codigosAlAzar(azar, false);
        gDB().gCnn.execute(QStringLiteral("DELETE FROM Codigos"));
        for (size_t i = 0; i < codigos.size(); ++i) {
            QString c = codigos[i];
            gDB().gCnn.execute(QStringLiteral("INSERT INTO Codigos VALUES (%1, '%2', 'd%1')")
                                   .arg(i)
                                   .arg(c.replace(QLatin1Char('\''), QStringLiteral("''"))));
        }
        avisos.clear();
        Lib_FrmCons3Tree w;
        w.SQL = QStringLiteral("select Codigo, Descripcion from Codigos order by Orden");
        w.CampoDevuelto = QStringLiteral("CODIGO");
        w.Carga();
        Forma vista = formaDe(*w.TreeV);
        vista.avisos = avisos;
        EXPECT_EQ(vista, formaEsperada(codigos))
            << "case " << caso << ": " << lista(codigos).toStdString();
        EXPECT_EQ(w.TreeV->topLevelItemCount(), 1);
        EXPECT_TRUE(w.TreeV->topLevelItem(0)->isExpanded());
    }
}

TEST_F(ArbolVentana, AChainAsDeepAsItsCodesAreLongIsSearchedCheckedAndClosed) {
    const int hondo = 4000;
    gDB().gCnn.execute(
        QStringLiteral(
            "CREATE TABLE Hondo (Codigo TEXT, Descripcion TEXT);"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
            "INSERT INTO Hondo SELECT substr(replace(hex(zeroblob(%1)), '00', '7'), 1, i), "
            "'nivel ' || i FROM n")
            .arg(hondo));
    auto w = std::make_unique<Lib_FrmCons3Tree>();
    w->SQL = QStringLiteral("select Codigo, Descripcion from Hondo order by Codigo");
    w->CampoDevuelto = QStringLiteral("CODIGO");
    w->CheckBoxes = true;
    w->Carga();
    w->show();
    QTreeWidgetItem* fondo = w->nodo(QStringLiteral("A") + QString(hondo, QLatin1Char('7')));
    ASSERT_NE(fondo, nullptr);
    int nivel = 0;
    for (const QTreeWidgetItem* n = fondo; n->parent(); n = n->parent()) ++nivel;
    EXPECT_EQ(nivel, hondo);
    w->CmbSearch->setEditText(QStringLiteral("nivel %1").arg(hondo));
    EXPECT_EQ(w->TreeV->currentItem(), fondo);
    fondo->parent()->setCheckState(0, Qt::Checked);
    w->Aceptar();
    EXPECT_EQ(w->Valores->size(), 2);
    w->Carga();
    EXPECT_NE(w->nodo(QStringLiteral("A77")), nullptr) << "built again after emptied";
    w.reset();
    EXPECT_TRUE(avisos.isEmpty()) << avisos.join(QLatin1Char('\n')).toStdString();
}

}  // namespace
