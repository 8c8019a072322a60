#include "platform/ado/Field.h"

#include "platform/ado/Recordset.h"

namespace ado {

platform::Variant Field::value() const {
    return owner_->valueAt(index_);
}
void Field::setValue(const platform::Variant& v) {
    owner_->setValueAt(index_, v);
}
platform::Variant Field::originalValue() const {
    return owner_->originalAt(index_);
}

}  // namespace ado
