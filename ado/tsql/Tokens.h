#pragma once

#include <QList>
#include <QString>
#include <algorithm>
#include <initializer_list>

// The reading of statements written in the SQL Server dialect, shared by every translation.
namespace ado::tsql {

// Tokens. Joining the texts of all tokens gives back the input exactly, so every rewrite is an
// edit of the token list and nothing outside the tokens it touches changes.

enum class Kind { Space, Comment, String, Bracket, Quoted, Word, Number, Punct };

struct Token {
    Kind kind = Kind::Punct;
    QString text;

    bool significant() const { return kind != Kind::Space && kind != Kind::Comment; }
    bool is(const char* word) const {
        return kind == Kind::Word && text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    bool isAnyOf(std::initializer_list<const char*> words) const {
        return std::any_of(words.begin(), words.end(), [this](const char* w) { return is(w); });
    }
    bool isPunct(char c) const {
        return kind == Kind::Punct && text.size() == 1 && text[0] == QLatin1Char(c);
    }
    bool hasLineBreak() const {
        return kind == Kind::Space &&
               (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')));
    }
};

}  // namespace ado::tsql

// A token moves as its bytes: lists of a million of them grow in place.
Q_DECLARE_TYPEINFO(ado::tsql::Token, Q_RELOCATABLE_TYPE);

namespace ado::tsql {

using Tokens = QList<Token>;
using Index = qsizetype;

// Blanks, comments (block comments nest, as the server lets them), quoted texts, bracketed and
// double-quoted names, words, numbers and single punctuation marks. An unterminated quote or
// bracket runs to the end of the text.
Tokens tokenize(const QString& s);

// The text of t[from, to).
QString join(const Tokens& t, Index from, Index to);
// Text of t[from, to) to be moved elsewhere: comments become a blank, since a line comment
// would otherwise swallow whatever follows it at its new place.
QString joinCode(const Tokens& t, Index from, Index to);

// Index of the next significant token after i, or t.size().
inline Index nextSig(const Tokens& t, Index i) {
    for (++i; i < t.size(); ++i) {
        if (t[i].significant()) return i;
    }
    return t.size();
}

// Index of the previous significant token before i, or -1.
inline Index prevSig(const Tokens& t, Index i) {
    for (--i; i >= 0; --i) {
        if (t[i].significant()) return i;
    }
    return -1;
}

inline bool sigIs(const Tokens& t, Index i, std::initializer_list<const char*> words) {
    return i >= 0 && i < t.size() && t[i].isAnyOf(words);
}

inline bool sigIsPunct(const Tokens& t, Index i, char c) {
    return i >= 0 && i < t.size() && t[i].isPunct(c);
}

inline bool hasSignificant(const Tokens& t, Index from, Index to) {
    for (Index i = from; i < to; ++i) {
        if (t[i].significant()) return true;
    }
    return false;
}

inline bool wordLike(const Token& tok) {
    return tok.significant() && tok.kind != Kind::Punct;
}

// Index of the parenthesis closing the one at `open`, or -1 when it is never closed.
Index matchParen(const Tokens& t, Index open);

// Removes t[from..to] keeping one separator between what was on either side of it.
void eraseTokens(Tokens& t, Index from, Index to);
// Inserts the tokens of `text` at `at`.
void insertText(Tokens& t, Index at, const QString& text);

}  // namespace ado::tsql
