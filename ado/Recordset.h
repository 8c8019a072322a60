#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "ado/Connection.h"
#include "ado/Field.h"
#include "ado/core/Engine.h"
#include "platform/Variant.h"

namespace ado {

namespace adedit {
constexpr int None = 0, InProgress = 1, Add = 2;
}

// The rows of a query with a current-row position, as the suite's code reads them: open, BOF/EOF,
// MoveNext, fields by index or by name (without regard to case); on a recordset over one table
// opened with an updatable lock, AddNew / field assignment / Update / CancelUpdate.
// Forward-only read-only recordsets stream their rows; the others hold them in memory.
class Recordset {
  public:
    Recordset() = default;
    ~Recordset() = default;
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // Raises 3705 when already open; database failures as the connection's errors.
    void open(const QString& source, const Connection& activeConnection,
              int cursorType = adcursor::ForwardOnly, int lockType = adlock::ReadOnly,
              int options = -1);
    // As open, read-only, for a statement that may only read: what would change the database
    // (data or structure, several statements, a statement without rows) is refused before it
    // runs, raised as code::NotReadOnly.
    void openForReading(const QString& source, const Connection& activeConnection,
                        int cursorType = adcursor::ForwardOnly);
    // Raises 3704 when closed and 3219 while an edit is pending.
    void close();
    int state() const { return open_ ? adstate::Open : adstate::Closed; }

    bool bof() const;
    bool eof() const;
    void moveNext();
    void moveFirst();
    qint64 recordCount() const;  // -1 for a forward-only recordset

    int fieldCount() const;
    Field& field(int index);            // raises 3265 outside the fields
    Field& field(const QString& name);  // raises 3265 for an unknown name
    bool hasField(const QString& name) const;
    platform::Variant value(const QString& name) { return field(name).value(); }

    void addNew();
    void update();
    void cancelUpdate();
    int editMode() const { return editMode_; }

    int cursorType() const { return cursorType_; }
    int lockType() const { return lockType_; }
    QString source() const { return source_; }
    Connection activeConnection() const { return connection_; }

    // For the connection: a recordset over rows already produced.
    void openOver(std::unique_ptr<Cursor> cursor, const Connection& connection,
                  const QString& source, int cursorType, int lockType);

    // For the fields.
    platform::Variant valueAt(int index) const;
    platform::Variant originalAt(int index) const;
    void setValueAt(int index, const platform::Variant& v);

  private:
    void openWith(const QString& source, const Connection& activeConnection, int cursorType,
                  int lockType, bool reading);
    void requireOpen() const;
    void requireCurrent() const;
    void setUp(std::unique_ptr<Cursor> cursor);
    void fetch();
    QString baseTable() const;
    const std::vector<platform::Variant>& currentRow() const;
    void finishEditOnMove();

    bool open_ = false;
    Connection connection_;
    QString source_;
    int cursorType_ = adcursor::ForwardOnly;
    int lockType_ = adlock::ReadOnly;
    bool reading_ = false;  // opened for reading only: opened again the same way
    std::vector<ColumnInfo> columns_;
    std::vector<std::unique_ptr<Field>> fields_;

    bool streaming_ = true;
    std::unique_ptr<Cursor> cursor_;
    std::vector<platform::Variant> row_;                // current row while streaming
    std::vector<std::vector<platform::Variant>> rows_;  // all rows otherwise
    qint64 pos_ = 0;
    bool bof_ = true;
    bool eof_ = true;

    int editMode_ = adedit::None;
    std::vector<platform::Variant> editRow_;
    std::vector<bool> changed_;
};

}  // namespace ado
