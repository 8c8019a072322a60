#include "reportengine/SelectionFormula.h"

#include <QDate>
#include <QRegularExpression>
#include <algorithm>

#include "platform/Hoy.h"

namespace reportengine {

namespace {

struct Token {
    enum class Type { Field, Text, Number, Word, Operator, Open, Close, End } type = Type::End;
    QString text;
    int position = 0;  // 1-based, for the messages
};

// Thrown inside the translation only; translate() turns it into the message.
struct Unreadable {
    int position = 0;
    QString what;
};

bool isIdentifier(const QString& s) {
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re.match(s).hasMatch();
}

std::vector<Token> tokenize(const QString& s) {
    std::vector<Token> out;
    const int n = static_cast<int>(s.size());
    int i = 0;
    while (i < n) {
        const QChar c = s[i];
        const int at = i + 1;
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('{')) {
            const int close = static_cast<int>(s.indexOf(QLatin1Char('}'), i + 1));
            if (close < 0)
                throw Unreadable{at, QStringLiteral("falta la llave de cierre del campo")};
            out.push_back({Token::Type::Field, s.mid(i + 1, close - i - 1).trimmed(), at});
            i = close + 1;
        } else if (c == QLatin1Char('\'')) {
            QString text;
            ++i;
            for (;;) {
                if (i >= n)
                    throw Unreadable{at, QStringLiteral("falta la comilla de cierre del texto")};
                if (s[i] == QLatin1Char('\'')) {
                    if (i + 1 < n && s[i + 1] == QLatin1Char('\'')) {
                        text += QLatin1Char('\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                text += s[i++];
            }
            out.push_back({Token::Type::Text, text, at});
        } else if (c.isDigit() || (c == QLatin1Char('-') && i + 1 < n && s[i + 1].isDigit())) {
            int j = i + 1;
            while (j < n && (s[j].isDigit() || s[j] == QLatin1Char('.'))) ++j;
            out.push_back({Token::Type::Number, s.mid(i, j - i), at});
            i = j;
        } else if (c.isLetter() || c == QLatin1Char('_')) {
            int j = i + 1;
            while (j < n && (s[j].isLetterOrNumber() || s[j] == QLatin1Char('_'))) ++j;
            out.push_back({Token::Type::Word, s.mid(i, j - i).toLower(), at});
            i = j;
        } else if (c == QLatin1Char('(')) {
            out.push_back({Token::Type::Open, QStringLiteral("("), at});
            ++i;
        } else if (c == QLatin1Char(')')) {
            out.push_back({Token::Type::Close, QStringLiteral(")"), at});
            ++i;
        } else if (c == QLatin1Char('=') || c == QLatin1Char('<') || c == QLatin1Char('>')) {
            QString op(c);
            if (i + 1 < n && c != QLatin1Char('=') &&
                (s[i + 1] == QLatin1Char('=') ||
                 (c == QLatin1Char('<') && s[i + 1] == QLatin1Char('>')))) {
                op += s[i + 1];
            }
            out.push_back({Token::Type::Operator, op, at});
            i += static_cast<int>(op.size());
        } else {
            throw Unreadable{at, QStringLiteral("no se reconoce el carácter «%1»").arg(c)};
        }
    }
    out.push_back({Token::Type::End, QString(), n + 1});
    return out;
}

class Parser {
  public:
    Parser(std::vector<Token> tokens, const std::vector<TableColumns>& tables)
        : tokens_(std::move(tokens)), tables_(tables) {}

    SqlCondition parse() {
        SqlCondition c;
        c.sql = parseOr();
        if (peek().type != Token::Type::End)
            throw Unreadable{peek().position, QStringLiteral("sobra «%1»").arg(describe(peek()))};
        c.parameters = std::move(parameters_);
        return c;
    }

  private:
    const Token& peek() const { return tokens_[pos_]; }
    Token take() { return tokens_[pos_++]; }
    bool isWord(const char* w) const {
        return peek().type == Token::Type::Word && peek().text == QLatin1String(w);
    }

    static QString describe(const Token& t) {
        switch (t.type) {
            case Token::Type::Field:
                return QLatin1Char('{') + t.text + QLatin1Char('}');
            case Token::Type::Text:
                return QLatin1Char('\'') + t.text + QLatin1Char('\'');
            case Token::Type::End:
                return QStringLiteral("el final");
            default:
                return t.text;
        }
    }

    QString parseOr() {
        QString left = parseAnd();
        while (isWord("or")) {
            take();
            left = QStringLiteral("(%1 OR %2)").arg(left, parseAnd());
        }
        return left;
    }

    QString parseAnd() {
        QString left = parseNot();
        while (isWord("and")) {
            take();
            left = QStringLiteral("(%1 AND %2)").arg(left, parseNot());
        }
        return left;
    }

    // Every level of nesting (parentheses, "not", a function's argument) costs stack: a formula
    // written by a person needs few, a hostile one is refused rather than ending the program.
    struct Level {
        explicit Level(Parser& p) : parser(p) {
            if (++parser.depth_ > kMaxDepth) {
                throw Unreadable{parser.peek().position,
                                 QStringLiteral("anida más de %1 niveles").arg(kMaxDepth)};
            }
        }
        ~Level() { --parser.depth_; }
        Level(const Level&) = delete;
        Level& operator=(const Level&) = delete;
        Parser& parser;
    };
    static constexpr int kMaxDepth = 100;

    QString parseNot() {
        const Level level(*this);
        if (isWord("not")) {
            take();
            return QStringLiteral("(NOT %1)").arg(parseNot());
        }
        return parseComparison();
    }

    QString parseComparison() {
        // A value never starts with a parenthesis, so one here opens a group.
        if (peek().type == Token::Type::Open) {
            take();
            // Compound conditions come back in parentheses already.
            const QString inner = parseOr();
            expectClose();
            return inner;
        }
        const QString left = parseValue();
        if (peek().type != Token::Type::Operator) {
            throw Unreadable{peek().position,
                             QStringLiteral("se esperaba una comparación (=, <>, <, >, <=, >=) "
                                            "y se encontró %1")
                                 .arg(describe(peek()))};
        }
        const QString op = take().text;
        const QString right = parseValue();
        return QStringLiteral("%1 %2 %3").arg(left, op, right);
    }

    QString parseValue() {
        const Level level(*this);
        const Token t = take();
        switch (t.type) {
            case Token::Type::Field:
                return column(t);
            case Token::Type::Text:
                parameters_.emplace_back(t.text);
                return QStringLiteral("?");
            case Token::Type::Number: {
                bool ok = false;
                const double n = t.text.toDouble(&ok);
                if (!ok)
                    throw Unreadable{t.position,
                                     QStringLiteral("número no válido: %1").arg(t.text)};
                parameters_.emplace_back(n);
                return QStringLiteral("?");
            }
            case Token::Type::Word:
                return function(t);
            default:
                throw Unreadable{t.position, QStringLiteral("se esperaba un campo, un texto o una "
                                                            "función y se encontró %1")
                                                 .arg(describe(t))};
        }
    }

    QString function(const Token& name) {
        static const std::vector<std::pair<QString, QString>> oneArgument = {
            {QStringLiteral("uppercase"), QStringLiteral("UPPER(%1)")},
            {QStringLiteral("lowercase"), QStringLiteral("LOWER(%1)")},
            {QStringLiteral("trim"), QStringLiteral("LTRIM(RTRIM(%1))")},
        };
        if (peek().type != Token::Type::Open) {
            throw Unreadable{name.position,
                             QStringLiteral("«%1» no es un campo ni una función; los campos van "
                                            "entre llaves y los textos entre comillas simples")
                                 .arg(name.text)};
        }
        for (const auto& [fn, sql] : oneArgument) {
            if (name.text == fn) {
                take();
                const QString argument = parseValue();
                expectClose();
                return sql.arg(argument);
            }
        }
        if (name.text == QLatin1String("today")) {
            take();
            expectClose();
            parameters_.emplace_back(platform::hoy());
            return QStringLiteral("?");
        }
        throw Unreadable{name.position, QStringLiteral("función desconocida: %1").arg(name.text)};
    }

    void expectClose() {
        if (peek().type != Token::Type::Close) {
            throw Unreadable{
                peek().position,
                QStringLiteral("se esperaba «)» y se encontró %1").arg(describe(peek()))};
        }
        take();
    }

    QString column(const Token& t) const {
        QString why;
        if (auto sql = SelectionFormula::column(t.text, tables_, &why)) return *sql;
        throw Unreadable{t.position, why};
    }

    std::vector<Token> tokens_;
    const std::vector<TableColumns>& tables_;
    int depth_ = 0;
    std::size_t pos_ = 0;
    std::vector<platform::Variant> parameters_;
};

}  // namespace

std::optional<QString> SelectionFormula::column(const QString& reference,
                                                const std::vector<TableColumns>& tables,
                                                QString* error) {
    auto fail = [&](const QString& why) -> std::optional<QString> {
        if (error) *error = why;
        return std::nullopt;
    };
    const QStringList parts = reference.trimmed().split(QLatin1Char('.'));
    if (parts.size() > 2 || !std::all_of(parts.begin(), parts.end(), isIdentifier))
        return fail(QStringLiteral("el campo {%1} no tiene la forma {Tabla.Campo}").arg(reference));
    const QString wantedTable = parts.size() == 2 ? parts[0] : QString();
    const QString wantedColumn = parts.back();
    bool tableFound = false;
    for (const auto& tc : tables) {
        if (!wantedTable.isEmpty() && tc.table.compare(wantedTable, Qt::CaseInsensitive) != 0)
            continue;
        tableFound = true;
        for (const QString& col : tc.columns) {
            // Only plain names reach the statement, whatever the database reports.
            if (col.compare(wantedColumn, Qt::CaseInsensitive) == 0 && isIdentifier(col) &&
                isIdentifier(tc.table))
                return tc.table + QLatin1Char('.') + col;
        }
    }
    if (!tableFound)
        return fail(QStringLiteral("la tabla «%1» no forma parte del informe").arg(wantedTable));
    return fail(QStringLiteral("el campo {%1} no existe en el informe").arg(reference));
}

std::optional<SqlCondition> SelectionFormula::translate(const QString& formula,
                                                        const std::vector<TableColumns>& tables,
                                                        QString* error) {
    if (formula.trimmed().isEmpty()) return SqlCondition{};
    try {
        return Parser(tokenize(formula), tables).parse();
    } catch (const Unreadable& u) {
        if (error) *error = QStringLiteral("posición %1: %2").arg(u.position).arg(u.what);
        return std::nullopt;
    }
}

}  // namespace reportengine
