#pragma once

#include <optional>

#include "reportengine/ReportDocument.h"
#include "suitelib/ReportRunner.h"

namespace reportengine {

using SuiteLib::ReportEngine;
using SuiteLib::ReportOutput;

// Our report component: finds the template in "<folder>/reportes/<name>.xml", reads its rows on
// its own connection under the selection formula, fills the named fields from the formulas and
// shows, prints or writes the result. What cannot be read (template, formulas, dates) is
// explained to the user and no report is produced; database failures are raised to the caller.
class ReportEngineImpl : public ReportEngine {
  public:
    bool run(const QString& reportTemplate, const QString& text1, const QString& text2,
             const QString& selectionFormula, const QString& connectionText,
             const QString& dataConnection, const QString& formula1, const QString& formula2,
             const QString& formula3, const QString& folder, const ReportOutput& output,
             qint32 printSetting) override;

    // The report's content; no value once the user has been told why there is none.
    static std::optional<ReportDocument> build(const QString& reportTemplate,
                                               const QString& selectionFormula,
                                               const QString& connectionText,
                                               const QStringList& formulas, const QString& folder,
                                               const QString& dataConnection = {});
};

// Creates the program's one report engine and hands it to the report runner.
void installReportEngine();

}  // namespace reportengine
