#include "ado/Field.h"

#include "ado/Recordset.h"

namespace ado {

platform::Variant Field::value() const {
    return owner_->valueAt(index_);
}
void Field::setValue(const platform::Variant& v) {
    owner_->setValueAt(index_, v);
}

QString Field::fitted(const QString& text) const {
    const int t = info_.type;
    const bool characters =
        t == adtype::Char || t == adtype::VarChar || t == adtype::WChar || t == adtype::VarWChar;
    if (!characters || info_.definedSize <= 0 || text.size() <= info_.definedSize) return text;
    qsizetype end = 0;
    for (qint64 n = 0; n < info_.definedSize && end < text.size(); ++n)
        end += text[end].isHighSurrogate() && end + 1 < text.size() ? 2 : 1;
    return text.left(end);
}

platform::Variant Field::originalValue() const {
    return owner_->originalAt(index_);
}

}  // namespace ado
