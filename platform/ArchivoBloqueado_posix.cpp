#include <errno.h>
#include <sys/file.h>

#include "platform/ArchivoBloqueado.h"

namespace platform {

bool ArchivoBloqueado::bloquea(int descriptor) {
    int r = 0;
    do {
        r = ::flock(descriptor, LOCK_EX);
    } while (r != 0 && errno == EINTR);
    return r == 0;
}

}  // namespace platform
