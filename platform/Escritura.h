#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Writing the suite's shared files so that they hold the old content or the new one whole,
// never part of it: a full disk, a memory limit or a killed run leave no half line behind.
namespace platform::escritura {

// Appends `bytes` at the end of `f` (open for appending): on a short write the file is cut back
// to its length before, so that the next line is never glued to half of this one. False then.
bool agregaEntero(QFile& f, const QByteArray& bytes);

// Writes `bytes` to a temporary file beside `destino` and then puts it in its place in one step:
// the file exists whole or as it was. False, with the reason naming the file, otherwise.
bool reemplazaEntero(const QString& destino, const QByteArray& bytes, QString* error);

// Puts `desde` in the place of `hacia` in one step, its content on the disk first, replacing
// `hacia` where it exists and also while a reader holds it open (so::reemplaza: a plain rename
// onto an existing file fails on Windows). Both in one folder. False when it could not.
bool reemplaza(const QString& desde, const QString& hacia);

// Test switch, as a full disk: once `bytes` more bytes have been written by these routines and
// by the locked appends, every further write stops short. Below 0 turns it off.
void fallaTras(qint64 bytes);
// How many of `pedidos` bytes a write may still put out (all of them unless the switch is on).
qint64 permitido(qint64 pedidos);

}  // namespace platform::escritura
