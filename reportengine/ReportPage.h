#pragma once

#include <QRectF>
#include <QSizeF>
#include <QString>
#include <cstddef>
#include <vector>

namespace reportengine {

// The text styles of a page.
enum class PageFont { Title, Company, Parameters, Heading, Body, BodyBold, Footer };

// How a box is filled: headings and totals in greys, list rows striped, schedule cells in a
// shade that deepens with the count, rules as solid lines.
enum class BoxFill { None, Heading, Total, Stripe, Shade1, Shade2, Shade3, Shade4, Rule };
constexpr std::size_t kFillCount = static_cast<std::size_t>(BoxFill::Rule) + 1;

// Space between a box's edge and its text, in points.
constexpr double kBoxPaddingX = 2.5;
constexpr double kBoxPaddingY = 1.5;

// One rectangle of a page, in points from the top left of the printable area. Its text is
// already broken into lines ("\n") to fit the box.
struct PageBox {
    QRectF rect;
    QString text;
    PageFont font = PageFont::Body;
    enum class Align { Left, Center, Right } align = Align::Left;
    bool top = false;  // text at the top of the box rather than centred vertically
    BoxFill fill = BoxFill::None;
    bool border = false;
};

struct ReportPage {
    QSizeF size;  // the printable area, in points
    std::vector<PageBox> boxes;
};

}  // namespace reportengine
