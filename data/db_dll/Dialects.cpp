#include "data/db_dll/Dialects.h"

#include <array>

#include "platform/Failure.h"

namespace dbdll {

namespace {

constexpr Qt::CaseSensitivity CI = Qt::CaseInsensitive;

bool equalsCi(const QString& a, const QString& b) {
    return a.compare(b, CI) == 0;
}

bool namesOracle(const QString& connString) {
    return connString.contains(QLatin1String("ORACLE"), CI);
}

// The platform's Trim: blanks only, line breaks and tabs stay.
QString trimBlanks(const QString& s) {
    qsizetype from = 0;
    qsizetype to = s.size();
    while (from < to && s.at(from) == QLatin1Char(' ')) ++from;
    while (to > from && s.at(to - 1) == QLatin1Char(' ')) --to;
    return s.mid(from, to - from);
}

int wordCount(const QString& text) {
    return int(text.split(QLatin1Char(' '), Qt::SkipEmptyParts).size());
}

void replaceAll(QString& text, QLatin1String find, QLatin1String with) {
    text.replace(find, with, CI);
}

// --- Restricted views -------------------------------------------------------------------------

struct ViewGroup {
    QLatin1String table;
    QLatin1String view;
    std::array<QLatin1String, 2> exemptPrograms;  // programs that read the real view
};

const std::array<ViewGroup, 7> kViewGroups{{
    {QLatin1String("MA_CUENTAS"), QLatin1String("SS_MA_CUENTAS"), {}},
    {QLatin1String("V_TA_DEPOSITO"),
     QLatin1String("SS_V_TA_DEPOSITO"),
     {QLatin1String("VLDEPOSITOS"), QLatin1String("VLTRASPASOS")}},
    {QLatin1String("MV_ASIENTOS"), QLatin1String("SS_MV_ASIENTOS"), {}},
    {QLatin1String("V_TA_FAMILIAS"),
     QLatin1String("SS_V_TA_FAMILIAS"),
     {QLatin1String("VLFAMILIAS"), QLatin1String("VLARTICULOS")}},
    {QLatin1String("V_TA_CAJAS"), QLatin1String("SS_V_TA_CAJAS"), {}},
    {QLatin1String("AC_CUENTASDIARIO"), QLatin1String("SS_AC_CUENTASDIARIO"), {}},
    {QLatin1String("AC_CUENTASDIARIO_CCOSTO"), QLatin1String("SS_AC_CUENTAS_DIARIO_CCOSTO"), {}},
}};

bool exempt(const ViewGroup& g, const QString& programName) {
    for (const QLatin1String& p : g.exemptPrograms)
        if (!p.isEmpty() && equalsCi(programName, p)) return true;
    return false;
}

// Only a name with a delimiter on both sides is a reference; a name at the very start or end, or
// after a line break, is left alone on purpose.
void redirect(QString& sql, const QString& table, const QString& view, bool braceForm) {
    static const std::array<std::pair<QLatin1String, QLatin1String>, 5> forms{{
        {QLatin1String(" "), QLatin1String(" ")},
        {QLatin1String("("), QLatin1String(" ")},
        {QLatin1String(" "), QLatin1String(".")},
        {QLatin1String("("), QLatin1String(".")},
        {QLatin1String(","), QLatin1String(".")},
    }};
    for (const auto& [before, after] : forms)
        sql.replace(before + table + after, before + view + after, CI);
    if (braceForm)
        sql.replace(QLatin1Char('{') + table + QLatin1Char('.'),
                    QLatin1Char('{') + view + QLatin1Char('.'), CI);
}

// --- Oracle dialect ---------------------------------------------------------------------------

void limitRows(QString& text) {
    if (!text.contains(QLatin1String("top "), CI)) return;
    const qsizetype p = text.indexOf(QLatin1String("top"), 0, CI);
    const QString head = text.left(p);
    const QString rest = trimBlanks(text.mid(p + 3));
    const qsizetype blank = rest.indexOf(QLatin1Char(' '));
    const QString n = blank < 0 ? rest : rest.left(blank);
    QString body = blank < 0 ? QString() : rest.mid(blank + 1);

    QString tail;
    bool tailIsGroup = false;
    if (const qsizetype g = text.indexOf(QLatin1String(" GROUP BY "), 0, CI); g >= 0) {
        tail = text.mid(g);
        tailIsGroup = true;
    } else if (const qsizetype o = text.indexOf(QLatin1String("ORDER BY "), 0, CI); o >= 0) {
        tail = text.mid(o);
    }
    const QString limit =
        (text.contains(QLatin1String(" WHERE "), CI) ? QLatin1String(" AND ROWNUM <= ")
                                                     : QLatin1String(" WHERE ROWNUM <= ")) +
        n;
    const QString cut = trimBlanks(tail);
    if (!cut.isEmpty()) body.replace(cut, QLatin1String(" "), CI);

    const QString blankSep(QLatin1Char(' '));
    text = head + blankSep + body + blankSep + limit + blankSep + (tailIsGroup ? tail : QString()) +
           blankSep + (tailIsGroup ? QString() : tail);
}

void translateDates(QString& text, const platform::Regional& regional) {
    std::vector<qsizetype> quotes;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text.at(i) == QLatin1Char('\'')) quotes.push_back(i);
    if (quotes.size() % 2 != 0)
        platform::raise(platform::errnum::InvalidArgument,
                        QStringLiteral("Comillas sin cerrar en la sentencia"));

    // One pass over the literals: each one that reads as a date is written as TO_DATE(...).
    QString result;
    result.reserve(text.size());
    qsizetype copied = 0;
    for (std::size_t k = 0; k < quotes.size(); k += 2) {
        const QString literal = text.mid(quotes[k] + 1, quotes[k + 1] - quotes[k] - 1);
        const auto date = regional.parseDate(literal);
        if (!date) continue;
        result += QStringView(text).mid(copied, quotes[k] - copied);
        result += QStringLiteral("TO_DATE('%1','DD/MM/YYYY')")
                      .arg(date->date().toString(QStringLiteral("dd/MM/yyyy")));
        copied = quotes[k + 1] + 1;
    }
    result += QStringView(text).mid(copied);
    // A literal that already stood inside TO_DATE(...) came out wrapped twice.
    while (result.contains(QLatin1String("TO_DATE(TO_DATE("), CI)) {
        replaceAll(result, QLatin1String("TO_DATE(TO_DATE("), QLatin1String("TO_DATE("));
        replaceAll(result, QLatin1String("'DD/MM/YYYY'),'DD/MM/YYYY')"),
                   QLatin1String("'DD/MM/YYYY')"));
    }
    text = result;
}

void emptyStringsToNull(QString& text, QLatin1String test) {
    const qsizetype w = text.indexOf(QLatin1String("WHERE "), 0, CI);
    if (w < 0) return;
    QString after = text.mid(w);
    after.replace(test, QLatin1String(" IS NULL "), CI);
    text = text.left(w) + after;
}

void dateStyle103(QString& text) {
    // The style 103 that follows "TO_CHAR(" (the nearest opening parenthesis before it) becomes
    // the Oracle date mask; one pass, remembering where the last parenthesis opened.
    const QLatin1String toChar("TO_CHAR(");
    QString out;
    qsizetype copied = 0;
    qsizetype lastParen = -1;  // in `text`
    for (qsizetype i = 0; i + 3 <= text.size(); ++i) {
        if (text.at(i) == QLatin1Char('(')) lastParen = i;
        if (text.at(i) != QLatin1Char('1') || text.at(i + 1) != QLatin1Char('0') ||
            text.at(i + 2) != QLatin1Char('3'))
            continue;
        const qsizetype paren = lastParen;
        if (paren < 0 || paren + 1 < toChar.size()) continue;
        if (!equalsCi(text.mid(paren + 1 - toChar.size(), toChar.size()), toChar)) continue;
        out += QStringView(text).mid(copied, i - copied);
        out += QLatin1String("'DD/MM/YYYY'");
        copied = i + 3;
        i += 2;
    }
    if (copied == 0) return;
    out += QStringView(text).mid(copied);
    text = out;
}

// --- Scripts ----------------------------------------------------------------------------------

const std::array<QLatin1String, 12> kScriptKeywords{
    QLatin1String("INSERT "),         QLatin1String("DELETE "),  QLatin1String("UPDATE "),
    QLatin1String("CREATE "),         QLatin1String("DROP "),    QLatin1String("ALTER "),
    QLatin1String("SET TRANSACTION"), QLatin1String("COMMIT"),   QLatin1String("ROLLBACK"),
    QLatin1String("IF NOT EXIST"),    QLatin1String("IF EXIST"), QLatin1String("GRANT "),
};

// Where the next statement of a script starts at or after a position. Positions only move
// forward, so each keyword is searched again only once the script has passed it: the whole
// script is read a number of times that does not grow with its statements.
class NextKeyword {
  public:
    explicit NextKeyword(const QString& script) : script_(script) { at_.fill(kUnknown); }
    qsizetype from(qsizetype position) {
        qsizetype best = -1;
        for (std::size_t k = 0; k < kScriptKeywords.size(); ++k) {
            if (at_[k] == kUnknown || (at_[k] >= 0 && at_[k] < position))
                at_[k] = script_.indexOf(kScriptKeywords[k], position, CI);
            if (at_[k] >= 0 && (best < 0 || at_[k] < best)) best = at_[k];
        }
        return best;
    }

  private:
    static constexpr qsizetype kUnknown = -2;
    const QString& script_;
    std::array<qsizetype, kScriptKeywords.size()> at_{};
};

void normaliseScript(QString& script) {
    static const std::array<std::pair<QLatin1String, QLatin1String>, 13> steps{{
        {QLatin1String("SET NOCOUNT ON"), QLatin1String("")},
        {QLatin1String("SET NOCOUNT OFF"), QLatin1String("")},
        {QLatin1String(" GO "), QLatin1String(" ")},
        {QLatin1String("\r\nGO "), QLatin1String(" ")},
        {QLatin1String("\r\nGO\r\n"), QLatin1String(" ")},
        {QLatin1String("\r\n"), QLatin1String(" ")},
        {QLatin1String("\r"), QLatin1String(" ")},
        {QLatin1String("BEGIN TRANSACTION"), QLatin1String("SET TRANSACTION")},
        {QLatin1String("BEGIN TRANS"), QLatin1String("SET TRANSACTION")},
        {QLatin1String("COMMIT TRANSACTION"), QLatin1String("COMMIT")},
        {QLatin1String("COMMIT TRANS"), QLatin1String("COMMIT")},
        {QLatin1String("ROLLBACK TRANSACTION"), QLatin1String("ROLLBACK")},
        {QLatin1String("ROLLBACK TRANS"), QLatin1String("ROLLBACK")},
    }};
    for (const auto& [find, with] : steps) replaceAll(script, find, with);
}

// A lone entry of this number does not mean the script failed; callers must not see it.
constexpr qint32 kHarmlessScriptError = 265929;

}  // namespace

QString ssTSinonimos(const QString& sql, bool esAdmin, bool ssConfidencialidad,
                     const QString& programName) {
    QString out = sql;
    const QLatin1String marker("@Admin_");
    if (!esAdmin && (!out.contains(QLatin1String("MV_ASIENTOS"), CI) || ssConfidencialidad)) {
        for (std::size_t i = 0; i < kViewGroups.size(); ++i) {
            const ViewGroup& g = kViewGroups[i];
            if (exempt(g, programName)) continue;
            redirect(out, g.table, g.view, i == 0);
            if (i == 0) out.replace(marker + g.table, g.table, CI);
        }
    }
    out.remove(marker, CI);
    return out;
}

QString oracleDicc(const QString& valor, const QString& connString,
                   const platform::Regional& regional) {
    if (!namesOracle(connString)) return valor;
    if (wordCount(valor) < 2)
        return equalsCi(valor, QLatin1String("LEN")) ? QStringLiteral("LENGTH") : valor;

    QString text = valor;
    limitRows(text);
    for (const char* len : {" LEN(", " LEN (", " LEN  (", " LEN   (", " LEN    ("})
        replaceAll(text, QLatin1String(len), QLatin1String(" LENGTH("));
    text.replace(QLatin1Char('['), QLatin1Char('"'));
    text.replace(QLatin1Char(']'), QLatin1Char('"'));
    translateDates(text, regional);
    replaceAll(text, QLatin1String("Charindex"), QLatin1String("InStr"));
    replaceAll(text, QLatin1String("CONVERT(NVARCHAR,"), QLatin1String("TO_CHAR("));
    replaceAll(text, QLatin1String("CONVERT(INT,"), QLatin1String("TO_NUMBER("));
    emptyStringsToNull(text, QLatin1String("= ''"));
    emptyStringsToNull(text, QLatin1String("=''"));
    dateStyle103(text);
    replaceAll(text, QLatin1String("SUBSTRING("), QLatin1String("SUBSTR("));
    replaceAll(text, QLatin1String("ISNULL("), QLatin1String("NVL("));
    return text;
}

QString descartaSentenciaOracle(QString& sql) {
    if (sql.contains(QLatin1String("SET NOCOUNT"), CI) ||
        sql.contains(QLatin1String("IF NOT EXIST"), CI))
        sql.clear();
    return sql;
}

void ejecutaScriptOracle(QString& script, qint32& recordsAffected, ScriptTarget& target,
                         const QString& connString, const platform::Regional& regional) {
    normaliseScript(script);
    NextKeyword keyword(script);
    qsizetype start = keyword.from(0);
    const bool any = start >= 0;
    qsizetype left = 0;  // what the caller still has, as a statement is consumed
    try {
        while (start >= 0) {
            const qsizetype next = keyword.from(start + 1);
            const QString statement =
                trimBlanks(next < 0 ? script.mid(start) : script.mid(start, next - start));
            if (equalsCi(statement, QLatin1String("SET TRANSACTION"))) {
                target.beginTrans();
            } else if (equalsCi(statement, QLatin1String("COMMIT"))) {
                target.commitTrans();
            } else if (equalsCi(statement, QLatin1String("ROLLBACK"))) {
                target.rollbackTrans();
            } else {
                QString oracle = oracleDicc(statement, connString, regional);
                descartaSentenciaOracle(oracle);
                if (!trimBlanks(oracle).isEmpty())
                    recordsAffected += static_cast<qint32>(target.execute(oracle));
            }
            start = left = next;
        }
    } catch (...) {
        script = script.mid(left);
        throw;
    }
    if (any) script.clear();
    if (target.errorCount() == 1 && target.errorNumber(0) == kHarmlessScriptError)
        target.clearErrors();
}

QString adaptaSql(const QString& statement, const QString& connString) {
    if (!namesOracle(connString)) return statement;
    if (wordCount(statement) < 2)
        return equalsCi(statement, QLatin1String("LEN")) ? QStringLiteral("LENGTH") : statement;
    if (!statement.contains(QLatin1String("top "), CI)) return statement;
    const qsizetype p = statement.indexOf(QLatin1String("top"), 0, CI);
    const QString head = statement.left(p);
    const QString rest = statement.mid(p + 3);
    const qsizetype star = rest.indexOf(QLatin1Char('*'));
    // Only "select top n * from ..." is ever passed; anything else fails as the platform's
    // text functions would on a missing position.
    if (star < 0)
        platform::raise(platform::errnum::InvalidArgument,
                        QStringLiteral("Sentencia sin \"*\" tras TOP"));
    const QString count = rest.left(star);
    const QString tail = rest.mid(star + 1);
    return head + QLatin1String(" * ") + tail + QLatin1String(" WHERE ROWNUM <= ") + count;
}

}  // namespace dbdll
