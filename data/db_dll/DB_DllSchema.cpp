#include "data/db_dll/DB_Dll.h"
#include "data/db_dll/Dialects.h"
#include "platform/Process.h"
#include "platform/Regional.h"

namespace {

// The connection of a data-access object as the Oracle script runner sees it.
class ConnectionTarget : public dbdll::ScriptTarget {
  public:
    explicit ConnectionTarget(ado::Connection& c) : c_(c) {}
    void beginTrans() override { c_.beginTrans(); }
    void commitTrans() override { c_.commitTrans(); }
    void rollbackTrans() override { c_.rollbackTrans(); }
    qint64 execute(const QString& statement) override {
        qint64 n = 0;
        c_.execute(statement, &n, -1);
        return n < 0 ? 0 : n;
    }
    int errorCount() const override { return c_.errors().count(); }
    qint32 errorNumber(int index) const override { return c_.errors().item(index).number; }
    void clearErrors() override { c_.errors().clear(); }

  private:
    ado::Connection& c_;
};

}  // namespace

bool DB_Dll::ExisteTablaDB(const QString& Tabla) {
    bool result = false;
    Recordset rs;
    auto steps = platform::Steps::trapping([](const platform::ErrorInfo& e) {
        return gDB().TratamientoErrores(e, std::nullopt, QStringLiteral("VerificaCampos"));
    });
    steps.then([&] { rs = gCnn.openSchema(ado::adschema::Tables); })
        .then([&] {
            if (rs->bof()) platform::Steps::leave();
        })
        .then([&] {
            while (!rs->eof()) {
                if (rs->field(QStringLiteral("TABLE_NAME"))
                        .value()
                        .textOr(QString())
                        .trimmed()
                        .compare(Tabla.trimmed(), Qt::CaseInsensitive) == 0) {
                    result = true;
                    return;
                }
                rs->moveNext();
            }
        });
    steps.run();
    return result;
}

bool DB_Dll::ExisteCampoDB(const QString& Tabla, const QString& Campo) {
    if (gDB().gProveedor.contains(QLatin1String("ORACLE"), Qt::CaseInsensitive)) return true;
    bool result = false;
    Recordset rs;
    auto steps = platform::Steps::trapping([](const platform::ErrorInfo& e) {
        return gDB().TratamientoErrores(e, std::nullopt, QStringLiteral("VerificaCampos"));
    });
    steps
        .then([&] {
            rs = gCnn.openSchema(ado::adschema::Columns,
                                 {Variant(gDBName), Variant(), Variant(Tabla), Variant()});
        })
        .then([&] {
            if (rs->bof()) return;
            while (!rs->eof()) {
                if (rs->field(QStringLiteral("COLUMN_NAME"))
                        .value()
                        .textOr(QString())
                        .trimmed()
                        .compare(Campo.trimmed(), Qt::CaseInsensitive) == 0) {
                    result = true;
                    return;
                }
                rs->moveNext();
            }
        });
    steps.run();
    return result;
}

bool DB_Dll::VerCampoDB(const QString& Tabla, const QString& Campo, bool Agregar,
                        const QString& Tipo, bool PermiteNulos,
                        const std::optional<Variant>& ValorDefault) {
    if (ExisteTablaDB(Tabla) && !ExisteCampoDB(Tabla, Campo) && Agregar)
        AddField(Tabla, Campo, Tipo, PermiteNulos, ValorDefault);
    return true;
}

void DB_Dll::AddField(const QString& Tabla, const QString& Campo, const QString& Tipo,
                      bool PermiteNulos, const std::optional<Variant>& ValorDefault) {
    QString sql;
    auto steps = platform::Steps::trapping([](const platform::ErrorInfo& e) {
        return gDB().TratamientoErrores(e, std::nullopt, QStringLiteral("errAddField"));
    });
    steps
        .then([&] {
            const QString nulls =
                PermiteNulos ? QStringLiteral(" Null ") : QStringLiteral(" Not Null ");
            const QString def = ValorDefault ? QStringLiteral(" CONSTRAINT DF_") + Tabla.trimmed() +
                                                   QStringLiteral("_") + Campo.trimmed() +
                                                   QStringLiteral(" DEFAULT (") +
                                                   ValorDefault->toText() + QStringLiteral(")")
                                             : QString();
            sql = QStringLiteral("ALTER TABLE dbo.") + Tabla + QStringLiteral(" ADD ") + Campo +
                  QStringLiteral(" ") + Tipo + nulls + def;
        })
        .then([&] {
            qint32 n = 0;
            EjecutaConsultaSQL(sql, n, nullptr);
        });
    steps.run();
}

QString DB_Dll::SS_TSinonimos(const QString& SQL) {
    return dbdll::ssTSinonimos(SQL, gEsAdmin, gSSConfidencialidad,
                               platform::process::programName());
}

QString DB_Dll::ORACLE_Dicc(const QString& Valor) {
    return dbdll::oracleDicc(Valor, gConnString, platform::Regional::current());
}

QString DB_Dll::DescartaSentenciaOracle(QString& SQL) {
    return dbdll::descartaSentenciaOracle(SQL);
}

void DB_Dll::EjecutaScriptOracle(QString& Script, qint32& RecordsAffected) {
    ConnectionTarget target(gCnn);
    dbdll::ejecutaScriptOracle(Script, RecordsAffected, target, gConnString,
                               platform::Regional::current());
}
