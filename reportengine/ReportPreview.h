#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "reportengine/OutputFile.h"
#include "reportengine/PagedReport.h"
#include "reportengine/ReportDocument.h"
#include "suitelib/ReportRunner.h"

class QAction;
class QComboBox;
class QLabel;
class QScrollArea;
class QToolBar;

namespace reportengine {

class PageView;

// The report on screen: pages at a zoom (fitting the width by default), page by page, with
// printing (the choice of printer is kept as the user's print setting) and saving as PDF or as
// a spreadsheet.
class ReportPreview : public QDialog {
    Q_OBJECT

  public:
    ReportPreview(ReportDocument doc, qint32 printSetting, QWidget* parent = nullptr);

    PageView* view() const { return view_; }
    // Shows a page (from 0) and updates the page counter and the buttons.
    void showPage(int index);
    // A zoom factor (1 = real size), or fitting the width or the whole page to the window.
    enum class Fit { None, Width, Page };
    void setZoom(double zoom, Fit fit = Fit::None);

    // Where a report is saved: given the caption, the proposed path and the filter, the path
    // chosen, empty when the user gave none. The save dialog unless replaced (tests).
    using PathChooser = std::function<QString(const QString& caption, const QString& proposed,
                                              const QString& filter)>;
    static void setPathChooser(PathChooser chooser);
    // The name a saved report is proposed under: its title as a file name can hold it.
    static QString fileNameFor(const QString& title);
    // The line under the pages that tells what the last save did.
    QString statusText() const;
    // One more save on the toolbar, after Excel; nothing when its `write` is empty.
    void addExtraSave(const SuiteLib::ReportOutput::ExtraSave& extra);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void print();
    void savePdf();
    void saveXlsx();
    void saveExtra();
    QString askPath(const QString& caption, const QString& filter, const QString& suffix);
    void tellSaved(Outcome outcome, const QString& path);
    void refreshZoomBox();

    ReportDocument doc_;
    std::unique_ptr<PagedReport> report_;
    qint32 printSetting_ = 0;
    PageView* view_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QLabel* pageLabel_ = nullptr;
    QLabel* status_ = nullptr;
    QComboBox* zoomBox_ = nullptr;
    QAction* first_ = nullptr;
    QAction* previous_ = nullptr;
    QAction* next_ = nullptr;
    QAction* last_ = nullptr;
    Fit fit_ = Fit::Width;
    SuiteLib::ReportOutput::ExtraSave extra_;
    QAction* extraAction_ = nullptr;
    QToolBar* bar_ = nullptr;
    QAction* afterSaves_ = nullptr;
};

}  // namespace reportengine
