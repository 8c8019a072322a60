#pragma once

#include <QString>
#include <functional>

namespace SuiteLib {

// Where a launch goes. The suite's calls cannot tell a screen run from a printed one, so the
// caller sets this before RunReport.
struct ReportOutput {
    enum class Kind { Screen, Printer, Files } kind = Kind::Screen;
    QString pdfPath;   // Files: written when not empty
    QString xlsxPath;  // Files: written when not empty
    // Screen: one more file the preview offers to save beside PDF and Excel (the schedule's
    // calendar), written by the caller. `write` tells the user why a file was not written.
    struct ExtraSave {
        QString button;  // the toolbar text
        QString tooltip;
        QString caption;  // the save dialog's
        QString filter;
        QString suffix;
        std::function<bool(const QString& path)> write;
    };
    ExtraSave extra;  // none while `write` is empty
};

// What shows or prints a report template; the runner hands every launch to the installed one.
class ReportEngine {
  public:
    virtual ~ReportEngine() = default;
    // True when the report was shown, printed or every file asked for was written; false when
    // it was not (the user has been told why).
    // The rows are read through `dataConnection` (the data layer's connection string) when it
    // is given; `connectionText` is the suite's text the templates are handed.
    virtual bool run(const QString& reportTemplate, const QString& text1, const QString& text2,
                     const QString& selectionFormula, const QString& connectionText,
                     const QString& dataConnection, const QString& formula1,
                     const QString& formula2, const QString& formula3, const QString& folder,
                     const ReportOutput& output, qint32 printSetting) = 0;
};

class ReportRunner {
  public:
    void SetFolder(const QString& folder);
    QString folder() const { return folder_; }
    void SetOptionA(bool flag) { optionA_ = flag; }
    void SetOptionB(bool flag) { optionB_ = flag; }
    void SetOptionC(bool flag) { optionC_ = flag; }
    qint32 ReadPrintSetting() const { return printSetting_; }
    void setOutput(const ReportOutput& output) { output_ = output; }
    const ReportOutput& output() const { return output_; }
    void ApplyPrintSetting(qint32 value) { printSetting_ = value; }
    // The connection the program wrote its data through, so that the report reads those very
    // rows whatever the suite's connection text names (a file of the same name, a data source).
    void SetDataConnection(const QString& connectionString) { dataConnection_ = connectionString; }
    // Raises 429 while no engine is installed. False when the engine produced no report.
    bool RunReport(const QString& reportTemplate, const QString& text1, const QString& text2,
                   const QString& selectionFormula, const QString& connectionText,
                   const QString& formula1, const QString& formula2, const QString& formula3);
    // The engine is not owned; nullptr removes it.
    static void setEngine(ReportEngine* engine);

  private:
    QString folder_;
    bool optionA_ = false;
    bool optionB_ = false;
    bool optionC_ = false;
    qint32 printSetting_ = 0;
    ReportOutput output_;
    QString dataConnection_;
};

}  // namespace SuiteLib
