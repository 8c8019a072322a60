#include "reportengine/ReportEngineImpl.h"

#include <QDir>
#include <QFileInfo>

#include "platform/Process.h"
#include "platform/Prompt.h"
#include "platform/Regional.h"
#include "reportengine/PdfExport.h"
#include "reportengine/ReportFields.h"
#include "reportengine/ReportPreview.h"
#include "reportengine/ReportPrinter.h"
#include "reportengine/ReportSource.h"
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

// Dates come back as dates, or as the short-date text the schedule writes when the column
// could not type them.
std::optional<QDate> dateOf(const Variant& v) {
    if (v.isDate()) return v.date().date();
    if (v.isText()) {
        if (const auto d = platform::Regional::current().parseDate(v.text())) return d->date();
    }
    return std::nullopt;
}

double numberOf(const Variant& v) {
    return v.isNull() || v.isEmpty() ? 0 : v.toNumber();
}

QString textOf(const Variant& v) {
    return v.isNull() ? QString() : v.toText();
}

}  // namespace

std::optional<ReportDocument> ReportEngineImpl::build(const QString& reportTemplate,
                                                      const QString& selectionFormula,
                                                      const QString& connectionText,
                                                      const QStringList& formulas,
                                                      const QString& folder) {
    // A name given with a folder or an extension still means the template of that name.
    const QString name = QFileInfo(reportTemplate.trimmed()).completeBaseName();
    const QString base = folder.isEmpty() ? platform::process::programFolder() : folder;
    const QString path = QDir(base).filePath(QStringLiteral("reportes/%1.xml").arg(name));
    if (name.isEmpty() || !QFileInfo(path).isFile()) {
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

    ReportSource source(connectionText);
    const std::vector<TableColumns> tables = source.tables(*t);
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

    const bool grid = t->kind == ReportTemplate::Kind::Grid;
    QStringList wanted;
    if (grid) {
        wanted = {t->grid.label, t->grid.from, t->grid.to, t->grid.count};
        if (!t->grid.daily.isEmpty()) wanted << t->grid.daily;
        if (!t->grid.detail.isEmpty()) wanted << t->grid.detail;
    } else {
        for (const auto& c : t->columns) wanted << c.field;
    }
    const QString statement =
        ReportSource::select(*t, tables, wanted, conditions.join(QStringLiteral(" AND ")), &why);
    if (statement.isEmpty()) {
        return tell(
            QStringLiteral("El formato del informe «%1» no se puede usar: %2.").arg(name, why));
    }
    auto rows = source.rows(statement, parameters);

    ReportDocument doc;
    doc.name = name;
    doc.kind = t->kind;
    doc.landscape = t->landscape;
    doc.title = fields.contains(t->titleField) ? fields.value(t->titleField) : t->title;
    doc.company = fields.value(t->companyField);
    doc.parameters = fields.value(t->parametersField);
    doc.printedAt = QDateTime::currentDateTime();

    if (!grid) {
        doc.table = ReportTable(t->columns, std::move(rows));
        return doc;
    }
    std::vector<ScheduleEntry> entries;
    const int dailyAt = t->grid.daily.isEmpty() ? -1 : 4;
    const int detailAt = t->grid.detail.isEmpty() ? -1 : (dailyAt < 0 ? 4 : 5);
    for (const auto& row : rows) {
        ScheduleEntry e;
        e.label = textOf(row[0]);
        const auto from = dateOf(row[1]);
        const auto to = dateOf(row[2]);
        if (!from || !to) {
            return tell(QStringLiteral("El informe «%1» tiene un período cuyas fechas no se pueden "
                                       "leer: «%2» a «%3».")
                            .arg(name, textOf(row[1]), textOf(row[2])));
        }
        e.from = *from;
        e.to = *to;
        e.count = numberOf(row[3]);
        e.daily = dailyAt >= 0 && !row[dailyAt].isNull() && numberOf(row[dailyAt]) == 0;
        if (detailAt >= 0) e.detail = textOf(row[detailAt]);
        entries.push_back(std::move(e));
    }
    doc.grid = ScheduleGrid(entries);
    doc.showDetails = t->grid.showDetail;
    doc.labelHeading = t->grid.labelHeading;
    return doc;
}

bool ReportEngineImpl::run(const QString& reportTemplate, const QString&, const QString&,
                           const QString& selectionFormula, const QString& connectionText,
                           const QString& formula1, const QString& formula2,
                           const QString& formula3, const QString& folder,
                           const ReportOutput& output, qint32 printSetting) {
    const auto doc = build(reportTemplate, selectionFormula, connectionText,
                           {formula1, formula2, formula3}, folder);
    if (!doc) return false;
    switch (output.kind) {
        case ReportOutput::Kind::Screen: {
            ReportPreview preview(*doc, printSetting);
            preview.exec();
            return true;
        }
        case ReportOutput::Kind::Printer:
            return ReportPrinter::print(*doc, printSetting);
        case ReportOutput::Kind::Files: {
            // Each file is tried, so that one bad path does not cost the other file.
            bool written = true;
            QString why;
            if (!output.pdfPath.isEmpty() && PdfExport::write(*doc, output.pdfPath, &why) == 0) {
                platform::msgBox(
                    QStringLiteral("No se pudo guardar el informe en PDF: %1.").arg(why),
                    platform::mb::Critical, kTitle);
                written = false;
            }
            if (!output.xlsxPath.isEmpty() && !XlsxExport::write(*doc, output.xlsxPath, &why)) {
                platform::msgBox(
                    QStringLiteral("No se pudo guardar el informe como planilla: %1.").arg(why),
                    platform::mb::Critical, kTitle);
                written = false;
            }
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
