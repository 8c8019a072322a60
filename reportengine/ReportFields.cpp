#include "reportengine/ReportFields.h"

#include <QRegularExpression>

namespace reportengine {

bool ReportFields::assign(const QString& formula) {
    if (formula.trimmed().isEmpty()) return true;
    const int eq = static_cast<int>(formula.indexOf(QLatin1Char('=')));
    if (eq < 0) return false;
    const QString name = formula.left(eq).trimmed();
    static const QRegularExpression isName(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!isName.match(name).hasMatch()) return false;

    QString value = formula.mid(eq + 1).trimmed();
    const int first = static_cast<int>(value.indexOf(QLatin1Char('\'')));
    const int last = static_cast<int>(value.lastIndexOf(QLatin1Char('\'')));
    if (first == 0 && last > first && last == value.size() - 1) {
        value = value.mid(1, last - 1);
        value.replace(QStringLiteral("''"), QStringLiteral("'"));
    } else if (first >= 0) {
        return false;  // a quote that does not enclose the value
    }
    values_.insert(name.toLower(), value);
    return true;
}

QString ReportFields::value(const QString& name) const {
    return values_.value(name.toLower());
}

bool ReportFields::contains(const QString& name) const {
    return values_.contains(name.toLower());
}

}  // namespace reportengine
