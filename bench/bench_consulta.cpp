// Times the list lookup window on a table of many rows against a small one in the same process:
// from the request to the painted window with its first rows, to every row read, the keystrokes
// of a search, a header click, F5 and the peak memory. With --arbol, the tree window
// built from the codes themselves: a small tree, a flat list and chains, in one run.
#include <sys/resource.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "ado/sqlite/SqliteEngine.h"
#include "data/db_dll/DB_Dll.h"
#include "lookup/Lib_ClsCons3.h"
#include "lookup/Lib_FrmCons3.h"
#include "lookup/Lib_FrmCons3Tree.h"
#include "lookup/ListaConsulta.h"
#include "platform/NonInteractivePrompter.h"
#include "platform/Process.h"
#include "platform/Prompt.h"

namespace {

long peakKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// The program's database in a temporary folder, made by `crea`.
void abreBase(const QTemporaryDir& dir, const QString& crea) {
    const QString path = dir.filePath(QStringLiteral("GESTION.db"));
    ado::SqliteEngine::create(path);
    ado::SqliteEngine::open(path)->executeRaw(crea);
    platform::process::setProgramFolder(dir.path());
    DB_Dll& db = gDB();
    db.gServidor = QStringLiteral("sqlite");
    db.gDBName = QStringLiteral("GESTION");
    db.gUsuario = QStringLiteral("bench");
    db.OpenServerADODB(false, 3, QString(), true, false);
}

// `codigos` rows of a table whose codes form chains `profundidad` deep: each code is the one
// before and a "1", each chain starts with four digits of its own.
QString cadenas(const char* tabla, int codigos, int profundidad) {
    return QStringLiteral(
               "CREATE TABLE %1 (Codigo TEXT, Descripcion TEXT);"
               "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < %2 - 1) "
               "INSERT INTO %1 SELECT printf('%04d', i / %3) || "
               "substr(replace(hex(zeroblob(%3)), '00', '1'), 1, i % %3), 'Familia ' || i "
               "FROM n;")
        .arg(QString::fromUtf8(tabla))
        .arg(codigos)
        .arg(profundidad);
}

struct Arbol {
    double abrir = 0;  // seconds from the request to the painted window
    double tecla = 0;  // seconds of a search keystroke matched at the last node
    int nodos = 0;
};

Arbol abreArbol(const QString& tabla, int codigos) {
    Lib_ClsCons3 consulta;
    consulta.CampoDevuelto = QStringLiteral("Codigo");
    Arbol a;
    QElapsedTimer reloj;
    QTimer::singleShot(0, [&] {
        auto* w = qobject_cast<Lib_FrmCons3Tree*>(QApplication::activeModalWidget());
        if (!w) return;
        // The view lays its rows out when it first paints: the window counts once painted.
        w->grab();
        a.abrir = reloj.nsecsElapsed() / 1e9;
        for (QTreeWidgetItemIterator it(w->TreeV); *it; ++it) ++a.nodos;
        QElapsedTimer t;
        t.start();
        w->CmbSearch->setEditText(QStringLiteral("Familia %1").arg(codigos - 1));
        a.tecla = t.nsecsElapsed() / 1e9;
        w->Cancelar();
    });
    QString sql = QStringLiteral("SELECT Codigo, Descripcion FROM %1 ORDER BY Codigo").arg(tabla),
            campo, where;
    std::optional<QStringList> lista;
    reloj.start();
    consulta.ConsultaSearch(sql, lista, QString(), campo, where, QString(), true, QString());
    return a;
}

// A small tree, then `codigos` codes of one length (all under the root), then `codigos` codes
// in chains `profundidad` deep. A chain needs codes as long as it is deep: one chain of 100,000
// would read 5,000 million characters.
int arboles(int codigos, int profundidad) {
    QTemporaryDir dir;
    abreBase(dir,
             cadenas("Pequeno", 20, 4) +
                 QStringLiteral(
                     "CREATE TABLE Plano (Codigo TEXT, Descripcion TEXT);"
                     "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                     "INSERT INTO Plano SELECT printf('F%07d', i), 'Familia ' || i FROM n;")
                     .arg(codigos) +
                 cadenas("Cadena", codigos, profundidad));
    std::printf("peak memory before the windows: %.1f MB\n", peakKb() / 1024.0);
    const Arbol pequeno = abreArbol(QStringLiteral("Pequeno"), 20);
    std::printf("small tree: %7d nodes, request to window %.3f s, peak memory %.1f MB\n",
                pequeno.nodos, pequeno.abrir, peakKb() / 1024.0);
    const struct {
        const char* nombre;
        const char* tabla;
    } casos[] = {{"flat:      ", "Plano"}, {"chains:    ", "Cadena"}};
    for (const auto& c : casos) {
        const Arbol a = abreArbol(QString::fromUtf8(c.tabla), codigos);
        std::printf(
            "%s %7d nodes, request to window %.3f s (%+.3f s against the small one), search "
            "keystroke %.1f ms, peak memory %.1f MB\n",
            c.nombre, a.nodos, a.abrir, a.abrir - pequeno.abrir, a.tecla * 1000, peakKb() / 1024.0);
    }
    std::printf("chains %d deep\n", profundidad);
    return 0;
}

// What one list lookup measured, from the request on.
struct Lista {
    double ventana = 0;          // seconds to the painted window with its first rows
    int primeras = 0;            // rows in the list then
    double todas = 0;            // seconds to every row read
    double pausa = 0;            // the longest a posted event waited while the rows came in
    std::vector<double> teclas;  // seconds of each keystroke of a search
    double orden = 0;            // seconds of a header click
    double f5 = 0;               // seconds of F5 to the window with the narrower list
};

double mediana(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Once every row is read: types `buscado` into the description's box a letter at a time, sorts
// by the description, narrows the list with F5 and accepts its first row.
void mideVentana(Lib_FrmCons3& w, const QString& buscado, Lista& l) {
    QComboBox* caja = w.CmbSearch(1);
    caja->setFocus();
    for (qsizetype i = 1; i <= buscado.size(); ++i) {
        QElapsedTimer t;
        t.start();
        caja->setEditText(buscado.left(i));
        l.teclas.push_back(t.nsecsElapsed() / 1e9);
    }
    QElapsedTimer t;
    t.start();
    w.ListView1->horizontalHeader()->sectionClicked(1);
    l.orden = t.nsecsElapsed() / 1e9;
    // A ninth of the rows: "Artículo número 5", "... 50" to "... 59", and so on.
    caja->setEditText(QStringLiteral("Artículo número 5"));
    t.restart();
    QKeyEvent f5(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier);
    QApplication::sendEvent(caja->lineEdit(), &f5);
    l.f5 = t.nsecsElapsed() / 1e9;
    w.Aceptar();
}

// One request on a table of `filas` rows: the window, the rows read, the search and the sort.
Lista abreLista(const QString& tabla, int filas) {
    Lib_ClsCons3 consulta;
    consulta.CampoDevuelto = QStringLiteral("Codigo");
    Lista l;
    QElapsedTimer reloj;
    QElapsedTimer enviada;
    // Posted again each time it runs, as keys typed one after another are: how long it waits
    // is how long the window would keep a key waiting while the rows come in.
    std::function<void()> sonda;
    Lib_FrmCons3* w = nullptr;
    sonda = [&] {
        l.pausa = std::max(l.pausa, enviada.nsecsElapsed() / 1e9);
        if (w->lista().rowCount() < filas) {
            enviada.start();
            QMetaObject::invokeMethod(qApp, sonda, Qt::QueuedConnection);
            return;
        }
        l.todas = reloj.nsecsElapsed() / 1e9;
        mideVentana(*w, QStringLiteral("Artículo número %1").arg(filas - 1), l);
    };
    QTimer::singleShot(0, [&] {
        w = qobject_cast<Lib_FrmCons3*>(QApplication::activeModalWidget());
        if (!w) return;
        // The view lays its rows out when it first paints: the window counts once painted.
        w->grab();
        l.ventana = reloj.nsecsElapsed() / 1e9;
        l.primeras = w->lista().rowCount();
        enviada.start();
        sonda();
    });
    QString sql = QStringLiteral("SELECT Codigo, Descripcion, Rubro, Marca, Precio, Stock FROM ") +
                  tabla,
            campo, where;
    std::optional<QStringList> lista;
    reloj.start();
    consulta.ConsultaSearch(sql, lista, QString(), campo, where, QString(), false, QString());
    return l;
}

QString articulos(const char* tabla, int filas) {
    return QStringLiteral(
               "CREATE TABLE %1 (Codigo VARCHAR(10), Descripcion VARCHAR(60), Rubro VARCHAR(20), "
               "Marca VARCHAR(20), Precio DECIMAL(18,2), Stock INT);"
               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %2) "
               "INSERT INTO %1 SELECT printf('A%07d', i), 'Artículo número ' || i, 'Rubro ' || "
               "(i % 50), 'Marca ' || (i % 30), i * 1.5, i % 17 FROM n;")
        .arg(QString::fromUtf8(tabla))
        .arg(filas);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::setPrompter(std::make_shared<platform::NonInteractivePrompter>());
    if (argc > 1 && QByteArray(argv[1]) == "--arbol")
        return arboles(argc > 2 ? std::atoi(argv[2]) : 100000,
                       argc > 3 ? std::max(1, std::atoi(argv[3])) : 1000);
    const int filas = argc > 1 ? std::atoi(argv[1]) : 100000;
    constexpr int kPequena = 20;
    QTemporaryDir dir;
    abreBase(dir, articulos("V_PEQUENA", kPequena) + articulos("V_ARTICULOS", filas));
    const long antes = peakKb();
    // The first window of the process pays for what Qt sets up once: a lookup not timed, so that
    // the small one and the big one start alike.
    abreLista(QStringLiteral("V_PEQUENA"), kPequena);
    const Lista chica = abreLista(QStringLiteral("V_PEQUENA"), kPequena);
    const Lista grande = abreLista(QStringLiteral("V_ARTICULOS"), filas);
    std::printf("rows:                          %d, %d in the window as it opens\n", filas,
                grande.primeras);
    std::printf("request to window, %7d rows: %.3f s\n", filas, grande.ventana);
    std::printf("request to window, %7d rows: %.3f s\n", kPequena, chica.ventana);
    std::printf("difference:                    %+.3f s\n", grande.ventana - chica.ventana);
    std::printf("request to every row read:     %.3f s (an event waited at most %.0f ms)\n",
                grande.todas, grande.pausa * 1000);
    std::printf(
        "search keystroke:              slowest %.1f ms, median %.1f ms (%zu keys, the "
        "last matching the last row)\n",
        *std::max_element(grande.teclas.begin(), grande.teclas.end()) * 1000,
        mediana(grande.teclas) * 1000, grande.teclas.size());
    std::printf("sort (header click):           %.3f s\n", grande.orden);
    std::printf("F5 to the narrower window:     %.3f s\n", grande.f5);
    std::printf("peak memory:                   %.1f MB (%.1f MB before the requests)\n",
                peakKb() / 1024.0, antes / 1024.0);
    return 0;
}
