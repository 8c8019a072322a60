#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// The single-byte code page of the files shared with the suite's other programs.
namespace cp1252 {
QByteArray encode(const QString& text);  // characters outside the code page become '?'
QString decode(const QByteArray& bytes);
}  // namespace cp1252

}  // namespace platform
