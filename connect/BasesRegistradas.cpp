#include "connect/BasesRegistradas.h"

#include <QFile>

#include "platform/Cp1252.h"
#include "suitelib/SuiteLib.h"

QStringList valoresDeLinea(const QString& linea) {
    QStringList valores;
    QString actual;
    bool comillas = false, citado = false;
    for (qsizetype i = 0; i < linea.size(); ++i) {
        const QChar c = linea[i];
        if (comillas) {
            if (c == QLatin1Char('"')) {
                comillas = false;
            } else {
                actual += c;
            }
        } else if (c == QLatin1Char('"') && actual.trimmed().isEmpty()) {
            comillas = true;
            citado = true;
            actual.clear();
        } else if (c == QLatin1Char(',')) {
            valores << (citado ? actual : actual.trimmed());
            actual.clear();
            citado = false;
        } else if (!citado) {
            actual += c;
        }
    }
    valores << (citado ? actual : actual.trimmed());
    return valores;
}

std::vector<BaseRegistrada> leeBases(const QString& archivo) {
    std::vector<BaseRegistrada> bases;
    QFile f(archivo);
    if (!f.open(QIODevice::ReadOnly)) return bases;
    const auto& t = SuiteLib::tools();
    QString texto = platform::cp1252::decode(f.readAll());
    texto.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (const QString& linea : texto.split(QLatin1Char('\n'))) {
        if (linea.trimmed().isEmpty()) continue;
        const QStringList v = valoresDeLinea(linea);
        // Half an entry is no entry.
        if (v.size() < 5) continue;
        bases.push_back({v[0], v[1], v[2], t.DecodeStored(v[3]), v[4]});
    }
    return bases;
}

std::optional<BaseRegistrada> buscaBase(const QString& archivo, const QString& clave) {
    for (const BaseRegistrada& b : leeBases(archivo))
        if (b.clave.trimmed() == clave.trimmed()) return b;
    return std::nullopt;
}

CamposDeBase camposDe(const BaseRegistrada& b) {
    CamposDeBase c;
    c.servidor = b.servidor;
    c.base = b.base;
    const qsizetype dosPuntos = b.servidor.indexOf(QLatin1Char(':'));
    if (dosPuntos >= 0) {
        c.puerto = b.servidor.mid(dosPuntos + 1);
        c.servidor = b.servidor.left(dosPuntos).toUpper().trimmed();
    }
    return c;
}
