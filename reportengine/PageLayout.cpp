#include "reportengine/PageLayout.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace reportengine {

namespace {

constexpr double kRuleGap = 4;  // between a rule and what follows it
constexpr double kRuleThickness = 0.6;
constexpr double kMinPeriodWidth = 26;
constexpr double kMinDetailWidth = 64;  // a cell with observations needs room for a few words
constexpr double kMinLabelShare = 0.15;
constexpr double kMaxLabelShare = 0.35;

BoxFill shadeFill(int level) {
    switch (level) {
        case 1:
            return BoxFill::Shade1;
        case 2:
            return BoxFill::Shade2;
        case 3:
            return BoxFill::Shade3;
        case 4:
            return BoxFill::Shade4;
        default:
            return BoxFill::None;
    }
}

QString totalText(double n) {
    return n == 0 ? QString() : ScheduleGrid::numberText(n);
}

PageBox::Align boxAlign(ReportTemplate::Align a) {
    switch (a) {
        case ReportTemplate::Align::Center:
            return PageBox::Align::Center;
        case ReportTemplate::Align::Right:
            return PageBox::Align::Right;
        default:
            return PageBox::Align::Left;
    }
}

}  // namespace

PageLayout::PageLayout(QSizeF pageSize, const TextMeasure& measure)
    : size_(pageSize), measure_(measure) {}

QStringList PageLayout::wrap(const QString& text, double width, PageFont font) const {
    QStringList out;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        const QStringList words = paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        // Most texts fit on one line: measured once rather than word by word.
        if (const QString whole = words.join(QLatin1Char(' ')); measure_.fits(whole, font, width)) {
            out << whole;
            continue;
        }
        QString line;
        for (QString word : words) {
            const QString tried = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (measure_.fits(tried, font, width)) {
                line = tried;
                continue;
            }
            if (!line.isEmpty()) out << line;
            // A word wider than the box is cut where it stops fitting.
            while (word.size() > 1 && !measure_.fits(word, font, width)) {
                int fits = 1;
                while (fits < word.size() && measure_.fits(word.left(fits + 1), font, width))
                    ++fits;
                out << word.left(fits);
                word = word.mid(fits);
            }
            line = word;
        }
        out << line;
    }
    return out;
}

double PageLayout::boxHeight(int lines, PageFont font) const {
    return std::max(lines, 1) * measure_.lineHeight(font) + 2 * kBoxPaddingY;
}

double PageLayout::widest(const QStringList& lines, PageFont font) const {
    double w = 0;
    for (const QString& l : lines) w = std::max(w, measure_.width(l, font));
    return w;
}

double PageLayout::headerBottom(const ReportDocument& doc) const {
    return header(doc).back().rect.bottom() + kRuleGap;
}

double PageLayout::bodyBottom() const {
    return size_.height() - boxHeight(1, PageFont::Footer) - kRuleThickness - kRuleGap;
}

const std::vector<PageBox>& PageLayout::header(const ReportDocument& doc) const {
    // Every page has the same heading block: laid out once.
    Header& h = header_;
    if (h.valid && h.title == doc.title && h.company == doc.company &&
        h.parameters == doc.parameters)
        return h.boxes;
    h = Header{true, doc.title, doc.company, doc.parameters, {}};
    const double w = size_.width();
    const double inner = w - 2 * kBoxPaddingX;
    double y = 0;
    if (!doc.company.trimmed().isEmpty()) {
        const double height = boxHeight(1, PageFont::Company);
        h.boxes.push_back({QRectF(0, y, w, height), doc.company.trimmed(), PageFont::Company});
        y += height;
    }
    const QStringList title = wrap(doc.title, inner, PageFont::Title);
    const double th = boxHeight(static_cast<int>(title.size()), PageFont::Title);
    h.boxes.push_back({QRectF(0, y, w, th), title.join(QLatin1Char('\n')), PageFont::Title,
                       PageBox::Align::Center});
    y += th;
    if (!doc.parameters.trimmed().isEmpty()) {
        const QStringList lines = wrap(doc.parameters.trimmed(), inner, PageFont::Parameters);
        const double height = boxHeight(static_cast<int>(lines.size()), PageFont::Parameters);
        h.boxes.push_back(
            {QRectF(0, y, w, height), lines.join(QLatin1Char('\n')), PageFont::Parameters});
        y += height;
    }
    PageBox rule;
    rule.rect = QRectF(0, y, w, kRuleThickness);
    rule.fill = BoxFill::Rule;
    h.boxes.push_back(rule);
    return h.boxes;
}

void PageLayout::addHeader(ReportPage& page, const ReportDocument& doc) const {
    const auto& boxes = header(doc);
    page.boxes.insert(page.boxes.end(), boxes.begin(), boxes.end());
}

void PageLayout::addFooter(ReportPage& page, const ReportDocument& doc, int number,
                           int count) const {
    const double h = boxHeight(1, PageFont::Footer);
    const double y = size_.height() - h;
    PageBox rule;
    rule.rect = QRectF(0, y - kRuleThickness, size_.width(), kRuleThickness);
    rule.fill = BoxFill::Rule;
    page.boxes.push_back(rule);
    page.boxes.push_back({QRectF(0, y, size_.width() / 2, h),
                          QStringLiteral("Impreso el %1")
                              .arg(doc.printedAt.toString(QStringLiteral("dd/MM/yyyy HH:mm"))),
                          PageFont::Footer});
    page.boxes.push_back({QRectF(size_.width() / 2, y, size_.width() / 2, h),
                          QStringLiteral("Página %1 de %2").arg(number).arg(count),
                          PageFont::Footer, PageBox::Align::Right});
}

void PageLayout::addMessage(ReportPage& page, const ReportDocument& doc,
                            const QString& text) const {
    page.boxes.push_back({QRectF(0, headerBottom(doc), size_.width(), boxHeight(1, PageFont::Body)),
                          text, PageFont::Body});
}

// ---- schedule grid ---------------------------------------------------------------------------

QString PageLayout::detailText(const QString& detail, double width) const {
    return wrap(detail, width - 2 * kBoxPaddingX, PageFont::Body).join(QLatin1Char('\n'));
}

PageLayout::GridMetrics PageLayout::gridMetrics(const ReportDocument& doc) const {
    const ScheduleGrid& g = doc.grid;
    const double w = size_.width();
    GridMetrics m;

    double label = measure_.width(doc.labelHeading, PageFont::Heading);
    for (int r = 0; r < g.rowCount(); ++r)
        label = std::max(label, widest(g.label(r).split(QLatin1Char('\n')), PageFont::Body));
    m.labelWidth = std::clamp(label + 2 * kBoxPaddingX, w * kMinLabelShare, w * kMaxLabelShare);

    double period = kMinPeriodWidth - 2 * kBoxPaddingX;
    int headingLines = static_cast<int>(
        wrap(doc.labelHeading, m.labelWidth - 2 * kBoxPaddingX, PageFont::Heading).size());
    // Headings and totals of periods differ in their digits alone: each shape is measured once,
    // with the widest digit in every place, which is never narrower than the text.
    std::map<std::pair<PageFont, QString>, double> shapes;
    auto shapeWidth = [&](const QString& text, PageFont font) {
        QString shape = text;
        for (QChar& c : shape)
            if (c.isDigit()) c = QLatin1Char('0');
        auto [it, added] = shapes.emplace(std::make_pair(font, shape), 0.0);
        if (added) {
            QString widest = shape;
            for (QChar digit = QLatin1Char('0'); digit <= QLatin1Char('9');
                 digit = QChar(digit.unicode() + 1)) {
                QString tried = shape;
                tried.replace(QLatin1Char('0'), digit);
                if (measure_.width(tried, font) > measure_.width(widest, font)) widest = tried;
            }
            it->second = measure_.width(widest, font);
        }
        return it->second;
    };
    for (int p = 0; p < g.periodCount(); ++p) {
        const QStringList heading = g.periodHeading(p).split(QLatin1Char('\n'));
        headingLines = std::max(headingLines, static_cast<int>(heading.size()));
        for (const QString& line : heading)
            period = std::max(period, shapeWidth(line, PageFont::Heading));
        period = std::max(period, shapeWidth(totalText(g.periodTotal(p)), PageFont::BodyBold));
    }
    m.periodWidth = period + 2 * kBoxPaddingX;
    if (doc.showDetails) m.periodWidth = std::max(m.periodWidth, kMinDetailWidth);
    m.totalWidth = std::max(measure_.width(QStringLiteral("Total"), PageFont::Heading),
                            measure_.width(totalText(g.grandTotal()), PageFont::BodyBold)) +
                   2 * kBoxPaddingX;
    // At least one period fits beside the labels, whatever the page.
    m.periodWidth = std::min(m.periodWidth, std::max(w - m.labelWidth - m.totalWidth, 1.0));
    // A schedule that fits across one page takes its whole width, as a printed grid does: its
    // periods share what the labels and the totals leave.
    if (g.periodCount() > 0) {
        const double across = (w - m.labelWidth - m.totalWidth) / g.periodCount();
        if (across >= m.periodWidth) m.periodWidth = across;
    }
    m.headingHeight = boxHeight(headingLines, PageFont::Heading);
    m.totalsHeight = boxHeight(1, PageFont::BodyBold);

    const double tallest =
        std::max(bodyBottom() - headerBottom(doc) - m.headingHeight - m.totalsHeight,
                 boxHeight(1, PageFont::Body));
    std::vector<int> lines(static_cast<std::size_t>(g.rowCount()));
    for (int r = 0; r < g.rowCount(); ++r) {
        const QStringList label = wrap(g.label(r), m.labelWidth - 2 * kBoxPaddingX, PageFont::Body);
        lines[r] = static_cast<int>(label.size());
        m.labels.push_back(label.join(QLatin1Char('\n')));
    }
    if (doc.showDetails) {
        // A cell with observations takes a line for its count and one for each of theirs; the
        // observations are read a period at a time.
        std::map<int, QString> cells;
        int period = -1;
        auto close = [&] {
            for (const auto& [row, detail] : cells) {
                const int cell =
                    1 +
                    static_cast<int>(detailText(detail, m.periodWidth).count(QLatin1Char('\n'))) +
                    1;
                lines[row] = std::max(lines[row], cell);
            }
            cells.clear();
        };
        const auto cursor = g.details();
        for (CellEntry e; cursor->next(e);) {
            if (e.period != period) close();
            period = e.period;
            ScheduleGrid::addDetail(cells[e.row], e.detail.trimmed());
        }
        close();
    }
    for (int r = 0; r < g.rowCount(); ++r)
        m.rowHeights.push_back(std::min(boxHeight(lines[r], PageFont::Body), tallest));
    return m;
}

std::vector<PageLayout::GridSlice> PageLayout::gridPlan(const ReportDocument& doc) const {
    return gridPlan(doc, gridMetrics(doc));
}

std::vector<PageLayout::GridSlice> PageLayout::gridPlan(const ReportDocument& doc,
                                                        const GridMetrics& m) const {
    const int periods = doc.grid.periodCount();
    const double across = size_.width() - m.labelWidth;
    const int perPage = std::max(1, static_cast<int>(std::floor(across / m.periodWidth)));

    // Bands of periods; the last one also holds the row totals, alone if need be.
    std::vector<std::pair<int, int>> bands;
    for (int start = 0;;) {
        const int rest = periods - start;
        if (rest == 0 || rest * m.periodWidth + m.totalWidth <= across) {
            bands.emplace_back(start, rest);
            break;
        }
        int take = std::min(perPage, rest);
        if (take == rest) take = std::max(rest - 1, 1);
        bands.emplace_back(start, take);
        start += take;
    }

    // Slices of rows; the last one also holds the period totals, alone if need be.
    const double down = bodyBottom() - headerBottom(doc) - m.headingHeight;
    std::vector<std::pair<int, int>> slices;
    int first = 0, count = 0;
    double used = 0;
    for (int r = 0; r < doc.grid.rowCount(); ++r) {
        if (count > 0 && used + m.rowHeights[r] > down) {
            slices.emplace_back(first, count);
            first = r;
            count = 0;
            used = 0;
        }
        used += m.rowHeights[r];
        ++count;
    }
    slices.emplace_back(first, count);
    if (count > 0 && used + m.totalsHeight > down) slices.emplace_back(doc.grid.rowCount(), 0);

    std::vector<GridSlice> plan;
    for (std::size_t i = 0; i < slices.size(); ++i) {
        for (std::size_t j = 0; j < bands.size(); ++j) {
            plan.push_back({slices[i].first, slices[i].second, bands[j].first, bands[j].second,
                            j + 1 == bands.size(), i + 1 == slices.size()});
        }
    }
    return plan;
}

void PageLayout::addGrid(ReportPage& page, const ReportDocument& doc, const GridMetrics& m,
                         const GridSlice& s) const {
    const ScheduleGrid& g = doc.grid;
    const ScheduleGrid::Block block = g.block(s.firstRow, s.rowCount, s.firstPeriod, s.periodCount);
    const double maxCount = g.maxCount();
    const double top = headerBottom(doc);
    const double totalX = m.labelWidth + s.periodCount * m.periodWidth;
    const double textWidth = m.labelWidth - 2 * kBoxPaddingX;

    auto cell = [&](QRectF rect, QString text, PageFont font, PageBox::Align align, BoxFill fill) {
        PageBox b{rect, std::move(text), font, align};
        b.fill = fill;
        b.border = true;
        page.boxes.push_back(std::move(b));
    };

    cell(QRectF(0, top, m.labelWidth, m.headingHeight),
         wrap(doc.labelHeading, textWidth, PageFont::Heading).join(QLatin1Char('\n')),
         PageFont::Heading, PageBox::Align::Left, BoxFill::Heading);
    for (int i = 0; i < s.periodCount; ++i) {
        cell(QRectF(m.labelWidth + i * m.periodWidth, top, m.periodWidth, m.headingHeight),
             g.periodHeading(s.firstPeriod + i), PageFont::Heading, PageBox::Align::Center,
             BoxFill::Heading);
    }
    if (s.rowTotals) {
        cell(QRectF(totalX, top, m.totalWidth, m.headingHeight), QStringLiteral("Total"),
             PageFont::Heading, PageBox::Align::Center, BoxFill::Heading);
    }

    double y = top + m.headingHeight;
    const double lineHeight = measure_.lineHeight(PageFont::Body);
    for (int r = s.firstRow; r < s.firstRow + s.rowCount; ++r) {
        const double h = m.rowHeights[r];
        cell(QRectF(0, y, m.labelWidth, h), m.labels[r], PageFont::Body, PageBox::Align::Left,
             BoxFill::None);
        for (int i = 0; i < s.periodCount; ++i) {
            const int p = s.firstPeriod + i;
            const QRectF rect(m.labelWidth + i * m.periodWidth, y, m.periodWidth, h);
            const double count = block.count(r, p);
            cell(rect, ScheduleGrid::countText(count), PageFont::Body, PageBox::Align::Center,
                 shadeFill(ScheduleGrid::shadeLevel(count, maxCount)));
            if (!doc.showDetails) continue;
            page.boxes.back().top = true;
            if (block.detail(r, p).isEmpty()) continue;
            const QString detail = detailText(block.detail(r, p), m.periodWidth);
            const double skip = count != 0 ? lineHeight : 0;
            PageBox b{rect.adjusted(0, skip, 0, 0), detail, PageFont::Body};
            b.top = true;
            page.boxes.push_back(std::move(b));
        }
        if (s.rowTotals) {
            cell(QRectF(totalX, y, m.totalWidth, h), totalText(g.rowTotal(r)), PageFont::BodyBold,
                 PageBox::Align::Center, BoxFill::Total);
        }
        y += h;
    }

    if (s.periodTotals) {
        cell(QRectF(0, y, m.labelWidth, m.totalsHeight), QStringLiteral("Total"),
             PageFont::BodyBold, PageBox::Align::Left, BoxFill::Total);
        for (int i = 0; i < s.periodCount; ++i) {
            cell(QRectF(m.labelWidth + i * m.periodWidth, y, m.periodWidth, m.totalsHeight),
                 totalText(g.periodTotal(s.firstPeriod + i)), PageFont::BodyBold,
                 PageBox::Align::Center, BoxFill::Total);
        }
        if (s.rowTotals) {
            cell(QRectF(totalX, y, m.totalWidth, m.totalsHeight), totalText(g.grandTotal()),
                 PageFont::BodyBold, PageBox::Align::Center, BoxFill::Total);
        }
    }
}

// ---- list ------------------------------------------------------------------------------------

PageLayout::ListMetrics PageLayout::listMetrics(const ReportDocument& doc) const {
    const ReportTable& t = doc.table;
    ListMetrics m;
    double sum = 0;
    for (int c = 0; c < t.columnCount(); ++c) sum += t.column(c).width;
    int headingLines = 1;
    for (int c = 0; c < t.columnCount(); ++c) {
        m.widths.push_back(size_.width() * t.column(c).width / sum);
        headingLines =
            std::max(headingLines,
                     static_cast<int>(wrap(t.column(c).heading, m.widths.back() - 2 * kBoxPaddingX,
                                           PageFont::Heading)
                                          .size()));
    }
    m.headingHeight = boxHeight(headingLines, PageFont::Heading);
    m.countHeight = boxHeight(1, PageFont::BodyBold) + kRuleGap;
    const double tallest =
        std::max(bodyBottom() - headerBottom(doc) - m.headingHeight, boxHeight(1, PageFont::Body));
    m.rowHeights.reserve(static_cast<std::size_t>(t.rowCount()));
    t.forRows(0, t.rowCount(), [&](int, const ReportTable::Row& row) {
        int lines = 1;
        for (int c = 0; c < t.columnCount(); ++c) {
            lines = std::max(
                lines,
                static_cast<int>(
                    wrap(t.text(row, c), m.widths[c] - 2 * kBoxPaddingX, PageFont::Body).size()));
        }
        m.rowHeights.push_back(std::min(boxHeight(lines, PageFont::Body), tallest));
        return true;
    });
    // Rows gone from the table since it was counted take a line each.
    m.rowHeights.resize(static_cast<std::size_t>(t.rowCount()), boxHeight(1, PageFont::Body));
    return m;
}

std::vector<PageLayout::ListSlice> PageLayout::listPlan(const ReportDocument& doc,
                                                        const ListMetrics& m) const {
    const double down = bodyBottom() - headerBottom(doc) - m.headingHeight;
    std::vector<ListSlice> plan;
    ListSlice s;
    double used = 0;
    for (int r = 0; r < doc.table.rowCount(); ++r) {
        if (s.rowCount > 0 && used + m.rowHeights[r] > down) {
            plan.push_back(s);
            s = {r, 0, false};
            used = 0;
        }
        used += m.rowHeights[r];
        ++s.rowCount;
    }
    if (used + m.countHeight > down) {
        plan.push_back(s);
        s = {doc.table.rowCount(), 0, false};
    }
    s.countLine = true;
    plan.push_back(s);
    return plan;
}

void PageLayout::addList(ReportPage& page, const ReportDocument& doc, const ListMetrics& m,
                         const ListSlice& s) const {
    const ReportTable& t = doc.table;
    double y = headerBottom(doc);
    double x = 0;
    for (int c = 0; c < t.columnCount(); ++c) {
        PageBox b{QRectF(x, y, m.widths[c], m.headingHeight),
                  wrap(t.column(c).heading, m.widths[c] - 2 * kBoxPaddingX, PageFont::Heading)
                      .join(QLatin1Char('\n')),
                  PageFont::Heading, boxAlign(t.align(c))};
        b.fill = BoxFill::Heading;
        b.border = true;
        page.boxes.push_back(std::move(b));
        x += m.widths[c];
    }
    y += m.headingHeight;
    t.forRows(s.firstRow, s.rowCount, [&](int r, const ReportTable::Row& row) {
        const double h = m.rowHeights[r];
        if (r % 2 == 1) {
            PageBox stripe;
            stripe.rect = QRectF(0, y, size_.width(), h);
            stripe.fill = BoxFill::Stripe;
            page.boxes.push_back(stripe);
        }
        x = 0;
        for (int c = 0; c < t.columnCount(); ++c) {
            page.boxes.push_back(
                {QRectF(x, y, m.widths[c], h),
                 wrap(t.text(row, c), m.widths[c] - 2 * kBoxPaddingX, PageFont::Body)
                     .join(QLatin1Char('\n')),
                 PageFont::Body, boxAlign(t.align(c))});
            x += m.widths[c];
        }
        y += h;
        return true;
    });
    if (s.countLine) {
        PageBox rule;
        rule.rect = QRectF(0, y, size_.width(), kRuleThickness);
        rule.fill = BoxFill::Rule;
        page.boxes.push_back(rule);
        page.boxes.push_back({QRectF(0, y + kRuleGap, size_.width(), m.countHeight - kRuleGap),
                              QStringLiteral("Cantidad de registros: %1").arg(t.rowCount()),
                              PageFont::BodyBold});
    }
}

// ---- pages -----------------------------------------------------------------------------------

PageLayout::Plan PageLayout::plan(const ReportDocument& doc) const {
    Plan plan;
    if (doc.kind == ReportTemplate::Kind::Grid) {
        if (doc.grid.rowCount() > 0) {
            plan.grid = gridMetrics(doc);
            plan.gridSlices = gridPlan(doc, plan.grid);
            plan.pageCount = static_cast<int>(plan.gridSlices.size());
        }
    } else if (doc.table.rowCount() > 0) {
        plan.list = listMetrics(doc);
        plan.listSlices = listPlan(doc, plan.list);
        plan.pageCount = static_cast<int>(plan.listSlices.size());
    }
    return plan;
}

ReportPage PageLayout::page(const ReportDocument& doc, const Plan& plan, int index) const {
    ReportPage page{size_, {}};
    addHeader(page, doc);
    if (doc.kind == ReportTemplate::Kind::Grid && !plan.gridSlices.empty())
        addGrid(page, doc, plan.grid, plan.gridSlices.at(static_cast<std::size_t>(index)));
    else if (doc.kind == ReportTemplate::Kind::List && !plan.listSlices.empty())
        addList(page, doc, plan.list, plan.listSlices.at(static_cast<std::size_t>(index)));
    else
        addMessage(page, doc, emptyReportText());
    addFooter(page, doc, index + 1, plan.pageCount);
    return page;
}

std::vector<ReportPage> PageLayout::pages(const ReportDocument& doc) const {
    const Plan p = plan(doc);
    std::vector<ReportPage> out;
    for (int i = 0; i < p.pageCount; ++i) out.push_back(page(doc, p, i));
    return out;
}

}  // namespace reportengine
