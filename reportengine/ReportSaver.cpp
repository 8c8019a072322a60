#include "reportengine/ReportSaver.h"

#include <QFileInfo>

#include "platform/Prompt.h"
#include "reportengine/BannerProgress.h"
#include "reportengine/PdfExport.h"
#include "reportengine/XlsxExport.h"

namespace reportengine {

namespace {

using Writer = Outcome (*)(const ReportDocument&, const QString&, QString*, const Progress&);

Outcome save(const ReportDocument& doc, const QString& path, Writer write, const QString& unit,
             const QString& failure) {
    QString why;
    Outcome outcome = Outcome::Failed;
    {
        BannerProgress progress(QStringLiteral("Guardando %1").arg(QFileInfo(path).fileName()),
                                unit);
        outcome = write(doc, path, &why, progress.callback());
    }
    if (outcome == Outcome::Failed)
        platform::msgBox(failure.arg(why), platform::mb::Critical, QStringLiteral("Informe"));
    return outcome;
}

Outcome writeXlsx(const ReportDocument& doc, const QString& path, QString* error,
                  const Progress& progress) {
    return XlsxExport::write(doc, path, error, progress);
}

}  // namespace

Outcome ReportSaver::savePdf(const ReportDocument& doc, const QString& path) {
    return save(doc, path, &PdfExport::write, QStringLiteral("Página"),
                QStringLiteral("No se pudo guardar el informe en PDF: %1."));
}

Outcome ReportSaver::saveXlsx(const ReportDocument& doc, const QString& path) {
    return save(doc, path, &writeXlsx, QStringLiteral("Fila"),
                QStringLiteral("No se pudo guardar el informe como planilla: %1."));
}

}  // namespace reportengine
