#pragma once

#include <vector>

#include "ado/core/Engine.h"

namespace ado {

// A result already held in memory (schema rows, rows of a statement that was not the last of
// its batch).
class BufferedCursor : public Cursor {
  public:
    BufferedCursor(std::vector<ColumnInfo> columns,
                   std::vector<std::vector<platform::Variant>> rows)
        : columns_(std::move(columns)), rows_(std::move(rows)) {}
    const std::vector<ColumnInfo>& columns() const override { return columns_; }
    bool next(std::vector<platform::Variant>& row) override {
        if (at_ >= rows_.size()) return false;
        row = std::move(rows_[at_++]);
        return true;
    }

  private:
    std::vector<ColumnInfo> columns_;
    std::vector<std::vector<platform::Variant>> rows_;
    std::size_t at_ = 0;
};

// Reads every remaining row of a cursor into a buffered one.
inline std::unique_ptr<Cursor> bufferAll(Cursor& c) {
    std::vector<std::vector<platform::Variant>> rows;
    std::vector<platform::Variant> row;
    while (c.next(row)) rows.push_back(row);
    return std::make_unique<BufferedCursor>(c.columns(), std::move(rows));
}

}  // namespace ado
