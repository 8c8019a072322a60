#include "ado/sqlite/SqliteDialect.h"

#include <QList>
#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <initializer_list>
#include <map>
#include <optional>

#include "ado/tsql/DateLiteral.h"
#include "ado/tsql/Rewrite.h"
#include "ado/tsql/Tokens.h"

namespace ado::sqlite_dialect {

using namespace tsql;

namespace {

// ---------------------------------------------------------------------------------------------
// Translation passes

// Statements that become a fixed text, or nothing.
std::optional<QString> sessionStatement(const Tokens& t) {
    Tokens words;
    for (const Token& tok : t) {
        if (tok.significant() && !tok.isPunct(';')) words.append(tok);
    }
    if (words.size() < 1) return std::nullopt;
    const bool tran = words.size() >= 2 && words[1].isAnyOf({"TRAN", "TRANSACTION", "WORK"});
    // IMMEDIATE takes the write lock at once, so concurrent writers queue instead of failing
    // with a busy error halfway through their transaction.
    if (words[0].is("BEGIN") && tran && !words[1].is("WORK")) {
        return QStringLiteral("BEGIN IMMEDIATE");
    }
    if (words[0].is("COMMIT") && tran) return QStringLiteral("COMMIT");
    if (words[0].is("ROLLBACK") && tran) return QStringLiteral("ROLLBACK");
    if (words.size() == 3 && words[0].is("SET") && words[1].is("NOCOUNT") &&
        words[2].isAnyOf({"ON", "OFF"})) {
        return QString();
    }
    return std::nullopt;
}

// ---------------------------------------------------------------------------------------------
// Dates: where a literal or a parameter meets a date column

QString bareName(const Token& tok) {
    if (tok.kind == Kind::Bracket || tok.kind == Kind::Quoted)
        return tok.text.mid(1, tok.text.size() - 2);
    return tok.text;
}

bool isValue(const Token& tok) {
    return tok.kind == Kind::String || tok.isPunct('?');
}

// The last part of the (possibly qualified) name that starts at k.
Index lastNamePart(const Tokens& t, Index k) {
    while (k < t.size() && isName(t[k]) && sigIsPunct(t, nextSig(t, k), '.'))
        k = nextSig(t, nextSig(t, k));
    return k;
}

// The table an INSERT at `insert` writes to: the index of its name, or -1.
Index insertTarget(const Tokens& t, Index insert) {
    Index k = nextSig(t, insert);
    if (sigIs(t, k, {"INTO"})) k = nextSig(t, k);
    k = lastNamePart(t, k);
    return k < t.size() && isName(t[k]) ? k : -1;
}

// The tables a statement names: after FROM (and its comma list), JOIN, UPDATE and INTO.
QStringList tablesOf(const Tokens& t) {
    QStringList tables;
    auto nameAt = [&](Index i) -> Index {
        i = lastNamePart(t, i);
        return i < t.size() && isName(t[i]) ? i : -1;
    };
    for (Index i = 0; i < t.size(); ++i) {
        if (!t[i].isAnyOf({"FROM", "JOIN", "UPDATE", "INTO"})) continue;
        Index k = nameAt(nextSig(t, i));
        while (k >= 0) {
            tables << bareName(t[k]);
            if (!t[i].is("FROM")) break;
            // FROM a [AS] x, b [AS] y
            Index n = nextSig(t, k);
            if (sigIs(t, n, {"AS"})) n = nextSig(t, n);
            if (n < t.size() && t[n].kind == Kind::Word &&
                !t[n].isAnyOf({"WHERE", "INNER", "LEFT", "RIGHT", "FULL", "CROSS", "JOIN", "ON",
                               "GROUP", "ORDER", "HAVING", "UNION", "WITH"}))
                n = nextSig(t, n);
            if (!sigIsPunct(t, n, ',')) break;
            k = nameAt(nextSig(t, n));
        }
    }
    return tables;
}

// Which value tokens (literals, "?") of a statement meet a date. Lists (IN, VALUES, the
// arguments of a date function) are marked in one pass over the statement, so that the work
// stays linear however long they are; comparisons are read around each value.
class DateContext {
  public:
    DateContext(const Tokens& t, const DateColumns& dates)
        : t_(t),
          dates_(dates),
          tables_(tablesOf(t)),
          marked_(static_cast<std::size_t>(t.size()), 0) {
        if (dates_) markLists();
    }

    bool atDate(Index i) const {
        if (!dates_) return true;
        return marked_[static_cast<std::size_t>(i)] || comparedWithDate(i) || betweenDates(i);
    }
    // The table of an INSERT whose values are all parameters, and the column of each one.
    const QString& insertTable() const { return insertTable_; }
    QString columnOf(Index i) const {
        const auto it = insertColumn_.find(i);
        return it == insertColumn_.end() ? QString() : it->second;
    }

  private:
    bool isDateColumnAt(Index i) const {
        if (i < 0 || i >= t_.size() || !isName(t_[i])) return false;
        const QString column = bareName(t_[i]);
        for (const QString& table : tables_)
            if (dates_(table, column)) return true;
        return false;
    }
    static bool isOperator(const Token& tok) {
        return tok.isPunct('=') || tok.isPunct('<') || tok.isPunct('>') || tok.isPunct('!');
    }
    bool comparedWithDate(Index i) const {
        Index p = prevSig(t_, i);
        bool op = false;
        while (p >= 0 && isOperator(t_[p])) {
            op = true;
            p = prevSig(t_, p);
        }
        if (op && isDateColumnAt(p)) return true;
        Index n = nextSig(t_, i);
        op = false;
        while (n < t_.size() && isOperator(t_[n])) {
            op = true;
            n = nextSig(t_, n);
        }
        // a qualified name on the right: its last part
        return op && isDateColumnAt(lastNamePart(t_, n));
    }
    bool betweenDates(Index i) const {
        Index p = prevSig(t_, i);
        if (sigIs(t_, p, {"AND"})) {
            const Index low = prevSig(t_, p);
            if (low < 0 || !isValue(t_[low])) return false;
            p = prevSig(t_, low);
        }
        return sigIs(t_, p, {"BETWEEN"}) && isDateColumnAt(prevSig(t_, p));
    }

    // The items of the parenthesised list opened at `open`, by position, with the value token
    // of each item that is a lone value (-1 otherwise); the index of the closing parenthesis.
    Index items(Index open, std::vector<Index>& values) const {
        values.clear();
        int depth = 0;
        Index lone = -1;
        int count = 0;
        for (Index k = open + 1; k < t_.size(); ++k) {
            const Token& tok = t_[k];
            if (!tok.significant()) continue;
            if (tok.isPunct('(')) {
                ++depth;
                lone = -2;
            } else if (tok.isPunct(')') && depth > 0) {
                --depth;
            } else if (depth == 0 && (tok.isPunct(',') || tok.isPunct(')'))) {
                values.push_back(count == 1 && lone >= 0 ? lone : -1);
                lone = -1;
                count = 0;
                if (tok.isPunct(')')) return k;
            } else if (depth == 0) {
                ++count;
                lone = lone == -1 && isValue(tok) ? k : -2;
            }
        }
        return t_.size();
    }
    void mark(Index i) {
        if (i >= 0) marked_[static_cast<std::size_t>(i)] = 1;
    }

    void markLists() {
        std::vector<Index> values;
        for (Index i = 0; i < t_.size(); ++i) {
            if (t_[i].isAnyOf({"INSERT"})) {
                markInsert(i);
                continue;
            }
            if (!t_[i].isPunct('(')) continue;
            const Index before = prevSig(t_, i);
            if (sigIs(t_, before, {"IN"})) {
                Index col = prevSig(t_, before);
                if (sigIs(t_, col, {"NOT"})) col = prevSig(t_, col);
                if (!isDateColumnAt(col)) continue;
                items(i, values);
                for (Index v : values) mark(v);
            } else if (sigIs(t_, before,
                             {"YEAR", "MONTH", "DAY", "DATEPART", "DATEADD", "DATEDIFF", "DATENAME",
                              "EOMONTH"})) {
                items(i, values);
                for (Index v : values) mark(v);
            } else if (sigIs(t_, before, {"CONVERT"}) &&
                       sigIs(t_, nextSig(t_, i),
                             {"DATETIME", "DATE", "SMALLDATETIME", "DATETIME2"})) {
                items(i, values);
                for (Index v : values) mark(v);
            } else if (sigIs(t_, before, {"CAST"})) {
                const Index v = nextSig(t_, i);
                const Index as = nextSig(t_, v);
                if (v < t_.size() && isValue(t_[v]) && sigIs(t_, as, {"AS"}) &&
                    sigIs(t_, nextSig(t_, as), {"DATETIME", "DATE", "SMALLDATETIME", "DATETIME2"}))
                    mark(v);
            }
        }
    }

    // INSERT [INTO] table (columns) VALUES (...), (...): each value in a date column's place.
    void markInsert(Index insert) {
        const Index k = insertTarget(t_, insert);
        if (k < 0) return;
        const QString table = bareName(t_[k]);
        const Index open = nextSig(t_, k);
        if (!sigIsPunct(t_, open, '(')) return;
        std::vector<bool> isDate;
        QStringList columns;
        Index close = open + 1;
        for (; close < t_.size() && !t_[close].isPunct(')'); ++close) {
            if (!isName(t_[close])) continue;
            columns << bareName(t_[close]);
            isDate.push_back(dates_(table, columns.back()));
        }
        Index v = nextSig(t_, close);
        if (!sigIs(t_, v, {"VALUES"})) return;
        insertTable_ = table;
        std::vector<Index> values;
        for (Index g = nextSig(t_, v); sigIsPunct(t_, g, '(');) {
            const Index end = items(g, values);
            for (std::size_t n = 0; n < values.size() && n < isDate.size(); ++n) {
                if (isDate[n]) mark(values[n]);
                if (values[n] >= 0 && t_[values[n]].isPunct('?'))
                    insertColumn_[values[n]] = columns[static_cast<qsizetype>(n)];
            }
            const Index comma = nextSig(t_, end);
            if (!sigIsPunct(t_, comma, ',')) break;
            g = nextSig(t_, comma);
        }
    }

    const Tokens& t_;
    const DateColumns& dates_;
    QStringList tables_;
    std::vector<char> marked_;
    QString insertTable_;
    std::map<Index, QString> insertColumn_;
};

void convertDates(Tokens& t, const platform::Regional& regional, const DateColumns& dates,
                  Translation& out) {
    const DateContext context(t, dates);
    std::vector<bool>& parameters = out.dateParameters;
    out.insertTable = context.insertTable();
    std::vector<std::pair<Index, QString>> converted;
    for (Index i = 0; i < t.size(); ++i) {
        if (t[i].isPunct('?')) {
            parameters.push_back(dates && context.atDate(i));
            out.parameterColumns.push_back(context.columnOf(i));
            continue;
        }
        const bool closed = t[i].text.size() >= 2 && t[i].text.endsWith(QLatin1Char('\''));
        if (t[i].kind != Kind::String || !closed) continue;
        const auto iso = isoDate(t[i].text.mid(1, t[i].text.size() - 2), regional);
        if (iso && context.atDate(i)) converted.push_back({i, *iso});
    }
    // the context reads the statement as written: the literals change afterwards
    for (const auto& [i, iso] : converted) t[i].text = QLatin1Char('\'') + iso + QLatin1Char('\'');
}

// ---------------------------------------------------------------------------------------------
// Declared lengths: every value written into a text column with a declared length goes through
// longitud(value, n), which fails the statement when the value is longer. A lone "?" of
// INSERT ... VALUES is left to the caller, which checks what it binds.

// The items of the parenthesised list opened at `open`: the first and last significant token of
// each (at depth 0 inside the list); the index of the closing parenthesis.
Index itemRanges(const Tokens& t, Index open, std::vector<std::pair<Index, Index>>& ranges) {
    ranges.clear();
    int depth = 0;
    Index first = -1, last = -1;
    for (Index k = open + 1; k < t.size(); ++k) {
        const Token& tok = t[k];
        if (!tok.significant()) continue;
        if (depth == 0 && (tok.isPunct(',') || tok.isPunct(')'))) {
            ranges.push_back({first, last});
            first = last = -1;
            if (tok.isPunct(')')) return k;
            continue;
        }
        if (tok.isPunct('(')) ++depth;
        if (tok.isPunct(')')) --depth;
        if (first < 0) first = k;
        last = k;
    }
    return t.size();
}

struct Wrap {
    Index first = 0, last = 0;
    qint64 length = 0;
};

void insertWraps(const Tokens& t, Index insert, const ColumnLengths& lengths,
                 std::vector<Wrap>& wraps) {
    const Index k = insertTarget(t, insert);
    if (k < 0) return;
    const QString table = bareName(t[k]);
    const auto columns = lengths(table);
    auto lengthOf = [&](const QString& name) -> qint64 {
        for (const auto& [c, n] : columns)
            if (c.compare(name, Qt::CaseInsensitive) == 0) return n;
        return 0;
    };
    std::vector<qint64> limit;
    Index close = k;
    const Index open = nextSig(t, k);
    if (sigIsPunct(t, open, '(')) {
        for (close = open + 1; close < t.size() && !t[close].isPunct(')'); ++close)
            if (isName(t[close])) limit.push_back(lengthOf(bareName(t[close])));
    } else {
        // no column list: every column, in the table's order
        for (const auto& [c, n] : columns) limit.push_back(n);
    }
    if (std::all_of(limit.begin(), limit.end(), [](qint64 n) { return n <= 0; })) return;
    const Index body = nextSig(t, close);
    std::vector<std::pair<Index, Index>> items;
    if (sigIs(t, body, {"VALUES"})) {
        for (Index g = nextSig(t, body); sigIsPunct(t, g, '(');) {
            const Index end = itemRanges(t, g, items);
            for (std::size_t n = 0; n < items.size() && n < limit.size(); ++n) {
                const auto [a, b] = items[n];
                if (a < 0 || limit[n] <= 0 || (a == b && t[a].isPunct('?'))) continue;
                wraps.push_back({a, b, limit[n]});
            }
            const Index comma = nextSig(t, end);
            if (!sigIsPunct(t, comma, ',')) break;
            g = nextSig(t, comma);
        }
    } else if (sigIs(t, body, {"SELECT"})) {
        // the select list, up to its FROM (or the end)
        Index a = nextSig(t, body);
        if (sigIs(t, a, {"DISTINCT", "ALL"})) a = nextSig(t, a);
        std::size_t n = 0;
        int depth = 0;
        Index first = -1, last = -1;
        for (Index j = a; j <= t.size(); j = j < t.size() ? nextSig(t, j) : j + 1) {
            const bool end =
                j >= t.size() ||
                (depth == 0 &&
                 (t[j].isPunct(',') || t[j].isAnyOf({"FROM", "WHERE", "UNION", "ORDER", "GROUP"}) ||
                  t[j].isPunct(';')));
            if (end) {
                if (first >= 0 && n < limit.size() && limit[n] > 0)
                    wraps.push_back({first, last, limit[n]});
                ++n;
                first = last = -1;
                if (j >= t.size() || !t[j].isPunct(',')) break;
                continue;
            }
            if (t[j].isPunct('(')) ++depth;
            if (t[j].isPunct(')')) --depth;
            if (first < 0) first = j;
            last = j;
        }
    }
}

void updateWraps(const Tokens& t, Index update, const ColumnLengths& lengths,
                 std::vector<Wrap>& wraps) {
    const Index k = lastNamePart(t, nextSig(t, update));
    if (k >= t.size() || !isName(t[k])) return;
    const QString table = bareName(t[k]);
    Index set = nextSig(t, k);
    if (!sigIs(t, set, {"SET"})) return;
    const auto columns = lengths(table);
    for (Index j = nextSig(t, set); j < t.size();) {
        // column [= expression], up to a comma, WHERE, FROM or the end at depth 0
        const Index col = lastNamePart(t, j);
        const Index eq = nextSig(t, col);
        if (col >= t.size() || !isName(t[col]) || !sigIsPunct(t, eq, '=')) return;
        Index first = -1, last = -1, e = nextSig(t, eq);
        int depth = 0;
        for (; e < t.size(); e = nextSig(t, e)) {
            if (depth == 0 &&
                (t[e].isPunct(',') || t[e].isAnyOf({"WHERE", "FROM"}) || t[e].isPunct(';')))
                break;
            if (t[e].isPunct('(')) ++depth;
            if (t[e].isPunct(')')) --depth;
            if (first < 0) first = e;
            last = e;
        }
        qint64 n = 0;
        for (const auto& [c, len] : columns)
            if (c.compare(bareName(t[col]), Qt::CaseInsensitive) == 0) n = len;
        if (first >= 0 && n > 0) wraps.push_back({first, last, n});
        if (e >= t.size() || !t[e].isPunct(',')) return;
        j = nextSig(t, e);
    }
}

void checkLengths(Tokens& t, const ColumnLengths& lengths) {
    if (!lengths) return;
    const Index verb = nextSig(t, -1);
    std::vector<Wrap> wraps;
    if (sigIs(t, verb, {"INSERT"})) insertWraps(t, verb, lengths, wraps);
    if (sigIs(t, verb, {"UPDATE"})) updateWraps(t, verb, lengths, wraps);
    if (wraps.empty()) return;
    std::sort(wraps.begin(), wraps.end(),
              [](const Wrap& a, const Wrap& b) { return a.first < b.first; });
    Tokens out;
    out.reserve(t.size() + static_cast<Index>(wraps.size()) * 6);
    // the wraps never nest: at most one is open at a time
    std::size_t w = 0;
    const Wrap* open = nullptr;
    for (Index i = 0; i < t.size(); ++i) {
        if (!open && w < wraps.size() && wraps[w].first == i) {
            open = &wraps[w++];
            out.append(Token{Kind::Word, QStringLiteral("longitud")});
            out.append(Token{Kind::Punct, QStringLiteral("(")});
        }
        out.append(t[i]);
        if (open && open->last == i) {
            out.append(Token{Kind::Punct, QStringLiteral(",")});
            out.append(Token{Kind::Space, QStringLiteral(" ")});
            out.append(Token{Kind::Number, QString::number(open->length)});
            out.append(Token{Kind::Punct, QStringLiteral(")")});
            open = nullptr;
        }
    }
    t = std::move(out);
}

// DATEADD in SQLite's date functions. Months are added as the server adds them, the day kept
// unless the month is shorter (31 January + 1 month = 28 or 29 February), where SQLite's own
// "+1 months" would run into March. A date without a time stays one.
std::optional<QString> dateAdd(const QString& unit, const QString& n, const QString& d) {
    const auto part = datePart(unit);
    if (!part) return std::nullopt;
    auto modifier = [&](const char* what, int times) {
        const QString amount =
            times == 1 ? n : QStringLiteral("(%1) * %2").arg(n, QString::number(times));
        return QStringLiteral("printf('%+d %1', %2)").arg(QLatin1String(what), amount);
    };
    switch (*part) {
        case DatePart::Year:
        case DatePart::Quarter:
        case DatePart::Month: {
            const int months = *part == DatePart::Year ? 12 : *part == DatePart::Quarter ? 3 : 1;
            const QString m = modifier("months", months);
            return QStringLiteral(
                       "(min(date(%1, 'start of month', %2, printf('+%d days', strftime('%d', "
                       "%1) - 1)), date(%1, 'start of month', %2, '+1 months', '-1 days')) || "
                       "CASE WHEN length(%1) > 10 THEN substr(datetime(%1), 11) ELSE '' END)")
                .arg(d, m);
        }
        case DatePart::Week:
        case DatePart::Day: {
            const QString m = modifier("days", *part == DatePart::Week ? 7 : 1);
            return QStringLiteral(
                       "(CASE WHEN length(%1) > 10 THEN datetime(%1, %2) ELSE date(%1, %2) END)")
                .arg(d, m);
        }
        case DatePart::Hour:
            return QStringLiteral("datetime(%1, %2)").arg(d, modifier("hours", 1));
        case DatePart::Minute:
            return QStringLiteral("datetime(%1, %2)").arg(d, modifier("minutes", 1));
        case DatePart::Second:
            return QStringLiteral("datetime(%1, %2)").arg(d, modifier("seconds", 1));
    }
    return std::nullopt;
}

// The replacement text of a call, or nothing when the call stays as it is.
std::optional<QString> rewriteCall(const Token& name, const QStringList& args,
                                   const QString& inner) {
    if (name.is("LEN") && args.size() == 1) {
        return QStringLiteral("length(rtrim(%1))").arg(inner);  // LEN ignores trailing blanks
    }
    if (name.is("GETDATE") && args.isEmpty()) {
        return QStringLiteral("datetime('now','localtime')");
    }
    if (name.is("CHARINDEX") && args.size() == 2) {
        return QStringLiteral("instr(%1, %2)").arg(args[1], args[0]);
    }
    if (name.is("CHARINDEX") && args.size() == 3) {
        // search from the start position (1 when lower) and give the position in the whole text;
        // 0 when absent, NULL when any argument is NULL
        const QString from = QStringLiteral("max(%1, 1)").arg(args[2]);
        const QString found =
            QStringLiteral("instr(substr(%1, %2), %3)").arg(args[1], from, args[0]);
        return QStringLiteral("((%1 + %2 - 1) * (%1 > 0))").arg(found, from);
    }
    if (name.isAnyOf({"YEAR", "MONTH", "DAY"}) && args.size() == 1) {
        const char* field = name.is("YEAR") ? "%Y" : name.is("MONTH") ? "%m" : "%d";
        return QStringLiteral("CAST(strftime('%1', %2) AS INTEGER)")
            .arg(QLatin1String(field), args[0]);
    }
    if (name.is("DATEFROMPARTS") && args.size() == 3) {
        // NULL for a day the calendar has not, where the server refuses it: SQLite's date()
        // takes 30 February as written
        const QString text = QStringLiteral("printf('%04d-%02d-%02d', ") + args[0] +
                             QStringLiteral(", ") + args[1] + QStringLiteral(", ") + args[2] +
                             QLatin1Char(')');
        return QStringLiteral(
                   "(CASE WHEN date(%1, '+0 days') = %1 AND (%2) + (%3) + (%4) IS NOT NULL THEN "
                   "%1 END)")
            .arg(text, args[0], args[1], args[2]);
    }
    if (name.is("DATEADD") && args.size() == 3) return dateAdd(args[0], args[1], args[2]);
    if (name.is("STR") && (args.size() == 1 || args.size() == 2)) {
        // right-aligned in its length, stars when it does not fit
        const QString width = args.size() == 2 ? args[1] : QStringLiteral("10");
        return QStringLiteral(
                   "(CASE WHEN (%1) IS NULL THEN NULL WHEN length(printf('%.0f', %1)) > (%2) "
                   "THEN replace(printf('%*s', %2, ''), ' ', '*') ELSE printf('%*.0f', %2, %1) "
                   "END)")
            .arg(args[0], width);
    }
    return std::nullopt;
}

void rewriteFunctions(Tokens& t) {
    // Renamed only: SQLite has them under other names.
    for (Index i = 0; i < t.size(); ++i) {
        if (!t[i].isAnyOf({"ISNULL", "SUBSTRING"}) || sigIsPunct(t, prevSig(t, i), '.') ||
            !sigIsPunct(t, nextSig(t, i), '('))
            continue;
        t[i] = Token{Kind::Word,
                     t[i].is("ISNULL") ? QStringLiteral("ifnull") : QStringLiteral("substr")};
    }
    t = rewrittenCalls(
        t, 0, t.size(),
        [](const Token& tok) {
            return tok.isAnyOf({"LEN", "GETDATE", "CHARINDEX", "YEAR", "MONTH", "DAY",
                                "DATEFROMPARTS", "DATEADD", "STR"});
        },
        rewriteCall, true);
}

// A column the server numbers itself (IDENTITY) is SQLite's row number, which only an INTEGER
// PRIMARY KEY is; AUTOINCREMENT keeps the numbers of deleted rows from coming back, as the
// server's never do. Left as written, "INT IDENTITY(1,1)" would be a type name and the column
// would stay empty.
void identityColumn(Tokens& t, Index from, Index to) {
    Index identity = -1;
    for (Index k = from; k < to && identity < 0; ++k) {
        if (t[k].is("IDENTITY")) identity = k;
    }
    const Index column = nextSig(t, from - 1);
    const Index type = nextSig(t, column);
    if (identity < 0 || type >= identity) return;
    for (Index k = identity; k < to; ++k) {
        if (t[k].is("PRIMARY") && sigIs(t, nextSig(t, k), {"KEY"})) {
            insertText(t, nextSig(t, k) + 1, QStringLiteral(" AUTOINCREMENT"));
            break;
        }
    }
    Index last = identity;
    if (const Index open = nextSig(t, identity); sigIsPunct(t, open, '(')) {
        const Index close = matchParen(t, open);
        if (close > 0) last = close;
    }
    eraseTokens(t, identity, last);
    // The type and its size, "INT" or "NUMERIC(10, 0)", become the one SQLite numbers rows with.
    Index typeEnd = type;
    if (const Index open = nextSig(t, type); sigIsPunct(t, open, '(')) {
        const Index close = matchParen(t, open);
        if (close > 0 && close < identity) typeEnd = close;
    }
    eraseTokens(t, type, typeEnd);
    const bool wordAfter = type < t.size() && wordLike(t[type]);
    insertText(t, type, wordAfter ? QStringLiteral("INTEGER ") : QStringLiteral("INTEGER"));
}

void rewriteIdentities(Tokens& t) {
    const Index verb = nextSig(t, -1);
    const Index table = nextSig(t, verb);
    if (!sigIs(t, verb, {"CREATE"}) || !sigIs(t, table, {"TABLE"})) return;
    Index from = -1;
    for (Index k = table + 1; k < t.size() && from < 0; ++k) {
        if (t[k].isPunct('(')) from = k + 1;
    }
    if (from < 0) return;
    const Index to = matchParen(t, from - 1);
    if (to < 0) return;
    const auto defs = definitions(t, from, to);
    for (auto it = defs.rbegin(); it != defs.rend(); ++it) identityColumn(t, it->first, it->second);
}

}  // namespace

// A text literal compared with an expression (LTRIM(RTRIM(col)) = 'x') is compared in the
// engine's collation too, as every comparison of text is on the server; a bare column already
// brings its own.
bool isComparison(const Tokens& t, Index i) {
    return i >= 0 && i < t.size() && t[i].kind == Kind::Punct &&
           (t[i].isPunct('=') || t[i].isPunct('<') || t[i].isPunct('>') || t[i].isPunct('!'));
}

void collateComparedLiterals(Tokens& t) {
    Tokens out;
    out.reserve(t.size());
    for (Index i = 0; i < t.size(); ++i) {
        out.append(t[i]);
        if (t[i].kind != Kind::String) continue;
        if (!isComparison(t, prevSig(t, i)) && !isComparison(t, nextSig(t, i))) continue;
        if (sigIs(t, nextSig(t, i), {"COLLATE"})) continue;
        out.append(Token{Kind::Space, QStringLiteral(" ")});
        out.append(Token{Kind::Word, QStringLiteral("COLLATE")});
        out.append(Token{Kind::Space, QStringLiteral(" ")});
        out.append(Token{Kind::Word, QStringLiteral("CI")});
    }
    t = std::move(out);
}

Translation translateStatement(const QString& statement, const platform::Regional& regional,
                               bool addCollation, const DateColumns& dates,
                               const ColumnLengths& lengths) {
    Tokens t = tokenize(statement);
    if (auto fixed = sessionStatement(t)) {
        Translation fixedOut;
        fixedOut.sql = *fixed;
        return fixedOut;
    }
    removeNolock(t);
    removeOwner(t);
    removeNationalPrefix(t);
    Translation out;
    convertDates(t, regional, dates, out);
    checkLengths(t, lengths);
    joinTexts(t);
    rewriteFunctions(t);
    rewriteTops(t);
    rewriteIdentities(t);
    if (addCollation) {
        addTextCollation(t, QStringLiteral("CI"));
        collateComparedLiterals(t);
    }
    rewriteTempTables(t);
    out.sql = join(t, 0, t.size());
    return out;
}

QString translate(const QString& statement, const platform::Regional& regional, bool addCollation,
                  const DateColumns& dates, const ColumnLengths& lengths) {
    return translateStatement(statement, regional, addCollation, dates, lengths).sql;
}

}  // namespace ado::sqlite_dialect
