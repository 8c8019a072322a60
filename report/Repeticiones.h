#pragma once

#include <QDate>
#include <QString>
#include <vector>

// The planned repetitions of one work order that fall inside a date range, kept as counts per
// day so that each period's count is a binary search, whatever the number of repetitions.
class Repeticiones {
  public:
    // `primera` is the first repetition; each later one is the one before plus `cada` units of
    // `frecuencia` ("D", "S", "M", "A"); `total` repetitions in all. Only those between `desde`
    // and `hasta` are kept. An unknown frequency with more than one repetition raises the
    // type-mismatch error (13).
    Repeticiones(const QDate& primera, const QString& frecuencia, qint64 cada, qint64 total,
                 const QDate& desde, const QDate& hasta);

    // Repetitions from `a` to `b`, both days included.
    qint64 cuenta(const QDate& a, const QDate& b) const;
    qint64 total() const { return acumulado_.empty() ? 0 : acumulado_.back(); }
    // Each day that has repetitions, in order, with how many fall on it.
    template <class F>
    void paraCadaDia(F&& f) const {
        qint64 antes = 0;
        for (std::size_t i = 0; i < dias_.size(); ++i) {
            f(QDate::fromJulianDay(dias_[i]), acumulado_[i] - antes);
            antes = acumulado_[i];
        }
    }

  private:
    std::vector<qint64> dias_;       // julian days, ascending
    std::vector<qint64> acumulado_;  // repetitions up to and including dias_[i]
};
