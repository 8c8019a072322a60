#include <malloc.h>

#include "platform/so/Memoria.h"

namespace platform::memoria {

void ajustaMonticulo() {
    mallopt(M_ARENA_MAX, 1);
}

}  // namespace platform::memoria
