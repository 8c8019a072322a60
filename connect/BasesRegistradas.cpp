#include "connect/BasesRegistradas.h"

#include <QDir>
#include <QFile>

#include "data/db_dll/ErrorLog.h"
#include "platform/ArchivoBloqueado.h"
#include "platform/ArchivoLegible.h"
#include "platform/Cp1252.h"
#include "suitelib/SuiteLib.h"

QStringList valoresDeLinea(const QString& linea, bool* legible) {
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
    // A quote left open swallowed the rest of the line.
    if (legible) *legible = !comillas;
    return valores;
}

QStringList lineasDe(const QByteArray& bytes) {
    QStringList lineas;
    qsizetype inicio = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n') continue;
        lineas << platform::cp1252::decode(bytes.mid(inicio, i - inicio));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        inicio = i + 1;
    }
    if (inicio < bytes.size()) lineas << platform::cp1252::decode(bytes.mid(inicio));
    return lineas;
}

namespace {

constexpr qint64 kMayorBases = platform::limite::kAjustes;

// An entry that cannot be read is told once in the error log of the temporary folder, not at
// every reading of the list.
void avisaIlegible(const QString& archivo, int numero, const QString& linea,
                   const QString& porque) {
    errorlog::avisaUnaVez(archivo + QLatin1Char('\n') + linea, QStringLiteral(" - llenarlist"),
                          QStringLiteral("%1, línea %2: la entrada no se puede leer "
                                         "(%3) y no se lista: %4")
                              .arg(QDir::toNativeSeparators(archivo))
                              .arg(numero)
                              .arg(porque, linea.left(200)));
}

std::vector<BaseRegistrada> entradasDe(const QByteArray& bytes, const QString& archivo) {
    std::vector<BaseRegistrada> bases;
    const auto& t = SuiteLib::tools();
    const QStringList lineas = lineasDe(bytes);
    for (int n = 0; n < lineas.size(); ++n) {
        const QString& linea = lineas[n];
        if (linea.trimmed().isEmpty()) continue;
        bool legible = true;
        const QStringList v = valoresDeLinea(linea, &legible);
        // Half an entry is no entry, but it is not dropped without a word.
        if (!legible) {
            avisaIlegible(archivo, n + 1, linea, QStringLiteral("comillas sin cerrar"));
            continue;
        }
        if (v.size() < 5) {
            avisaIlegible(archivo, n + 1, linea,
                          QStringLiteral("tiene %1 valores de 5").arg(v.size()));
            continue;
        }
        bases.push_back({v[0], v[1], v[2], t.DecodeStored(v[3]), v[4]});
    }
    return bases;
}

}  // namespace

std::vector<BaseRegistrada> leeBases(const QString& archivo) {
    // A file that cannot be opened for reading (missing, a folder, a FIFO, a device) lists no
    // entry; one too large to read raises.
    if (!platform::archivo::legible(archivo)) return {};
    return entradasDe(platform::archivo::lee(archivo, platform::limite::kAjustes), archivo);
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
                         QString* error, bool* yaExiste) {
    if (yaExiste) *yaExiste = false;
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
    // The check for the key and the append are one step for every process that registers.
    platform::ArchivoBloqueado f(archivo);
    QByteArray antes;
    if (!f.abierto() || !f.lee(antes, kMayorBases)) {
        if (error) *error = f.error();
        return false;
    }
    for (const BaseRegistrada& b : entradasDe(antes, archivo)) {
        if (b.clave.trimmed() != clave.trimmed()) continue;
        if (yaExiste) *yaExiste = true;
        if (error) *error = QStringLiteral("La conexion que intenta registrar ya existe ");
        return false;
    }
    QByteArray linea =
        platform::cp1252::encode(valores.join(QLatin1Char(',')) + QStringLiteral("\r\n"));
    // A file edited by hand may end without its line break: the new entry starts a line of its
    // own rather than ending the last one.
    if (!antes.isEmpty() && !antes.endsWith('\n') && !antes.endsWith('\r')) linea.prepend("\r\n");
    if (!f.anade(linea)) {
        if (error) *error = f.error();
        return false;
    }
    return true;
}
