// Times the list lookup window on a table of many rows: from the request to the window with
// every row, a keystroke of the local search, and the peak memory. With --arbol, the tree window
// built from the codes themselves: a small tree, a flat list and chains, in one run.
#include <sys/resource.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

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

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::setPrompter(std::make_shared<platform::NonInteractivePrompter>());
    if (argc > 1 && QByteArray(argv[1]) == "--arbol")
        return arboles(argc > 2 ? std::atoi(argv[2]) : 100000,
                       argc > 3 ? std::max(1, std::atoi(argv[3])) : 1000);
    const int filas = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    abreBase(dir, QStringLiteral(
                      "CREATE TABLE V_ARTICULOS (Codigo VARCHAR(10), Descripcion VARCHAR(60), "
                      "Rubro VARCHAR(20), Marca VARCHAR(20), Precio DECIMAL(18,2), Stock INT);"
                      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                      "%1) INSERT INTO V_ARTICULOS SELECT printf('A%07d', i), 'Artículo número ' "
                      "|| i, 'Rubro ' || (i % 50), 'Marca ' || (i % 30), i * 1.5, i % 17 FROM n;")
                      .arg(filas));
    const long antes = peakKb();

    Lib_ClsCons3 consulta;
    consulta.CampoDevuelto = QStringLiteral("Codigo");
    double abrir = 0, tecla = 0;
    int mostradas = 0;
    QElapsedTimer reloj;
    QTimer::singleShot(0, [&] {
        abrir = reloj.nsecsElapsed() / 1e9;
        auto* w = qobject_cast<Lib_FrmCons3*>(QApplication::activeModalWidget());
        if (!w) return;
        mostradas = w->lista().rowCount();
        QElapsedTimer t;
        t.start();
        w->CmbSearch(1)->setEditText(QStringLiteral("Artículo número 99999"));
        tecla = t.nsecsElapsed() / 1e9;
        w->Aceptar();
    });
    QString sql = QStringLiteral(
                "SELECT Codigo, Descripcion, Rubro, Marca, Precio, Stock FROM "
                "V_ARTICULOS"),
            campo, where;
    std::optional<QStringList> lista;
    reloj.start();
    consulta.ConsultaSearch(sql, lista, QString(), campo, where, QString(), false, QString());
    std::printf("rows:               %d of %d\n", mostradas, filas);
    std::printf("request to window:  %.3f s\n", abrir);
    std::printf("search keystroke:   %.1f ms (a text matched at the last rows)\n", tecla * 1000);
    std::printf("chosen:             %s\n",
                consulta.ValorDevuelto.textOr(QString()).toUtf8().constData());
    std::printf("peak memory:        %.1f MB (%.1f MB before the request)\n", peakKb() / 1024.0,
                antes / 1024.0);
    return 0;
}
