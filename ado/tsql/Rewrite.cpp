#include "ado/tsql/Rewrite.h"

#include <utility>
#include <vector>

namespace ado::tsql {

namespace {

// Removes the ranges [from, to] (in order, not overlapping) in one pass, keeping one separator
// between what was on either side of each, as eraseTokens does for one.
void eraseRanges(Tokens& t, const std::vector<std::pair<Index, Index>>& ranges) {
    if (ranges.empty()) return;
    Tokens out;
    out.reserve(t.size());
    std::size_t r = 0;
    for (Index i = 0; i < t.size(); ++i) {
        if (r < ranges.size() && i == ranges[r].first) {
            const Index next = ranges[r].second + 1;
            ++r;
            i = next - 1;
            const bool spaceBefore = !out.isEmpty() && out.back().kind == Kind::Space;
            const bool atEnd = next >= t.size();
            if (spaceBefore && (atEnd || t[next].kind == Kind::Space)) {
                out.removeLast();
            } else if (!spaceBefore && !atEnd && !out.isEmpty() && wordLike(out.back()) &&
                       wordLike(t[next])) {
                out.append(Token{Kind::Space, QStringLiteral(" ")});
            }
            continue;
        }
        out.append(std::move(t[i]));
    }
    t = std::move(out);
}

}  // namespace

void removeNolock(Tokens& t) {
    std::vector<std::pair<Index, Index>> ranges;
    for (Index i = 0; i < t.size(); ++i) {
        Index open = i;
        if (t[i].is("WITH")) {
            open = nextSig(t, i);
        } else if (!t[i].isPunct('(')) {
            continue;
        }
        const Index hint = nextSig(t, open);
        const Index close = nextSig(t, hint);
        if (sigIsPunct(t, open, '(') && sigIs(t, hint, {"NOLOCK"}) && sigIsPunct(t, close, ')')) {
            ranges.push_back({i, close});
            i = close;
        }
    }
    eraseRanges(t, ranges);
}

namespace {

// Keeps the tokens for which `drop` is false, in one pass.
template <class Drop>
void keepTokens(Tokens& t, Drop drop) {
    Tokens out;
    out.reserve(t.size());
    for (Index i = 0; i < t.size(); ++i) {
        const Index skip = drop(i);
        if (skip > 0) {
            i += skip - 1;
            continue;
        }
        out.append(std::move(t[i]));
    }
    t = std::move(out);
}

}  // namespace

void removeOwner(Tokens& t) {
    // "dbo." before a name: both tokens go
    keepTokens(t, [&](Index i) -> Index {
        const bool owner =
            t[i].is("dbo") || (t[i].kind == Kind::Bracket &&
                               t[i].text.compare(QLatin1String("[dbo]"), Qt::CaseInsensitive) == 0);
        return owner && i + 1 < t.size() && t[i + 1].isPunct('.') ? 2 : 0;
    });
}

void removeNationalPrefix(Tokens& t) {
    keepTokens(t, [&](Index i) -> Index {
        return t[i].is("N") && i + 1 < t.size() && t[i + 1].kind == Kind::String ? 1 : 0;
    });
}

void rewriteTempTables(Tokens& t) {
    for (Index i = t.size() - 1; i >= 0; --i) {
        if (t[i].kind != Kind::Word || !t[i].text.startsWith(QLatin1Char('#'))) continue;
        Index hashes = 0;
        while (hashes < t[i].text.size() && t[i].text[hashes] == QLatin1Char('#')) ++hashes;
        if (hashes == t[i].text.size()) continue;
        t[i].text = t[i].text.mid(hashes);
        const Index table = prevSig(t, i);
        if (sigIs(t, table, {"TABLE"}) && sigIs(t, prevSig(t, table), {"CREATE"}))
            insertText(t, table, QStringLiteral("TEMP "));
    }
}

std::optional<DatePart> datePart(const QString& word) {
    static const struct {
        const char* names[4];
        DatePart part;
    } parts[] = {
        {{"year", "yy", "yyyy"}, DatePart::Year},
        {{"quarter", "qq", "q"}, DatePart::Quarter},
        {{"month", "mm", "m"}, DatePart::Month},
        {{"week", "wk", "ww"}, DatePart::Week},
        {{"day", "dd", "d", "dayofyear"}, DatePart::Day},
        {{"dy", "y", "weekday", "dw"}, DatePart::Day},
        {{"hour", "hh"}, DatePart::Hour},
        {{"minute", "mi", "n"}, DatePart::Minute},
        {{"second", "ss", "s"}, DatePart::Second},
    };
    const QString w = word.trimmed();
    for (const auto& p : parts)
        for (const char* name : p.names)
            if (name && w.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) return p.part;
    return std::nullopt;
}

namespace {

bool isCompoundOperator(const Tokens& t, Index i) {
    return sigIs(t, i, {"UNION", "EXCEPT", "INTERSECT"}) ||
           (sigIs(t, i, {"ALL"}) && sigIs(t, prevSig(t, i), {"UNION"}));
}

// Turns the TOP of the SELECT at sel into a LIMIT at the end of that SELECT. False, with nothing
// changed, when the SELECT has no TOP that can be translated.
bool rewriteTop(Tokens& t, Index sel, const QString& alias) {
    Index top = nextSig(t, sel);
    if (sigIs(t, top, {"DISTINCT", "ALL"})) top = nextSig(t, top);
    if (!sigIs(t, top, {"TOP"})) return false;
    const Index k = nextSig(t, top);
    Index last = k;
    QString count;
    if (k < t.size() && t[k].kind == Kind::Number) {
        count = t[k].text;
    } else if (sigIsPunct(t, k, '(')) {
        last = matchParen(t, k);
        if (last < 0) return false;
        count = joinCode(t, k + 1, last);
    } else {
        return false;
    }
    const Index after = nextSig(t, last);
    if (sigIs(t, after, {"PERCENT"})) {
        if (count != QLatin1String("100")) return false;
        eraseTokens(t, top, after);
        return true;
    }
    if (sigIs(t, after, {"WITH"}) && sigIs(t, nextSig(t, after), {"TIES"})) return false;

    // The SELECT ends where its enclosing parenthesis closes, at the end of the statement, or
    // where it meets another member of a compound SELECT; a member that follows a compound
    // operator also ends at the ORDER BY, which belongs to the whole compound.
    const bool followsCompound = isCompoundOperator(t, prevSig(t, sel));
    bool inCompound = followsCompound;
    Index end = t.size();
    int depth = 0;
    for (Index i = sel + 1; i < t.size(); ++i) {
        if (t[i].isPunct('(')) {
            ++depth;
        } else if (t[i].isPunct(')')) {
            if (depth-- == 0) {
                end = i;
                break;
            }
        } else if (depth > 0) {
            continue;
        } else if (t[i].isPunct(';')) {
            end = i;
            break;
        } else if (isCompoundOperator(t, i) && !t[i].is("ALL")) {
            end = i;
            inCompound = true;
            break;
        } else if (followsCompound && t[i].is("ORDER") && sigIs(t, nextSig(t, i), {"BY"})) {
            end = i;
            break;
        }
    }
    const Index tail = prevSig(t, end) + 1;
    // LIMIT belongs after the last member of a compound SELECT: a member with its own limit
    // becomes a subquery.
    const QString close = alias.isEmpty() ? QStringLiteral(")") : QStringLiteral(") ") + alias;
    insertText(t, tail, QStringLiteral(" LIMIT %1%2").arg(count, inCompound ? close : QString()));
    eraseTokens(t, top, last);
    if (inCompound) insertText(t, sel, QStringLiteral("SELECT * FROM ("));
    return true;
}

}  // namespace

void rewriteTops(Tokens& t, const QString& subqueryAlias) {
    for (Index i = 0; i < t.size(); ++i) {
        // a rewrite may put "SELECT * FROM (" at i: look at i again, its TOP is gone
        if (t[i].is("SELECT") && rewriteTop(t, i, subqueryAlias)) --i;
    }
}

// Texts of the arguments of the call whose parentheses are at open and close.
QStringList callArguments(const Tokens& t, Index open, Index close) {
    QStringList args;
    int depth = 0;
    Index from = open + 1;
    for (Index k = open + 1; k < close; ++k) {
        if (t[k].isPunct('(')) {
            ++depth;
        } else if (t[k].isPunct(')')) {
            --depth;
        } else if (depth == 0 && t[k].isPunct(',')) {
            args << joinCode(t, from, k);
            from = k + 1;
        }
    }
    const QString last = joinCode(t, from, close);
    if (!args.isEmpty() || !last.isEmpty()) args << last;
    return args;
}

namespace {

bool isTextType(const Token& tok) {
    QString name = tok.text;
    if (tok.kind == Kind::Bracket) {
        name = name.mid(1, name.size() - 2);
    } else if (tok.kind != Kind::Word) {
        return false;
    }
    name = name.toLower();
    return name == QLatin1String("char") || name == QLatin1String("varchar") ||
           name == QLatin1String("nchar") || name == QLatin1String("nvarchar") ||
           name == QLatin1String("text") || name == QLatin1String("ntext");
}

// Adds the collation to the column definition t[from, to) when it declares a text column with
// none of its own.
void collateColumn(Tokens& t, Index from, Index to, const QString& collation) {
    const Index column = nextSig(t, from - 1);
    if (column >= to || t[column].isAnyOf({"CONSTRAINT", "PRIMARY", "UNIQUE", "CHECK", "FOREIGN",
                                           "INDEX", "COLUMN"})) {
        return;
    }
    const Index type = nextSig(t, column);
    if (type >= to || !isTextType(t[type])) return;
    for (Index k = type; k < to; ++k) {
        if (t[k].is("COLLATE")) return;
    }
    Index at = type + 1;
    const Index open = nextSig(t, type);
    if (open < to && t[open].isPunct('(')) {
        const Index close = matchParen(t, open);
        if (close < 0 || close >= to) return;
        at = close + 1;
    }
    insertText(t, at, QStringLiteral(" COLLATE ") + collation);
}

}  // namespace

QList<std::pair<Index, Index>> definitions(const Tokens& t, Index from, Index to) {
    QList<std::pair<Index, Index>> defs;
    int depth = 0;
    Index begin = from;
    for (Index k = from; k < to; ++k) {
        if (t[k].isPunct('(')) {
            ++depth;
        } else if (t[k].isPunct(')')) {
            --depth;
        } else if (depth == 0 && t[k].isPunct(',')) {
            defs.append({begin, k});
            begin = k + 1;
        }
    }
    defs.append({begin, to});
    return defs;
}

void addTextCollation(Tokens& t, const QString& collation) {
    const Index verb = nextSig(t, -1);
    const Index table = nextSig(t, verb);
    if (!sigIs(t, table, {"TABLE"})) return;
    Index from = -1;
    Index to = -1;
    if (t[verb].is("CREATE")) {
        for (Index k = table + 1; k < t.size() && from < 0; ++k) {
            if (t[k].isPunct('(')) from = k + 1;
        }
        if (from < 0) return;
        to = matchParen(t, from - 1);
    } else if (t[verb].is("ALTER")) {
        Index add = nextSig(t, table);
        while (add < t.size() && !t[add].is("ADD")) add = nextSig(t, add);
        if (add >= t.size()) return;
        from = sigIs(t, nextSig(t, add), {"COLUMN"}) ? nextSig(t, add) + 1 : add + 1;
        to = t.size();
        for (Index k = from; k < t.size(); ++k) {
            if (t[k].isPunct(';')) {
                to = k;
                break;
            }
        }
    }
    if (from < 0 || to < 0) return;
    const auto defs = definitions(t, from, to);
    // from the last, so that insertions leave the earlier ranges valid
    for (auto it = defs.rbegin(); it != defs.rend(); ++it)
        collateColumn(t, it->first, it->second, collation);
}

Tokens rewrittenCalls(const Tokens& t, Index from, Index to,
                      const std::function<bool(const Token&)>& isCall, const CallRewrite& rewrite,
                      bool keepComments) {
    Tokens out;
    out.reserve(to - from);
    for (Index i = from; i < to; ++i) {
        const Token& tok = t[i];
        const Index open = nextSig(t, i);
        const bool call = tok.kind == Kind::Word && !sigIsPunct(t, prevSig(t, i), '.') &&
                          open < to && t[open].isPunct('(') && isCall(tok);
        const Index close = call ? matchParen(t, open) : -1;
        if (close < 0 || close >= to) {
            out.append(tok);
            continue;
        }
        const Tokens inner = rewrittenCalls(t, open + 1, close, isCall, rewrite, keepComments);
        const auto text =
            rewrite(tok, callArguments(inner, -1, inner.size()),
                    keepComments ? join(inner, 0, inner.size()) : joinCode(inner, 0, inner.size()));
        if (!text) {
            for (Index k = i; k <= open; ++k) out.append(t[k]);
            out.append(inner);
            out.append(t[close]);
        } else {
            out.append(tokenize(*text));
        }
        i = close;
    }
    return out;
}

// The index of the parenthesis opening the one that closes at `close`, or -1.
Index matchParenBack(const Tokens& t, Index close) {
    int depth = 0;
    for (Index i = close; i >= 0; --i) {
        if (t[i].isPunct(')')) {
            ++depth;
        } else if (t[i].isPunct('(') && --depth == 0) {
            return i;
        }
    }
    return -1;
}

bool isName(const Token& tok) {
    return tok.kind == Kind::Word || tok.kind == Kind::Bracket || tok.kind == Kind::Quoted;
}

// The first token of the operand that ends at `last`: a literal, a (qualified) name, a call or a
// parenthesised expression; -1 when `last` ends none of those.
Index operandStart(const Tokens& t, Index last) {
    if (last < 0 || last >= t.size()) return -1;
    if (t[last].isPunct(')')) {
        const Index open = matchParenBack(t, last);
        if (open < 0) return -1;
        const Index name = prevSig(t, open);
        return name >= 0 && t[name].kind == Kind::Word &&
                       !t[name].isAnyOf({"IN", "AND", "OR", "NOT", "WHERE", "ON", "SELECT",
                                         "VALUES", "WHEN", "THEN", "ELSE"})
                   ? name
                   : open;
    }
    if (t[last].kind == Kind::String || t[last].kind == Kind::Number || t[last].isPunct('?'))
        return last;
    if (!isName(t[last])) return -1;
    Index first = last;
    while (sigIsPunct(t, prevSig(t, first), '.') && first > 0 &&
           isName(t[prevSig(t, prevSig(t, first))]))
        first = prevSig(t, prevSig(t, first));
    return first;
}

// The last token of the operand that starts at `first`, or -1.
Index operandEnd(const Tokens& t, Index first) {
    if (first < 0 || first >= t.size()) return -1;
    if (t[first].isPunct('(')) return matchParen(t, first);
    if (t[first].kind == Kind::String || t[first].kind == Kind::Number || t[first].isPunct('?'))
        return first;
    if (!isName(t[first])) return -1;
    const Index open = nextSig(t, first);
    if (t[first].kind == Kind::Word && sigIsPunct(t, open, '(')) return matchParen(t, open);
    Index last = first;
    while (sigIsPunct(t, nextSig(t, last), '.') && isName(t[nextSig(t, nextSig(t, last))]))
        last = nextSig(t, nextSig(t, last));
    return last;
}

namespace {

// Whether the operand starting at `first` is a text: a literal or a call of a function that
// gives one.
bool isTextOperand(const Tokens& t, Index first) {
    if (first < 0 || first >= t.size()) return false;
    if (t[first].kind == Kind::String) return true;
    return sigIsPunct(t, nextSig(t, first), '(') &&
           t[first].isAnyOf({"LTRIM", "RTRIM", "UPPER", "LOWER", "SUBSTRING", "REPLACE", "LEFT",
                             "RIGHT", "SPACE", "STR"});
}

}  // namespace

// "+" between texts becomes "||". A "+" is between texts when an operand next to it is a text
// literal or a call of a text function, or when it continues a chain of "+" that is: in
// a + ' ' + b both signs join texts. A sum of two columns of text stays a sum.
void joinTexts(Tokens& t) {
    std::vector<Index> plus;
    for (Index i = 0; i < t.size(); ++i)
        if (t[i].isPunct('+')) plus.push_back(i);
    if (plus.empty()) return;
    std::vector<char> text(plus.size(), 0);
    std::vector<Index> leftFirst(plus.size()), rightLast(plus.size());
    for (std::size_t k = 0; k < plus.size(); ++k) {
        const Index i = plus[k];
        leftFirst[k] = operandStart(t, prevSig(t, i));
        const Index rightFirst = nextSig(t, i);
        rightLast[k] = operandEnd(t, rightFirst);
        text[k] = leftFirst[k] >= 0 && rightLast[k] >= 0 &&
                  (isTextOperand(t, leftFirst[k]) || isTextOperand(t, rightFirst));
    }
    // a chain: the operand right of one sign is the operand left of the next
    auto linked = [&](std::size_t k) {
        return k + 1 < plus.size() && rightLast[k] >= 0 && nextSig(t, rightLast[k]) == plus[k + 1];
    };
    for (std::size_t k = 0; k + 1 < plus.size(); ++k)
        if (text[k] && linked(k)) text[k + 1] = 1;
    for (std::size_t k = plus.size() - 1; k > 0; --k)
        if (text[k] && linked(k - 1)) text[k - 1] = 1;
    for (std::size_t k = 0; k < plus.size(); ++k)
        if (text[k]) t[plus[k]].text = QStringLiteral("||");
}

}  // namespace ado::tsql
