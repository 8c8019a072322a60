#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace SuiteLib {

class FileDialog {
  public:
    void SetDialogTitle(const QString& title);
    void SetFilter(const QString& filter);  // "Description |*.EXT"
    void ShowOpen();
    QString GetFileName() const;
    bool GetCancelled() const;

    // Tests answer the dialog instead of a user: the chosen path, or no value for a cancel. The
    // filter handed over is already in the dialog's form, "Description (*.EXT)".
    using Chooser =
        std::function<std::optional<QString>(const QString& title, const QString& filter)>;
    static void setChooser(Chooser chooser);

  private:
    QString title_;
    QString filter_;
    QString fileName_;
    bool cancelled_ = false;
};

}  // namespace SuiteLib
