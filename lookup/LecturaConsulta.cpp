#include "lookup/LecturaConsulta.h"

#include <QElapsedTimer>
#include <limits>

namespace {

// Long enough that reading is most of the time, short enough that a key waits unnoticed.
constexpr qint64 kTramoMs = 15;
// The clock is read every so many rows.
constexpr int kFilasPorMirada = 64;
// Rows read join the list at least this often.
constexpr qint64 kMuestraMs = 100;

}  // namespace

LecturaConsulta::LecturaConsulta(ListaConsulta& lista, Reporta reporta, QObject* parent)
    : QObject(parent), lista_(lista), reporta_(std::move(reporta)) {
    temporizador_.setInterval(0);
    connect(&temporizador_, &QTimer::timeout, this, &LecturaConsulta::tramo);
}

LecturaConsulta::~LecturaConsulta() {
    temporizador_.stop();
    // The source closes what it holds as it goes.
    fuente_.reset();
}

void LecturaConsulta::empieza(std::unique_ptr<FuenteFilas> fuente, int primeras) {
    suelta();
    fuente_ = std::move(fuente);
    lee(primeras, 0, true);
    if (fuente_) temporizador_.start();
}

void LecturaConsulta::leeTodo() {
    while (fuente_ && !leyendo_) lee(std::numeric_limits<int>::max(), 0, true);
}

void LecturaConsulta::suelta() {
    temporizador_.stop();
    std::unique_ptr<FuenteFilas> f = std::move(fuente_);
    if (f) f->suelta();
}

void LecturaConsulta::tramo() {
    // A prompt about a failure runs the event loop while its stretch waits for the answer.
    if (leyendo_) return;
    const std::size_t antes = static_cast<std::size_t>(lista_.rowCount());
    lee(std::numeric_limits<int>::max(), kTramoMs, false);
    if (static_cast<std::size_t>(lista_.rowCount()) != antes) emit llegaron();
    if (!fuente_) temporizador_.stop();
}

void LecturaConsulta::lee(int maximo, qint64 hasta, bool muestra) {
    if (!fuente_ || leyendo_) return;
    leyendo_ = true;
    const struct Fuera {
        bool& leyendo;
        ~Fuera() { leyendo = false; }
    } fuera{leyendo_};
    QElapsedTimer reloj;
    reloj.start();
    bool acabada = false;  // read to the limit without a failure
    int leidas = 0;
    platform::Steps::trapping(reporta_)
        .then([&] {
            while (leidas < maximo) {
                if (!fuente_->siguiente(fila_)) {
                    fuente_.reset();
                    break;
                }
                lista_.acumula(fila_);
                ++leidas;
                if (hasta > 0 && leidas % kFilasPorMirada == 0 && reloj.elapsed() >= hasta) break;
            }
            acabada = true;
        })
        .cleanup([&] {
            // A sorted list merges the rows that join it, at the cost of the whole list each
            // time: they join in bunches, an eighth of the list at least or every so often.
            const auto enLista = static_cast<std::size_t>(lista_.rowCount());
            if (muestra || !fuente_ || !acabada || lista_.pendientes() * 8 >= enLista ||
                !desdeQueSeMostraron_.isValid() || desdeQueSeMostraron_.elapsed() >= kMuestraMs) {
                lista_.incorpora();
                desdeQueSeMostraron_.start();
            }
        })
        .run();
    // A row that could not be read ends the reading: the rows read so far stay.
    if (!acabada) suelta();
}
