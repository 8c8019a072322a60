#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "platform/Failure.h"
#include "platform/Variant.h"
#include "suitelib/SuiteLib.h"

namespace dbdll {
class ScriptTarget;
}

// The data-access class: every statement of the program goes through one of these objects.
// Outcomes are reported through its fields (gOpenFlag, gEsAdmin, ...) and the connection's
// errors collection; failures are handled inside each method as its own convention says.
class DB_Dll {
  public:
    using Recordset = std::shared_ptr<ado::Recordset>;
    using Variant = platform::Variant;

    // ---- fields ----
    std::shared_ptr<SuiteLib::FileDialog> CmdDlg;
    bool gOpenFlag = false;
    Variant gIgnoraPassWord;
    ado::Connection gCnn;
    Recordset glrcs;
    Variant gCursorLocation;
    QString gProveedor;
    QString gDsn;
    QString gServidor;
    QString gDBName;
    QString gUsuario;
    bool gEsAdmin = false;
    QString gUserPassWord;
    QString gConnString;
    QString gExtended;
    QString gLogErr;
    bool ParametrosSQL = false;
    qint16 gVLTimeOut = 0;

    // ---- connections ----
    void OpenServerADODB(bool PideParametrosSQL, qint32 lCursor, const QString& ConnString,
                         bool ValidaAdmin, bool MuestraError);
    void ReintentaConectar();
    void OpenLocalADODB(const QString& ConnString, const QString& CadenaID,
                        const QString& CadenaPWD);
    QString pJETOLEDB40() const { return QStringLiteral("Microsoft.Jet.OLEDB.4.0"); }
    QString pJETOLEDB35() const { return QStringLiteral("Microsoft.Jet.OLEDB.3.51"); }
    QString pSQLOLEDB() const { return QStringLiteral("SQLOLEDB"); }
    void ArmaConnString();
    void PideDatosConexion();

    // ---- statements and recordsets ----
    void EjecutaConsultaSQL(QString& SentenciaSQL, qint32& RecordsAffected, Recordset* Lrcs);
    void EjecutaConsultaRSQL(QString& SentenciaSQL, qint32& RecordsAffected, Recordset* Lrcs);
    void AbrirRecordset(QString& SentenciaSQL, Recordset& Lrcs,
                        const ado::Connection* Conexionactiva = nullptr, qint32 CursorType = 0,
                        qint32 LockType = 1, qint32 Options = -1, bool ConvOracle = true);
    // As AbrirRecordset (forward-only, read-only), for a statement that may only read, as a
    // lookup's: the database refuses before running it anything that would change it. That
    // refusal (ado::code::NotReadOnly) goes to the caller as a failure; every other failure is
    // treated as AbrirRecordset treats it.
    void AbrirLectura(QString& SentenciaSQL, Recordset& Lrcs,
                      const ado::Connection* Conexionactiva = nullptr);
    void CierraRecordset(Recordset& LrcsTemp);
    void QConsulta(const QString&, const QString&, const QString&, const QString&, const QString&,
                   const QString&) {}
    void QGridConsulta(const QString&, const QString&, const QString&, const QString&,
                       const QString&) {}

    // ---- SQL values ----
    static bool adodate(const Variant& Qtype);
    static bool ADOText(const Variant& Qtype);
    static bool ADONumeric(const Variant& Qtype);
    static bool ADOCurrency(const Variant& Qtype);
    static bool ADOBoolean(const Variant& Qtype);
    static QString ADOComilla(const Variant& Qtype);
    Variant SQLValue(const Variant& Valor, const QString& Tipo);
    QString stSTF(QString& rsName, qint16 rnPart);
    QString AddBrackets(const QString& rObjName);
    QString StripConnect(const QString& rsTblName);
    QString StripBrackets(const QString& rsObjName);
    QString StripOwner(QString& rsTblName);
    QString StripFileName(const QString& rsFileName);

    // ---- table lookups ----
    bool ExisteEnTabla(const QString& Tabla, const QString& ValorBuscado, const QString& Campo,
                       Recordset* Lrcs = nullptr, const Variant& Tipodato = Variant(8),
                       const QString& Condicion = {}, bool SoloLectura = true);
    bool ExisteEnTablaST(const QString& Tabla, const QString& ValorBuscado, const QString& Campo,
                         Recordset* Lrcs = nullptr, const Variant& Tipodato = Variant(8),
                         const QString& Condicion = {}, bool SoloLectura = true);
    Variant DatosTabla(const QString& Tabla, const QString& ValorBuscado,
                       const QString& CampoDevuelto, const QString& Campo,
                       const Variant& Tipodato = Variant(8), const QString& Condicion = {},
                       bool UsaTrim = true, bool IgnoraError = false);
    // `Condicion` absent is a null pointer; BuscaMaximo may extend the caller's condition.
    Variant BuscaMaximo(const QString& QueTabla, const QString& QueCampo,
                        const std::optional<Variant>& Tipo = std::nullopt,
                        QString* Condicion = nullptr);
    Variant BuscaMinimo(const QString& QueTabla, const QString& QueCampo,
                        const std::optional<Variant>& Tipo = std::nullopt,
                        const QString* Condicion = nullptr);
    Variant BuscaUltimoCodigo(const QString& QueTabla, const QString& QueCampo,
                              const Variant& Tipo = Variant(), const QString& Condicion = {});

    // ---- schema and dictionary ----
    bool ExisteTablaDB(const QString& Tabla);
    bool ExisteCampoDB(const QString& Tabla, const QString& Campo);
    bool VerCampoDB(const QString& Tabla, const QString& Campo, bool Agregar, const QString& Tipo,
                    bool PermiteNulos, const std::optional<Variant>& ValorDefault = std::nullopt);
    void AddField(const QString& Tabla, const QString& Campo, const QString& Tipo,
                  bool PermiteNulos, const std::optional<Variant>& ValorDefault = std::nullopt);
    QString SS_TSinonimos(const QString& SQL);
    QString ORACLE_Dicc(const QString& Valor);

    // ---- error treatment ----
    qint16 TratamientoErrores(const platform::ErrorInfo& CodErr,
                              std::optional<qint32> Botones = std::nullopt,
                              std::optional<QString> Rutina = std::nullopt);
    Variant ArchivoErrores() const { return Variant(gLogErr); }
    void setArchivoErrores(const Variant& value);  // a null raises the invalid-use error

    // What the connection dialog answers; set by the dialog's own module. Until one is set the
    // dialog behaves as cancelled.
    struct DatosConexion {
        bool Aceptar = false;
        QString TxtDbName, TxtServidor, TxtUserId, TxtUserPassword;
        int CboPlataformaDB = 0;  // 0 SQL Server, above 0 Oracle
        QString Entrada;          // the registered connection chosen in the list, "" when none
    };
    using DialogoConexion = std::function<DatosConexion(const DatosConexion& initial)>;
    static void setDialogoConexion(DialogoConexion dialog);

  private:
    // The answers to a failure of OpenServerADODB's steps.
    int respondeFalloConexion(const platform::ErrorInfo& e, bool MuestraError, bool& cerradaUnaVez);
    int preguntaReintento();
    void cierraParaReabrir(bool& cerradaUnaVez);
    void EjecutaScriptOracle(QString& Script, qint32& RecordsAffected);
    QString DescartaSentenciaOracle(QString& SQL);
    void rewriteForExecution(QString& sentencia);
    void execute(QString& SentenciaSQL, qint32& RecordsAffected, Recordset* Lrcs, bool report);
    void abre(QString& SentenciaSQL, Recordset& Lrcs, const ado::Connection* Conexionactiva,
              qint32 CursorType, qint32 LockType, qint32 Options, bool ConvOracle, bool lectura);
    bool lookupTrap(const std::function<void()>& body, std::vector<std::function<void()>> steps);

    SuiteLib::Tools oUtil;
    // What the user chose besides the fields the last time the dialog was accepted: asked
    // again after a failed connection, the dialog comes back with it.
    QString entradaElegida_;
    int plataformaElegida_ = 0;
};

// The shared instance for the suite's database, created on first use.
DB_Dll& gDB();
// Tests start again from a new shared instance.
void resetSharedDB();

// Program-wide flag of the configuration: restricted views also for statements on MV_ASIENTOS.
extern bool gSSConfidencialidad;
