#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "platform/Failure.h"
#include "platform/Variant.h"

// What the lookups need from the start-up, which lies above them: configuration values and the
// error prompt of the global routines (the answer 1..7).
struct ServiciosConsulta {
    std::function<QString(const QString& clave)> cfg;
    std::function<int(const platform::ErrorInfo& error, const QString& rutina)> reporta;
    // Starts another program of the suite with the parameter string (the menu's launcher).
    std::function<void(const QString& programa, const QString& parametro)> lanza;
};
ServiciosConsulta& serviciosConsulta();

// How a lookup window reports a failure of its load under the routine's name: through the
// reporter, with the answer deciding. A statement refused because it would change the database
// is told as such, naming the lookup, and ends the load whatever the answer.
int reportaCarga(const platform::ErrorInfo& error, const QString& sentencia, const QString& rutina);

// The shared lookup object: a caller hands it a table name or a statement, it works out the
// statement, shows the list window modally and keeps the user's choice in its properties.
class Lib_ClsCons3 {
  public:
    platform::Variant StkNivel1, StkNivel2, StkNivel3, StkNivel4;
    QString MuestraStock;
    std::optional<QStringList> CmpsDevueltos = QStringList();
    std::optional<QStringList> Valores = QStringList();
    std::optional<QStringList> Cantidades;
    bool Checks = false;
    platform::Variant ValorDevuelto;
    QString gConnString;
    QString gRutaMascaraConsultas;
    bool gUsarMascarasConsultas = false;
    bool UsaCantidades = false;
    QString CampoDevuelto;

    // Reads the stock colours, the stock flag and the LIKE search from the configuration.
    void Inicializa();

    // A lookup: the statement, the list (or tree) window, the choice in ValorDevuelto and
    // Valores. The caller's list is emptied and released on return.
    void ConsultaSearch(QString& SQL, std::optional<QStringList>& CmpsDevueltosLlamador,
                        const QString& Clave, QString& CampoBusqueda, QString& Where,
                        const QString& SentenciaOpcional, bool TreeView,
                        const QString& ValoresDefault);

    // Option lists in the list window. CheckOpciones: each option's first character "1" starts
    // it checked, the rest is its text; the checked texts come back in Valores; answers "".
    // MenuOpciones: the chosen option. ConsultaDesdeArchivo: the chosen line of a text file
    // (`separador` is not used).
    QString CheckOpciones(const QString& titulo, std::optional<QStringList>& cmpsDevueltos,
                          const QStringList& opc);
    QString MenuOpciones(const QString& titulo, const QStringList& opc);
    QString ConsultaDesdeArchivo(const QString& titulo, const QString& queArchivo,
                                 const QString& separador);

  private:
    bool usaLike_ = false;
};

Lib_ClsCons3& gConsulta();
