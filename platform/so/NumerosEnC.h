#pragma once

#include <memory>

namespace platform {

// Numbers that go into files (a spreadsheet's XML, the texts a driver sends, settings) are read
// by other programs whatever desktop wrote them: they never take the desktop's decimal comma.
// What the user reads keeps the regional settings through QLocale, which this does not touch.
class NumerosEnC {
  public:
    // The process's numeric category back to "C"; the application object calls it once it has
    // taken the rest of the locale from the environment.
    static void fijaEnElProceso();

    // While alive, the C library formats and reads numbers the "C" way on the calling thread,
    // whatever the process's locale; the thread's previous locale comes back on destruction.
    NumerosEnC();
    ~NumerosEnC();
    NumerosEnC(const NumerosEnC&) = delete;
    NumerosEnC& operator=(const NumerosEnC&) = delete;

  private:
    struct Estado;  // what each platform keeps to give the thread its locale back
    std::unique_ptr<Estado> estado_;
};

}  // namespace platform
