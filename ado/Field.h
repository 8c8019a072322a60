#pragma once

#include <QString>

#include "ado/core/Engine.h"
#include "platform/Variant.h"

namespace ado {

class Recordset;

// One column of a recordset's current row.
class Field {
  public:
    Field(Recordset* owner, int index, ColumnInfo info)
        : owner_(owner), index_(index), info_(std::move(info)) {}

    const QString& name() const { return info_.name; }
    int type() const { return info_.type; }
    qint64 definedSize() const { return info_.definedSize; }
    // The text as the column holds it: a character column keeps its first definedSize()
    // characters (one outside the basic plane counts once, as the engines count); any other
    // column takes it whole, a long text one too (drivers give such a column the size of their
    // own buffers, not a length the column holds).
    QString fitted(const QString& text) const;
    // Raises 3021 when there is no current row.
    platform::Variant value() const;
    // Writes into the pending edit (starting one on an updatable recordset).
    void setValue(const platform::Variant& v);
    platform::Variant originalValue() const;

  private:
    Recordset* owner_ = nullptr;
    int index_ = 0;
    ColumnInfo info_;
};

}  // namespace ado
