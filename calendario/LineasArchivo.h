#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

namespace calendario {

// The physical lines of a file read in large blocks, so that a file of hundreds of megabytes is
// read in little memory. CR LF, LF alone and a last line without an end all end a line; a line
// longer than a block (no calendar's) comes in pieces of a block, so that memory stays flat
// whatever the file holds.
class LineasArchivo {
  public:
    bool abre(const QString& ruta, QString* error);
    // The next line without its end, valid until the next call; false at the end of the file or
    // on a read failure (then `fallo()` says why).
    bool siguiente(QByteArrayView* linea);
    const QString& fallo() const { return fallo_; }

  private:
    bool llena();

    static constexpr qsizetype kBloque = 1 << 20;
    QFile archivo_;
    QByteArray bloque_;
    qsizetype pos_ = 0;
    bool fin_ = false;
    QString fallo_;
};

}  // namespace calendario
