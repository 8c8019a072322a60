#pragma once

#include <QString>
#include <optional>

// One record of the query-definition file "consultas.vln": 1202-byte records of single-byte text
// padded with blanks (title 100, table 100, columns 500, filter 500, CR LF).
struct RegistroConsulta {
    QString titulo;
    QString tabla;
    QString columnas;
    QString filtro;
};

// The first record whose table, trimmed (and with the characters 0 and 255 taken out), equals
// `tabla` without regard to case. No value when the file is missing, cannot be read or has no
// such record; a damaged tail (a record cut short) ends the search there.
std::optional<RegistroConsulta> buscaConsulta(const QString& archivo, const QString& tabla);
