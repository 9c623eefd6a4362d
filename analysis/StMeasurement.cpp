#include "StMeasurement.h"

#include "AverageDelineation.h"

#include <cmath>

namespace {

constexpr int kDelineationRate = 250;

std::vector<double> reduceTo250(const std::vector<double> &average, int rate) {
    const int group = rate >= 2 * kDelineationRate ? rate / kDelineationRate : 1;
    if (group == 1) return average;
    std::vector<double> reduced(average.size() / static_cast<std::size_t>(group));
    for (std::size_t i = 0; i < reduced.size(); ++i) {
        double sum = 0.0;
        for (int k = 0; k < group; ++k)
            sum += average[i * static_cast<std::size_t>(group) + static_cast<std::size_t>(k)];
        reduced[i] = sum / group;
    }
    return reduced;
}

}  // namespace

StMeasurement measureSt(const std::vector<double> &average, int rate, double rrSeconds, double unitMv) {
    StMeasurement result;
    if (rate <= 0 || average.empty()) return result;
    const std::vector<double> avg = reduceTo250(average, rate);
    const int rPosition = kDelineationRate * 3 / 10;
    const AverageDelineation d =
        delineateAverage(avg, rPosition, static_cast<int>(std::lround(rrSeconds * kDelineationRate)));
    const int q = d.qrsOnset, p = d.pEnd, e = d.qrsEnd;
    if (q <= 0 || e <= 0) return result;
    // Midway between the P end and the QRS onset lies on the PR segment;
    // without a P wave, 10 ms before the onset.
    const int iso = p > 0 ? (q + p) / 2 : static_cast<int>(q - 2.5);
    const int j = e + 2;    // 10 ms after the QRS end
    const int st = e + 20;  // 80 ms after the QRS end
    const int size = static_cast<int>(avg.size());
    if (iso < 0 || st >= size) return result;
    result.valid = true;
    result.level = (avg[static_cast<std::size_t>(j)] - avg[static_cast<std::size_t>(iso)]) * unitMv;
    result.slope =
        unitMv * kDelineationRate * (avg[static_cast<std::size_t>(st)] - avg[static_cast<std::size_t>(j)]) / (st - j);
    const double toRate = static_cast<double>(rate) / kDelineationRate;
    result.isoelectric = static_cast<int>(iso * toRate);
    result.j = static_cast<int>(j * toRate);
    result.st = static_cast<int>(st * toRate);
    return result;
}

double StSmoother::add(double value) {
    // The current value counts: leaving it out would lag one beat behind and,
    // over the first beats, divide a partial sum by too many values and pull
    // the early points toward zero.
    held_[next_] = value;
    next_ = (next_ + 1) % 3;
    if (count_ < 3) ++count_;
    double sum = 0.0;
    for (int i = 0; i < count_; ++i) sum += held_[i];
    return sum / count_;
}
