#include "reportengine/PdfExport.h"

#include <QFileInfo>
#include <QPageSize>
#include <QPdfWriter>

#include "reportengine/PagePainter.h"

namespace reportengine {

QPageLayout PdfExport::pageLayout(bool landscape) {
    return QPageLayout(QPageSize(QPageSize::A4),
                       landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
}

int PdfExport::write(const ReportDocument& doc, const QString& path, QString* error) {
    int pages = 0;
    {
        QPdfWriter writer(path);
        writer.setPageLayout(pageLayout(doc.landscape));
        writer.setResolution(600);
        writer.setTitle(doc.title);
        writer.setCreator(QStringLiteral("Cronequipo"));
        pages = PagePainter::render(doc, writer);
    }
    if (pages == 0 || !QFileInfo(path).isFile()) {
        if (error) *error = QStringLiteral("no se pudo escribir el archivo %1").arg(path);
        return 0;
    }
    return pages;
}

}  // namespace reportengine
