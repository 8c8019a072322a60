#include "data/db_dll/DB_Dll.h"
#include "platform/Regional.h"

namespace {

bool codeIn(const platform::Variant& q, std::initializer_list<int> codes) {
    if (q.isEmpty() || q.isNull()) return false;
    double n = 0;
    if (q.isNumber()) {
        n = q.number();
    } else if (q.isText()) {
        bool ok = false;
        n = q.text().trimmed().toDouble(&ok);
        if (!ok) return false;
    } else {
        return false;
    }
    for (int c : codes)
        if (n == c) return true;
    return false;
}

[[noreturn]] void invalidArgument() {
    platform::raise(platform::errnum::InvalidArgument,
                    QStringLiteral("Llamada a procedimiento o argumento no válido"));
}

}  // namespace

bool DB_Dll::adodate(const Variant& Qtype) {
    return codeIn(Qtype, {7, 64, 133, 134, 135, 137});
}
bool DB_Dll::ADOText(const Variant& Qtype) {
    return codeIn(Qtype, {8, 129, 130, 200, 201, 202, 203});
}
bool DB_Dll::ADONumeric(const Variant& Qtype) {
    return codeIn(Qtype, {2, 3, 4, 5, 14, 16, 17, 18, 19, 20, 21, 131});
}
bool DB_Dll::ADOCurrency(const Variant& Qtype) {
    return codeIn(Qtype, {6});
}
bool DB_Dll::ADOBoolean(const Variant& Qtype) {
    return codeIn(Qtype, {11});
}
QString DB_Dll::ADOComilla(const Variant& Qtype) {
    return adodate(Qtype) || ADOText(Qtype) ? QStringLiteral("'") : QString();
}

DB_Dll::Variant DB_Dll::SQLValue(const Variant& Valor, const QString& Tipo) {
    Variant value = Valor;
    QString prefix, suffix;
    if (Tipo.compare(QLatin1String("@"), Qt::CaseInsensitive) == 0) {
        if (value.isNull()) {
            value = Variant(QStringLiteral("0"));
        } else {
            const double n = oUtil.TextToNumber(value.toText());
            const QString text =
                platform::numberText(n, platform::Regional::current().decimalSeparator);
            value = Variant(oUtil.ReplaceEvery(text, QStringLiteral(","), QStringLiteral(".")));
        }
    } else if (Tipo.compare(QLatin1String("'"), Qt::CaseInsensitive) == 0) {
        prefix = suffix = QStringLiteral("'");
    }
    if (value.isNull()) {
        value = Variant(QStringLiteral("NULL"));
        prefix.clear();
        suffix.clear();
    }
    return Variant(prefix + value.toText() + suffix);
}

QString DB_Dll::stSTF(QString& rsName, qint16 rnPart) {
    const int p = static_cast<int>(rsName.indexOf(QLatin1Char('.')));
    const bool second = p >= 0 && rsName.indexOf(QLatin1Char('.'), p + 1) >= 0;
    if (!second) {
        if (rnPart != 0) return p < 0 ? rsName : rsName.mid(p + 1);
        if (p < 0) invalidArgument();
        return rsName.left(p);
    }
    rsName = StripOwner(rsName);
    return rsName;
}

QString DB_Dll::AddBrackets(const QString& rObjName) {
    if (!rObjName.startsWith(QLatin1Char('[')) && rObjName.contains(QLatin1Char(' ')))
        return QLatin1Char('[') + rObjName + QLatin1Char(']');
    return rObjName;
}

QString DB_Dll::StripConnect(const QString& rsTblName) {
    const int at = static_cast<int>(rsTblName.indexOf(QLatin1String("->")));
    if (at < 0) return rsTblName;
    if (at == 0) invalidArgument();
    return rsTblName.left(at - 1);
}

QString DB_Dll::StripBrackets(const QString& rsObjName) {
    if (!rsObjName.startsWith(QLatin1Char('['))) return rsObjName;
    if (rsObjName.size() < 2) invalidArgument();
    return rsObjName.mid(1, rsObjName.size() - 2);
}

QString DB_Dll::StripOwner(QString& rsTblName) {
    const int p = static_cast<int>(rsTblName.indexOf(QLatin1Char('.')));
    if (p < 0) return rsTblName;
    rsTblName = rsTblName.mid(p + 1);
    return rsTblName;
}

QString DB_Dll::StripFileName(const QString& rsFileName) {
    // Paths of the suite use "\"; this system's own use "/".
    const int at = static_cast<int>(std::max(rsFileName.lastIndexOf(QLatin1Char('\\')),
                                             rsFileName.lastIndexOf(QLatin1Char('/'))));
    return at < 0 ? QString() : rsFileName.left(at);
}
