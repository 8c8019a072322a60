#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>

#include "calendario/OrdenCalendario.h"

struct icaltimetype;

namespace calendario {

// A day as libical's all-day date.
icaltimetype fecha(const QDate& d);
// An instant as libical's time in UTC (DTSTAMP).
icaltimetype instanteUtc(const QDateTime& sello);

// One work order's VEVENT as libical serialises it (every text escaped and folded there), with
// the places of the date digits of UID, DTSTART and DTEND: a visit is that text with its day's
// digits put in, which costs a copy instead of building and serialising a component per visit.
class PlantillaEvento {
  public:
    // False when libical's text does not hold the three dates where they are looked for.
    bool prepara(const OrdenCalendario& o, const QByteArray& claveEscapada,
                 const QByteArray& sufijo, const QDateTime& sello);
    // The event of the visit on `dia` with that SEQUENCE; valid until the next call.
    const QByteArray& para(const QDate& dia, int secuencia = 0);

  private:
    QByteArray texto_;
    qsizetype enUid_ = -1;
    qsizetype enInicio_ = -1;
    qsizetype enFin_ = -1;
    qsizetype enSecuencia_ = -1;
    QByteArray otraSecuencia_;
};

}  // namespace calendario
