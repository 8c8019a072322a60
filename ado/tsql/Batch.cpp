#include "ado/tsql/Batch.h"

#include "ado/tsql/Tokens.h"

namespace ado::tsql {

namespace {

bool atLineStart(const Tokens& t, Index i) {
    if (i == 0) return true;
    const Token& prev = t[i - 1];
    if (prev.kind != Kind::Space) return false;
    return prev.hasLineBreak() || i == 1;
}

// For a GO that stands alone on its line (an optional repeat count and comment allowed), the
// index where the next statement starts; -1 otherwise.
Index goLineEnd(const Tokens& t, Index i) {
    if (!t[i].is("GO") || !atLineStart(t, i)) return -1;
    Index j = i + 1;
    auto skipBlanks = [&] {
        while (j < t.size() && t[j].kind == Kind::Space && !t[j].hasLineBreak()) ++j;
    };
    skipBlanks();
    if (j < t.size() && t[j].kind == Kind::Number) ++j;
    skipBlanks();
    if (j < t.size() && t[j].kind == Kind::Comment && t[j].text.startsWith(QLatin1String("--"))) {
        ++j;
    }
    if (j < t.size() && !t[j].hasLineBreak()) return -1;
    return j;
}

// True while the statement begun at `start` still lacks the part that makes it runnable: an
// INSERT without its rows, or a WITH whose common table expressions still wait for their query.
bool awaitingBody(const Tokens& t, Index start, Index i) {
    const Index first = nextSig(t, start - 1);
    const bool insert = sigIs(t, first, {"INSERT"});
    if (!insert && !sigIs(t, first, {"WITH"})) return false;
    int depth = 0;
    for (Index k = first + 1; k < i; ++k) {
        if (t[k].isPunct('(')) {
            ++depth;
        } else if (t[k].isPunct(')')) {
            --depth;
        } else if (depth == 0 &&
                   (insert ? t[k].isAnyOf({"VALUES", "SELECT", "EXEC", "EXECUTE"})
                           : t[k].isAnyOf({"SELECT", "INSERT", "UPDATE", "DELETE", "MERGE"}))) {
            return false;
        }
    }
    return true;
}

// Whether the word at i (depth 0) begins a new statement inside the one begun at `start`.
bool startsStatement(const Tokens& t, Index start, Index i) {
    if (!hasSignificant(t, start, i)) return false;
    const Token& w = t[i];
    const Index p = prevSig(t, i);
    const Index nx = nextSig(t, i);
    // "ON DELETE CASCADE", "FOR INSERT, UPDATE", "INSTEAD OF DELETE", "GRANT SELECT, INSERT"...
    auto afterClause = [&] {
        return sigIs(t, p, {"ON", "FOR", "AFTER", "OF", "THEN", "GRANT", "REVOKE", "DENY"}) ||
               sigIsPunct(t, p, ',');
    };
    if (w.isAnyOf({"INSERT", "UPDATE", "DELETE"})) {
        if (afterClause()) return false;
        if (w.is("UPDATE") && sigIsPunct(t, nx, '(')) return false;  // UPDATE(column) in triggers
        return !awaitingBody(t, start, i);
    }
    if (w.isAnyOf({"EXEC", "EXECUTE"})) {
        return !afterClause() && !sigIs(t, p, {"WITH"}) && !awaitingBody(t, start, i);
    }
    if (w.isAnyOf({"CREATE", "DECLARE", "COMMIT", "ROLLBACK"})) return true;
    if (w.is("DROP")) {
        // ALTER TABLE ... DROP CONSTRAINT / COLUMN stays in its statement
        return sigIs(t, nx,
                     {"TABLE", "VIEW", "INDEX", "PROCEDURE", "PROC", "FUNCTION", "TRIGGER",
                      "DATABASE", "SCHEMA", "TYPE", "SYNONYM", "DEFAULT", "RULE", "STATISTICS",
                      "USER", "LOGIN", "ROLE", "SEQUENCE"});
    }
    if (w.is("ALTER")) return !sigIs(t, p, {"OR"}) && !sigIs(t, nx, {"COLUMN"});
    if (w.is("BEGIN")) return sigIs(t, nx, {"TRAN", "TRANSACTION", "DISTRIBUTED"});
    if (w.is("SET")) return sigIs(t, nx, {"NOCOUNT"});
    if (w.is("TRUNCATE")) return sigIs(t, nx, {"TABLE"});
    if (w.is("SELECT")) {
        if (!atLineStart(t, i)) return false;
        // a statement ending in one of these goes on with the SELECT
        const bool continues =
            sigIs(t, p,
                  {"UNION", "ALL", "EXCEPT", "INTERSECT", "AS", "FOR", "AND", "OR", "NOT", "IN",
                   "EXISTS", "THEN", "ELSE", "WHEN", "RETURN"}) ||
            sigIsPunct(t, p, ',') || sigIsPunct(t, p, '=') || sigIsPunct(t, p, '<') ||
            sigIsPunct(t, p, '>') || sigIsPunct(t, p, '+') || sigIsPunct(t, p, '-') ||
            sigIsPunct(t, p, '/');
        return !continues && !awaitingBody(t, start, i);
    }
    return false;
}

}  // namespace

QStringList splitBatch(const QString& batch) {
    const Tokens t = tokenize(batch);
    QStringList out;
    auto flush = [&](Index from, Index to) {
        if (hasSignificant(t, from, to)) out << join(t, from, to).trimmed();
    };
    Index start = 0;
    int depth = 0;
    for (Index i = 0; i < t.size(); ++i) {
        const Token& tok = t[i];
        if (tok.isPunct('(')) {
            ++depth;
        } else if (tok.isPunct(')')) {
            depth = std::max(0, depth - 1);
        } else if (depth > 0) {
            continue;
        } else if (tok.isPunct(';')) {
            flush(start, i);
            start = i + 1;
        } else if (tok.kind == Kind::Word) {
            if (const Index next = goLineEnd(t, i); next >= 0) {
                flush(start, i);
                start = next;
                i = next - 1;
            } else if (startsStatement(t, start, i)) {
                flush(start, i);
                start = i;
            }
        }
    }
    flush(start, t.size());
    return out;
}

}  // namespace ado::tsql
