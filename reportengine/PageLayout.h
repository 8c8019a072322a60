#pragma once

#include <QSizeF>
#include <QStringList>
#include <vector>

#include "reportengine/ReportDocument.h"
#include "reportengine/ReportPage.h"
#include "reportengine/TextMeasure.h"

namespace reportengine {

// Cuts a report into pages of one size: the heading block (company, title, parameters) at the
// top of every page, the page number and printing date at the foot.
//
// A schedule wider than the page continues on further pages with the row labels repeated; the
// row totals close the last of those pages and the period totals the last rows. Pages go across
// first: the pages of the same rows follow one another, and since every row keeps its height on
// all of them they can be laid side by side.
class PageLayout {
  public:
    // The rows and periods one page of a schedule shows.
    struct GridSlice {
        int firstRow = 0;
        int rowCount = 0;
        int firstPeriod = 0;
        int periodCount = 0;
        bool rowTotals = false;     // the total column after the periods
        bool periodTotals = false;  // the total row after the rows
    };

  private:
    struct GridMetrics {
        double labelWidth = 0;
        double periodWidth = 0;
        double totalWidth = 0;
        double headingHeight = 0;
        double totalsHeight = 0;
        std::vector<double> rowHeights;
        std::vector<QString> labels;  // broken into lines for the label column
    };
    struct ListMetrics {
        std::vector<double> widths;
        double headingHeight = 0;
        std::vector<double> rowHeights;
        double countHeight = 0;
    };
    struct ListSlice {
        int firstRow = 0;
        int rowCount = 0;
        bool countLine = false;
    };

  public:
    // What every page needs to be laid out on its own: the measures and where each page starts.
    struct Plan {
        GridMetrics grid;
        std::vector<GridSlice> gridSlices;
        ListMetrics list;
        std::vector<ListSlice> listSlices;
        int pageCount = 1;  // an empty report has its one page saying so
    };

    PageLayout(QSizeF pageSize, const TextMeasure& measure);

    Plan plan(const ReportDocument& doc) const;
    // Page `index` (from 0) of the plan; a schedule's cells are read for it alone.
    ReportPage page(const ReportDocument& doc, const Plan& plan, int index) const;

    std::vector<ReportPage> pages(const ReportDocument& doc) const;
    std::vector<GridSlice> gridPlan(const ReportDocument& doc) const;

    // The text broken at blanks into lines no wider than `width` (a word wider than that is cut);
    // line breaks of the text are kept.
    QStringList wrap(const QString& text, double width, PageFont font) const;

    static QString emptyReportText() { return QStringLiteral("No hay datos para este informe."); }

  private:
    double headerBottom(const ReportDocument& doc) const;
    double bodyBottom() const;
    double boxHeight(int lines, PageFont font) const;
    double widest(const QStringList& lines, PageFont font) const;
    QString detailText(const QString& detail, double width) const;

    const std::vector<PageBox>& header(const ReportDocument& doc) const;
    void addHeader(ReportPage& page, const ReportDocument& doc) const;
    void addFooter(ReportPage& page, const ReportDocument& doc, int number, int count) const;
    void addMessage(ReportPage& page, const ReportDocument& doc, const QString& text) const;

    GridMetrics gridMetrics(const ReportDocument& doc) const;
    std::vector<GridSlice> gridPlan(const ReportDocument& doc, const GridMetrics& m) const;
    void addGrid(ReportPage& page, const ReportDocument& doc, const GridMetrics& m,
                 const GridSlice& s) const;

    ListMetrics listMetrics(const ReportDocument& doc) const;
    std::vector<ListSlice> listPlan(const ReportDocument& doc, const ListMetrics& m) const;
    void addList(ReportPage& page, const ReportDocument& doc, const ListMetrics& m,
                 const ListSlice& s) const;

    struct Header {
        bool valid = false;
        QString title, company, parameters;
        std::vector<PageBox> boxes;
    };

    QSizeF size_;
    const TextMeasure& measure_;
    mutable Header header_;
};

}  // namespace reportengine
