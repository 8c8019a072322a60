#include "connect/BasesRegistradas.h"

#include <QFile>

#include "platform/ArchivoLegible.h"
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
    // A file that cannot be opened for reading (missing, a folder, a FIFO, a device) lists no
    // entry; one too large to read raises.
    if (!platform::archivo::legible(archivo)) return bases;
    const auto& t = SuiteLib::tools();
    QString texto =
        platform::cp1252::decode(platform::archivo::lee(archivo, platform::limite::kAjustes));
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

QString claveDeRegistro(const QString& base, const QString& servidor) {
    QString s = servidor.toUpper().trimmed();
    const qsizetype dosPuntos = s.indexOf(QLatin1Char(':'));
    if (dosPuntos >= 0) s = s.left(dosPuntos);
    return base.toUpper().trimmed() + QStringLiteral(" / ") + s;
}

bool GrabaBaseRegistrada(const QString& archivo, const QString& clave, const QString& valor2,
                         const QString& valor3, const QString& valor4, const QString& servidor,
                         QString* error) {
    const QStringList valores = {clave.trimmed(), valor2.trimmed(), valor3.trimmed(),
                                 SuiteLib::tools().EncodeStored(valor4).trimmed(),
                                 servidor.trimmed()};
    for (const QString& v : valores) {
        if (v.contains(QLatin1Char(',')) || v.contains(QLatin1Char('"'))) {
            if (error)
                *error = QStringLiteral(
                             "La conexión no se puede registrar: «%1» tiene una coma o "
                             "comillas, que una entrada de BASES.TXT no puede guardar.")
                             .arg(v);
            return false;
        }
    }
    QFile f(archivo);
    QByteArray linea =
        platform::cp1252::encode(valores.join(QLatin1Char(',')) + QStringLiteral("\r\n"));
    // A file edited by hand may end without its line break: the new entry starts a line of its
    // own rather than ending the last one.
    if (f.size() > 0 && f.open(QIODevice::ReadOnly)) {
        f.seek(f.size() - 1);
        if (f.read(1) != "\n") linea.prepend("\r\n");
        f.close();
    }
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append) || f.write(linea) != linea.size()) {
        if (error) *error = QStringLiteral("No se pudo escribir %1.").arg(archivo);
        return false;
    }
    return true;
}
