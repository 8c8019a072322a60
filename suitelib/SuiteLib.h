#pragma once

// The interface of the suite's shared utility library that the rest of the program calls. One
// shared instance per class, created on first use and kept to the end.

#include <QString>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

#include "platform/Failure.h"
#include "platform/Variant.h"

class QWidget;

namespace SuiteLib {

class Tools {
public:
    // At most the first n characters (none for n <= 0).
    QString LeftText(const QString& text, int n) const;
    // The number of a text as an 8-byte fixed-point amount (four decimals), 0 for empty or none;
    // the regional decimal separator and "." are both read.
    double TextToNumber(const QString& text) const;
    qint64 ToInteger(const QString& text) const;
    // The value, a missing one (null) made empty text.
    platform::Variant NoNull(const platform::Variant& value) const;
    // Blank-separated words.
    int WordCount(const QString& text) const;
    // Every occurrence replaced (removed when `with` is absent); case-sensitive, as the suite's.
    QString ReplaceText(const QString& text, const QString& find,
                        const std::optional<QString>& with = std::nullopt) const;
    QString ReplaceEvery(const QString& text, const QString& find, const QString& with) const;
    // Every occurrence of a name as a whole word, without regard to case.
    QString ReplaceName(const QString& statement, const QString& oldName,
                        const QString& newName) const;
    // A text that may stand between single quotes in a statement without losing anything.
    QString SqlSafeText(const QString& text) const;
    // The code in its stored form: trimmed and right-aligned with leading blanks to the width.
    QString PadCode(const QString& text, int width) const;
    // A date chosen by the user in a calendar, as text in the short date format; "" when cancelled.
    QString PickDate(const QString& initial = {}) const;
    // The folder with a final separator, ready for a file name to be appended.
    QString FolderPath(const QString& folder) const;
    // A reversible stored form that is not the plain text and survives a Windows-1252 file.
    QString EncodeStored(const QString& text) const;
    QString DecodeStored(const QString& stored) const;
    // Shows the error with Abort, Retry and Ignore; gives 3, 4 or 5.
    int HandleError(const platform::ErrorInfo& error, const QVariant& omitted,
                    const QString& procedure) const;
    // Hooks around the suite's windows.
    void PrepareForm(QWidget* window, int flag) const;
    void FormLoaded(QWidget* window, const QString& extra) const;
    void FormUnloading(QWidget* window, const QString& extra) const;
};

class FormTools {
public:
    void PrepareFields(QWidget* window, int flag) const;
    // Index of the field whose data-field key (widget property "dataField") equals the key,
    // without regard to case; -1 when none.
    int FieldIndex(const QString& key, const std::vector<QWidget*>& fields) const;
    void FieldGotFocus(QWidget* field, const QString& extra) const;
    // Enter, Up and Down move between fields.
    bool IsMoveKey(int keyCode) const;
    void MoveByKey(int keyCode) const;
    // May change the typed character or set it to 0 (refused).
    void FilterKey(QWidget* field, int& character) const;
};

class MachineInfo {
public:
    QString ComputerName() const;
    QString UserName() const;
    QString TempFolder() const;
};

class IniFile {
public:
    // A bare file name is looked for in the program folder.
    QString ReadKey(const QString& file, const QString& section, const QString& key,
                    const QString& fallback) const;
};

class FileDialog {
public:
    void SetDialogTitle(const QString& title);
    void SetFilter(const QString& filter);  // "Description |*.EXT"
    void ShowOpen();
    QString GetFileName() const;
    bool GetCancelled() const;

    // Tests answer the dialog instead of a user: the chosen path, or no value for a cancel.
    using Chooser = std::function<std::optional<QString>(const QString& title, const QString& filter)>;
    static void setChooser(Chooser chooser);

private:
    QString title_;
    QString filter_;
    QString fileName_;
    bool cancelled_ = false;
};

// The report component. Its engine comes with the report issue; until then RunReport raises.
class ReportEngine;

class ReportRunner {
public:
    void SetFolder(const QString& folder);
    QString folder() const { return folder_; }
    void SetOptionA(bool flag) { optionA_ = flag; }
    void SetOptionB(bool flag) { optionB_ = flag; }
    void SetOptionC(bool flag) { optionC_ = flag; }
    qint32 ReadPrintSetting() const { return printSetting_; }
    void ApplyPrintSetting(qint32 value) { printSetting_ = value; }
    void RunReport(const QString& reportTemplate, const QString& text1, const QString& text2,
                   const QString& selectionFormula, const QString& connectionText,
                   const QString& formula1, const QString& formula2, const QString& formula3);
    static void setEngine(ReportEngine* engine);

private:
    QString folder_;
    bool optionA_ = false;
    bool optionB_ = false;
    bool optionC_ = false;
    qint32 printSetting_ = 0;
};

Tools& tools();
FormTools& formTools();
MachineInfo& machineInfo();
IniFile& iniFile();
FileDialog& fileDialog();
ReportRunner& reportRunner();

}  // namespace SuiteLib
