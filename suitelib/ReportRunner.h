#pragma once

#include <QString>

namespace SuiteLib {

// Where a launch goes. The suite's calls cannot tell a screen run from a printed one, so the
// caller sets this before RunReport.
struct ReportOutput {
    enum class Kind { Screen, Printer, Files } kind = Kind::Screen;
    QString pdfPath;   // Files: written when not empty
    QString xlsxPath;  // Files: written when not empty
};

// What shows or prints a report template; the runner hands every launch to the installed one.
class ReportEngine {
  public:
    virtual ~ReportEngine() = default;
    // True when the report was shown, printed or every file asked for was written; false when
    // it was not (the user has been told why).
    virtual bool run(const QString& reportTemplate, const QString& text1, const QString& text2,
                     const QString& selectionFormula, const QString& connectionText,
                     const QString& formula1, const QString& formula2, const QString& formula3,
                     const QString& folder, const ReportOutput& output, qint32 printSetting) = 0;
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
};

}  // namespace SuiteLib
