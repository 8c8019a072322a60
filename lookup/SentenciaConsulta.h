#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// How a lookup request turns a table name or a statement into the statement its window shows.
struct PedidoConsulta {
    QString sql;                // a table or view name, or a statement containing SELECT
    QString campoBusqueda;      // search column; filled when empty
    QString where;              // extra condition, rewritten as the request does
    QString sentenciaOpcional;  // used instead of the default statement
    bool usarMascaras = false;  // look the table up in the query-definition file
    QString rutaMascaras;       // that file
    QString topConsArt;         // the configuration's row limit ("TopConsArt")
};

struct SentenciaConsulta {
    // False when the definition names one column and no search column was given: the
    // operator is told to configure the lookup and no window opens.
    bool mostrar = true;
    QString sql;
    QString campoBusqueda;
    QString where;
};

// The fields of "select top 1 * from <table>", by name in order; empty when it cannot be read.
using CamposDeTabla = std::function<QStringList(const QString& tabla)>;

// The statement of a lookup request: the caller's statement, the query-definition file's or
// one built from the table's own fields.
SentenciaConsulta armaSentenciaConsulta(const PedidoConsulta& pedido, const CamposDeTabla& campos);

// F5 in a search box: the window's statement narrowed to the rows whose field matches the box
// text ("*" standing for any text, blanks too in LIKE mode), its "order by" or "group by" tail
// kept at the end. The text is a value: its quotes are doubled. `texto` comes back as the box
// shows it afterwards ("*" made "%" outside LIKE mode); `base` is the statement the filter was
// added to.
struct NuevaBusqueda {
    QString sql;
    QString base;
    QString texto;
};
NuevaBusqueda nuevaBusqueda(const QString& sql, const QString& baseActual, const QString& campo,
                            const QString& texto, bool like);

// What the operator is told when the database refuses a lookup's statement because it would
// change something or is more than one: the lookup (the table it reads, when it names one), that
// a lookup only reads and that nothing ran, then the statement.
QString mensajeSoloLectura(const QString& sentencia);
