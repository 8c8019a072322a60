#include "reportengine/BannerProgress.h"

#include "banner/Dll_Display.h"
#include "platform/so/Parada.h"

namespace reportengine {

namespace {

constexpr qint64 kRefreshMs = 100;

int& usualDelay() {
    static int ms = 1000;
    return ms;
}

}  // namespace

BannerProgress::BannerProgress(QString what, QString unit, int after)
    : what_(std::move(what)), unit_(std::move(unit)), after_(after < 0 ? usualDelay() : after) {
    started_.start();
}

BannerProgress::~BannerProgress() {
    if (!shown_) return;
    try {
        gCartel().CartelCerrar();
    } catch (...) {
        // The banner goes with the application at the latest.
    }
}

void BannerProgress::setUsualDelay(int milliseconds) {
    usualDelay() = milliseconds;
}

bool BannerProgress::step(int done, int total) {
    // A run stopped from outside cancels as the banner's button does, shown or not.
    if (platform::parada::senal() != 0) cancelled_ = true;
    if (cancelled_) return false;
    const qint64 now = started_.elapsed();
    if (now < after_) return true;
    if (!shown_) {
        gCartel().CartelInicio(QStringLiteral("Informe"), 1);
        shown_ = true;
    } else if (lastShown_ >= 0 && now - lastShown_ < kRefreshMs && done < total) {
        return true;
    }
    lastShown_ = now;
    qint16 cancel = 0;
    gCartel().CartelMostrar(
        cancel, platform::Variant(what_),
        platform::Variant(QStringLiteral("%1 %2 de %3").arg(unit_).arg(done).arg(total)),
        platform::Variant(QString()));
    cancelled_ = cancel != 0;
    return !cancelled_;
}

}  // namespace reportengine
