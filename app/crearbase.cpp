// Creates a database from SQL scripts in the SQL Server dialect: an embedded database file, or,
// given a parameter string of the suite whose server is a real one, that server's database. The
// scripts are translated for the database as every statement of the program is.
#include <QCoreApplication>
#include <QFile>
#include <cstdio>

#include "ado/Connection.h"
#include "ado/ConnectionString.h"
#include "ado/core/Error.h"
#include "ado/sqlite/SqliteEngine.h"
#include "platform/Failure.h"

namespace {

QString leeScript(const QString& script) {
    QFile f(script);
    if (!f.open(QIODevice::ReadOnly)) {
        platform::raise(53, QStringLiteral("No se puede leer %1").arg(script),
                        QStringLiteral("cronequipo-crearbase"));
    }
    return QString::fromUtf8(f.readAll());
}

// Every script is read before anything is created: one that cannot be read leaves no database
// behind.
QStringList leeScripts(const QStringList& scripts) {
    QStringList textos;
    for (const QString& script : scripts) textos << leeScript(script);
    return textos;
}

// The scripts are in the server's dialect and go through the engine's translation, as the
// program's statements do.
void creaArchivo(const QString& archivo, const QStringList& scripts) {
    const QStringList textos = leeScripts(scripts);
    ado::SqliteEngine::create(archivo);
    auto engine = ado::SqliteEngine::open(archivo);
    for (const QString& texto : textos) engine->execute(texto);
}

// "@Server=host,port;@DbName=GESTION;@Usuario=demo;@Password=x;": the database must exist on
// the server and the user must be allowed to create tables in it.
void ejecutaEnServidor(const ado::KeyValues& parametros, const QStringList& scripts) {
    const QString servidor = ado::valueOf(parametros, {"@Server"});
    const QString base = ado::valueOf(parametros, {"@DbName"});
    if (servidor.isEmpty() || base.isEmpty()) {
        platform::raise(5, QStringLiteral("La cadena de parámetros no indica @Server y @DbName."),
                        QStringLiteral("cronequipo-crearbase"));
    }
    const QStringList textos = leeScripts(scripts);
    ado::Connection cnn;
    cnn.open(QStringLiteral("PROVIDER=SQLOLEDB;Server=%1;Database =%2;UId=%3;Pwd=%4;")
                 .arg(servidor, base, ado::valueOf(parametros, {"@Usuario"}),
                      ado::valueOf(parametros, {"@Password"})));
    for (const QString& texto : textos) cnn.execute(texto);
    cnn.close();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 1) {
        std::fprintf(stderr,
                     "Uso: cronequipo-crearbase ARCHIVO.db [SCRIPT.sql ...]\n"
                     "     cronequipo-crearbase \"@Server=SERVIDOR[,PUERTO];@DbName=BASE;"
                     "@Usuario=USUARIO;@Password=CLAVE;\" [SCRIPT.sql ...]\n");
        return 2;
    }
    try {
        ado::KeyValues parametros;
        const bool esServidor = args[0].trimmed().startsWith(QLatin1Char('@')) &&
                                ado::parseConnectionString(args[0], &parametros) &&
                                ado::valueOf(parametros, {"@Server"})
                                        .compare(QLatin1String("sqlite"), Qt::CaseInsensitive) != 0;
        if (esServidor) {
            ejecutaEnServidor(parametros, args.mid(1));
        } else if (args[0].trimmed().startsWith(QLatin1Char('@'))) {
            const QString base = ado::valueOf(parametros, {"@DbName"});
            if (base.isEmpty()) {
                std::fprintf(stderr, "La cadena de parámetros no indica @DbName.\n");
                return 1;
            }
            creaArchivo(ado::sqliteFileFor(base), args.mid(1));
        } else {
            creaArchivo(args[0], args.mid(1));
        }
    } catch (const ado::EngineError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.records().front().description));
        return 1;
    } catch (const platform::Failure& f) {
        std::fprintf(stderr, "%s\n", qPrintable(f.info().description));
        return 1;
    }
    return 0;
}
