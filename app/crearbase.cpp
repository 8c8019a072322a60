// Creates an embedded database file and runs SQL scripts on it as they stand.
#include <QCoreApplication>
#include <QFile>
#include <cstdio>

#include "ado/core/Error.h"
#include "ado/sqlite/SqliteEngine.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 1) {
        std::fprintf(stderr, "Uso: cronequipo-crearbase ARCHIVO.db [SCRIPT.sql ...]\n");
        return 2;
    }
    try {
        ado::SqliteEngine::create(args[0]);
        auto engine = ado::SqliteEngine::open(args[0]);
        for (const QString& script : args.mid(1)) {
            QFile f(script);
            if (!f.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "No se puede leer %s\n", qPrintable(script));
                return 1;
            }
            engine->executeRaw(QString::fromUtf8(f.readAll()));
        }
    } catch (const ado::EngineError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.records().front().description));
        return 1;
    }
    return 0;
}
