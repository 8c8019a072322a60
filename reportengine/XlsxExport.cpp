#include "reportengine/XlsxExport.h"

#include <xlsxwriter.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <map>
#include <string>

#include "platform/so/NumerosEnC.h"

namespace reportengine {

namespace {

using platform::Variant;

// Rows of the heading lines above every table.
constexpr lxw_row_t kTitleRow = 0, kCompanyRow = 1, kParametersRow = 2, kTableRow = 4;
constexpr double kLineHeight = 15;  // points, the default row's

// The spreadsheet's own pattern letters for a date pattern: days, months and years alike.
std::string excelDateFormat(const QString& qtFormat) {
    return (qtFormat.isEmpty() ? QStringLiteral("dd/mm/yyyy") : qtFormat.toLower()).toStdString();
}

// The text as a cell takes it: a NUL would end it, and a cell holds a limited length.
std::string cellText(QString text) {
    text.replace(QChar(0), QChar(0xFFFD));
    if (text.size() > XlsxExport::kMaxText) {
        text.truncate(XlsxExport::kMaxText - 1);
        if (text.back().isHighSurrogate()) text.chop(1);
        text += QChar(0x2026);
    }
    return text.toStdString();
}

class Book {
  public:
    Book(const QString& path, const QString& tmpdir)
        : path_(path), tmpdir_(QFile::encodeName(tmpdir).toStdString()) {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        options.tmpdir = tmpdir_.data();
        book_ = workbook_new_opt(QFile::encodeName(path).constData(), &options);
        if (!book_) return;
        title_ = add();
        format_set_bold(title_);
        format_set_font_size(title_, 14);
        bold_ = add();
        format_set_bold(bold_);
        heading_ = add();
        format_set_bold(heading_);
        format_set_bg_color(heading_, 0xDDE2E8);
        format_set_border(heading_, LXW_BORDER_THIN);
        format_set_text_wrap(heading_);
        format_set_align(heading_, LXW_ALIGN_VERTICAL_CENTER);
        headingDate_ = add();
        format_set_bold(headingDate_);
        format_set_bg_color(headingDate_, 0xDDE2E8);
        format_set_border(headingDate_, LXW_BORDER_THIN);
        format_set_num_format(headingDate_, "dd/mm/yy");
        format_set_align(headingDate_, LXW_ALIGN_CENTER);
        headingOldDate_ = add();
        format_set_bold(headingOldDate_);
        format_set_bg_color(headingOldDate_, 0xDDE2E8);
        format_set_border(headingOldDate_, LXW_BORDER_THIN);
        format_set_align(headingOldDate_, LXW_ALIGN_CENTER);
        label_ = add();
        format_set_text_wrap(label_);
        format_set_align(label_, LXW_ALIGN_VERTICAL_TOP);
        total_ = add();
        format_set_bold(total_);
        format_set_bg_color(total_, 0xEEEEEE);
        text_ = add();
        format_set_align(text_, LXW_ALIGN_VERTICAL_TOP);
        format_set_text_wrap(text_);
        date_ = add();
        format_set_num_format(date_, "dd/mm/yy");
        format_set_align(date_, LXW_ALIGN_VERTICAL_TOP);
    }
    ~Book() {
        // Unfinished (a failure or a cancel): the library still frees what it holds; the half
        // file is the caller's temporary and goes away with it.
        if (book_) workbook_close(book_);
    }
    Book(const Book&) = delete;
    Book& operator=(const Book&) = delete;

    bool ok() const { return book_ != nullptr && failure_ == LXW_NO_ERROR; }

    // Every call of the library goes through here: the first failure is kept and ends the
    // writing.
    bool check(lxw_error e) {
        if (e != LXW_NO_ERROR && failure_ == LXW_NO_ERROR) failure_ = e;
        return failure_ == LXW_NO_ERROR;
    }

    lxw_worksheet* sheet(const QString& name) {
        if (!ok()) return nullptr;
        lxw_worksheet* s = workbook_add_worksheet(book_, cellText(name).c_str());
        if (!s) failure_ = LXW_ERROR_MEMORY_MALLOC_FAILED;
        return s;
    }

    void text(lxw_worksheet* s, lxw_row_t row, lxw_col_t col, const QString& t, lxw_format* f) {
        if (ok()) check(worksheet_write_string(s, row, col, cellText(t).c_str(), f));
    }
    void number(lxw_worksheet* s, lxw_row_t row, lxw_col_t col, double n, lxw_format* f) {
        if (ok()) check(worksheet_write_number(s, row, col, n, f));
    }
    // Dates before the spreadsheet's first day go out as text.
    void date(lxw_worksheet* s, lxw_row_t row, lxw_col_t col, const QDateTime& d, lxw_format* f,
              lxw_format* asText, const QString& textPattern) {
        if (!ok()) return;
        if (d.date().year() < 1900) {
            check(worksheet_write_string(s, row, col, cellText(d.toString(textPattern)).c_str(),
                                         asText));
            return;
        }
        lxw_datetime dt = {d.date().year(),   d.date().month(),
                           d.date().day(),    d.time().hour(),
                           d.time().minute(), static_cast<double>(d.time().second())};
        check(worksheet_write_datetime(s, row, col, &dt, f));
    }

    // Writes the file; the reason when that, or anything before it, failed.
    QString close() {
        lxw_error e = failure_;
        if (book_) {
            const lxw_error closing = workbook_close(book_);
            book_ = nullptr;
            if (e == LXW_NO_ERROR) e = closing;
        }
        if (e == LXW_NO_ERROR) return {};
        // The usual case in the user's words; the library's own text for the rare others.
        if (e == LXW_ERROR_CREATING_XLSX_FILE || e == LXW_ERROR_CREATING_TMPFILE)
            return QStringLiteral("no se pudo escribir el archivo %1")
                .arg(QDir::toNativeSeparators(path_));
        QString why = QString::fromUtf8(lxw_strerror(e)).trimmed();
        while (why.endsWith(QLatin1Char('.'))) why.chop(1);
        return why;
    }

    lxw_format* dateFormat(const QString& qtFormat) {
        const std::string f = excelDateFormat(qtFormat);
        auto it = dates_.find(f);
        if (it != dates_.end()) return it->second;
        lxw_format* format = add();
        format_set_num_format(format, f.c_str());
        format_set_align(format, LXW_ALIGN_VERTICAL_TOP);
        return dates_[f] = format;
    }

    lxw_format* numberFormat(int decimals) {
        if (decimals < 0) return nullptr;
        auto it = numbers_.find(decimals);
        if (it != numbers_.end()) return it->second;
        lxw_format* format = add();
        const std::string f =
            decimals == 0 ? std::string("#,##0") : "#,##0." + std::string(decimals, '0');
        format_set_num_format(format, f.c_str());
        return numbers_[decimals] = format;
    }

    lxw_format* title_ = nullptr;
    lxw_format* bold_ = nullptr;
    lxw_format* heading_ = nullptr;
    lxw_format* headingDate_ = nullptr;
    lxw_format* headingOldDate_ = nullptr;
    lxw_format* label_ = nullptr;
    lxw_format* total_ = nullptr;
    lxw_format* text_ = nullptr;
    lxw_format* date_ = nullptr;

  private:
    lxw_format* add() { return workbook_add_format(book_); }

    // The library writes the sheets' numbers (widths, margins, amounts) with the C library:
    // never with the desktop's decimal comma, which readers refuse or misread.
    platform::NumerosEnC numerosEnC_;
    QString path_;
    std::string tmpdir_;
    lxw_workbook* book_ = nullptr;
    lxw_error failure_ = LXW_NO_ERROR;
    std::map<std::string, lxw_format*> dates_;
    std::map<int, lxw_format*> numbers_;
};

QString sheetName(const QString& base, int number) {
    return number == 1 ? base : QStringLiteral("%1 (%2)").arg(base).arg(number);
}

void writeHeadingLines(Book& book, lxw_worksheet* sheet, const ReportDocument& doc) {
    book.text(sheet, kTitleRow, 0, doc.title, book.title_);
    if (!doc.company.trimmed().isEmpty())
        book.text(sheet, kCompanyRow, 0, doc.company.trimmed(), book.bold_);
    if (!doc.parameters.trimmed().isEmpty())
        book.text(sheet, kParametersRow, 0, doc.parameters.trimmed(), nullptr);
}

// The observations of a schedule, a line per cell, continued on further sheets when long.
class NotesSheet {
  public:
    NotesSheet(Book& book, const ReportDocument& doc, int rows)
        : book_(book), doc_(doc), rows_(static_cast<lxw_row_t>(rows)) {}

    void add(int row, int p, double count, const QString& detail) {
        const ScheduleGrid& g = doc_.grid;
        if (!sheet_ || next_ >= rows_) start();
        if (!book_.ok()) return;
        const auto lines =
            std::max(g.label(row).count(QLatin1Char('\n')), detail.count(QLatin1Char('\n'))) + 1;
        if (lines > 1) book_.check(worksheet_set_row(sheet_, next_, kLineHeight * lines, nullptr));
        book_.text(sheet_, next_, 0, g.label(row), book_.label_);
        book_.date(sheet_, next_, 1, g.period(p).from.startOfDay(), book_.date_, book_.text_,
                   QStringLiteral("dd/MM/yyyy"));
        book_.date(sheet_, next_, 2, g.period(p).to.startOfDay(), book_.date_, book_.text_,
                   QStringLiteral("dd/MM/yyyy"));
        book_.number(sheet_, next_, 3, count, nullptr);
        book_.text(sheet_, next_, 4, detail, book_.text_);
        ++next_;
    }

  private:
    void start() {
        sheet_ = book_.sheet(sheetName(QStringLiteral("Observaciones"), ++sheets_));
        if (!sheet_) return;
        const QStringList headings = {doc_.labelHeading, QStringLiteral("Desde"),
                                      QStringLiteral("Hasta"), QStringLiteral("Cantidad"),
                                      QStringLiteral("Observación")};
        for (int c = 0; c < headings.size(); ++c)
            book_.text(sheet_, 0, static_cast<lxw_col_t>(c), headings[c], book_.heading_);
        book_.check(worksheet_set_column(sheet_, 0, 0, 40, nullptr));
        book_.check(worksheet_set_column(sheet_, 1, 3, 10, nullptr));
        book_.check(worksheet_set_column(sheet_, 4, 4, 60, nullptr));
        worksheet_freeze_panes(sheet_, 1, 0);
        next_ = 1;
    }

    Book& book_;
    const ReportDocument& doc_;
    lxw_worksheet* sheet_ = nullptr;
    lxw_row_t rows_;
    lxw_row_t next_ = 0;
    int sheets_ = 0;
};

// A row of a schedule as read: its cells in period order, each once.
struct RowCells {
    std::vector<std::pair<int, double>> counts;
    std::map<int, QString> details;
};

// A schedule cut into sheets: periods (and the total column after them) across, labels (and the
// total row under them) down; every sheet repeats the labels and the headings.
class GridWriter {
  public:
    GridWriter(Book& book, const ReportDocument& doc, const XlsxLimits& limits)
        : book_(book),
          doc_(doc),
          g_(doc.grid),
          ranges_(hasRanges(doc.grid)),
          firstRow_(kTableRow + (ranges_ ? 2 : 1)),
          perSheetAcross_(limits.columns - 1),
          perSheetDown_(limits.rows - static_cast<int>(firstRow_)),
          columns_(g_.periodCount() + 1),
          rows_(g_.rowCount() + 1),
          across_((columns_ + perSheetAcross_ - 1) / perSheetAcross_),
          down_((rows_ + perSheetDown_ - 1) / perSheetDown_),
          notes_(book, doc, limits.rows),
          sheets_(static_cast<std::size_t>(across_)) {}

    Outcome write(const Progress& progress) {
        for (int part = 0; part < down_ && book_.ok(); ++part) {
            const int partFirst = part * perSheetDown_;
            const int partEnd = std::min(rows_, partFirst + perSheetDown_);
            if (!startPart()) return Outcome::Failed;
            writeHeadings();
            const int labelsEnd = std::min(partEnd, g_.rowCount());
            for (int first = partFirst; first < labelsEnd && book_.ok();) {
                const int end = bandEnd(first, labelsEnd);
                if (!writeBand(first, end, partFirst, progress)) return Outcome::Cancelled;
                first = end;
            }
            if (partEnd == rows_) writeTotals(partFirst);
        }
        return book_.ok() ? Outcome::Written : Outcome::Failed;
    }

  private:
    // A second heading row holds the last days when a period is longer than a day.
    static bool hasRanges(const ScheduleGrid& g) {
        for (int p = 0; p < g.periodCount(); ++p)
            if (!g.period(p).daily && g.period(p).from != g.period(p).to) return true;
        return false;
    }

    // The sheet across, and the column in it, of a column of the table.
    std::pair<int, lxw_col_t> place(int column) const {
        return std::make_pair(column / perSheetAcross_,
                              static_cast<lxw_col_t>(column % perSheetAcross_ + 1));
    }

    // The sheets across of one part down; false when the book cannot take another.
    bool startPart() {
        for (int a = 0; a < across_; ++a) {
            lxw_worksheet* sheet = sheets_[a] =
                book_.sheet(sheetName(QStringLiteral("Cronograma"), ++number_));
            if (!sheet) return false;
            writeHeadingLines(book_, sheet, doc_);
            const lxw_col_t last =
                static_cast<lxw_col_t>(std::min(columns_ - a * perSheetAcross_, perSheetAcross_));
            book_.check(worksheet_set_column(sheet, 0, 0, 40, nullptr));
            book_.check(worksheet_set_column(sheet, 1, last, 10, nullptr));
            worksheet_freeze_panes(sheet, firstRow_, 1);
            worksheet_set_landscape(sheet);
        }
        return true;
    }

    // Heading rows, one sheet after another for each row, as constant memory requires.
    void writeHeadings() {
        const int headingRows = ranges_ ? 2 : 1;
        for (int h = 0; h < headingRows; ++h) {
            for (lxw_worksheet* sheet : sheets_)
                book_.text(sheet, kTableRow + h, 0, h == 0 ? doc_.labelHeading : QString(),
                           book_.heading_);
            for (int p = 0; p < g_.periodCount(); ++p) {
                const auto [a, col] = place(p);
                const QDate d = h == 0 ? g_.period(p).from : g_.period(p).to;
                book_.date(sheets_[a], kTableRow + h, col, d.startOfDay(), book_.headingDate_,
                           book_.headingOldDate_, QStringLiteral("dd/MM/yyyy"));
            }
            const auto [a, col] = place(g_.periodCount());
            book_.text(sheets_[a], kTableRow + h, col, h == 0 ? QStringLiteral("Total") : QString(),
                       book_.heading_);
        }
    }

    // The end of a band of rows whose entries are read in one go: at least one row, more while
    // their entries fit the budget.
    int bandEnd(int first, int end) const {
        int last = first;
        double entries = 0;
        while (last < end &&
               (last == first || entries + g_.rowEntries(last) <= ScheduleGrid::heldBudget())) {
            entries += g_.rowEntries(last);
            ++last;
        }
        return last;
    }

    std::vector<RowCells> readBand(int first, int end) const {
        std::vector<RowCells> cells(static_cast<std::size_t>(end - first));
        const auto cursor = g_.entries(first, end - first);
        for (CellEntry e; cursor->next(e);) {
            RowCells& rc = cells[e.row - first];
            if (rc.counts.empty() || rc.counts.back().first != e.period)
                rc.counts.emplace_back(e.period, 0);
            rc.counts.back().second += e.count;
            if (doc_.showDetails && !e.detail.trimmed().isEmpty())
                ScheduleGrid::addDetail(rc.details[e.period], e.detail.trimmed());
        }
        return cells;
    }

    // False when the user cancelled.
    bool writeBand(int first, int end, int partFirst, const Progress& progress) {
        const std::vector<RowCells> cells = readBand(first, end);
        for (int r = first; r < end && book_.ok(); ++r) {
            writeRow(r, firstRow_ + static_cast<lxw_row_t>(r - partFirst), cells[r - first]);
            ++done_;
            if (progress && !progress(done_, g_.rowCount())) return false;
        }
        return true;
    }

    void writeRow(int r, lxw_row_t row, const RowCells& rc) {
        // Spreadsheets do not grow a row for wrapped lines by themselves.
        const auto lines = g_.label(r).count(QLatin1Char('\n')) + 1;
        for (lxw_worksheet* sheet : sheets_) {
            if (lines > 1) book_.check(worksheet_set_row(sheet, row, kLineHeight * lines, nullptr));
            book_.text(sheet, row, 0, g_.label(r), book_.label_);
        }
        for (const auto& [p, count] : rc.counts) {
            if (count == 0) continue;
            const auto [a, col] = place(p);
            book_.number(sheets_[a], row, col, count, nullptr);
        }
        const auto [a, col] = place(g_.periodCount());
        book_.number(sheets_[a], row, col, g_.rowTotal(r), book_.total_);
        for (const auto& [p, detail] : rc.details) {
            const auto found =
                std::lower_bound(rc.counts.begin(), rc.counts.end(), std::make_pair(p, -1e308));
            notes_.add(r, p, found != rc.counts.end() && found->first == p ? found->second : 0,
                       detail);
        }
    }

    void writeTotals(int partFirst) {
        const lxw_row_t row = firstRow_ + static_cast<lxw_row_t>(g_.rowCount() - partFirst);
        for (lxw_worksheet* sheet : sheets_)
            book_.text(sheet, row, 0, QStringLiteral("Total"), book_.total_);
        for (int p = 0; p < g_.periodCount(); ++p) {
            const auto [a, col] = place(p);
            book_.number(sheets_[a], row, col, g_.periodTotal(p), book_.total_);
        }
        const auto [a, col] = place(g_.periodCount());
        book_.number(sheets_[a], row, col, g_.grandTotal(), book_.total_);
    }

    Book& book_;
    const ReportDocument& doc_;
    const ScheduleGrid& g_;
    const bool ranges_;
    const lxw_row_t firstRow_;
    const int perSheetAcross_, perSheetDown_;
    const int columns_, rows_;  // of the table, with the totals
    const int across_, down_;   // sheets
    NotesSheet notes_;
    std::vector<lxw_worksheet*> sheets_;
    int number_ = 0;
    int done_ = 0;
};

Outcome writeGrid(Book& book, const ReportDocument& doc, const Progress& progress,
                  const XlsxLimits& limits) {
    return GridWriter(book, doc, limits).write(progress);
}

Outcome writeList(Book& book, const ReportDocument& doc, const Progress& progress,
                  const XlsxLimits& limits) {
    const ReportTable& t = doc.table;
    const int perSheet = limits.rows - static_cast<int>(kTableRow) - 1;
    lxw_worksheet* sheet = nullptr;
    int number = 0;
    auto startSheet = [&] {
        sheet = book.sheet(sheetName(QStringLiteral("Listado"), ++number));
        if (!sheet) return false;
        writeHeadingLines(book, sheet, doc);
        for (int c = 0; c < t.columnCount(); ++c) {
            const auto col = static_cast<lxw_col_t>(c);
            book.text(sheet, kTableRow, col, t.column(c).heading, book.heading_);
            // Template widths are about a character each; a little more reads better.
            book.check(worksheet_set_column(sheet, col, col, t.column(c).width * 1.4, nullptr));
        }
        worksheet_freeze_panes(sheet, kTableRow + 1, 0);
        if (doc.landscape) worksheet_set_landscape(sheet);
        return true;
    };
    // The first sheet even for a list without rows: it carries the headings.
    if (!startSheet()) return Outcome::Failed;
    bool cancelled = false;
    t.forRows(0, t.rowCount(), [&](int r, const ReportTable::Row& values) {
        if (r > 0 && r % perSheet == 0 && !startSheet()) return false;
        const lxw_row_t row = kTableRow + 1 + static_cast<lxw_row_t>(r % perSheet);
        for (int c = 0; c < t.columnCount(); ++c) {
            const auto col = static_cast<lxw_col_t>(c);
            const Variant& v = values[c];
            if (v.isNumber()) {
                book.number(sheet, row, col, v.number(), book.numberFormat(t.column(c).decimals));
            } else if (v.isDate()) {
                book.date(sheet, row, col, v.date(), book.dateFormat(t.column(c).dateFormat),
                          book.text_, QStringLiteral("dd/MM/yyyy"));
            } else if (!v.isNull() && !v.isEmpty()) {
                book.text(sheet, row, col, t.text(values, c), book.text_);
            }
        }
        if (progress && !progress(r + 1, t.rowCount())) {
            cancelled = true;
            return false;
        }
        return book.ok();
    });
    if (cancelled) return Outcome::Cancelled;
    return book.ok() ? Outcome::Written : Outcome::Failed;
}

}  // namespace

Outcome XlsxExport::write(const ReportDocument& doc, const QString& path, QString* error,
                          const Progress& progress, const XlsxLimits& limits) {
    OutputFile file(path);
    if (!file.open(error)) return Outcome::Failed;
    // The library's own temporary files go beside the report, where there is known to be room.
    Book book(file.path(), QFileInfo(file.path()).absolutePath());
    if (!book.ok()) {
        if (error) *error = QStringLiteral("no se pudo crear el libro");
        return Outcome::Failed;
    }
    const Outcome outcome = doc.kind == ReportTemplate::Kind::Grid
                                ? writeGrid(book, doc, progress, limits)
                                : writeList(book, doc, progress, limits);
    if (outcome == Outcome::Cancelled) return outcome;
    const QString failure = book.close();
    if (!failure.isEmpty()) {
        if (error) *error = failure;
        return Outcome::Failed;
    }
    return file.commit(error) ? Outcome::Written : Outcome::Failed;
}

}  // namespace reportengine
