#pragma once

#include <unknwn.h>

namespace so {

// One reference to a COM object, released when it goes.
template <class Interfaz>
class Com {
  public:
    Com() = default;
    ~Com() {
        if (p_) p_->Release();
    }
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;

    // Where a call that hands out a reference puts it.
    Interfaz** destino() { return &p_; }
    void** destinoVoid() { return reinterpret_cast<void**>(&p_); }
    Interfaz* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

  private:
    Interfaz* p_ = nullptr;
};

}  // namespace so
