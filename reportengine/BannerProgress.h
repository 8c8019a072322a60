#pragma once

#include <QElapsedTimer>
#include <QString>

#include "reportengine/OutputFile.h"

namespace reportengine {

// The progress of an output on the program's banner: shown once the output has taken longer
// than `after` milliseconds, with the page or row being written and a button to cancel; the
// windows keep painting meanwhile. The banner closes with this object.
class BannerProgress {
  public:
    // `what` names the output ("Guardando cronograma.pdf"), `unit` what is counted ("Página");
    // `after` below 0 is the usual delay.
    BannerProgress(QString what, QString unit, int after = -1);
    ~BannerProgress();
    BannerProgress(const BannerProgress&) = delete;
    BannerProgress& operator=(const BannerProgress&) = delete;

    // One more page or row done; false once the user has cancelled.
    bool step(int done, int total);
    Progress callback() {
        return [this](int done, int total) { return step(done, total); };
    }
    bool shown() const { return shown_; }

    // The usual delay before the banner shows (a second); tests shorten it.
    static void setUsualDelay(int milliseconds);

  private:
    QString what_;
    QString unit_;
    int after_ = 1000;
    QElapsedTimer started_;
    qint64 lastShown_ = -1;
    bool shown_ = false;
    bool cancelled_ = false;
};

}  // namespace reportengine
