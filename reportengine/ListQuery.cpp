#include "reportengine/ListQuery.h"

namespace reportengine {

namespace {

class RecordCursor : public ListRows::Cursor {
  public:
    explicit RecordCursor(std::shared_ptr<ado::Recordset> rs) : rs_(std::move(rs)) {}

    bool next(ListRows::Row& out) override {
        if (!rs_ || rs_->state() != ado::adstate::Open || rs_->eof()) {
            rs_.reset();  // the read ends as soon as the rows do
            return false;
        }
        out.resize(static_cast<std::size_t>(rs_->fieldCount()));
        for (int i = 0; i < rs_->fieldCount(); ++i) out[i] = rs_->field(i).value();
        rs_->moveNext();
        return true;
    }

  private:
    std::shared_ptr<ado::Recordset> rs_;
};

}  // namespace

std::unique_ptr<ListRows::Cursor> ListQuery::open() {
    return std::make_unique<RecordCursor>(source_->stream(statement_, parameters_));
}

}  // namespace reportengine
