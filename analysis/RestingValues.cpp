// Resting values and the QRS axis.
#include "analysis/RestingValues.h"

#include "analysis/RestingMeasurement.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kRAt = 0.3;  // seconds into every average
constexpr double kPi = 3.14159265358979323846;

// Largest excursion above the onset level minus largest excursion below it.
double netDeflection(const std::vector<double> &x, int onset, int end) {
    const auto [lo, hi] = std::minmax_element(x.begin() + onset, x.begin() + end);
    const double base = x[static_cast<std::size_t>(onset)];
    return (*hi - base) - (base - *lo);
}

int channelNamed(const std::vector<QString> &names, const QString &name) {
    const auto it = std::find(names.begin(), names.end(), name);
    return it == names.end() ? -1 : static_cast<int>(it - names.begin());
}

double relativeToR(int marker, int rate) { return marker > 0 ? static_cast<double>(marker) / rate - kRAt : 0.0; }

}  // namespace

double qrsAxis(const std::vector<double> &averageI, const std::vector<double> &averageIII, int qrsOnset, int qrsEnd) {
    if (averageI.empty() || averageIII.empty()) return kNoAxis;
    if (qrsOnset <= 0 || qrsEnd <= qrsOnset) return kNoAxis;
    if (qrsEnd > static_cast<int>(std::min(averageI.size(), averageIII.size()))) return kNoAxis;
    const double netI = netDeflection(averageI, qrsOnset, qrsEnd);
    const double netIII = netDeflection(averageIII, qrsOnset, qrsEnd);
    // Two flat leads give no direction at all, not an axis of 0 degrees.
    if (netI == 0.0 && netIII == 0.0) return kNoAxis;
    return std::atan2(2.0 * netIII + netI, std::sqrt(3.0) * netI) * 180.0 / kPi;
}

std::vector<std::pair<ResultName, double>> RestingValues::entries() const {
    return {{Result::MeasurementChannel, measurementChannel},
            {Result::POnset, pOnset},
            {Result::QrsOnset, qrsOnset},
            {Result::QrsOffset, qrsOffset},
            {Result::TOffset, tOffset},
            {Result::AvgRrInterval, avgRrInterval},
            {Result::QrsAxis, qrsAxis}};
}

RestingValues restingValues(const std::vector<std::vector<double>> &averages, const std::vector<QString> &channelNames,
                            int rate, int measurementChannel, double meanRrSeconds) {
    RestingValues v;
    v.measurementChannel = measurementChannel;
    v.avgRrInterval = meanRrSeconds;
    if (rate <= 0 || measurementChannel < 0 || measurementChannel >= static_cast<int>(averages.size())) return v;

    const int rPosition = rate * 3 / 10;  // 0.3 s, as the averages place it
    const RestingMarkers m =
        measureRest(averages[static_cast<std::size_t>(measurementChannel)], rate, rPosition, meanRrSeconds * rate);
    v.pOnset = relativeToR(m.pOnset, rate);
    v.qrsOnset = relativeToR(m.qrsOnset, rate);
    v.qrsOffset = relativeToR(m.qrsEnd, rate);
    v.tOffset = relativeToR(m.tEnd, rate);

    const int leadI = channelNamed(channelNames, QStringLiteral("I"));
    const int leadIII = channelNamed(channelNames, QStringLiteral("III"));
    const auto averageOf = [&](int channel) -> const std::vector<double> & {
        static const std::vector<double> missing;
        return channel >= 0 && channel < static_cast<int>(averages.size()) ? averages[static_cast<std::size_t>(channel)]
                                                                           : missing;
    };
    v.qrsAxis = qrsAxis(averageOf(leadI), averageOf(leadIII), m.qrsOnset, m.qrsEnd);
    return v;
}
