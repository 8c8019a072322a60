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

// A session's temporary table, #name (or ##name), is the engine's own: CREATE TABLE #x becomes
// CREATE TEMP TABLE x, and every #x names x. Runs after the passes that read CREATE TABLE.
void rewriteTempTables(Tokens& t);

// The unit of DATEADD as the server takes it, abbreviations included (mm, dd, yy, wk...).
enum class DatePart { Year, Quarter, Month, Week, Day, Hour, Minute, Second };
std::optional<DatePart> datePart(const QString& word);

// "+" between texts becomes "||", which both other engines join texts with (their "+" adds
// numbers): where an operand is a text literal or a call of a text function, and along its chain.
void joinTexts(Tokens& t);

// The parenthesis opening the one that closes at `close`, or -1.
Index matchParenBack(const Tokens& t, Index close);
// A name: a word, a bracketed or a quoted name.
bool isName(const Token& tok);
// The first token of the operand that ends at `last` (a literal, a qualified name, a call or a
// parenthesised expression), or -1; and the last one of the operand that starts at `first`.
Index operandStart(const Tokens& t, Index last);
Index operandEnd(const Tokens& t, Index first);

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
