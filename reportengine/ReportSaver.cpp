#include "reportengine/ReportSaver.h"

#include <QFileInfo>

#include "platform/Prompt.h"
#include "reportengine/BannerProgress.h"
#include "reportengine/PdfExport.h"
#include "reportengine/XlsxExport.h"

namespace reportengine {

namespace {

const QString kTitle = QStringLiteral("Informe");

QString saving(const QString& path) {
    return QStringLiteral("Guardando %1").arg(QFileInfo(path).fileName());
}

}  // namespace

Outcome ReportSaver::savePdf(const ReportDocument& doc, const QString& path) {
    QString why;
    Outcome outcome = Outcome::Failed;
    {
        BannerProgress progress(saving(path), QStringLiteral("Página"));
        outcome = PdfExport::write(doc, path, &why, progress.callback());
    }
    if (outcome == Outcome::Failed) {
        platform::msgBox(QStringLiteral("No se pudo guardar el informe en PDF: %1.").arg(why),
                         platform::mb::Critical, kTitle);
    }
    return outcome;
}

Outcome ReportSaver::saveXlsx(const ReportDocument& doc, const QString& path) {
    QString why;
    Outcome outcome = Outcome::Failed;
    {
        BannerProgress progress(saving(path), QStringLiteral("Fila"));
        outcome = XlsxExport::write(doc, path, &why, progress.callback());
    }
    if (outcome == Outcome::Failed) {
        platform::msgBox(
            QStringLiteral("No se pudo guardar el informe como planilla: %1.").arg(why),
            platform::mb::Critical, kTitle);
    }
    return outcome;
}

}  // namespace reportengine
