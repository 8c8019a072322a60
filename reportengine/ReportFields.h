#pragma once

#include <QHash>
#include <QString>

namespace reportengine {

// The named fields of a report (title, company, parameters line), set from formula texts of the
// form  name = 'value'.
class ReportFields {
  public:
    // Takes one formula text; an empty text sets nothing. False when the text has no name and
    // "=". The value is what stands between the first and the last single quote, with '' read as
    // one quote; a value that callers quoted without doubling its own quotes stays whole.
    bool assign(const QString& formula);
    // Names without regard to case; "" for a field no formula set.
    QString value(const QString& name) const;
    bool contains(const QString& name) const;

  private:
    QHash<QString, QString> values_;  // by lower-case name
};

}  // namespace reportengine
