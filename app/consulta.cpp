// Opens one lookup of the suite's database, as another program of the suite would ask for it,
// and prints the choice: a way to try the lookup windows on their own.
//
//   cronequipo-consulta [parameter string] (--tabla NAME | --sql STATEMENT)
//                       [--campo CAPTION] [--devolver CAPTION,...] [--marcas] [--arbol]
#include <QApplication>
#include <cstdio>

#include "lookup/Lib_ClsCons3.h"
#include "platform/Process.h"
#include "platform/Prompt.h"
#include "platform/so/Memoria.h"
#include "startup/Sesion.h"
#include "startup/UltimoRecurso.h"
#include "startup/globals/Globals.h"
#include "widgets/GuardedApplication.h"
#include "widgets/QtPrompter.h"

int main(int argc, char** argv) {
    platform::memoria::ajustaMonticulo();
    platform::GuardedApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    QString sql, campo, parametros;
    std::optional<QStringList> devolver;
    bool marcas = false, arbol = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString a = args[i];
        const bool conValor = i + 1 < args.size();
        if (a == QLatin1String("--tabla") && conValor) {
            sql = args[++i];
        } else if (a == QLatin1String("--sql") && conValor) {
            sql = args[++i];
        } else if (a == QLatin1String("--campo") && conValor) {
            campo = args[++i];
        } else if (a == QLatin1String("--devolver") && conValor) {
            devolver = args[++i].split(QLatin1Char(','), Qt::SkipEmptyParts);
        } else if (a == QLatin1String("--marcas")) {
            marcas = true;
        } else if (a == QLatin1String("--arbol")) {
            arbol = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            std::fprintf(stderr, "Opción desconocida: %s\n", a.toUtf8().constData());
            return 2;
        } else {
            parametros += a + QLatin1Char(' ');
        }
    }
    if (sql.isEmpty()) {
        std::fprintf(stderr, "Falta --tabla o --sql: la tabla o la consulta que se quiere ver.\n");
        return 2;
    }
    platform::setPrompter(std::make_shared<platform::QtPrompter>());
    InstalaUltimoRecurso();
    try {
        QString cadena;
        IniciaSesion(false, parametros, cadena, 3);
        Lib_ClsCons3& consulta = gConsulta();
        consulta.CampoDevuelto = campo;
        consulta.Checks = marcas;
        QString busqueda, condicion;
        consulta.ConsultaSearch(sql, devolver, QString(), busqueda, condicion, QString(), arbol,
                                QString());
        const QString valor = consulta.ValorDevuelto.textOr(QString());
        std::printf("%s\n", valor.toUtf8().constData());
        if (consulta.Valores)
            for (const QString& v : *consulta.Valores)
                std::printf("  %s\n", v.toUtf8().constData());
        return valor.isEmpty() && (!consulta.Valores || consulta.Valores->isEmpty()) ? 1 : 0;
    } catch (const platform::process::ProgramEnded& fin) {
        return fin.status;
    }
}
