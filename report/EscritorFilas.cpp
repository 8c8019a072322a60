#include "report/EscritorFilas.h"

#include <algorithm>

EscritorFilas::EscritorFilas(const ado::Connection& cnn, const QString& tabla,
                             const QStringList& columnas, int filasPorEnvio)
    : cnn_(cnn),
      cabecera_(QStringLiteral("INSERT INTO ") + tabla + QStringLiteral(" (") +
                columnas.join(QLatin1Char(',')) + QStringLiteral(") VALUES ")),
      columnas_(static_cast<int>(columnas.size())),
      filasPorEnvio_(std::clamp(filasPorEnvio, 1, std::max(1, 2000 / std::max(1, columnas_)))) {
    lleno_.setActiveConnection(cnn_);
    lleno_.setCommandText(sentencia(filasPorEnvio_));
    resto_.setActiveConnection(cnn_);
    resto_.setCommandText(sentencia(1));
    pendientes_.reserve(static_cast<std::size_t>(filasPorEnvio_ * columnas_));
}

QString EscritorFilas::sentencia(int filas) const {
    QString marcas = QStringLiteral("(");
    for (int c = 0; c < columnas_; ++c) marcas += c ? QStringLiteral(",?") : QStringLiteral("?");
    marcas += QLatin1Char(')');
    QStringList grupos;
    for (int f = 0; f < filas; ++f) grupos << marcas;
    return cabecera_ + grupos.join(QLatin1Char(','));
}

void EscritorFilas::agrega(const std::vector<platform::Variant>& fila) {
    pendientes_.insert(pendientes_.end(), fila.begin(), fila.end());
    if (pendientes() >= static_cast<std::size_t>(filasPorEnvio_)) envia();
}

void EscritorFilas::envia() {
    const std::size_t filas = pendientes();
    if (filas == 0) return;
    if (filas == static_cast<std::size_t>(filasPorEnvio_)) {
        lleno_.execute(pendientes_);
    } else {
        // Rows already sent are dropped from the buffer one by one, so that a failure leaves
        // exactly the unsent ones.
        std::vector<platform::Variant> una(static_cast<std::size_t>(columnas_));
        while (pendientes() > 0) {
            std::copy_n(pendientes_.begin(), columnas_, una.begin());
            resto_.execute(una);
            pendientes_.erase(pendientes_.begin(), pendientes_.begin() + columnas_);
            ++escritas_;
        }
        return;
    }
    escritas_ += static_cast<qint64>(filas);
    pendientes_.clear();
}
