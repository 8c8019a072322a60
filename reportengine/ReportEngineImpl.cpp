#include "reportengine/ReportEngineImpl.h"

#include <QDir>
#include <QFileInfo>

#include "platform/ArchivoLegible.h"
#include "platform/Process.h"
#include "platform/Prompt.h"
#include "platform/Regional.h"
#include "reportengine/Background.h"
#include "reportengine/ListQuery.h"
#include "reportengine/PdfExport.h"
#include "reportengine/ReportFields.h"
#include "reportengine/ReportPreview.h"
#include "reportengine/ReportPrinter.h"
#include "reportengine/ReportSaver.h"
#include "reportengine/ReportSource.h"
#include "reportengine/ScheduleQuery.h"
#include "reportengine/SelectionFormula.h"
#include "reportengine/XlsxExport.h"

namespace reportengine {

namespace {

using platform::Variant;

const QString kTitle = QStringLiteral("Informe");

std::nullopt_t tell(const QString& text) {
    platform::msgBox(text, platform::mb::Exclamation, kTitle);
    return std::nullopt;
}

}  // namespace

std::optional<ReportDocument> ReportEngineImpl::build(
    const QString& reportTemplate, const QString& selectionFormula, const QString& connectionText,
    const QStringList& formulas, const QString& folder, const QString& dataConnection) {
    // A name given with a folder or an extension still means the template of that name.
    const QString name = QFileInfo(reportTemplate.trimmed()).completeBaseName();
    const QString base = folder.isEmpty() ? platform::process::programFolder() : folder;
    const QString path = QDir(base).filePath(QStringLiteral("reportes/%1.xml").arg(name));
    // Only a template that is not there is "not found"; one that is there but cannot be read is
    // named for what it is below.
    if (name.isEmpty() || platform::archivo::clase(path) == platform::ClaseDeArchivo::Ninguna) {
        return tell(QStringLiteral("No se encuentra el formato del informe «%1».\n%2")
                        .arg(reportTemplate, QDir::toNativeSeparators(path)));
    }
    QString why;
    const auto t = ReportTemplate::load(path, &why);
    if (!t)
        return tell(
            QStringLiteral("El formato del informe «%1» no se puede leer: %2.").arg(name, why));

    ReportFields fields;
    for (const QString& f : formulas) {
        if (!fields.assign(f)) {
            return tell(QStringLiteral("La fórmula «%1» del informe «%2» no se puede leer: se "
                                       "espera nombre = 'valor'.")
                            .arg(f, name));
        }
    }

    const auto source = std::make_shared<ReportSource>(connectionText, dataConnection);
    const std::vector<TableColumns> tables = source->tables(*t);
    const auto selection = SelectionFormula::translate(selectionFormula, tables, &why);
    if (!selection) {
        return tell(QStringLiteral("La fórmula de selección del informe «%1» no se puede leer "
                                   "(%2):\n%3")
                        .arg(name, why, selectionFormula));
    }
    const auto filter = SelectionFormula::translate(t->filter, tables, &why);
    if (!filter) {
        return tell(QStringLiteral("El filtro del formato del informe «%1» no se puede leer "
                                   "(%2):\n%3")
                        .arg(name, why, t->filter));
    }
    QStringList conditions;
    std::vector<Variant> parameters;
    for (const SqlCondition* c : {&*selection, &*filter}) {
        if (c->sql.isEmpty()) continue;
        conditions << c->sql;
        parameters.insert(parameters.end(), c->parameters.begin(), c->parameters.end());
    }

    ReportDocument doc;
    doc.name = name;
    doc.kind = t->kind;
    doc.landscape = t->landscape;
    doc.title = fields.contains(t->titleField) ? fields.value(t->titleField) : t->title;
    doc.company = fields.value(t->companyField);
    doc.parameters = fields.value(t->parametersField);
    doc.printedAt = QDateTime::currentDateTime();
    const QString condition = conditions.join(QStringLiteral(" AND "));

    if (t->kind == ReportTemplate::Kind::Grid) {
        // The sums of a long schedule take the database a while: the windows keep painting.
        std::optional<ScheduleGrid> grid;
        waitShowing(QStringLiteral("Leyendo el informe %1").arg(name), [&] {
            grid = ScheduleQuery::load(source, *t, tables, condition, parameters, &why);
        });
        if (!grid) {
            if (why.startsWith(QStringLiteral("tiene un período")))
                return tell(QStringLiteral("El informe «%1» %2.").arg(name, why));
            return tell(
                QStringLiteral("El formato del informe «%1» no se puede usar: %2.").arg(name, why));
        }
        doc.grid = std::move(*grid);
        doc.showDetails = t->grid.showDetail;
        doc.labelHeading = t->grid.labelHeading;
        return doc;
    }
    QStringList wanted;
    for (const auto& c : t->columns) wanted << c.field;
    const QString statement = ReportSource::select(*t, tables, wanted, condition, &why);
    if (statement.isEmpty()) {
        return tell(
            QStringLiteral("El formato del informe «%1» no se puede usar: %2.").arg(name, why));
    }
    auto rows = std::make_shared<ListQuery>(source, statement, parameters);
    waitShowing(QStringLiteral("Leyendo el informe %1").arg(name),
                [&] { doc.table = ReportTable(t->columns, rows); });
    return doc;
}

bool ReportEngineImpl::run(const QString& reportTemplate, const QString&, const QString&,
                           const QString& selectionFormula, const QString& connectionText,
                           const QString& dataConnection, const QString& formula1,
                           const QString& formula2, const QString& formula3, const QString& folder,
                           const ReportOutput& output, qint32 printSetting) {
    const auto doc = build(reportTemplate, selectionFormula, connectionText,
                           {formula1, formula2, formula3}, folder, dataConnection);
    if (!doc) return false;
    switch (output.kind) {
        case ReportOutput::Kind::Screen: {
            ReportPreview preview(*doc, printSetting);
            preview.addExtraSave(output.extra);
            preview.exec();
            return true;
        }
        case ReportOutput::Kind::Printer:
            return ReportPrinter::print(*doc, printSetting);
        case ReportOutput::Kind::Files: {
            // Each file is tried, so that one bad path does not cost the other file.
            bool written = true;
            if (!output.pdfPath.isEmpty() &&
                ReportSaver::savePdf(*doc, output.pdfPath) != Outcome::Written)
                written = false;
            if (!output.xlsxPath.isEmpty() &&
                ReportSaver::saveXlsx(*doc, output.xlsxPath) != Outcome::Written)
                written = false;
            return written;
        }
    }
    return false;
}

void installReportEngine() {
    static ReportEngineImpl engine;
    SuiteLib::ReportRunner::setEngine(&engine);
}

}  // namespace reportengine
