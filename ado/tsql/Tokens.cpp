#include "ado/tsql/Tokens.h"

#include <array>

namespace ado::tsql {

namespace {

bool isWordStart(QChar c) {
    return c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('@') || c == QLatin1Char('#');
}

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('@') ||
           c == QLatin1Char('#') || c == QLatin1Char('$');
}

// End (one past) of a delimited run opened at `from`, where a doubled closer stands for itself.
// An unterminated run extends to the end of the text.
Index delimitedEnd(const QString& s, Index from, QChar close) {
    for (Index j = from + 1; j < s.size(); ++j) {
        if (s[j] != close) continue;
        if (j + 1 < s.size() && s[j + 1] == close) {
            ++j;
            continue;
        }
        return j + 1;
    }
    return s.size();
}

// One text for each ASCII punctuation mark, shared by every token of it: a statement of a
// million parentheses makes no allocation for each.
const QString& punctText(char16_t c) {
    static const std::array<QString, 128> texts = [] {
        std::array<QString, 128> t;
        for (char16_t k = 0; k < 128; ++k) t[k] = QString(QChar(k));
        return t;
    }();
    return texts[c];
}

}  // namespace

Tokens tokenize(const QString& s) {
    Tokens out;
    out.reserve(s.size() / 4 + 4);
    const Index n = s.size();
    Index i = 0;
    while (i < n) {
        const QChar c = s[i];
        const QChar next = i + 1 < n ? s[i + 1] : QChar();
        Index j = i + 1;
        Kind kind = Kind::Punct;
        if (c.isSpace()) {
            kind = Kind::Space;
            while (j < n && s[j].isSpace()) ++j;
        } else if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
            kind = Kind::Comment;
            while (j < n && s[j] != QLatin1Char('\n') && s[j] != QLatin1Char('\r')) ++j;
        } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            kind = Kind::Comment;  // the server lets block comments nest
            int depth = 1;
            j = i + 2;
            while (j < n && depth > 0) {
                if (s[j] == QLatin1Char('/') && j + 1 < n && s[j + 1] == QLatin1Char('*')) {
                    ++depth;
                    j += 2;
                } else if (s[j] == QLatin1Char('*') && j + 1 < n && s[j + 1] == QLatin1Char('/')) {
                    --depth;
                    j += 2;
                } else {
                    ++j;
                }
            }
        } else if (c == QLatin1Char('\'')) {
            kind = Kind::String;
            j = delimitedEnd(s, i, QLatin1Char('\''));
        } else if (c == QLatin1Char('[')) {
            kind = Kind::Bracket;
            j = delimitedEnd(s, i, QLatin1Char(']'));
        } else if (c == QLatin1Char('"')) {
            kind = Kind::Quoted;
            j = delimitedEnd(s, i, QLatin1Char('"'));
        } else if (c.isDigit()) {
            kind = Kind::Number;
            while (j < n && (isWordChar(s[j]) || s[j] == QLatin1Char('.'))) ++j;
        } else if (isWordStart(c)) {
            kind = Kind::Word;
            while (j < n && isWordChar(s[j])) ++j;
        }
        if (kind == Kind::Punct && j == i + 1 && c.unicode() < 128)
            out.append(Token{kind, punctText(c.unicode())});
        else
            out.append(Token{kind, s.mid(i, j - i)});
        i = j;
    }
    return out;
}

QString join(const Tokens& t, Index from, Index to) {
    QString out;
    for (Index i = from; i < to; ++i) out += t[i].text;
    return out;
}

QString joinCode(const Tokens& t, Index from, Index to) {
    QString out;
    for (Index i = from; i < to; ++i)
        out += t[i].kind == Kind::Comment ? QStringLiteral(" ") : t[i].text;
    return out.trimmed();
}

Index matchParen(const Tokens& t, Index open) {
    int depth = 0;
    for (Index i = open; i < t.size(); ++i) {
        if (t[i].isPunct('(')) {
            ++depth;
        } else if (t[i].isPunct(')') && --depth == 0) {
            return i;
        }
    }
    return -1;
}

void eraseTokens(Tokens& t, Index from, Index to) {
    t.remove(from, to - from + 1);
    const bool spaceBefore = from > 0 && t[from - 1].kind == Kind::Space;
    const bool atEnd = from == t.size();
    if (spaceBefore && (atEnd || t[from].kind == Kind::Space)) {
        t.remove(from - 1);
    } else if (!spaceBefore && !atEnd && from > 0 && wordLike(t[from - 1]) && wordLike(t[from])) {
        t.insert(from, Token{Kind::Space, QStringLiteral(" ")});
    }
}

void insertText(Tokens& t, Index at, const QString& text) {
    const Tokens add = tokenize(text);
    for (Index k = 0; k < add.size(); ++k) t.insert(at + k, add[k]);
}

}  // namespace ado::tsql
