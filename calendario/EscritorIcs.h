#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <compare>
#include <cstdint>
#include <string>
#include <vector>

#include "calendario/OrdenCalendario.h"
#include "calendario/PlantillaEvento.h"
#include "calendario/SalidaArchivo.h"

// The planned visits of a schedule as one calendar file, written as they come: each visit is an
// all-day event whose UID stays the same for the same database, order and day, so that a
// calendar that imports the file again updates its events instead of repeating them.
class EscritorIcs {
  public:
    // `baseDatos` (server and database) goes into every UID; `desde`/`hasta` is the range
    // exported, written into the calendar's head; `sello` is every event's DTSTAMP (now when it is
    // invalid); `nombre` the calendar's name.
    EscritorIcs(QString baseDatos, QString nombre, QDate desde, QDate hasta, QDateTime sello);

    // Optional, before the first visit, when the export replaces an earlier one: reads
    // `anterior` (the file cierra() will take) once, so that a visit written again after it was
    // cancelled there gets a SEQUENCE above the cancellation's, and one whose SEQUENCE was raised
    // keeps it: a calendar keeps the higher of two versions of an event.
    void retoma(const QString& anterior);
    // Creates or empties `ruta` and writes the calendar's head.
    bool abre(const QString& ruta, QString* error);
    // The visits that follow are this order's.
    void orden(const OrdenCalendario& o);
    // All-day events of the current order on `dia`, `veces` of them (at least one): the second
    // and later are events of their own, with identities of their own, or a calendar would keep
    // one of them. A day before any order, invalid or beyond year 9999 is not written.
    void visita(const QDate& dia, qint64 veces = 1);
    // Ends the file. Every event of `anterior` (the export written before at the same target,
    // never `ruta` itself) of this database, within [desde, hasta] and not among the visits just
    // written is written again cancelled, with its SEQUENCE one higher (an event cancelled
    // already stays as it was), so that a calendar that imports the new file drops it. A file
    // that is missing or is no calendar cancels nothing. False with the reason when the file
    // could not be written whole.
    bool cierra(const QString& anterior, QString* error);

    qint64 visitas() const { return visitas_; }
    qint64 canceladas() const { return canceladas_; }

  private:
    bool escribeCabeza(QString* error);
    void escribeVisita(const QDate& dia);
    void cancelaDe(const QString& anterior);
    void guardaSecuencia(const std::string& texto);
    int secuencia(const QDate& dia) const;
    bool seCancela(QByteArrayView uid) const;
    void cancela(const std::string& texto);

    QString baseDatos_;
    QString nombre_;
    QDate desde_;
    QDate hasta_;
    QDateTime sello_;
    QByteArray sufijo_;
    std::string selloTexto_;  // DTSTAMP's value, for the events cancelled in their own text
    QString ruta_;
    QByteArray pie_;
    calendario::SalidaArchivo salida_;
    calendario::PlantillaEvento plantilla_;
    bool hayOrden_ = false;
    OrdenCalendario actual_;  // the order whose visits are being written
    QString fallo_;
    // The claves of the orders seen, escaped as in the UIDs, by their number; a visit written is
    // (number << 32 | julian day), sorted at the end to tell the cancelled ones.
    QHash<QByteArray, quint32> ordenes_;
    quint32 ordenActual_ = 0;
    std::vector<std::uint64_t> escritas_;
    // The events of the previous export whose visit, written again, needs a SEQUENCE above 0:
    // (fingerprint of the clave, julian day, that SEQUENCE), sorted.
    struct Previa {
        std::uint64_t huella = 0;
        qint64 dia = 0;
        int secuencia = 0;
        auto operator<=>(const Previa&) const = default;
    };
    std::vector<Previa> previas_;
    std::uint64_t huellaActual_ = 0;
    qint64 visitas_ = 0;
    qint64 canceladas_ = 0;
};
