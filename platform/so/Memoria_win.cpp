#include "platform/so/Memoria.h"

namespace platform::memoria {

// The system's heap reserves nothing per thread: there is nothing to set.
void ajustaMonticulo() {}

}  // namespace platform::memoria
