#include "widgets/QtPrompter.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

namespace platform {

namespace {
QMessageBox::Icon iconOf(int style) {
    switch (style & mb::IconMask) {
        case mb::Critical:
            return QMessageBox::Critical;
        case mb::Question:
            return QMessageBox::Question;
        case mb::Exclamation:
            return QMessageBox::Warning;
        case mb::Information:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

// The answer Esc gives: the button that leaves (Cancelar, else No, else the only button);
// none among Anular, Reintentar and Omitir.
int escapeOf(const ButtonSet& set) {
    const int* end = set.answers + set.count;
    for (const int answer : {mb::Cancel, mb::No})
        if (std::find(set.answers, end, answer) != end) return answer;
    return set.count == 1 ? set.answers[0] : 0;
}

QString normalised(const QString& text) {
    QString t = text;
    return t.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
}
}  // namespace

QMessageBox* QtPrompter::build(const QString& text, int style, const QString& title) {
    auto* box = new QMessageBox(
        iconOf(style), title.isEmpty() ? QCoreApplication::applicationName() : title,
        normalised(text), QMessageBox::NoButton, QApplication::activeWindow());
    const ButtonSet set = buttonsOf(style);
    const int def = (style & mb::DefaultButton3) ? 2 : (style & mb::DefaultButton2) ? 1 : 0;
    const int escape = escapeOf(set);
    for (int i = 0; i < set.count; ++i) {
        QPushButton* b = box->addButton(captionOf(set.answers[i]), QMessageBox::AcceptRole);
        b->setProperty("answer", set.answers[i]);
        if (i == def) box->setDefaultButton(b);
        if (set.answers[i] == escape) box->setEscapeButton(b);
    }
    return box;
}

int QtPrompter::messageBox(const QString& text, int style, const QString& title) {
    std::unique_ptr<QMessageBox> box(build(text, style, title));
    box->exec();
    const auto* clicked = box->clickedButton();
    if (!clicked) return buttonsOf(style).answers[0];
    return clicked->property("answer").toInt();
}

std::optional<QString> QtPrompter::inputBox(const QString& prompt, const QString& title,
                                            const QString& defaultText) {
    QInputDialog dlg(QApplication::activeWindow());
    dlg.setWindowTitle(title.isEmpty() ? QCoreApplication::applicationName() : title);
    dlg.setLabelText(normalised(prompt));
    dlg.setTextValue(defaultText);
    dlg.setOkButtonText(captionOf(mb::Ok));
    dlg.setCancelButtonText(captionOf(mb::Cancel));
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    return dlg.textValue();
}

}  // namespace platform
