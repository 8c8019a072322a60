#include "report/ModoLote.h"

#include <QDateTime>

#include "platform/Hoy.h"
#include "platform/Prompt.h"
#include "platform/Regional.h"
#include "report/AvisoBanner.h"
#include "report/CalendarioCronograma.h"
#include "report/GeneradorCronograma.h"
#include "suitelib/SuiteLib.h"

namespace {

// The calendars the options ask for, of the schedule in the database; false when one was not
// written (the operator has been told why).
bool exportaCalendarios(const OpcionesLote& o) {
    bool escritos = true;
    if (!o.ics.isEmpty()) escritos = CalendarioCronograma(o.parametros).guarda(o.ics, false);
    if (!o.icsPorTecnico.isEmpty())
        escritos = CalendarioCronograma(o.parametros).guarda(o.icsPorTecnico, true) && escritos;
    return escritos;
}

}  // namespace

std::optional<OpcionesLote> leeOpcionesLote(const QStringList& argumentos, QString* error) {
    OpcionesLote o;
    const QString hoy =
        platform::Regional::current().formatDate(QDateTime(platform::hoy(), QTime(0, 0)));
    o.parametros.fechaD = o.parametros.fechaH = hoy;
    QStringList resto;
    auto falla = [&](const QString& texto) {
        if (error) *error = texto;
        return std::optional<OpcionesLote>();
    };
    for (int i = 0; i < argumentos.size(); ++i) {
        const QString a = argumentos[i];
        if (!a.startsWith(QLatin1String("--"))) {
            resto << a;
            continue;
        }
        if (a == QLatin1String("--batch")) continue;
        if (i + 1 >= argumentos.size())
            return falla(QStringLiteral("Falta el valor de la opción %1.").arg(a));
        const QString v = argumentos[++i];
        if (a == QLatin1String("--tipo")) {
            bool ok = false;
            const int t = v.toInt(&ok);
            if (!ok || t < 0 || t > 3)
                return falla(QStringLiteral("Tipo de reporte no válido: %1 (de 0 a 3).").arg(v));
            o.parametros.tipo = t;
        } else if (a == QLatin1String("--desde")) {
            o.parametros.fechaD = v;
        } else if (a == QLatin1String("--hasta")) {
            o.parametros.fechaH = v;
        } else if (a == QLatin1String("--periodicidad")) {
            bool ok = false;
            int n = v.toInt(&ok);
            if (!ok) {
                n = -1;
                for (int k = 0; k < 7; ++k)
                    if (v.compare(QString::fromUtf8(kPeriodicidades[k]), Qt::CaseInsensitive) == 0)
                        n = k;
            }
            if (n < 0 || n > 6)
                return falla(
                    QStringLiteral("Periodicidad no válida: %1 (de 0 a 6, o su nombre).").arg(v));
            o.parametros.periodicidad = n;
            o.parametros.periodicidadTexto = QString::fromUtf8(kPeriodicidades[n]);
        } else if (a == QLatin1String("--tecnico-desde")) {
            o.parametros.tecnicoD = v;
        } else if (a == QLatin1String("--tecnico-hasta")) {
            o.parametros.tecnicoH = v;
        } else if (a == QLatin1String("--campos")) {
            for (const QString& c : v.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                const QString k = c.trimmed().toLower();
                if (k == QLatin1String("codigo"))
                    o.parametros.codigo = true;
                else if (k == QLatin1String("descripcion"))
                    o.parametros.descripcion = true;
                else if (k == QLatin1String("cliente"))
                    o.parametros.cliente = true;
                else if (k == QLatin1String("ubicacion"))
                    o.parametros.ubicacion = true;
                else if (k == QLatin1String("tecnico"))
                    o.parametros.tecnico = true;
                else
                    return falla(QStringLiteral("Campo desconocido: %1 (codigo, descripcion, "
                                                "cliente, ubicacion, tecnico).")
                                     .arg(c));
            }
        } else if (a == QLatin1String("--pdf")) {
            o.pdf = v;
        } else if (a == QLatin1String("--xlsx")) {
            o.xlsx = v;
        } else if (a == QLatin1String("--ics")) {
            o.ics = v;
        } else if (a == QLatin1String("--ics-por-tecnico")) {
            o.icsPorTecnico = v;
        } else {
            return falla(QStringLiteral("Opción desconocida: %1").arg(a));
        }
    }
    o.lineaParametros = resto.join(QLatin1Char(' '));
    if ((!o.ics.isEmpty() || !o.icsPorTecnico.isEmpty()) && o.parametros.tipo >= 2)
        return falla(
            QStringLiteral("Solo un cronograma (tipo 0 o 1) tiene visitas para el "
                           "calendario."));
    // The other report types have no dates or technicians, as their fields are emptied.
    if (o.parametros.tipo >= 2) {
        o.parametros.fechaD.clear();
        o.parametros.fechaH.clear();
        o.parametros.tecnicoD.clear();
        o.parametros.tecnicoH.clear();
    }
    return o;
}

int ejecutaLote(const OpcionesLote& o) {
    const ParametrosCronograma& p = o.parametros;
    if (p.tipo == 0 && (p.fechaD.trimmed().isEmpty() || p.fechaH.trimmed().isEmpty())) {
        platform::msgBox(QStringLiteral("De completar los campos de fecha"), platform::mb::Critical,
                         QStringLiteral("Aviso al operador..."));
        return 1;
    }
    if (p.tipo == 0 && !p.hayCamposChecked()) {
        platform::msgBox(
            QStringLiteral("Debe informar un campo para la primera columna del cronograma"),
            platform::mb::Information, QStringLiteral("Aviso al usuario"));
        return 1;
    }
    AvisoMudo aviso;
    GeneradorCronograma generador(aviso);
    bool hecho = true;
    if (o.pdf.isEmpty() && o.xlsx.isEmpty()) {
        hecho = generador.genera(p);
    } else {
        SuiteLib::ReportOutput salida;
        salida.kind = SuiteLib::ReportOutput::Kind::Files;
        salida.pdfPath = o.pdf;
        salida.xlsxPath = o.xlsx;
        SuiteLib::reportRunner().setOutput(salida);
        hecho = generador.GeneraAuxiliar(p);
    }
    // The calendars are of the schedule just generated: a run that was left writes none.
    if (!hecho) return 1;
    return exportaCalendarios(o) ? 0 : 1;
}
