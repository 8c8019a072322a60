#include "suitelib/Tools.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QVBoxLayout>
#include <cmath>

#include "platform/Hoy.h"
#include "platform/Prompt.h"
#include "platform/Regional.h"

namespace SuiteLib {

namespace {

// The largest magnitude of an 8-byte amount with four decimals.
constexpr double kAmountLimit = 922337203685477.5807;

// Marks the stored form, so that a plain value written by hand is never taken for one.
constexpr char kStoredMark = '~';
constexpr char kStoredKey[] = "Cronequipo/Vl";

Tools::DatePicker& datePicker() {
    static Tools::DatePicker picker;
    return picker;
}

// Half away from zero. The scaled binary value of a typed decimal such as 0.00015 may land just
// below the half, so values within a hair of it count as the half.
double roundHalfAway(double value, double scale) {
    const double scaled = std::fabs(value) * scale;
    double whole = std::floor(scaled);
    if (scaled - whole >= 0.5 - 1e-7) whole += 1;
    return std::copysign(whole / scale, value);
}

quint8 keyByte(qsizetype i) {
    constexpr qsizetype keyLength = sizeof(kStoredKey) - 1;
    return static_cast<quint8>(kStoredKey[i % keyLength]) ^ static_cast<quint8>(i * 37);
}

std::optional<QDate> askDate(const QDate& initial) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return std::nullopt;
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(QStringLiteral("Seleccione la fecha"));
    auto* calendar = new QCalendarWidget(&dialog);
    calendar->setObjectName(QStringLiteral("calendar"));
    const auto& regional = platform::Regional::current();
    calendar->setLocale(regional.locale);
    calendar->setFirstDayOfWeek(regional.firstDayOfWeek);
    calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar->setSelectedDate(initial);
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(QStringLiteral("Aceptar"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(calendar, &QCalendarWidget::activated, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(calendar);
    layout->addWidget(buttons);
    // The calendar's own size leaves out the frame a style sheet gives its table, which then
    // cuts the sixth week; the room is given back here.
    dialog.ensurePolished();
    const QSize hint = calendar->sizeHint();
    calendar->setMinimumSize(hint.width() + 24, hint.height() + 24);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return calendar->selectedDate();
}

}  // namespace

QString Tools::LeftText(const QString& text, int n) const {
    return n <= 0 ? QString() : text.left(n);
}

double Tools::TextToNumber(const QString& text) const {
    const double amount = roundHalfAway(platform::leadingNumber(text), 10000.0);
    if (std::fabs(amount) > kAmountLimit) {
        platform::raise(platform::errnum::Overflow, QStringLiteral("Desbordamiento"));
    }
    return amount;
}

qint64 Tools::ToInteger(const QString& text) const {
    const double whole = roundHalfAway(platform::leadingNumber(text), 1.0);
    // 2^63 itself is out of range; every double below it converts exactly.
    constexpr double limit = 9223372036854775808.0;
    if (whole >= limit || whole < -limit) {
        platform::raise(platform::errnum::Overflow, QStringLiteral("Desbordamiento"));
    }
    return static_cast<qint64>(whole);
}

platform::Variant Tools::NoNull(const platform::Variant& value) const {
    return value.isNull() ? platform::Variant(QString()) : value;
}

int Tools::WordCount(const QString& text) const {
    // Statements are counted too, so tabs and line breaks separate like blanks.
    return static_cast<int>(
        text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts).size());
}

QString Tools::ReplaceText(const QString& text, const QString& find,
                           const std::optional<QString>& with) const {
    return ReplaceEvery(text, find, with.value_or(QString()));
}

QString Tools::ReplaceEvery(const QString& text, const QString& find, const QString& with) const {
    // An empty search would otherwise insert the replacement between every character.
    if (find.isEmpty()) return text;
    QString result = text;
    return result.replace(find, with, Qt::CaseSensitive);
}

QString Tools::ReplaceName(const QString& statement, const QString& oldName,
                           const QString& newName) const {
    if (oldName.isEmpty()) return statement;
    const QRegularExpression name(
        QStringLiteral("(?<![\\w])") + QRegularExpression::escape(oldName) +
            QStringLiteral("(?![\\w])"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    // Built piece by piece: the new name is literal text, not a replacement pattern.
    QString result;
    qsizetype from = 0;
    for (auto it = name.globalMatch(statement); it.hasNext();) {
        const auto match = it.next();
        result += statement.mid(from, match.capturedStart() - from);
        result += newName;
        from = match.capturedEnd();
    }
    result += statement.mid(from);
    return result;
}

QString Tools::SqlSafeText(const QString& text) const {
    QString result;
    result.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c == QChar(u'\0')) continue;  // would end the statement early in most drivers
        result += c;
        if (c == QLatin1Char('\'')) result += c;
    }
    return result;
}

QString Tools::PadCode(const QString& text, int width) const {
    // Never cut: a longer code is still compared whole.
    return text.trimmed().rightJustified(width, QLatin1Char(' '), false);
}

QString Tools::PickDate(const QString& initial) const {
    const auto parsed = platform::Regional::current().parseDate(initial);
    const QDate start = parsed ? parsed->date() : platform::hoy();
    const auto& picker = datePicker();
    const std::optional<QDate> chosen = picker ? picker(start) : askDate(start);
    // A cancelled pick gives back what the field held, so that nothing is lost.
    if (!chosen || !chosen->isValid()) return initial;
    return chosen->toString(platform::Regional::current().shortDateFormat);
}

void Tools::setDatePicker(DatePicker picker) {
    datePicker() = std::move(picker);
}

QString Tools::FolderPath(const QString& folder) const {
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')) ||
        folder.endsWith(QLatin1Char('\\'))) {
        return folder;
    }
    return folder + QLatin1Char('/');
}

QString Tools::EncodeStored(const QString& text) const {
    const QByteArray bytes = text.toUtf8();
    QByteArray mixed(bytes.size(), '\0');
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        mixed[i] = static_cast<char>(static_cast<quint8>(bytes[i]) ^ keyByte(i));
    }
    return QLatin1Char(kStoredMark) + QString::fromLatin1(mixed.toHex().toUpper());
}

QString Tools::DecodeStored(const QString& stored) const {
    if (!stored.startsWith(QLatin1Char(kStoredMark))) return stored;
    const QString hex = stored.mid(1);
    if (hex.size() % 2 != 0) return stored;
    for (const QChar c : hex) {
        const bool upperHex = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                              (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
        if (!upperHex) return stored;
    }
    QByteArray bytes = QByteArray::fromHex(hex.toLatin1());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(static_cast<quint8>(bytes[i]) ^ keyByte(i));
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (utf8.hasError() || text.contains(QChar(u'\0'))) return stored;
    return text;
}

int Tools::HandleError(const platform::ErrorInfo& error, const QVariant& omitted,
                       const QString& procedure) const {
    Q_UNUSED(omitted);
    const QString text = QStringLiteral("Ha ocurrido el Siguiente Error (") +
                         QString::number(error.number) + QStringLiteral(") ") +
                         error.description.trimmed();
    return platform::msgBox(text, platform::mb::AbortRetryIgnore | platform::mb::Critical,
                            error.source + QStringLiteral(" - ") + procedure);
}

void Tools::PrepareForm(QWidget* window, int flag) const {
    Q_UNUSED(window);
    Q_UNUSED(flag);
}

void Tools::FormLoaded(QWidget* window, const QString& extra) const {
    Q_UNUSED(window);
    Q_UNUSED(extra);
}

void Tools::FormUnloading(QWidget* window, const QString& extra) const {
    Q_UNUSED(window);
    Q_UNUSED(extra);
}

}  // namespace SuiteLib
