#pragma once

#include <QByteArray>
#include <QString>

// How our texts reach libical.
namespace calendario {

// A text holds its line breaks as LF alone: libical writes that as \n, and a CR as something no
// reader takes for a line break.
inline QByteArray textoIcal(const QString& s) {
    QString t = s;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t.toUtf8();
}

// libical writes an X- property's value as it is: a line break there would end the line.
inline QByteArray unaLinea(const QString& s) {
    QString t = s;
    t.replace(QLatin1String("\r\n"), QLatin1String(" "));
    t.replace(QLatin1Char('\r'), QLatin1Char(' '));
    t.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return t.toUtf8();
}

}  // namespace calendario
