#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

// The skin control a form carries (object name "SkinFramework1"): it loads one Qt style sheet
// of the program's "Styles" folder and dresses windows with it. A style is either a style sheet
// file or a folder whose settings file names the sheet under [Estilo] Hoja=. Images of a sheet
// are written url(estilo:name).
class SkinControl : public QObject {
    Q_OBJECT
    Q_PROPERTY(int ApplyOptions READ ApplyOptions WRITE setApplyOptions)
  public:
    // Option bit: the style also dresses every other window of the program (message boxes,
    // dialogs, lookup windows), not only the windows handed to ApplyWindow.
    static constexpr int kTodaLaAplicacion = 1;

    explicit SkinControl(QObject* parent = nullptr);
    ~SkinControl() override;
    SkinControl(const SkinControl&) = delete;
    SkinControl& operator=(const SkinControl&) = delete;

    // Raises 53 when the sheet (or the folder's settings file) is missing, 75 when it is not a
    // regular file or is too large (platform/ArchivoLegible); the windows already dressed take
    // the new style.
    void LoadSkin(const QString& path, const QString& settingsFile);
    void ApplyWindow(QWidget* window);
    int ApplyOptions() const { return options_; }
    void setApplyOptions(int options);

    // The sheet file that the last LoadSkin read, and its text.
    const QString& sheetFile() const { return sheetFile_; }
    const QString& styleSheet() const { return sheet_; }

  private:
    void applyEverywhere();

    QString sheetFile_;
    QString sheet_;
    int options_ = 0;
    bool ownsApplicationSheet_ = false;
    QList<QPointer<QWidget>> windows_;
};
