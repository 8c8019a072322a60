// Times the list lookup window on a table of many rows: from the request to the window with
// every row, a keystroke of the local search, and the peak memory.
#include <sys/resource.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "ado/sqlite/SqliteEngine.h"
#include "data/db_dll/DB_Dll.h"
#include "lookup/Lib_ClsCons3.h"
#include "lookup/Lib_FrmCons3.h"
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

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int filas = argc > 1 ? std::atoi(argv[1]) : 100000;
    platform::setPrompter(std::make_shared<platform::NonInteractivePrompter>());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("GESTION.db"));
    ado::SqliteEngine::create(path);
    {
        auto e = ado::SqliteEngine::open(path);
        e->executeRaw(
            QStringLiteral(
                "CREATE TABLE V_ARTICULOS (Codigo VARCHAR(10), Descripcion VARCHAR(60), Rubro "
                "VARCHAR(20), Marca VARCHAR(20), Precio DECIMAL(18,2), Stock INT);"
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                "INSERT INTO V_ARTICULOS SELECT printf('A%07d', i), 'Artículo número ' || i, "
                "'Rubro ' || (i % 50), 'Marca ' || (i % 30), i * 1.5, i % 17 FROM n;")
                .arg(filas));
    }
    platform::process::setProgramFolder(dir.path());
    DB_Dll& db = gDB();
    db.gServidor = QStringLiteral("sqlite");
    db.gDBName = QStringLiteral("GESTION");
    db.gUsuario = QStringLiteral("bench");
    db.OpenServerADODB(false, 3, QString(), true, false);
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
