#include "reportengine/ReportPrinter.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/Process.h"
#include "platform/Prompt.h"
#include "reportengine/BannerProgress.h"
#include "reportengine/PagePainter.h"
#include "reportengine/PdfExport.h"

namespace reportengine {

namespace {

const QString kTitle = QStringLiteral("Informe");

QString fallbackPath(const ReportDocument& doc) {
    QString folder = platform::process::tempFolder();
    if (folder.isEmpty()) folder = QDir::tempPath();
    return QDir(folder).filePath(QStringLiteral("%1-%2.pdf")
                                     .arg(doc.name, QDateTime::currentDateTime().toString(
                                                        QStringLiteral("yyyyMMdd-HHmmss"))));
}

}  // namespace

void ReportPrinter::configure(QPrinter& printer, const ReportDocument& doc,
                              const PrintSetting& setting) {
    if (!setting.printer.isEmpty()) {
        const QPrinterInfo info = QPrinterInfo::printerInfo(setting.printer);
        if (!info.isNull()) printer.setPrinterName(info.printerName());
    }
    bool landscape = doc.landscape;
    if (setting.orientation == PrintSetting::Orientation::Portrait) landscape = false;
    if (setting.orientation == PrintSetting::Orientation::Landscape) landscape = true;
    printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    printer.setDocName(doc.title.isEmpty() ? doc.name : doc.title);
}

PrintSetting ReportPrinter::settingOf(const QPrinter& printer) {
    PrintSetting s;
    s.printer = printer.printerName();
    s.orientation = printer.pageLayout().orientation() == QPageLayout::Landscape
                        ? PrintSetting::Orientation::Landscape
                        : PrintSetting::Orientation::Portrait;
    return s;
}

bool ReportPrinter::print(const ReportDocument& doc, qint32 printSetting) {
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        const QString path = fallbackPath(doc);
        QString error;
        Outcome outcome = Outcome::Failed;
        {
            BannerProgress progress(QStringLiteral("Guardando %1").arg(QFileInfo(path).fileName()),
                                    QStringLiteral("Página"));
            outcome = PdfExport::write(doc, path, &error, progress.callback());
        }
        if (outcome == Outcome::Cancelled) return false;
        if (outcome == Outcome::Failed) {
            platform::msgBox(QStringLiteral("No hay ninguna impresora instalada y el informe no "
                                            "se pudo guardar: %1.")
                                 .arg(error),
                             platform::mb::Critical, kTitle);
            return false;
        }
        platform::msgBox(QStringLiteral("No hay ninguna impresora instalada. El informe se "
                                        "guardó en el archivo:\n%1")
                             .arg(QDir::toNativeSeparators(path)),
                         platform::mb::Information, kTitle);
        return true;
    }
    QPrinter printer(QPrinter::HighResolution);
    configure(printer, doc, PrintSettingStore::read(printSetting));
    return printOn(doc, printer) == Outcome::Written;
}

Outcome ReportPrinter::printOn(const ReportDocument& doc, QPrinter& printer) {
    int pages = 0;
    {
        BannerProgress progress(QStringLiteral("Imprimiendo en %1").arg(printer.printerName()),
                                QStringLiteral("Página"));
        pages = PagePainter::render(doc, printer, progress.callback());
    }
    if (pages < 0) return Outcome::Cancelled;
    if (pages == 0) {
        platform::msgBox(
            QStringLiteral("No se pudo imprimir el informe en %1.").arg(printer.printerName()),
            platform::mb::Critical, kTitle);
        return Outcome::Failed;
    }
    return Outcome::Written;
}

}  // namespace reportengine
