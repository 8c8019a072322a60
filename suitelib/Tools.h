#pragma once

#include <QDate>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

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
    // A date chosen by the user in a calendar, as text in the short date format; `initial`
    // unchanged when cancelled.
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

    // Tests answer the calendar instead of a user: given the date it opens on, the chosen date,
    // or no value for a cancel.
    using DatePicker = std::function<std::optional<QDate>(const QDate& initial)>;
    static void setDatePicker(DatePicker picker);
};

}  // namespace SuiteLib
