#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <utility>

#include "ado/tsql/Tokens.h"

// Rewrites of the SQL Server dialect that every translation makes the same way.
namespace ado::tsql {

// Table hints with(nolock) and (nolock) go: the other engines read committed rows without them.
void removeNolock(Tokens& t);
// The owner "dbo." before a name goes.
void removeOwner(Tokens& t);
// The N of N'...' goes: every text is Unicode.
void removeNationalPrefix(Tokens& t);
// TOP n and TOP (n) become a LIMIT at the end of their SELECT; TOP 100 PERCENT goes. A member of
// a compound SELECT with its own limit becomes a subquery, named subqueryAlias when given (some
// engines require a name for it).
void rewriteTops(Tokens& t, const QString& subqueryAlias = {});

// Column definitions of t[from, to), separated by commas at the outer level.
QList<std::pair<Index, Index>> definitions(const Tokens& t, Index from, Index to);

// Text columns that CREATE TABLE or ALTER TABLE ... ADD declares without a collation of their
// own get `collation`: the one of each engine that compares as the server does, without case and
// blind to trailing blanks.
void addTextCollation(Tokens& t, const QString& collation);

// A call's replacement from its name, its arguments' texts and the text between its parentheses
// (their calls already rewritten); nothing leaves the call as written.
using CallRewrite = std::function<std::optional<QString>(const Token& name, const QStringList& args,
                                                         const QString& inner)>;

// The tokens of t[from, to) with every call whose name `isCall` takes rewritten by `rewrite`,
// arguments first, in one pass. `keepComments` hands the inner text with its comments; without,
// they become blanks (a text moved elsewhere, where a line comment would swallow what follows).
Tokens rewrittenCalls(const Tokens& t, Index from, Index to,
                      const std::function<bool(const Token&)>& isCall, const CallRewrite& rewrite,
                      bool keepComments);

// Texts of the arguments of the call whose parentheses are at open and close, comments left out.
QStringList callArguments(const Tokens& t, Index open, Index close);

}  // namespace ado::tsql
