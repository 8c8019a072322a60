#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// The column widths of the lookups, "CONSULTASLEN.VLN": one line per table,
// "<table>","<twips>|<twips>|...|", single-byte text with CR LF.
namespace anchosconsulta {

// The file keeps widths in twips, as the suite's other programs read them.
constexpr int kTwipsPorPixel = 15;

// The widths stored for `tabla` (no regard to case), at most `columnas` of them. Each line of the
// table overwrites the widths it has, so the last one wins; a width that is not a number reads
// as 0.
std::vector<double> lee(const QByteArray& contenido, const QString& tabla, int columnas);

// The file with the lines of `tabla` replaced by one line of these widths, last; the other
// tables' lines are kept byte for byte, blank lines are dropped.
QByteArray reemplaza(const QByteArray& contenido, const QString& tabla,
                     const std::vector<int>& twips);

// A stored width in pixels: at least 1, at most what a column can be, whatever the file says.
int pixeles(double twips);

}  // namespace anchosconsulta
