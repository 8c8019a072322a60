// The rows of the list lookup as they are kept: texts in blocks, a sort through a folded copy,
// rows merged into a sorted list, the search. Each is held against what the list did when every
// row was a QStringList compared with QString::compare, without regard to case.
#include <gtest/gtest.h>

#include <QPersistentModelIndex>
#include <QRandomGenerator>
#include <algorithm>
#include <numeric>

#include "lookup/ListaConsulta.h"
#include "lookup/TextosColumna.h"
#include "tests/support/ImprimeQString.h"

namespace {

TEST(TextosColumna, EveryTextComesBackWholeWhereverItFallsInTheBlocks) {
    constexpr qsizetype kBloque = 1 << 18;
    const struct {
        const char* nombre;
        std::vector<qsizetype> largos;
    } casos[] = {
        {"short texts and empty ones", {0, 1, 7, 0, 0, 30}},
        {"one that fills the block exactly, then an empty one", {kBloque, 0, 3}},
        {"one that does not fit in what is left", {kBloque - 5, 10, 2}},
        {"one longer than a block, then short ones in its last block", {5, 2 * kBloque + 17, 4, 0}},
        {"two blocks' worth exactly, then empty ones", {2 * kBloque, 0, 0, 1}},
        {"an empty one right where a block ends", {kBloque - 3, 3, 0, 9}},
    };
    for (const auto& c : casos) {
        TextosColumna col;
        std::vector<QString> textos;
        for (std::size_t i = 0; i < c.largos.size(); ++i) {
            QString t(c.largos[i], QChar(u'a' + static_cast<char16_t>(i)));
            if (!t.isEmpty()) t[t.size() - 1] = QChar(u'Z');  // a text cut short shows
            textos.push_back(t);
            col.agrega(t);
        }
        ASSERT_EQ(col.size(), textos.size()) << c.nombre;
        for (std::size_t i = 0; i < textos.size(); ++i)
            EXPECT_EQ(col.texto(i).toString(), textos[i]) << c.nombre << ", text " << i;
        // A text taken back leaves its room to the next ones, a long one among them.
        col.quitaUltimo();
        for (const qsizetype largo : {kBloque + 3, qsizetype{2}}) {
            textos.back() = QString(largo, QChar(u'q'));
            col.agrega(textos.back());
            textos.push_back({});
        }
        textos.pop_back();
        ASSERT_EQ(col.size(), textos.size()) << c.nombre;
        for (std::size_t i = 0; i < textos.size(); ++i)
            EXPECT_EQ(col.texto(i).toString(), textos[i]) << c.nombre << ", again, text " << i;
        col.vacia();
        EXPECT_EQ(col.size(), 0u) << c.nombre;
    }
}

int signo(int n) {
    return (n > 0) - (n < 0);
}

// Texts whose case folding is not plain ASCII: accents, a sharp s (which folds to itself one
// character at a time), Greek sigmas, a dotted capital I, letters beyond the basic plane and
// halves of surrogate pairs alone, and the private use area above the surrogates.
const QStringList kTextos = {
    QStringLiteral("abc"),
    QStringLiteral("ABC"),
    QStringLiteral("Abd"),
    QStringLiteral("ab"),
    QStringLiteral(""),
    QStringLiteral("ÁRBOL"),
    QStringLiteral("árbol"),
    QStringLiteral("arbol"),
    QStringLiteral("Straße"),
    QStringLiteral("STRASSE"),
    QStringLiteral("ΣΟΦΊΑ"),
    QStringLiteral("σοφίας"),
    QStringLiteral("İstanbul"),
    QStringLiteral("istanbul"),
    QString::fromUtf8("\xF0\x90\x90\x80"),  // U+10400, a capital letter
    QString::fromUtf8("\xF0\x90\x90\xA8"),  // U+10428, its small one
    QString(QChar(0xD801)),
    QString(QChar(0xDC00)),
    QString(QChar(0xE000)),
    QStringLiteral("z"),
    QStringLiteral("Ñandú"),
    QStringLiteral("ñandu"),
};

TEST(Pliega, FoldedTextsCompareAsTheTextsDoWithoutRegardToCase) {
    for (const QString& a : kTextos) {
        for (const QString& b : kTextos) {
            EXPECT_EQ(signo(pliega(a).compare(pliega(b), Qt::CaseSensitive)),
                      signo(a.compare(b, Qt::CaseInsensitive)))
                << a.toStdString() << " / " << b.toStdString();
            EXPECT_EQ(pliega(a).startsWith(pliega(b)), a.startsWith(b, Qt::CaseInsensitive))
                << a.toStdString() << " / " << b.toStdString();
        }
    }
}

ListaConsulta::Fila fila(const QString& a, const QString& b) {
    ListaConsulta::Fila f;
    f.celdas = {a, b};
    return f;
}

// Rows with many equal keys in mixed case, so that the order among equals shows.
std::vector<ListaConsulta::Fila> filasAlAzar(int n, quint32 semilla) {
    QRandomGenerator azar(semilla);
    std::vector<ListaConsulta::Fila> filas;
    for (int i = 0; i < n; ++i) {
        QString clave = kTextos[static_cast<qsizetype>(azar.bounded(kTextos.size()))];
        if (azar.bounded(2)) clave = clave.toUpper();
        filas.push_back(fila(clave, QString::number(i)));
    }
    return filas;
}

// What the list shows, a row per line: the second column says which row was read when.
std::vector<QString> vista(const ListaConsulta& l) {
    std::vector<QString> v;
    for (int r = 0; r < l.rowCount(); ++r) v.push_back(l.celda(r, 0) + u'|' + l.celda(r, 1));
    return v;
}

// Every row read at once and sorted stably by the column, as the list used to.
std::vector<QString> ordenadas(const std::vector<ListaConsulta::Fila>& filas, int columna,
                               Qt::SortOrder orden) {
    std::vector<int> i(filas.size());
    std::iota(i.begin(), i.end(), 0);
    std::stable_sort(i.begin(), i.end(), [&](int a, int b) {
        const int c =
            filas[a].celdas[columna].compare(filas[b].celdas[columna], Qt::CaseInsensitive);
        return orden == Qt::AscendingOrder ? c < 0 : c > 0;
    });
    std::vector<QString> v;
    for (const int k : i) v.push_back(filas[k].celdas[0] + u'|' + filas[k].celdas[1]);
    return v;
}

TEST(ListaConsulta, RowsThatJoinASortedListTakeThePlacesASortOfEveryRowGivesThem) {
    const struct {
        int primeras;  // rows before the sort
        int tanda;     // rows that join together afterwards
    } casos[] = {{0, 7}, {1, 1}, {50, 3}, {200, 450}, {1000, 1}};
    for (const auto& c : casos) {
        for (const Qt::SortOrder orden : {Qt::AscendingOrder, Qt::DescendingOrder}) {
            const auto filas = filasAlAzar(1500, static_cast<quint32>(c.primeras * 31 + c.tanda));
            ListaConsulta l;
            l.setColumnas({QStringLiteral("Clave"), QStringLiteral("N")});
            std::size_t i = 0;
            for (; i < static_cast<std::size_t>(c.primeras); ++i) l.agrega(filas[i]);
            l.ordena(0, orden);
            // A row the view had chosen stays on its row through every merge.
            std::optional<QPersistentModelIndex> elegida;
            QString suya;
            for (; i < filas.size(); ++i) {
                l.acumula(filas[i]);
                if ((i + 1) % static_cast<std::size_t>(c.tanda) == 0) l.incorpora();
                if (!elegida && l.rowCount() > 0) {
                    elegida = QPersistentModelIndex(l.index(l.rowCount() / 2, 0));
                    suya = l.celda(elegida->row(), 1);
                }
            }
            l.incorpora();
            const std::string caso = std::to_string(c.primeras) + " then bunches of " +
                                     std::to_string(c.tanda) +
                                     (orden == Qt::AscendingOrder ? ", ascending" : ", descending");
            EXPECT_EQ(vista(l), ordenadas(filas, 0, orden)) << caso;
            ASSERT_TRUE(elegida && elegida->isValid()) << caso;
            EXPECT_EQ(l.celda(elegida->row(), 1), suya) << caso;
        }
    }
}

TEST(ListaConsulta, ASortAfterAnotherKeepsTheFirstOrderAmongEquals) {
    const auto filas = filasAlAzar(400, 7);
    ListaConsulta l;
    l.setColumnas({QStringLiteral("Clave"), QStringLiteral("N")});
    for (const auto& f : filas) l.agrega(f);
    l.ordena(1, Qt::DescendingOrder);
    l.ordena(0, Qt::AscendingOrder);
    std::vector<ListaConsulta::Fila> porN = filas;
    std::stable_sort(porN.begin(), porN.end(), [](const auto& a, const auto& b) {
        return a.celdas[1].compare(b.celdas[1], Qt::CaseInsensitive) > 0;
    });
    EXPECT_EQ(vista(l), ordenadas(porN, 0, Qt::AscendingOrder));
}

// The first row in the list's order whose trimmed cell starts with the trimmed text, in any
// case: what the search did over every row.
int buscaComoAntes(const ListaConsulta& l, int columna, const QString& texto) {
    const QString buscado = texto.trimmed();
    for (int r = 0; r < l.rowCount(); ++r) {
        const QString v = l.celda(r, columna).trimmed();
        if (v.left(buscado.size()).compare(buscado, Qt::CaseInsensitive) == 0) return r;
    }
    return -1;
}

TEST(ListaConsulta, TheSearchFindsTheFirstRowOfTheListThatStartsWithTheText) {
    ListaConsulta l;
    l.setColumnas({QStringLiteral("Clave"), QStringLiteral("N")});
    for (const auto& f : filasAlAzar(300, 11)) l.agrega(f);
    // Option texts are shown as they are given: blanks around them too.
    l.agrega(fila(QStringLiteral("  Ñandú gris "), QStringLiteral(" 301 ")));
    l.ponCelda(5, 1, QStringLiteral("3.00"));
    const QStringList buscados = {
        QString(),
        QStringLiteral("  "),
        QStringLiteral("a"),
        QStringLiteral("AB"),
        QStringLiteral("abd"),
        QStringLiteral("ÁR"),
        QStringLiteral("straß"),
        QStringLiteral("σ"),
        QStringLiteral("ñandú g"),
        QStringLiteral(" ñandú gris  "),
        QStringLiteral("ñandú grisx"),
        QString::fromUtf8("\xF0\x90\x90\xA8"),
        QString(QChar(0xDC00)),
        QStringLiteral("3."),
        QStringLiteral("301"),
        QStringLiteral("nada así"),
    };
    for (const auto& [columna, orden] :
         std::vector<std::pair<int, std::optional<Qt::SortOrder>>>{{0, std::nullopt},
                                                                   {1, std::nullopt},
                                                                   {0, Qt::DescendingOrder},
                                                                   {1, Qt::AscendingOrder}}) {
        if (orden) l.ordena(columna, *orden);
        for (const int c : {0, 1}) {
            for (const QString& b : buscados) {
                EXPECT_EQ(l.busca(c, b), buscaComoAntes(l, c, b))
                    << "column " << c << ", \"" << b.toStdString() << "\", "
                    << (orden ? "sorted" : "as read");
            }
        }
    }
    EXPECT_EQ(l.busca(7, QStringLiteral("a")), -1) << "a column the list does not have";
    EXPECT_EQ(l.busca(7, QString()), 0);
}

TEST(ListaConsulta, ChecksFlipAndRowsStillToComeStartUncheckedOnceAllWereUnchecked) {
    ListaConsulta l;
    l.setCasillas(true);
    l.setColumnas({QStringLiteral("Clave")});
    auto marcada = [](const char* t, bool m) {
        ListaConsulta::Fila f;
        f.celdas = {QString::fromUtf8(t)};
        f.marcada = m;
        return f;
    };
    l.agrega(marcada("a", true));
    l.agrega(marcada("b", false));
    l.invierteMarcas();
    EXPECT_FALSE(l.marcada(0));
    EXPECT_TRUE(l.marcada(1));
    l.desmarcaTodas();
    l.agrega(marcada("c", true));
    EXPECT_FALSE(l.marcada(1));
    EXPECT_FALSE(l.marcada(2)) << "a default check after every row was unchecked";
    l.vacia();
    l.agrega(marcada("d", true));
    EXPECT_TRUE(l.marcada(0)) << "a new load checks its default values again";
}

}  // namespace
