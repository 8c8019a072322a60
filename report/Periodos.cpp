#include "report/Periodos.h"

#include "platform/Failure.h"

QDate finDePeriodo(const QDate& inicio, int p) {
    switch (p) {
        case periodicidad::Diario:
            return inicio;
        case periodicidad::Semanal:
            return inicio.addDays(6);
        case periodicidad::Quincenal:
            return inicio.addDays(14);  // two weeks and the day after: fifteen days
        case periodicidad::Mensual:
            return inicio.addMonths(1).addDays(-1);
        case periodicidad::Trimestral:
            return inicio.addMonths(3).addDays(-1);
        case periodicidad::Semestral:
            return inicio.addMonths(6).addDays(-1);
        case periodicidad::Anual:
            return inicio.addYears(1).addDays(-1);
        default:
            platform::raise(platform::errnum::InvalidArgument,
                            QStringLiteral("Periodicidad desconocida: %1").arg(p));
    }
}

std::vector<Periodo> calculaPeriodos(const QDate& desde, const QDate& hasta, int p) {
    std::vector<Periodo> out;
    if (!desde.isValid() || !hasta.isValid()) return out;
    for (QDate inicio = desde; inicio <= hasta;) {
        QDate fin = finDePeriodo(inicio, p);
        if (!fin.isValid() || fin > hasta) fin = hasta;
        out.push_back({inicio, fin});
        inicio = fin.addDays(1);
    }
    return out;
}
