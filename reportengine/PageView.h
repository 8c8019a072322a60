#pragma once

#include <QPageLayout>
#include <QWidget>
#include <vector>

#include "reportengine/PagedReport.h"

namespace reportengine {

// One page of a report drawn as a sheet of paper on a grey desk, at a zoom.
class PageView : public QWidget {
    Q_OBJECT

  public:
    // The report must outlive the view; its pages are laid out as they are shown.
    PageView(const PagedReport& report, const QPageLayout& layout, QWidget* parent = nullptr);

    int pageCount() const { return report_.pageCount(); }
    int currentPage() const { return current_; }
    void setCurrentPage(int index);  // kept inside the pages

    double zoom() const { return zoom_; }  // 1 is the paper's real size
    void setZoom(double zoom);             // kept between kMinZoom and kMaxZoom
    // The zoom at which the paper fills a width, or a width and a height, of the screen.
    double zoomForWidth(int width) const;
    double zoomForPage(QSize area) const;

    QSize sizeHint() const override;
    static QColor deskColor() { return QColor(0x6e, 0x73, 0x7a); }

    static constexpr double kMinZoom = 0.25;
    static constexpr double kMaxZoom = 4.0;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    double pixelsPerPoint() const;
    QSizeF paperPoints() const;

    static constexpr int kDesk = 16;  // grey border around the paper, in pixels

    const PagedReport& report_;
    ReportPage page_;  // the current one, laid out
    QPageLayout layout_;
    int current_ = 0;
    double zoom_ = 1;
};

}  // namespace reportengine
