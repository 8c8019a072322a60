#pragma once

#include <objbase.h>

namespace so {

// COM for the calling thread while alive. A thread that already had it (Qt's window thread has
// it for drag and drop, in whichever model) keeps it as it was.
class ApartamentoCom {
  public:
    ApartamentoCom() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ApartamentoCom() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ApartamentoCom(const ApartamentoCom&) = delete;
    ApartamentoCom& operator=(const ApartamentoCom&) = delete;

    // False only when COM cannot be used on this thread at all.
    bool listo() const { return SUCCEEDED(hr_) || hr_ == RPC_E_CHANGED_MODE; }

  private:
    HRESULT hr_ = E_FAIL;
};

}  // namespace so
