#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <cstdint>

// The UID of a visit: `AAAAMMDD-<clave>-<base>@cronequipo`. The date comes first so that the
// line never folds inside its digits (they are put in place per visit); the order's clave keeps
// [A-Za-z0-9.-] and writes every other UTF-8 byte as `_XX`, which keeps the UID ASCII and tells
// two claves apart; `<base>` is a hash of the database's name, so that two databases never
// share a UID and an export recognises its own events in a file written before.
namespace calendario::uid {

constexpr int kDigitosFecha = 8;

QByteArray claveEnUid(const QString& clave);
// "-<16 hex digits>@cronequipo" for the database named `baseDatos`.
QByteArray sufijoBase(const QString& baseDatos);
QByteArray uid(const QDate& dia, const QByteArray& claveEscapada, const QByteArray& sufijo);

struct Partes {
    QDate dia;
    QByteArrayView clave;  // escaped as in the UID, a view into it
};
// The parts of `texto` when it is a visit's UID ending in `sufijo`; an invalid day otherwise.
Partes partes(QByteArrayView texto, QByteArrayView sufijo);

// A fingerprint of an escaped clave (FNV-1a), to keep many of them in little memory.
std::uint64_t huella(QByteArrayView claveEscapada);

// The eight digits of `dia` at `destino`, without any locale.
void ponFecha(char* destino, const QDate& dia);

}  // namespace calendario::uid
