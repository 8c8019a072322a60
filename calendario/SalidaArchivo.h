#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <memory>

namespace calendario {

// A file written in large blocks: the many small events of a calendar go out a few megabytes at
// a time. The first failure is kept (with its reason in Spanish) and later writes do nothing.
class SalidaArchivo {
  public:
    bool abre(const QString& ruta, QString* error);
    void agrega(const QByteArray& bytes) { agrega(bytes.constData(), bytes.size()); }
    void agrega(const char* datos, qsizetype n);
    // Everything written and the file closed; false with the reason of the first failure.
    bool cierra(QString* error);
    bool abierta() const { return archivo_.isOpen(); }

  private:
    void vacia();

    static constexpr qsizetype kBloque = 4 << 20;
    QFile archivo_;
    std::unique_ptr<char[]> bloque_;
    qsizetype usados_ = 0;
    QString fallo_;
};

}  // namespace calendario
