#include "data/db_dll/DB_Dll.h"

#include "ado/core/Error.h"
#include "data/db_dll/ErrorLog.h"
#include "platform/Process.h"
#include "platform/Prompt.h"
#include "platform/TextFile.h"

bool gSSConfidencialidad = false;

namespace {

std::unique_ptr<DB_Dll>& shared() {
    static std::unique_ptr<DB_Dll> db;
    return db;
}

DB_Dll::DialogoConexion& dialogoConexion() {
    static DB_Dll::DialogoConexion d;
    return d;
}

const QString CR = QStringLiteral("\r");
const QString CRLF = QStringLiteral("\r\n");

}  // namespace

DB_Dll& gDB() {
    if (!shared()) shared() = std::make_unique<DB_Dll>();
    return *shared();
}

void resetSharedDB() {
    shared().reset();
}

void DB_Dll::setDialogoConexion(DialogoConexion dialog) {
    dialogoConexion() = std::move(dialog);
}

// ---------------------------------------------------------------------------------------------
// Connections

void DB_Dll::ArmaConnString() {
    if (gServidor.contains(QLatin1Char('#'))) {
        gConnString = QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=") + gDBName +
                      QStringLiteral(";User Id=") + gUsuario + QStringLiteral(";Password=") +
                      gUserPassWord + QStringLiteral(";");
        return;
    }
    gConnString = QStringLiteral("PROVIDER=") + pSQLOLEDB() + QStringLiteral(";") +
                  QStringLiteral("Server=") + gServidor + QStringLiteral(";") +
                  QStringLiteral("Database =") + gDBName + QStringLiteral(";") +
                  QStringLiteral("UId=") + gUsuario + QStringLiteral(";") + QStringLiteral("Pwd=") +
                  gUserPassWord + QStringLiteral(";") + gExtended;
}

void DB_Dll::PideDatosConexion() {
    DatosConexion datos;
    datos.TxtDbName = gDBName;
    datos.TxtServidor = gServidor;
    datos.TxtUserId = gUsuario;
    datos.TxtUserPassword = gUserPassWord;
    datos.CboPlataformaDB = plataformaElegida_;
    datos.Entrada = entradaElegida_;
    const DatosConexion r = dialogoConexion() ? dialogoConexion()(datos) : DatosConexion{};
    if (!r.Aceptar) {
        gOpenFlag = false;
        return;
    }
    gOpenFlag = true;
    entradaElegida_ = r.Entrada;
    plataformaElegida_ = r.CboPlataformaDB;
    gDBName = r.TxtDbName;
    gServidor = r.TxtServidor;
    gUsuario = r.TxtUserId;
    gUserPassWord = r.TxtUserPassword;
    if (r.CboPlataformaDB > 0) {
        gProveedor = QStringLiteral("OraOLEDB.Oracle.1");
        if (!gServidor.contains(QLatin1Char('#'))) gServidor += QLatin1Char('#');
    } else {
        gProveedor = pSQLOLEDB();
    }
}

namespace {

// What the operator reads when the server refuses the connection, with what to check.
QString textoFalloConexion(const ado::Error& first) {
    return QStringLiteral(" Estado de Sql: ") + first.sqlState + CR +
           QStringLiteral("Numero de Error: ") + QString::number(first.number) + CR +
           QStringLiteral("Descripcion: ") + first.description + CR +
           QStringLiteral("Codigo Nativo: ") + QString::number(first.nativeError) + CR + CRLF +
           QStringLiteral("Nombre de Proceso: ") + platform::process::programName() + CR + CRLF +
           CRLF + QStringLiteral("1. Verifique el Usuario, contraseña y base de datos") + CRLF +
           QStringLiteral(
               "2. Verifique el nombre del servidor, quizas necesite agregarle el "
               "nombre de la instancia, por ejemplo : ") +
           gDB().gServidor + QStringLiteral("\\CORDAVISTEL") + CRLF +
           QStringLiteral("3. Verifique si el inicio de sesion para el usuario ") + gDB().gUsuario +
           QStringLiteral(" existe") + CRLF + CRLF + CRLF +
           QStringLiteral(" - Desea Intentarlo Nuevamente??? ");
}

}  // namespace

void DB_Dll::cierraParaReabrir(bool& cerradaUnaVez) {
    cerradaUnaVez = true;
    try {
        gCnn.close();
    } catch (...) {
        // Already closed: the repeated step opens it anyway.
    }
}

// The operator may correct the connection data and try again.
int DB_Dll::preguntaReintento() {
    const int answer = platform::msgBox(textoFalloConexion(gCnn.errors().item(0)),
                                        platform::mb::YesNo | platform::mb::Critical,
                                        QStringLiteral(" Error de Conexion a Base de Datos"));
    if (answer != platform::mb::Yes) {
        gOpenFlag = false;
        return 0;
    }
    gCnn.errors().clear();
    PideDatosConexion();
    if (!gOpenFlag) return 0;
    ArmaConnString();
    return platform::mb::Retry;
}

// A connection that was open already is closed, once, and the failing step repeated; the server's
// own refusals go to the operator when MuestraError asks for it.
int DB_Dll::respondeFalloConexion(const platform::ErrorInfo& e, bool MuestraError,
                                  bool& cerradaUnaVez) {
    if (MuestraError && gCnn.errors().count() >= 1) return preguntaReintento();
    if (e.number == ado::code::ObjectOpen && !cerradaUnaVez) {
        cierraParaReabrir(cerradaUnaVez);
        return platform::mb::Retry;
    }
    if (MuestraError) platform::msgBox(e.description, platform::mb::OkOnly, QString());
    gOpenFlag = false;
    return 0;
}

void DB_Dll::OpenServerADODB(bool PideParametrosSQL, qint32 lCursor, const QString& ConnString,
                             bool ValidaAdmin, bool MuestraError) {
    bool cerradaUnaVez = false;
    auto steps = platform::Steps::trapping([&](const platform::ErrorInfo& e) {
        return respondeFalloConexion(e, MuestraError, cerradaUnaVez);
    });
    steps.then([&] { gOpenFlag = true; })
        .then([&] {
            if (gProveedor.compare(QString(), Qt::CaseInsensitive) == 0) gProveedor = pSQLOLEDB();
        })
        .then([&] {
            if (!ConnString.trimmed().isEmpty()) {
                gConnString = ConnString;
            } else {
                ArmaConnString();
            }
        })
        .then([&] {
            if (!PideParametrosSQL) return;
            PideDatosConexion();
            if (!gOpenFlag) platform::Steps::leave();
            ArmaConnString();
        })
        .then([&] { gCnn.setCursorLocation(lCursor); })
        .then([&] { gCnn.open(gConnString, QString(), QString(), -1); })
        .then([&] {
            if (!ValidaAdmin) {
                gEsAdmin = true;
                platform::Steps::leave();
            }
        })
        .then([&] {
            if (gDBName.trimmed().isEmpty()) platform::Steps::leave();
        })
        .then([&] { gCnn.setDefaultDatabase(gDBName); })
        .then([&] {
            if (!gDB().ExisteTablaDB(QStringLiteral("TA_USUARIOS"))) platform::Steps::leave();
        })
        .then([&] {
            if (!MuestraError) {
                gEsAdmin = true;
                platform::Steps::leave();
            }
        })
        .then([&] {
            const Variant v =
                DatosTabla(QStringLiteral("ta_usuarios"), gUsuario, QStringLiteral("Administrador"),
                           QStringLiteral("nombre"), Variant(8), QString(), true, false);
            gEsAdmin = platform::leadingNumber(v.textOr(QString())) == 1;
        });
    steps.run();
}

void DB_Dll::ReintentaConectar() {
    auto handler = [&](const platform::ErrorInfo& e) -> int {
        if (e.number == ado::code::ObjectClosed) return platform::mb::Ignore;
        gOpenFlag = false;
        if (e.number == ado::code::EFail) return 0;
        return TratamientoErrores(e, std::nullopt, QStringLiteral("AbrirRecordset"));
    };
    auto steps = platform::Steps::trapping(handler);
    steps.then([&] { gOpenFlag = false; })
        .then([&] { gCnn.setCommandTimeout(5); })
        .then([&] { gCnn.close(); })
        .then([&] { gCnn.open(gCnn.connectionString(), gDB().gUsuario, gDB().gUserPassWord, -1); })
        .then([&] { gOpenFlag = true; });
    steps.run();
}

void DB_Dll::OpenLocalADODB(const QString& ConnString, const QString& CadenaID,
                            const QString& CadenaPWD) {
    QString passwordText;
    for (;;) {
        // File choice; a cancel ends the method without opening anything.
        auto chooseFile = [&]() -> bool {
            if (!CmdDlg) CmdDlg = std::make_shared<SuiteLib::FileDialog>();
            CmdDlg->SetDialogTitle(QStringLiteral("Buscar Base de Datos"));
            CmdDlg->SetFilter(QStringLiteral("Base de Datos de Microsoft Access |*.MDB"));
            CmdDlg->ShowOpen();
            gDBName = CmdDlg->GetFileName();
            return !CmdDlg->GetCancelled();
        };
        QString text;
        try {
            if (gDBName.trimmed().isEmpty() && !chooseFile()) return;
            if (ConnString.compare(QString(), Qt::CaseInsensitive) != 0) {
                text = ConnString;
            } else {
                text = QStringLiteral("PROVIDER=") + gProveedor + QStringLiteral(";") +
                       QStringLiteral("Data Source =") + gDBName + QStringLiteral(";") + CadenaID +
                       QStringLiteral("=") + gUsuario + QStringLiteral(";") + CadenaPWD +
                       QStringLiteral("=") + gUserPassWord + QStringLiteral(";") + gExtended;
            }
            text += passwordText;
            gCnn.open(text, QString(), QString(), -1);
            gConnString = text;
            return;
        } catch (const platform::Failure& f) {
            const auto e = f.info();
            const QString shown = QString::number(e.number) + QStringLiteral("  ") + e.description;
            if (gCnn.errors().count() == 0) {
                platform::msgBox(shown, platform::mb::Critical, QString());
                return;
            }
            const QString state = gCnn.errors().item(0).sqlState;
            if (state == QLatin1String("3024") || state == QLatin1String("3051") ||
                state == QLatin1String("3044")) {
                if (!chooseFile()) return;
                continue;
            }
            if (state == QLatin1String("3031")) {
                if (gIgnoraPassWord.toBool()) {
                    passwordText = QStringLiteral("Jet OLEDB:Database Password=") + gUserPassWord +
                                   QStringLiteral(";");
                } else {
                    const auto typed = platform::inputBox(QStringLiteral("ingrese el password:"),
                                                          QStringLiteral("Password Access"));
                    passwordText = QStringLiteral(" Jet OLEDB:Database Password=") +
                                   typed.value_or(QString()) + QStringLiteral(";");
                }
                continue;
            }
            platform::msgBox(shown, platform::mb::Critical, QString());
            return;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Error treatment

void DB_Dll::setArchivoErrores(const Variant& value) {
    gLogErr = value.toText();
}

qint16 DB_Dll::TratamientoErrores(const platform::ErrorInfo& CodErr, std::optional<qint32> Botones,
                                  std::optional<QString> Rutina) {
    QString logPath;
    if (gLogErr.compare(QString(), Qt::CaseInsensitive) != 0) {
        logPath = gLogErr;
    } else {
        logPath = platform::process::programFolder();
        if (!logPath.endsWith(QLatin1Char('\\')) && !logPath.endsWith(QLatin1Char('/')))
            logPath += QLatin1Char('\\');
        logPath += QStringLiteral("VLERR.LOG");
    }
    const QString message = errorlog::message(CodErr);
    const QString routine = Rutina ? QStringLiteral(" - ") + *Rutina : QString();
    const QString title = CodErr.source + routine + QStringLiteral(" Aviso al operador!!! - 5 ");
    const qint32 buttons =
        Botones.value_or(platform::mb::AbortRetryIgnore | platform::mb::Critical);
    if (CodErr.number == 0) return 0;

    const int answer = platform::msgBox(message, buttons, title);
    errorlog::append(logPath, errorlog::line(routine, message, answer));
    return static_cast<qint16>(answer);
}
