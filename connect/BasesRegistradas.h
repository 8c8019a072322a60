#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The connections registered on this machine: "BASES.TXT" in the program folder, single-byte
// text with CR LF, one entry of five delimited values per line (a value in double quotes may
// hold commas; blanks around an unquoted value are dropped).
struct BaseRegistrada {
    QString clave;     // "DATABASE / SERVER", what the list shows
    QString base;      // the database name as typed
    QString tercero;   // written with the database name, not used
    QString cuarto;    // stored encoded, read back decoded, not used
    QString servidor;  // the server as typed, ":" and a port optionally, "#" for Oracle
};

// The values of one line by the delimited-text rules; `legible` false when a quote is left open.
QStringList valoresDeLinea(const QString& linea, bool* legible = nullptr);

// The lines of the file's bytes: CR LF, LF and CR alone all end a line.
QStringList lineasDe(const QByteArray& bytes);

// Every entry of the file in order; an entry that cannot be read (a quote left open, fewer than
// five values) is not listed and is told once in the error log of the temporary folder. An empty
// list when the file cannot be opened for reading (missing, not a regular file); a file too large
// to read raises 75 naming it.
std::vector<BaseRegistrada> leeBases(const QString& archivo);

// The first entry whose key, trimmed, equals `clave` trimmed (case-sensitive).
std::optional<BaseRegistrada> buscaBase(const QString& archivo, const QString& clave);

// What choosing an entry puts into the dialog: the server without its port (upper case,
// trimmed), the database, and the port when the entry has one.
struct CamposDeBase {
    QString servidor;
    QString base;
    std::optional<QString> puerto;
};
CamposDeBase camposDe(const BaseRegistrada& b);

// Appends one entry (the fourth value stored encoded) under a lock of the file, after checking
// there that its key is not registered yet; a failure leaves nothing of it. False, with nothing
// written, when a value holds a comma or a double quote (an entry cannot hold them), when the
// key is already there (`yaExiste`), or when the file cannot be written; the reason in `error`.
bool GrabaBaseRegistrada(const QString& archivo, const QString& clave, const QString& valor2,
                         const QString& valor3, const QString& valor4, const QString& servidor,
                         QString* error, bool* yaExiste = nullptr);

// The key a registration writes: "DATABASE / SERVER" upper-cased, without the port.
QString claveDeRegistro(const QString& base, const QString& servidor);
