#include "suitelib/FormTools.h"

#include <QApplication>
#include <QVariant>
#include <QWidget>

namespace SuiteLib {

namespace {

// The suite's own code for Enter, as it arrives from callers that pass it by number.
constexpr int kCarriageReturn = 13;

// A widget that Tab would stop on in the same window.
bool takesTabFocus(QWidget* candidate, QWidget* window) {
    return candidate->window() == window &&
           (candidate->focusPolicy() & Qt::TabFocus) == Qt::TabFocus &&
           candidate->focusProxy() == nullptr && candidate->isEnabled() &&
           candidate->isVisibleTo(window);
}

}  // namespace

void FormTools::PrepareFields(QWidget* window, int flag) const {
    Q_UNUSED(window);
    Q_UNUSED(flag);
}

int FormTools::FieldIndex(const QString& key, const std::vector<QWidget*>& fields) const {
    if (key.isEmpty()) return -1;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i] == nullptr) continue;
        const QVariant dataField = fields[i]->property("dataField");
        if (dataField.isValid() && dataField.toString().compare(key, Qt::CaseInsensitive) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void FormTools::FieldGotFocus(QWidget* field, const QString& extra) const {
    Q_UNUSED(field);
    Q_UNUSED(extra);
}

bool FormTools::IsMoveKey(int keyCode) const {
    switch (keyCode) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case kCarriageReturn:
            return true;
        default:
            return false;
    }
}

void FormTools::MoveByKey(int keyCode, QWidget* from) const {
    if (!IsMoveKey(keyCode)) return;
    QWidget* current = from ? from : QApplication::focusWidget();
    if (current == nullptr) return;
    const bool backwards = keyCode == Qt::Key_Up;
    QWidget* window = current->window();
    // The chain is circular; stop after one full turn when nothing else takes the focus.
    for (QWidget* candidate = backwards ? current->previousInFocusChain()
                                        : current->nextInFocusChain();
         candidate != nullptr && candidate != current;
         candidate = backwards ? candidate->previousInFocusChain()
                               : candidate->nextInFocusChain()) {
        if (takesTabFocus(candidate, window)) {
            candidate->setFocus(backwards ? Qt::BacktabFocusReason : Qt::TabFocusReason);
            return;
        }
    }
}

void FormTools::FilterKey(QWidget* field, int& character) const {
    Q_UNUSED(field);
    Q_UNUSED(character);
}

}  // namespace SuiteLib
