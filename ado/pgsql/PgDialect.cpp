#include "ado/pgsql/PgDialect.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "ado/tsql/Batch.h"
#include "ado/tsql/DateLiteral.h"
#include "ado/tsql/Rewrite.h"
#include "ado/tsql/Tokens.h"

namespace ado::pg_dialect {

using namespace tsql;

namespace {

// The collation of comparisons that cannot run in a nondeterministic one (ILIKE): ICU's root
// locale, which folds the case of every letter.
const QString kPatternCollation = QStringLiteral("\"und-x-icu\"");

// Statements that become a fixed text, or nothing.
std::optional<QString> sessionStatement(const Tokens& t) {
    Tokens words;
    for (const Token& tok : t) {
        if (tok.significant() && !tok.isPunct(';')) words.append(tok);
    }
    if (words.isEmpty()) return std::nullopt;
    const bool tran = words.size() >= 2 && words[1].isAnyOf({"TRAN", "TRANSACTION", "WORK"});
    if (words[0].is("BEGIN") && tran) return QStringLiteral("BEGIN");
    if (words[0].is("COMMIT") && (tran || words.size() == 1)) return QStringLiteral("COMMIT");
    if (words[0].is("ROLLBACK") && (tran || words.size() == 1)) return QStringLiteral("ROLLBACK");
    if (words.size() == 3 && words[0].is("SET") && words[1].is("NOCOUNT") &&
        words[2].isAnyOf({"ON", "OFF"})) {
        return QString();
    }
    return std::nullopt;
}

// [Name] and "Name" become "name": the schema creates its names unquoted, which the server
// folds to lower case, and a quoted name is compared as written.
void quoteNames(Tokens& t) {
    for (Token& tok : t) {
        const bool bracket = tok.kind == Kind::Bracket && tok.text.endsWith(QLatin1Char(']'));
        const bool quoted =
            tok.kind == Kind::Quoted && tok.text.size() >= 2 && tok.text.endsWith(QLatin1Char('"'));
        if (!bracket && !quoted) continue;
        QString name = tok.text.mid(1, tok.text.size() - 2).toLower();
        if (bracket) {
            name.replace(QStringLiteral("]]"), QStringLiteral("]"));
            name.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        }
        tok.kind = Kind::Quoted;
        tok.text = QLatin1Char('"') + name + QLatin1Char('"');
    }
}

// Every literal that reads as a short date in the regional format becomes the ISO form: the
// server then reads it the same way whatever its session's date order.
void isoDates(Tokens& t, const platform::Regional& regional) {
    for (Token& tok : t) {
        if (tok.kind != Kind::String || tok.text.size() < 2 ||
            !tok.text.endsWith(QLatin1Char('\'')))
            continue;
        if (const auto iso = isoDate(tok.text.mid(1, tok.text.size() - 2), regional))
            tok.text = QLatin1Char('\'') + *iso + QLatin1Char('\'');
    }
}

bool isComparison(const Token& tok) {
    return tok.isPunct('=') || tok.isPunct('<') || tok.isPunct('>') || tok.isPunct('!');
}

// Whether the name at `first` is the target of an assignment (UPDATE ... SET a = 'x', b = 'y')
// rather than a comparison: the clause it stands in, read back at its own depth, is SET.
bool assigned(const Tokens& t, Index first) {
    int depth = 0;
    for (Index k = prevSig(t, first); k >= 0; k = prevSig(t, k)) {
        if (t[k].isPunct(')')) ++depth;
        if (t[k].isPunct('(') && depth-- == 0) return false;
        if (depth == 0 && t[k].isAnyOf({"WHERE", "ON", "AND", "OR", "WHEN", "HAVING", "NOT",
                                        "SELECT", "BETWEEN"}))
            return false;
        if (depth == 0 && t[k].is("SET")) return true;
    }
    return false;
}

// The column name whose last token is `last` (a plain or qualified name, not a call nor a
// keyword), as the range of its tokens; {-1, -1} otherwise.
std::pair<Index, Index> columnAt(const Tokens& t, Index last) {
    const Index first = operandStart(t, last);
    if (first < 0 || !isName(t[first]) || operandEnd(t, first) != last ||
        sigIsPunct(t, nextSig(t, first), '(') ||
        t[last].isAnyOf({"NULL", "THEN", "ELSE", "END", "CASE", "AND", "OR", "NOT", "WHERE",
                         "SELECT", "SET", "ON"}))
        return {-1, -1};
    return {first, last};
}

// Trailing blanks do not count when texts compare: a column compared with a text literal (=, <>,
// <, >, IN, LIKE) is compared as rtrim(column::text), which keeps its collation, and the
// literal loses its own trailing blanks. A literal that reads as a date is compared as a date.
void trimmedComparisons(Tokens& t, const platform::Regional& regional) {
    std::vector<std::pair<Index, Index>> columns;
    auto textLiteral = [&](Index i) {
        return i >= 0 && i < t.size() && t[i].kind == Kind::String &&
               t[i].text.endsWith(QLatin1Char('\'')) && t[i].text.size() >= 2 &&
               !isoDate(t[i].text.mid(1, t[i].text.size() - 2), regional);
    };
    auto trimLiteral = [&](Index i) {
        QString inner = t[i].text.mid(1, t[i].text.size() - 2);
        while (inner.endsWith(QLatin1Char(' '))) inner.chop(1);
        t[i].text = QLatin1Char('\'') + inner + QLatin1Char('\'');
    };
    for (Index i = 0; i < t.size(); ++i) {
        if (textLiteral(i)) {
            Index p = prevSig(t, i);
            bool op = false;
            while (p >= 0 && isComparison(t[p])) {
                op = true;
                p = prevSig(t, p);
            }
            const auto left = op ? columnAt(t, p) : std::pair<Index, Index>{-1, -1};
            Index n = nextSig(t, i);
            op = false;
            while (n < t.size() && isComparison(t[n])) {
                op = true;
                n = nextSig(t, n);
            }
            const Index rightLast = op ? operandEnd(t, n) : -1;
            const auto right =
                rightLast >= 0 ? columnAt(t, rightLast) : std::pair<Index, Index>{-1, -1};
            if (left.first >= 0 && !assigned(t, left.first)) {
                columns.push_back(left);
                trimLiteral(i);
            } else if (right.first == n) {
                columns.push_back(right);
                trimLiteral(i);
            }
            continue;
        }
        const bool in = t[i].is("IN") && textLiteral(nextSig(t, nextSig(t, i))) &&
                        sigIsPunct(t, nextSig(t, i), '(');
        if (!in && !t[i].is("LIKE")) continue;
        Index last = prevSig(t, i);
        if (sigIs(t, last, {"NOT"})) last = prevSig(t, last);
        const auto column = columnAt(t, last);
        if (column.first >= 0) columns.push_back(column);
        if (in) {
            const Index close = matchParen(t, nextSig(t, i));
            for (Index k = nextSig(t, i); k < close && k >= 0; ++k)
                if (textLiteral(k)) trimLiteral(k);
        }
    }
    // from the last, so that the earlier ranges stay where they are
    std::sort(columns.begin(), columns.end());
    columns.erase(std::unique(columns.begin(), columns.end()), columns.end());
    for (auto it = columns.rbegin(); it != columns.rend(); ++it) {
        insertText(t, it->second + 1, QStringLiteral("::text)"));
        insertText(t, it->first, QStringLiteral("rtrim("));
    }
}

// [NOT] LIKE becomes ILIKE on the left operand as text, in a deterministic collation.
void patterns(Tokens& t) {
    for (Index i = t.size() - 1; i >= 0; --i) {
        if (!t[i].is("LIKE")) continue;
        Index last = prevSig(t, i);
        if (sigIs(t, last, {"NOT"})) last = prevSig(t, last);
        if (operandStart(t, last) < 0) continue;
        t[i].text = QStringLiteral("ILIKE");
        insertText(t, last + 1, QStringLiteral("::text COLLATE ") + kPatternCollation);
    }
}

// A type of the SQL Server dialect (or of the embedded schema) in PostgreSQL's words; nothing
// when the type stays as written.
std::optional<QString> typeName(const Token& tok) {
    if (tok.isAnyOf({"DATETIME", "SMALLDATETIME", "DATETIME2"})) return QStringLiteral("timestamp");
    if (tok.isAnyOf({"BIT", "TINYINT"})) return QStringLiteral("smallint");
    if (tok.is("MONEY")) return QStringLiteral("numeric(19,4)");
    if (tok.is("SMALLMONEY")) return QStringLiteral("numeric(10,4)");
    if (tok.is("FLOAT")) return QStringLiteral("double precision");
    if (tok.isAnyOf({"NTEXT", "TEXT"})) return QStringLiteral("text");
    if (tok.is("IMAGE")) return QStringLiteral("bytea");
    if (tok.is("UNIQUEIDENTIFIER")) return QStringLiteral("uuid");
    if (tok.is("NVARCHAR")) return QStringLiteral("varchar");
    if (tok.is("NCHAR")) return QStringLiteral("char");
    return std::nullopt;
}

// Replaces the type at `type` (with its length, when the new type has none of its own).
void replaceType(Tokens& t, Index type, const QString& name) {
    Index last = type;
    const Index open = nextSig(t, type);
    const bool sized = sigIsPunct(t, open, '(');
    if (sized && (name.contains(QLatin1Char('(')) || sigIs(t, nextSig(t, open), {"MAX"}))) {
        last = matchParen(t, open);
        if (last < 0) return;
    }
    const QString text =
        sigIs(t, nextSig(t, open), {"MAX"}) && sized ? QStringLiteral("text") : name;
    t.remove(type, last - type + 1);
    insertText(t, type, text);
}

// Column types, and identities, of CREATE TABLE and ALTER TABLE ... ADD.
void columnTypes(Tokens& t) {
    const Index verb = nextSig(t, -1);
    if (!sigIs(t, verb, {"CREATE", "ALTER"})) return;
    Index table = nextSig(t, verb);
    if (sigIs(t, table, {"TEMP", "TEMPORARY"})) table = nextSig(t, table);
    if (!sigIs(t, table, {"TABLE"})) return;
    for (Index i = t.size() - 1; i > table; --i) {
        if (t[i].is("AUTOINCREMENT") || t[i].is("IDENTITY")) {
            Index last = i;
            const Index open = nextSig(t, i);
            if (t[i].is("IDENTITY") && sigIsPunct(t, open, '(')) last = matchParen(t, open);
            if (last < 0) continue;
            t.remove(i, last - i + 1);
            insertText(t, i, QStringLiteral("GENERATED BY DEFAULT AS IDENTITY"));
            continue;
        }
        // a type follows a column's name, which follows "(", "," or ADD [COLUMN]
        const Index name = prevSig(t, i);
        const Index before = prevSig(t, name);
        if (name < 0 || !isName(t[name]) ||
            !(sigIsPunct(t, before, '(') || sigIsPunct(t, before, ',') ||
              sigIs(t, before, {"ADD", "COLUMN"})))
            continue;
        if (const auto type = typeName(t[i])) replaceType(t, i, *type);
    }
}

// The replacement text of a call, or nothing when the call stays as it is.
std::optional<QString> rewriteCall(const Token& name, const QStringList& args,
                                   const QString& inner) {
    if (name.is("ISNULL") && args.size() == 2) return QStringLiteral("coalesce(%1)").arg(inner);
    // LEN ignores trailing blanks
    if (name.is("LEN") && args.size() == 1) return QStringLiteral("length(rtrim(%1))").arg(inner);
    if (name.is("GETDATE") && args.isEmpty()) return QStringLiteral("LOCALTIMESTAMP");
    if (name.is("SPACE") && args.size() == 1) return QStringLiteral("repeat(' ', %1)").arg(inner);
    if (name.isAnyOf({"YEAR", "MONTH", "DAY"}) && args.size() == 1) {
        return QStringLiteral("CAST(EXTRACT(%1 FROM CAST(%2 AS timestamp)) AS integer)")
            .arg(name.text.toUpper(), inner);
    }
    if (name.is("CHARINDEX") && args.size() == 2) {
        return QStringLiteral("strpos(%1, %2)").arg(args[1], args[0]);
    }
    if (name.is("CHARINDEX") && args.size() == 3) {
        // search from the start position (1 when lower) and give the position in the whole text
        const QString from = QStringLiteral("greatest(%1, 1)").arg(args[2]);
        const QString found =
            QStringLiteral("strpos(substr(%1, %2), %3)").arg(args[1], from, args[0]);
        return QStringLiteral("(CASE WHEN %1 > 0 THEN %1 + %2 - 1 ELSE %1 END)").arg(found, from);
    }
    if (name.is("DATEFROMPARTS") && args.size() == 3) {
        return QStringLiteral("make_date(%1)").arg(inner);
    }
    if (name.is("DATEADD") && args.size() == 3) {
        const auto part = datePart(args[0]);
        if (!part) return std::nullopt;
        static const std::map<DatePart, std::pair<const char*, int>> units = {
            {DatePart::Year, {"years", 1}},   {DatePart::Quarter, {"months", 3}},
            {DatePart::Month, {"months", 1}}, {DatePart::Week, {"weeks", 1}},
            {DatePart::Day, {"days", 1}},     {DatePart::Hour, {"hours", 1}},
            {DatePart::Minute, {"mins", 1}},  {DatePart::Second, {"secs", 1}},
        };
        const auto [unit, times] = units.at(*part);
        const QString amount =
            times == 1
                ? QStringLiteral("CAST(%1 AS integer)").arg(args[1])
                : QStringLiteral("CAST(%1 AS integer) * %2").arg(args[1], QString::number(times));
        // as the server does, the last day of a shorter month when the day is not in it
        return QStringLiteral("(CAST(%1 AS timestamp) + make_interval(%2 => %3))")
            .arg(args[2], QLatin1String(unit), amount);
    }
    if (name.is("STR") && (args.size() == 1 || args.size() == 2)) {
        // right-aligned in its length, stars when it does not fit
        const QString width = args.size() == 2 ? args[1] : QStringLiteral("10");
        const QString digits = QStringLiteral("round(CAST(%1 AS numeric))::text").arg(args[0]);
        return QStringLiteral(
                   "(CASE WHEN length(%1) > (%2) THEN repeat('*', %2) ELSE lpad(%1, %2) END)")
            .arg(digits, width);
    }
    if (name.is("CONVERT") && args.size() == 2) {
        const Tokens type = tokenize(args[0]);
        const Index first = nextSig(type, -1);
        QString target = args[0];
        if (first < type.size()) {
            if (const auto mapped = typeName(type[first])) {
                Tokens renamed = type;
                replaceType(renamed, first, *mapped);
                target = joinCode(renamed, 0, renamed.size());
            }
        }
        return QStringLiteral("CAST(%1 AS %2)").arg(args[1], target);
    }
    return std::nullopt;
}

bool isPgCall(const Token& tok) {
    return tok.isAnyOf({"ISNULL", "LEN", "GETDATE", "SPACE", "YEAR", "MONTH", "DAY", "CHARINDEX",
                        "CONVERT", "DATEFROMPARTS", "DATEADD", "STR"});
}

// CAST(x AS type): the type in PostgreSQL's words.
void castTypes(Tokens& t) {
    for (Index i = t.size() - 1; i >= 0; --i) {
        const Index open = nextSig(t, i);
        if (!t[i].is("CAST") || !sigIsPunct(t, open, '(')) continue;
        const Index close = matchParen(t, open);
        int depth = 0;
        for (Index k = open + 1; k < close; ++k) {
            if (t[k].isPunct('(')) ++depth;
            if (t[k].isPunct(')')) --depth;
            if (depth != 0 || !t[k].is("AS")) continue;
            const Index type = nextSig(t, k);
            if (type < close && t[type].kind == Kind::Word)
                if (const auto mapped = typeName(t[type])) replaceType(t, type, *mapped);
            break;
        }
    }
}

}  // namespace

QString translate(const QString& statement, const platform::Regional& regional) {
    Tokens t = tokenize(statement);
    if (auto fixed = sessionStatement(t)) return *fixed;
    // the collation of the schema is created in PostgreSQL's own words
    const Index verb = nextSig(t, -1);
    if (sigIs(t, verb, {"CREATE"}) && sigIs(t, nextSig(t, verb), {"COLLATION"})) return statement;
    removeNolock(t);
    removeOwner(t);
    removeNationalPrefix(t);
    quoteNames(t);
    trimmedComparisons(t, regional);
    isoDates(t, regional);
    // "ci" is collationStatement()'s: no case, and translateBatch creates it before any table.
    addTextCollation(t, QStringLiteral("ci"));
    columnTypes(t);
    joinTexts(t);
    t = rewrittenCalls(t, 0, t.size(), isPgCall, rewriteCall, false);
    castTypes(t);
    rewriteTops(t, QStringLiteral("AS tope"));
    patterns(t);
    rewriteTempTables(t);
    return join(t, 0, t.size());
}

QStringList translateBatch(const QString& batch, const platform::Regional& regional) {
    QStringList out;
    bool collation = false;
    for (const QString& s : splitBatch(batch)) {
        const QString translated = translate(s, regional).trimmed();
        if (translated.isEmpty()) continue;
        // A table's text columns need the collation: a batch that makes tables makes it first.
        if (!collation && translated.contains(QLatin1String("COLLATE ci"), Qt::CaseInsensitive)) {
            out << collationStatement();
            collation = true;
        }
        out << translated;
    }
    return out;
}

QString collationStatement() {
    return QStringLiteral(
        "CREATE COLLATION IF NOT EXISTS ci "
        "(provider = icu, locale = 'und-u-ks-level2', deterministic = false)");
}

}  // namespace ado::pg_dialect
