#include "reportengine/PdfExport.h"

#include <QDir>
#include <QFile>
#include <QPageSize>
#include <QPdfWriter>

#include "reportengine/PagePainter.h"

namespace reportengine {

QPageLayout PdfExport::pageLayout(bool landscape) {
    return QPageLayout(QPageSize(QPageSize::A4),
                       landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
}

Outcome PdfExport::write(const ReportDocument& doc, const QString& path, QString* error,
                         const Progress& progress) {
    OutputFile file(path);
    if (!file.open(error)) return Outcome::Failed;
    int pages = 0;
    QFile out(file.path());
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        QPdfWriter writer(&out);
        writer.setPageLayout(pageLayout(doc.landscape));
        writer.setResolution(600);
        writer.setTitle(doc.title);
        writer.setCreator(QStringLiteral("Cronequipo"));
        pages = PagePainter::render(doc, writer, progress);
    }
    if (pages < 0) return Outcome::Cancelled;
    // Flushing is where a full disk shows.
    const bool written = pages > 0 && out.flush() && out.error() == QFileDevice::NoError;
    out.close();
    if (!written || out.error() != QFileDevice::NoError) {
        if (error)
            *error = QStringLiteral("no se pudo escribir el archivo %1")
                         .arg(QDir::toNativeSeparators(path));
        return Outcome::Failed;
    }
    return file.commit(error) ? Outcome::Written : Outcome::Failed;
}

}  // namespace reportengine
