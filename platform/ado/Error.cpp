#include "platform/ado/Error.h"

namespace ado {

void raiseAdo(qint32 number, const QString& description, const QString& source) {
    platform::raise(number, description, source);
}

}  // namespace ado
