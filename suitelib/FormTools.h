#pragma once

#include <QString>
#include <vector>

class QWidget;

namespace SuiteLib {

class FormTools {
  public:
    void PrepareFields(QWidget* window, int flag) const;
    // Index of the field whose data-field key (widget property "dataField") equals the key,
    // without regard to case; -1 when none.
    int FieldIndex(const QString& key, const std::vector<QWidget*>& fields) const;
    void FieldGotFocus(QWidget* field, const QString& extra) const;
    // Enter, Up and Down move between fields.
    bool IsMoveKey(int keyCode) const;
    // Enter and Down go to the next field of the window's tab order, Up to the previous one,
    // counted from `from` (the widget with the focus when none is given: right after a modal
    // window closes there may be none yet).
    void MoveByKey(int keyCode, QWidget* from = nullptr) const;
    // May change the typed character or set it to 0 (refused).
    void FilterKey(QWidget* field, int& character) const;
};

}  // namespace SuiteLib
