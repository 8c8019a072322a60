#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

#include "lookup/FuenteFilas.h"
#include "lookup/ListaConsulta.h"
#include "platform/Failure.h"

// Reads the rows of a source into a list: the first ones at once, the rest from the event loop
// in short stretches, so that the window shows and answers while a long list comes in. What
// needs every row reads the rest first (leeTodo); closing the window lets go of the source.
class LecturaConsulta : public QObject {
    Q_OBJECT
  public:
    using Reporta = std::function<int(const platform::ErrorInfo&)>;

    LecturaConsulta(ListaConsulta& lista, Reporta reporta, QObject* parent = nullptr);
    ~LecturaConsulta() override;

    // The source's first `primeras` rows into the list now, the rest between events.
    void empieza(std::unique_ptr<FuenteFilas> fuente, int primeras);
    void leeTodo();
    // The reading ends where it is and the source lets go of what it holds open.
    void suelta();
    bool completa() const { return !fuente_; }

  signals:
    // Rows joined the list after the first ones.
    void llegaron();

  private:
    // Reads until the source ends, `maximo` rows were read or `hasta` ms passed (0 for no
    // limit); the rows join the list at once when `muestra` says so. A failure goes to the
    // reporter: repeat reads on, any other answer ends the reading.
    void lee(int maximo, qint64 hasta, bool muestra);
    void tramo();

    ListaConsulta& lista_;
    Reporta reporta_;
    std::unique_ptr<FuenteFilas> fuente_;
    ListaConsulta::Fila fila_;
    QTimer temporizador_;
    bool leyendo_ = false;
    QElapsedTimer desdeQueSeMostraron_;  // since rows last joined the list
};
