#include "lookup/ConsultasVln.h"

#include <QFileInfo>

#include "platform/Cp1252.h"
#include "platform/RecordFile.h"

namespace {

constexpr int kLargo = 1202;

QString campo(const QByteArray& registro, int desde, int largo) {
    return platform::cp1252::decode(registro.mid(desde, largo));
}

// Characters 0 and 255 fill fields that a writer never padded with blanks.
QString limpio(const QString& texto) {
    QString t = texto;
    t.remove(QChar(0)).remove(QChar(0xFF));
    return t.trimmed();
}

}  // namespace

std::optional<RegistroConsulta> buscaConsulta(const QString& archivo, const QString& tabla) {
    if (!QFileInfo(archivo).isFile()) return std::nullopt;
    platform::RecordFile f(archivo, kLargo);
    try {
        f.openReadOnly();
        const qint64 registros = f.recordCount();
        for (qint64 n = 1; n <= registros; ++n) {
            const QByteArray r = f.read(n);
            if (limpio(campo(r, 100, 100)).compare(tabla.trimmed(), Qt::CaseInsensitive) != 0)
                continue;
            return RegistroConsulta{campo(r, 0, 100), limpio(campo(r, 100, 100)),
                                    campo(r, 200, 500), limpio(campo(r, 700, 500))};
        }
    } catch (const std::exception&) {
        // A file that cannot be read holds no definition: the caller builds its own statement.
    }
    return std::nullopt;
}
