#include "suitelib/ReportRunner.h"

#include "platform/Failure.h"

namespace SuiteLib {

namespace {

ReportEngine*& engine() {
    static ReportEngine* instance = nullptr;
    return instance;
}

}  // namespace

void ReportRunner::SetFolder(const QString& folder) {
    folder_ = folder;
}

bool ReportRunner::RunReport(const QString& reportTemplate, const QString& text1,
                             const QString& text2, const QString& selectionFormula,
                             const QString& connectionText, const QString& formula1,
                             const QString& formula2, const QString& formula3) {
    if (engine() == nullptr) {
        platform::raise(429, QStringLiteral("No se puede crear el componente de informes."),
                        QStringLiteral("SuiteLib.ReportRunner"));
    }
    return engine()->run(reportTemplate, text1, text2, selectionFormula, connectionText,
                         dataConnection_, formula1, formula2, formula3, folder_, output_,
                         printSetting_);
}

void ReportRunner::setEngine(ReportEngine* engine) {
    SuiteLib::engine() = engine;
}

}  // namespace SuiteLib
