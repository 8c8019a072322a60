#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>
#include <utility>
#include <vector>

#include "calendario/EscritorIcs.h"
#include "calendario/LectorIcs.h"

// The exports the tests write and read back: orders with their visits, in one file.
namespace prueba_ics {

struct Orden {
    OrdenCalendario o;
    std::vector<QDate> dias;  // a day given n times in a row: n visits on it
};

struct Resultado {
    bool ok = false;
    QString error;
    qint64 visitas = 0;
    qint64 canceladas = 0;
};

inline Resultado exporta(const QString& ruta, const std::vector<Orden>& ordenes,
                         const QString& anterior = QString(),
                         const QString& base = QStringLiteral("sqlite/GESTION"),
                         QDate desde = QDate(1900, 1, 1), QDate hasta = QDate(2100, 12, 31),
                         QDateTime sello = QDateTime(QDate(2026, 3, 1), QTime(9, 30), Qt::UTC)) {
    EscritorIcs e(base, QStringLiteral("Cronograma"), desde, hasta, std::move(sello));
    Resultado r;
    if (!e.abre(ruta, &r.error)) return r;
    for (const Orden& o : ordenes) {
        e.orden(o.o);
        // A day repeated in a row is that many visits on it.
        for (std::size_t i = 0; i < o.dias.size();) {
            std::size_t j = i + 1;
            while (j < o.dias.size() && o.dias[j] == o.dias[i]) ++j;
            e.visita(o.dias[i], static_cast<qint64>(j - i));
            i = j;
        }
    }
    r.ok = e.cierra(anterior, &r.error);
    r.visitas = e.visitas();
    r.canceladas = e.canceladas();
    return r;
}

inline std::vector<EventoIcs> lee(const QString& ruta) {
    std::vector<EventoIcs> r;
    QString error;
    if (!leeIcs(
            ruta, [&](const EventoIcs& e) { r.push_back(e); }, &error))
        r.clear();
    return r;
}

inline QByteArray bytes(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void escribe(const QString& ruta, const QByteArray& b) {
    QFile f(ruta);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(b);
}

}  // namespace prueba_ics
