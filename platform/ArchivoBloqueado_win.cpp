#include <io.h>
#include <windows.h>

#include "platform/ArchivoBloqueado.h"

namespace platform {

bool ArchivoBloqueado::bloquea(int descriptor) {
    const auto h = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
    if (h == INVALID_HANDLE_VALUE) return false;
    OVERLAPPED ov{};  // the lock covers the whole file from its start
    return LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &ov) != 0;
}

}  // namespace platform
