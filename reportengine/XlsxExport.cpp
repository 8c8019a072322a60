#include "reportengine/XlsxExport.h"

#include <xlsxwriter.h>

#include <QFile>
#include <algorithm>
#include <map>
#include <string>

namespace reportengine {

namespace {

using platform::Variant;

// Rows of the heading lines above every table.
constexpr lxw_row_t kTitleRow = 0, kCompanyRow = 1, kParametersRow = 2, kTableRow = 4;
constexpr double kLineHeight = 15;  // points, the default row's

lxw_datetime excelDate(const QDate& d) {
    return {d.year(), d.month(), d.day(), 0, 0, 0};
}

// The spreadsheet's own pattern letters for a date pattern: days, months and years alike.
std::string excelDateFormat(const QString& qtFormat) {
    return (qtFormat.isEmpty() ? QStringLiteral("dd/mm/yyyy") : qtFormat.toLower()).toStdString();
}

class Book {
  public:
    explicit Book(const QString& path)
        : path_(path), book_(workbook_new(QFile::encodeName(path).constData())) {
        if (!book_) return;
        title_ = workbook_add_format(book_);
        format_set_bold(title_);
        format_set_font_size(title_, 14);
        bold_ = workbook_add_format(book_);
        format_set_bold(bold_);
        heading_ = workbook_add_format(book_);
        format_set_bold(heading_);
        format_set_bg_color(heading_, 0xDDE2E8);
        format_set_border(heading_, LXW_BORDER_THIN);
        format_set_text_wrap(heading_);
        format_set_align(heading_, LXW_ALIGN_VERTICAL_CENTER);
        headingDate_ = workbook_add_format(book_);
        format_set_bold(headingDate_);
        format_set_bg_color(headingDate_, 0xDDE2E8);
        format_set_border(headingDate_, LXW_BORDER_THIN);
        format_set_num_format(headingDate_, "dd/mm/yy");
        format_set_align(headingDate_, LXW_ALIGN_CENTER);
        label_ = workbook_add_format(book_);
        format_set_text_wrap(label_);
        format_set_align(label_, LXW_ALIGN_VERTICAL_TOP);
        total_ = workbook_add_format(book_);
        format_set_bold(total_);
        format_set_bg_color(total_, 0xEEEEEE);
        text_ = workbook_add_format(book_);
        format_set_align(text_, LXW_ALIGN_VERTICAL_TOP);
        format_set_text_wrap(text_);
        date_ = workbook_add_format(book_);
        format_set_num_format(date_, "dd/mm/yy");
        format_set_align(date_, LXW_ALIGN_VERTICAL_TOP);
    }
    ~Book() {
        if (book_) workbook_close(book_);
    }
    Book(const Book&) = delete;
    Book& operator=(const Book&) = delete;

    lxw_workbook* get() const { return book_; }
    // Writes the file; the reason when that failed.
    QString close() {
        const lxw_error e = workbook_close(book_);
        book_ = nullptr;
        if (e == LXW_NO_ERROR) return {};
        // The usual case in the user's words; the library's own text for the rare others.
        if (e == LXW_ERROR_CREATING_XLSX_FILE || e == LXW_ERROR_CREATING_TMPFILE)
            return QStringLiteral("no se pudo escribir el archivo %1").arg(path_);
        QString why = QString::fromUtf8(lxw_strerror(e)).trimmed();
        while (why.endsWith(QLatin1Char('.'))) why.chop(1);
        return why;
    }

    lxw_format* dateFormat(const QString& qtFormat) {
        const std::string f = excelDateFormat(qtFormat);
        auto it = dates_.find(f);
        if (it != dates_.end()) return it->second;
        lxw_format* format = workbook_add_format(book_);
        format_set_num_format(format, f.c_str());
        format_set_align(format, LXW_ALIGN_VERTICAL_TOP);
        return dates_[f] = format;
    }

    lxw_format* numberFormat(int decimals) {
        if (decimals < 0) return nullptr;
        auto it = numbers_.find(decimals);
        if (it != numbers_.end()) return it->second;
        lxw_format* format = workbook_add_format(book_);
        const std::string f =
            decimals == 0 ? std::string("#,##0") : "#,##0." + std::string(decimals, '0');
        format_set_num_format(format, f.c_str());
        return numbers_[decimals] = format;
    }

    lxw_format* title_ = nullptr;
    lxw_format* bold_ = nullptr;
    lxw_format* heading_ = nullptr;
    lxw_format* headingDate_ = nullptr;
    lxw_format* label_ = nullptr;
    lxw_format* total_ = nullptr;
    lxw_format* text_ = nullptr;
    lxw_format* date_ = nullptr;

  private:
    QString path_;
    lxw_workbook* book_ = nullptr;
    std::map<std::string, lxw_format*> dates_;
    std::map<int, lxw_format*> numbers_;
};

void writeText(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const QString& text,
               lxw_format* format) {
    worksheet_write_string(sheet, row, col, text.toUtf8().constData(), format);
}

void writeHeadingLines(Book& book, lxw_worksheet* sheet, const ReportDocument& doc) {
    writeText(sheet, kTitleRow, 0, doc.title, book.title_);
    if (!doc.company.trimmed().isEmpty())
        writeText(sheet, kCompanyRow, 0, doc.company.trimmed(), book.bold_);
    if (!doc.parameters.trimmed().isEmpty())
        writeText(sheet, kParametersRow, 0, doc.parameters.trimmed(), nullptr);
}

void writeGrid(Book& book, const ReportDocument& doc) {
    const ScheduleGrid& g = doc.grid;
    lxw_worksheet* sheet = workbook_add_worksheet(book.get(), "Cronograma");
    writeHeadingLines(book, sheet, doc);

    bool ranges = false;
    for (int p = 0; p < g.periodCount(); ++p)
        ranges = ranges || (!g.period(p).daily && g.period(p).from != g.period(p).to);
    const lxw_row_t firstRow = kTableRow + (ranges ? 2 : 1);
    const lxw_col_t totalCol = static_cast<lxw_col_t>(g.periodCount() + 1);

    writeText(sheet, kTableRow, 0, doc.labelHeading, book.heading_);
    if (ranges) writeText(sheet, kTableRow + 1, 0, QString(), book.heading_);
    for (int p = 0; p < g.periodCount(); ++p) {
        lxw_datetime from = excelDate(g.period(p).from);
        worksheet_write_datetime(sheet, kTableRow, static_cast<lxw_col_t>(p + 1), &from,
                                 book.headingDate_);
        if (ranges) {
            lxw_datetime to = excelDate(g.period(p).to);
            worksheet_write_datetime(sheet, kTableRow + 1, static_cast<lxw_col_t>(p + 1), &to,
                                     book.headingDate_);
        }
    }
    writeText(sheet, kTableRow, totalCol, QStringLiteral("Total"), book.heading_);
    if (ranges) writeText(sheet, kTableRow + 1, totalCol, QString(), book.heading_);

    for (int r = 0; r < g.rowCount(); ++r) {
        const lxw_row_t row = firstRow + static_cast<lxw_row_t>(r);
        writeText(sheet, row, 0, g.label(r), book.label_);
        // Spreadsheets do not grow a row for wrapped lines by themselves.
        const auto lines = g.label(r).count(QLatin1Char('\n')) + 1;
        if (lines > 1) worksheet_set_row(sheet, row, kLineHeight * lines, nullptr);
        for (int p = 0; p < g.periodCount(); ++p) {
            if (g.count(r, p) != 0)
                worksheet_write_number(sheet, row, static_cast<lxw_col_t>(p + 1), g.count(r, p),
                                       nullptr);
        }
        worksheet_write_number(sheet, row, totalCol, g.rowTotal(r), book.total_);
    }
    const lxw_row_t totals = firstRow + static_cast<lxw_row_t>(g.rowCount());
    writeText(sheet, totals, 0, QStringLiteral("Total"), book.total_);
    for (int p = 0; p < g.periodCount(); ++p)
        worksheet_write_number(sheet, totals, static_cast<lxw_col_t>(p + 1), g.periodTotal(p),
                               book.total_);
    worksheet_write_number(sheet, totals, totalCol, g.grandTotal(), book.total_);

    worksheet_set_column(sheet, 0, 0, 40, nullptr);
    worksheet_set_column(sheet, 1, totalCol, 10, nullptr);
    worksheet_freeze_panes(sheet, firstRow, 1);
    worksheet_set_landscape(sheet);

    if (!doc.showDetails) return;
    lxw_worksheet* notes = workbook_add_worksheet(book.get(), "Observaciones");
    const QStringList headings = {doc.labelHeading, QStringLiteral("Desde"),
                                  QStringLiteral("Hasta"), QStringLiteral("Cantidad"),
                                  QStringLiteral("Observación")};
    for (int c = 0; c < headings.size(); ++c)
        writeText(notes, 0, static_cast<lxw_col_t>(c), headings[c], book.heading_);
    lxw_row_t row = 1;
    for (int r = 0; r < g.rowCount(); ++r) {
        for (int p = 0; p < g.periodCount(); ++p) {
            if (g.detail(r, p).isEmpty()) continue;
            lxw_datetime from = excelDate(g.period(p).from), to = excelDate(g.period(p).to);
            writeText(notes, row, 0, g.label(r), book.label_);
            worksheet_write_datetime(notes, row, 1, &from, book.date_);
            worksheet_write_datetime(notes, row, 2, &to, book.date_);
            worksheet_write_number(notes, row, 3, g.count(r, p), nullptr);
            writeText(notes, row, 4, g.detail(r, p), book.text_);
            const auto lines = std::max(g.label(r).count(QLatin1Char('\n')),
                                        g.detail(r, p).count(QLatin1Char('\n'))) +
                               1;
            if (lines > 1) worksheet_set_row(notes, row, kLineHeight * lines, nullptr);
            ++row;
        }
    }
    worksheet_set_column(notes, 0, 0, 40, nullptr);
    worksheet_set_column(notes, 1, 3, 10, nullptr);
    worksheet_set_column(notes, 4, 4, 60, nullptr);
    worksheet_freeze_panes(notes, 1, 0);
}

void writeList(Book& book, const ReportDocument& doc) {
    const ReportTable& t = doc.table;
    lxw_worksheet* sheet = workbook_add_worksheet(book.get(), "Listado");
    writeHeadingLines(book, sheet, doc);
    for (int c = 0; c < t.columnCount(); ++c) {
        const auto col = static_cast<lxw_col_t>(c);
        writeText(sheet, kTableRow, col, t.column(c).heading, book.heading_);
        // Template widths are about a character each; a little more reads better.
        worksheet_set_column(sheet, col, col, t.column(c).width * 1.4, nullptr);
    }
    for (int r = 0; r < t.rowCount(); ++r) {
        const lxw_row_t row = kTableRow + 1 + static_cast<lxw_row_t>(r);
        for (int c = 0; c < t.columnCount(); ++c) {
            const auto col = static_cast<lxw_col_t>(c);
            const Variant& v = t.value(r, c);
            if (v.isNumber()) {
                worksheet_write_number(sheet, row, col, v.number(),
                                       book.numberFormat(t.column(c).decimals));
            } else if (v.isDate()) {
                const QDateTime& d = v.date();
                lxw_datetime dt = {d.date().year(),   d.date().month(),
                                   d.date().day(),    d.time().hour(),
                                   d.time().minute(), static_cast<double>(d.time().second())};
                worksheet_write_datetime(sheet, row, col, &dt,
                                         book.dateFormat(t.column(c).dateFormat));
            } else if (!v.isNull() && !v.isEmpty()) {
                writeText(sheet, row, col, t.text(r, c), book.text_);
            }
        }
    }
    worksheet_freeze_panes(sheet, kTableRow + 1, 0);
    if (doc.landscape) worksheet_set_landscape(sheet);
}

}  // namespace

bool XlsxExport::write(const ReportDocument& doc, const QString& path, QString* error) {
    Book book(path);
    if (!book.get()) {
        if (error) *error = QStringLiteral("no se pudo crear el libro");
        return false;
    }
    if (doc.kind == ReportTemplate::Kind::Grid)
        writeGrid(book, doc);
    else
        writeList(book, doc);
    const QString failure = book.close();
    if (!failure.isEmpty() && error) *error = failure;
    return failure.isEmpty();
}

}  // namespace reportengine
