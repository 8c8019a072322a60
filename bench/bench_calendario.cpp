// Times the calendar export of a year of daily visits for many work orders: a first export, the
// same one written over it (nothing to cancel) and one with a tenth of the visits gone (those
// cancelled), each after reading the one before for the sequences to keep. Prints seconds, events
// per second, the file's size and the peak memory so far.
#include <sys/resource.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "calendario/EscritorIcs.h"

namespace {

double picoMB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024.0;
}

double procesador() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

OrdenCalendario orden(int i) {
    OrdenCalendario o;
    o.clave = QStringLiteral("%1-MANT%2").arg(i).arg(i % 97, 2, 10, QLatin1Char('0'));
    o.numero = QStringLiteral("0001-%1").arg(i, 8, 10, QLatin1Char('0'));
    o.resumen = QStringLiteral("EQ%1 - Compresor de tornillo, línea %2").arg(i).arg(i % 7);
    o.lugar = QStringLiteral("Planta %1; Cliente Industrias Peña S.A.").arg(i % 13);
    o.descripcion = QStringLiteral(
        "Revisar filtros, correas y niveles.\r\nCambiar aceite "
        "cada 2.000 h; anotar \"horas\" en la planilla.");
    o.tecnico = i % 5 ? QStringLiteral("Técnico %1").arg(i % 40) : QString();
    return o;
}

bool exporta(const QString& ruta, const QString& anterior, int ordenes, int saltaCada,
             const char* titulo) {
    const QDate desde(2026, 1, 1), hasta(2026, 12, 31);
    QElapsedTimer t;
    t.start();
    const double cpu = procesador();
    EscritorIcs e(QStringLiteral("sqlite/GESTION"), QStringLiteral("Cronograma"), desde, hasta,
                  QDateTime(QDate(2026, 1, 1), QTime(8, 0), Qt::UTC));
    QString error;
    if (!anterior.isEmpty()) e.retoma(anterior);
    if (!e.abre(ruta, &error)) return std::fprintf(stderr, "%s\n", qPrintable(error)), false;
    long n = 0;
    for (int i = 0; i < ordenes; ++i) {
        e.orden(orden(i));
        for (QDate d = desde; d <= hasta; d = d.addDays(1), ++n)
            if (saltaCada == 0 || n % saltaCada != 0) e.visita(d);
    }
    if (!e.cierra(anterior, &error)) return std::fprintf(stderr, "%s\n", qPrintable(error)), false;
    const double s = t.nsecsElapsed() / 1e9;
    const double cpuS = procesador() - cpu;
    const qint64 eventos = e.visitas() + e.canceladas();
    std::printf(
        "%-34s %5.2f s (processor %5.2f s)  %8.0f events/s  %lld visits, %lld cancelled  %6.1f MB "
        "file  "
        "peak %5.1f MB\n",
        titulo, s, cpuS, eventos / s, static_cast<long long>(e.visitas()),
        static_cast<long long>(e.canceladas()), QFileInfo(ruta).size() / 1e6, picoMB());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // bench_calendario [work orders]
    const int ordenes = argc > 1 ? std::atoi(argv[1]) : 2000;
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.ics")),
                  b = dir.filePath(QStringLiteral("b.ics")),
                  c = dir.filePath(QStringLiteral("c.ics"));
    std::printf("%d work orders x 365 daily visits; peak memory before: %.1f MB\n", ordenes,
                picoMB());
    const bool ok = exporta(a, QString(), ordenes, 0, "first export") &&
                    exporta(b, a, ordenes, 0, "again over it (nothing cancelled)") &&
                    exporta(c, b, ordenes, 10, "a tenth gone (cancelled)");
    return ok ? 0 : 1;
}
