#include "data/db_dll/DB_Dll.h"
#include "platform/Prompt.h"
#include "platform/Regional.h"

namespace {

enum class Form { Existe, ExisteST, Datos };

int kindOf(const platform::Variant& tipo) {
    if (tipo.isNumber()) return static_cast<int>(tipo.number());
    if (tipo.isText()) return static_cast<int>(platform::leadingNumber(tipo.text()));
    return -1;
}

QString numberOf(const QString& value) {
    return platform::numberText(platform::leadingNumber(value),
                                platform::Regional::current().decimalSeparator)
        .trimmed();
}

// The key statement of the three lookups, written exactly as the suite's programs write it.
QString keyStatement(Form form, const QString& tabla, const QString& campo, const QString& valor,
                     const platform::Variant& tipodato, bool usaTrim) {
    const int kind = kindOf(tipodato);
    // A text value stays a value whatever quotes it holds.
    const QString texto = SuiteLib::tools().SqlSafeText(valor);
    const QString head = form == Form::ExisteST
                             ? QStringLiteral("SELECT * FROM ") + tabla +
                                   QStringLiteral(" with(nolock)   WHERE ") + campo
                             : QStringLiteral("SELECT TOP 1 * FROM ") + tabla +
                                   QStringLiteral(" with(nolock)  WHERE ") + campo;
    switch (kind) {
        case 8:
            if (form == Form::Existe) {
                return QStringLiteral("SELECT TOP 1  * FROM ") + tabla +
                       QStringLiteral(" with(nolock)  WHERE LTRIM(RTRIM(") + campo +
                       QStringLiteral(")) ='") + texto.trimmed() + QStringLiteral("'");
            }
            if (form == Form::Datos && usaTrim) {
                return QStringLiteral("SELECT TOP 1 * FROM ") + tabla +
                       QStringLiteral(" with(nolock)  WHERE LTRIM(RTRIM(") + campo +
                       QStringLiteral(")) ='") + texto.trimmed() + QStringLiteral("' ");
            }
            return head + QStringLiteral(" ='") + texto + QStringLiteral("'") +
                   (form == Form::Datos ? QStringLiteral(" ") : QString());
        case 7:
            if (form == Form::Datos)
                return head + QStringLiteral(" = #") + valor.trimmed() + QStringLiteral("# ");
            return head + QStringLiteral(" = ") + valor.trimmed() + QStringLiteral(" ");
        case 3:
        case 4:
        case 5:
            return head + QStringLiteral(" = ") + numberOf(valor);
        default:
            return head + QStringLiteral(" = ") + valor;
    }
}

// Opens the lookup: a private recordset (closed again) or the caller's one (left open on the
// first row found, read-only or with its own cursor and lock). True when a row was found.
bool openLookup(const QString& sqlPrivate, const QString& sqlCaller, const ado::Connection& cnn,
                DB_Dll::Recordset* Lrcs, bool SoloLectura) {
    if (!Lrcs || !*Lrcs) {
        ado::Recordset rs;
        rs.open(sqlPrivate, cnn, ado::adcursor::ForwardOnly, ado::adlock::ReadOnly);
        const bool found = !rs.bof();
        rs.close();
        return found;
    }
    ado::Recordset& rs = **Lrcs;
    const int cursor = rs.cursorType(), lock = rs.lockType();
    if (rs.state() != ado::adstate::Closed) rs.close();
    if (SoloLectura) {
        rs.open(sqlCaller, cnn, ado::adcursor::ForwardOnly, ado::adlock::ReadOnly);
    } else {
        rs.open(sqlCaller, cnn, cursor, lock);
    }
    return !rs.bof();
}

// The statement of an existence test given a condition instead of a key: `head` ends in the
// table hint, and no second WHERE is added to a condition that has its own.
QString conditionStatement(const QString& head, const QString& condicion) {
    return head +
           (condicion.contains(QLatin1String(" WHERE "), Qt::CaseInsensitive)
                ? QStringLiteral(" ")
                : QStringLiteral(" WHERE ")) +
           condicion;
}

int askOperator(const platform::ErrorInfo& e) {
    return platform::msgBox(e.description, platform::mb::AbortRetryIgnore | platform::mb::Critical,
                            QStringLiteral("Aviso al Operador"));
}

}  // namespace

bool DB_Dll::ExisteEnTabla(const QString& Tabla, const QString& ValorBuscado, const QString& Campo,
                           Recordset* Lrcs, const Variant& Tipodato, const QString& Condicion,
                           bool SoloLectura) {
    bool answer = false;
    QString sql;
    auto steps = platform::Steps::trapping(askOperator);
    steps
        .then([&] {
            if (Condicion.compare(QString(), Qt::CaseInsensitive) == 0) {
                sql = keyStatement(Form::Existe, Tabla, Campo, ValorBuscado, Tipodato, true);
            } else {
                sql = conditionStatement(QStringLiteral("SELECT TOP 1 * FROM ") + Tabla +
                                             QStringLiteral(" with(nolock) "),
                                         Condicion);
            }
        })
        .then([&] { sql = SS_TSinonimos(sql); })
        .then([&] { answer = openLookup(ORACLE_Dicc(sql), sql, gCnn, Lrcs, SoloLectura); });
    steps.run();
    return answer;
}

bool DB_Dll::ExisteEnTablaST(const QString& Tabla, const QString& ValorBuscado,
                             const QString& Campo, Recordset* Lrcs, const Variant& Tipodato,
                             const QString& Condicion, bool SoloLectura) {
    bool answer = false;
    QString sql;
    auto steps = platform::Steps::trapping(askOperator);
    steps
        .then([&] {
            if (Condicion.compare(QString(), Qt::CaseInsensitive) == 0) {
                sql = keyStatement(Form::ExisteST, Tabla, Campo, ValorBuscado, Tipodato, true);
            } else {
                sql = conditionStatement(
                    QStringLiteral("SELECT * FROM ") + Tabla + QStringLiteral(" with(nolock)  "),
                    Condicion);
            }
        })
        .then([&] { answer = openLookup(sql, sql, gDB().gCnn, Lrcs, SoloLectura); });
    steps.run();
    return answer;
}

DB_Dll::Variant DB_Dll::DatosTabla(const QString& Tabla, const QString& ValorBuscado,
                                   const QString& CampoDevuelto, const QString& Campo,
                                   const Variant& Tipodato, const QString& Condicion, bool UsaTrim,
                                   bool IgnoraError) {
    Variant result;
    QString sql;
    Recordset rs;
    auto steps = IgnoraError ? platform::Steps::trapping([&](const platform::ErrorInfo&) {
        result = Variant(QString());
        return 0;
    })
                             : platform::Steps::trapping(askOperator);
    steps
        .then([&] {
            sql = keyStatement(Form::Datos, Tabla, Campo, ValorBuscado, Tipodato, UsaTrim);
            if (Condicion.trimmed().compare(QString(), Qt::CaseInsensitive) != 0)
                sql += QStringLiteral(" AND ") + Condicion;
        })
        .then([&] { AbrirRecordset(sql, rs, &gCnn, 0, 1, -1, true); })
        .then([&] {
            if (!gOpenFlag) {
                result = Variant();
                platform::Steps::leave();
            }
        })
        .then([&] {
            // A recordset that failed to open answers with its own error (3704), which the
            // operator is asked about like any other.
            if (rs->bof()) {
                result = Variant(QString());
            } else {
                result = Variant(oUtil.NoNull(rs->field(CampoDevuelto).value()).toText());
            }
        })
        .then([&] { CierraRecordset(rs); });
    steps.run();
    return result;
}

DB_Dll::Variant DB_Dll::BuscaMaximo(const QString& QueTabla, const QString& QueCampo,
                                    const std::optional<Variant>& Tipo, QString* Condicion) {
    QString local;
    QString* condicion = Condicion;
    for (int pass = 0;; ++pass) {
        QString sql = QStringLiteral("SELECT MAX(") + QueCampo +
                      QStringLiteral(") AS MAYOR FROM ") + QueTabla;
        // An empty condition is taken as none: " WHERE " alone would only be a syntax error.
        if (condicion && !condicion->trimmed().isEmpty())
            sql += QStringLiteral(" WHERE ") + condicion->trimmed();
        ado::Recordset rs;
        rs.open(sql, gCnn, ado::adcursor::ForwardOnly, ado::adlock::ReadOnly);
        if (rs.bof()) return Variant();
        const Variant mayor = oUtil.NoNull(rs.field(QStringLiteral("MAYOR")).value());
        if (pass == 0 &&
            QueTabla.compare(QLatin1String("V_MA_ARTICULOS"), Qt::CaseInsensitive) == 0 &&
            mayor.toText().trimmed().startsWith(QLatin1Char('0'))) {
            if (!condicion) condicion = &local;
            if (condicion->compare(QString(), Qt::CaseInsensitive) == 0) {
                *condicion = QStringLiteral(" substring(ltrim(idarticulo),1,1)<>'0'");
            } else {
                *condicion += QStringLiteral(" and substring(ltrim(idarticulo),1,1)<>'0'");
            }
            rs.close();
            continue;
        }
        rs.close();
        if (Tipo && kindOf(*Tipo) == 7) return mayor;
        return Variant(platform::leadingNumber(mayor.toText()));
    }
}

DB_Dll::Variant DB_Dll::BuscaMinimo(const QString& QueTabla, const QString& QueCampo,
                                    const std::optional<Variant>&, const QString* Condicion) {
    QString sql = QStringLiteral("SELECT MIN(") + QueCampo + QStringLiteral(") AS MENOR FROM ") +
                  QueTabla + QStringLiteral("  with(nolock) ");
    if (Condicion && !Condicion->trimmed().isEmpty())
        sql += QStringLiteral(" WHERE ") + Condicion->trimmed();
    ado::Recordset rs;
    rs.open(sql, gCnn, ado::adcursor::ForwardOnly, ado::adlock::ReadOnly);
    Variant result;
    if (!rs.bof())
        result = Variant(platform::leadingNumber(
            oUtil.NoNull(rs.field(QStringLiteral("MENOR")).value()).toText()));
    rs.close();
    return result;
}

DB_Dll::Variant DB_Dll::BuscaUltimoCodigo(const QString& QueTabla, const QString& QueCampo,
                                          const Variant&, const QString& Condicion) {
    QString sql =
        QStringLiteral("SELECT MAX(") + QueCampo + QStringLiteral(") AS MAYOR FROM ") + QueTabla;
    if (Condicion.trimmed().compare(QString(), Qt::CaseInsensitive) != 0)
        sql += QStringLiteral(" WHERE ") + Condicion;
    ado::Recordset rs;
    rs.open(sql, gCnn, ado::adcursor::ForwardOnly, ado::adlock::ReadOnly);
    Variant result;
    if (!rs.bof())
        result = Variant(platform::leadingNumber(
            oUtil.NoNull(rs.field(QStringLiteral("MAYOR")).value()).toText()));
    rs.close();
    return result;
}
