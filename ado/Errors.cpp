#include "ado/Errors.h"

namespace ado {

const Error& Errors::item(int index) const {
    if (index < 0 || index >= count()) {
        raiseAdo(code::ItemNotFound, QStringLiteral("ADODB.Errors"));
    }
    return items_[static_cast<std::size_t>(index)];
}

}  // namespace ado
