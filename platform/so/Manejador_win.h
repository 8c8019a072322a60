#pragma once

#include <windows.h>

namespace so {

// A handle of the system this side opened for itself, closed when it goes. Both of Windows's
// "no handle" values count as none.
class Manejador {
  public:
    explicit Manejador(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    ~Manejador() {
        if (h_) CloseHandle(h_);
    }
    Manejador(const Manejador&) = delete;
    Manejador& operator=(const Manejador&) = delete;

    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    // Hands the handle over to whoever closes it from now on.
    HANDLE suelta() {
        const HANDLE h = h_;
        h_ = nullptr;
        return h;
    }

  private:
    HANDLE h_ = nullptr;
};

}  // namespace so
