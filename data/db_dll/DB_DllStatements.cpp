#include "ado/core/Error.h"
#include "data/db_dll/DB_Dll.h"
#include "platform/Process.h"
#include "platform/Prompt.h"

namespace {

bool contains(const QString& text, const char* what) {
    return text.contains(QLatin1String(what), Qt::CaseInsensitive);
}

QString withoutAdminMarker(QString s) {
    return s.remove(QStringLiteral("@Admin_"), Qt::CaseInsensitive);
}

const QString CRLF = QStringLiteral("\r\n");

}  // namespace

void DB_Dll::rewriteForExecution(QString& sentencia) {
    if (contains(sentencia, "DROP") && contains(sentencia, "CREATE")) {
        if (contains(sentencia, "DELETE")) {
            if (contains(sentencia, "@ADMIN_")) sentencia = withoutAdminMarker(sentencia);
        } else if (contains(sentencia, "@ADMIN_")) {
            sentencia = withoutAdminMarker(sentencia);
        } else {
            sentencia = SS_TSinonimos(sentencia);
        }
        return;
    }
    sentencia = withoutAdminMarker(sentencia);
}

void DB_Dll::execute(QString& SentenciaSQL, qint32& RecordsAffected, Recordset* Lrcs, bool report) {
    rewriteForExecution(SentenciaSQL);
    const bool transactionControl = contains(SentenciaSQL, "TRANS");
    auto warningOnly = [&]() {
        // The server's truncation warning alone does not make the statement a failure.
        const int n = gCnn.errors().count();
        return n >= 1 && n <= 2 && !transactionControl &&
               gCnn.errors().item(0).nativeError == ado::native::StringTruncation;
    };
    try {
        if (contains(gCnn.connectionString(), "ORACLE")) {
            EjecutaScriptOracle(SentenciaSQL, RecordsAffected);
        } else {
            qint64 affected = 0;
            auto rs = gCnn.execute(SentenciaSQL, &affected, -1);
            RecordsAffected = static_cast<qint32>(affected);
            if (Lrcs) *Lrcs = rs;
        }
        if (warningOnly()) gCnn.errors().clear();
    } catch (const platform::Failure& f) {
        if (warningOnly()) {
            gCnn.errors().clear();
            return;
        }
        // A failure that is not the database's own (a closed connection) leaves no record behind;
        // callers judge a statement by the collection, so it must show there too.
        if (gCnn.errors().count() == 0) {
            gCnn.errors().add(
                ado::Error{f.info().number, f.info().description, f.info().source, QString(), 0});
        }
        if (!report) return;
        const qint32 n = f.info().number;
        if (n != ado::code::EFail && n != ado::code::Constraint && n != ado::code::ObjectNotFound &&
            n != ado::code::CommandText && !transactionControl) {
            platform::msgBox(f.info().description, platform::mb::Critical,
                             QStringLiteral("Aviso al operador!!!"));
        }
    } catch (const platform::process::ProgramEnded&) {
        throw;
    } catch (...) {
        // Nothing leaves these methods: the caller reads the errors collection, so whatever
        // stopped the statement (a refused allocation among others) is recorded there.
        const platform::ErrorInfo e = platform::errorOf(std::current_exception());
        if (gCnn.errors().count() == 0) {
            gCnn.errors().add(ado::Error{e.number != 0 ? e.number : ado::code::ErrorsOccurred,
                                         e.description, e.source, QString(), 0});
        }
    }
}

void DB_Dll::EjecutaConsultaSQL(QString& SentenciaSQL, qint32& RecordsAffected, Recordset* Lrcs) {
    execute(SentenciaSQL, RecordsAffected, Lrcs, false);
}

void DB_Dll::EjecutaConsultaRSQL(QString& SentenciaSQL, qint32& RecordsAffected, Recordset* Lrcs) {
    execute(SentenciaSQL, RecordsAffected, Lrcs, true);
}

void DB_Dll::AbrirRecordset(QString& SentenciaSQL, Recordset& Lrcs,
                            const ado::Connection* Conexionactiva, qint32 CursorType,
                            qint32 LockType, qint32 Options, bool ConvOracle) {
    abre(SentenciaSQL, Lrcs, Conexionactiva, CursorType, LockType, Options, ConvOracle, false);
}

void DB_Dll::AbrirLectura(QString& SentenciaSQL, Recordset& Lrcs,
                          const ado::Connection* Conexionactiva) {
    abre(SentenciaSQL, Lrcs, Conexionactiva, ado::adcursor::ForwardOnly, ado::adlock::ReadOnly, -1,
         true, true);
}

void DB_Dll::abre(QString& SentenciaSQL, Recordset& Lrcs, const ado::Connection* Conexionactiva,
                  qint32 CursorType, qint32 LockType, qint32 Options, bool ConvOracle,
                  bool lectura) {
    if (!Lrcs) Lrcs = std::make_shared<ado::Recordset>();
    std::optional<platform::ErrorInfo> rechazo;
    auto handler = [&](const platform::ErrorInfo& e) -> int {
        if (lectura && e.number == ado::code::NotReadOnly) {
            // Repeating the statement would be refused again: the caller says why it was.
            rechazo = e;
            return 0;
        }
        if ((e.number == ado::code::EFail || e.number == ado::code::ConnectionUnusable) &&
            gCnn.errors().count() > 0) {
            ReintentaConectar();
            while (!gOpenFlag) {
                ReintentaConectar();
                if (gOpenFlag) break;
                const QString text =
                    CRLF + CRLF + CRLF +
                    QStringLiteral("Se perdio la conexion con la base de datos ") + gDB().gDBName +
                    CRLF + QStringLiteral(" Servidor ") + gDB().gServidor + CRLF + CRLF +
                    QStringLiteral("Elija SI para reintentar conectarse") + CRLF +
                    QStringLiteral("Elija NO para cerrar la aplicacion") + CRLF + CRLF + CRLF;
                if (platform::msgBox(text, platform::mb::YesNo | platform::mb::Critical,
                                     QStringLiteral("AVISO AL OPERADOR")) == platform::mb::No) {
                    platform::process::exitProgram(1);
                }
            }
        }
        return TratamientoErrores(e, std::nullopt, QStringLiteral("AbrirRecordset"));
    };
    auto open = [&](const QString& text) {
        const ado::Connection& active = Conexionactiva ? *Conexionactiva : gCnn;
        if (lectura) {
            Lrcs->openForReading(text, active, CursorType);
        } else {
            Lrcs->open(text, active, CursorType, LockType, Options);
        }
    };
    auto steps = platform::Steps::trapping(handler);
    steps.then([&] { CierraRecordset(Lrcs); })
        .then([&] { SentenciaSQL = SS_TSinonimos(SentenciaSQL); })
        .then([&] {
            const QString cs = gCnn.connectionString();
            if (cs.indexOf(QLatin1String("ORACLE"), 0, Qt::CaseInsensitive) > 0 && ConvOracle) {
                open(ORACLE_Dicc(SentenciaSQL));
            } else {
                open(SentenciaSQL);
            }
        });
    steps.run();
    if (rechazo) platform::raise(rechazo->number, rechazo->description, rechazo->source);
}

void DB_Dll::CierraRecordset(Recordset& LrcsTemp) {
    if (!LrcsTemp) return;
    bool ignoring = false;
    auto handler = [&](const platform::ErrorInfo& e) -> int {
        if (ignoring) return platform::mb::Ignore;
        if (e.number == ado::code::OperationNotAllowed) {
            ignoring = true;
            return platform::mb::Ignore;
        }
        return TratamientoErrores(e, std::nullopt, QStringLiteral("CierraRecordset"));
    };
    auto steps = platform::Steps::trapping(handler);
    steps
        .then([&] {
            if (LrcsTemp->state() != ado::adstate::Closed) LrcsTemp->close();
        })
        .then([&] {
            if (ignoring) LrcsTemp->cancelUpdate();
        })
        .then([&] {
            if (ignoring && LrcsTemp->state() != ado::adstate::Closed) LrcsTemp->close();
        });
    steps.run();
}
