#include "tools/cli/Resampler.h"

#include <soxr.h>

#include <algorithm>
#include <cmath>

namespace Resampler {

int analysisRateFor(double inputRate) {
    for (int rate : {250, 500, 1000})
        if (inputRate == rate) return rate;
    return 500;
}

std::int64_t outputLength(std::int64_t inputLength, double inputRate, double outputRate) {
    return std::llround(static_cast<double>(inputLength) * outputRate / inputRate);
}

namespace {

// The converter's filter rings where a signal starts or stops abruptly, and
// an ECG rarely starts at 0 mV: a step from zero to the electrode offset
// would ring for a fraction of a second and could pass for a beat. Holding
// the first and last value for this long before and after makes both ends
// smooth; it covers the filter's reach even at the lowest input rate.
constexpr double kEdgeSeconds = 2.0;

// Input samples of edge padding whose output duration is a whole number of
// output samples, so cutting it off again keeps output sample k at time
// k / outputRate exactly. Every integer rate has one (2 s of samples); an odd
// fractional rate may not, and the nearest is used.
std::int64_t edgeSamples(double inputRate, double outputRate) {
    const auto shortest = static_cast<std::int64_t>(std::ceil(kEdgeSeconds * inputRate));
    const auto longest = shortest + static_cast<std::int64_t>(std::ceil(inputRate));
    for (std::int64_t samples = shortest; samples <= longest; ++samples) {
        const double outputSamples = static_cast<double>(samples) * outputRate / inputRate;
        if (std::fabs(outputSamples - std::round(outputSamples)) < 1e-6) return samples;
    }
    return shortest;
}

}  // namespace

bool resample(const std::vector<double> &input, double inputRate, double outputRate, std::vector<double> *output,
              QString *error) {
    const std::int64_t length = outputLength(static_cast<std::int64_t>(input.size()), inputRate, outputRate);
    output->assign(static_cast<std::size_t>(length), 0.0);
    if (input.empty() || output->empty()) return true;

    const std::int64_t edge = edgeSamples(inputRate, outputRate);
    std::vector<double> padded(input.size() + 2 * static_cast<std::size_t>(edge), input.front());
    std::copy(input.begin(), input.end(), padded.begin() + edge);
    std::fill(padded.end() - edge, padded.end(), input.back());
    std::vector<double> converted(
        static_cast<std::size_t>(outputLength(static_cast<std::int64_t>(padded.size()), inputRate, outputRate)));

    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT64_I, SOXR_FLOAT64_I);
    // Very high quality, linear phase: no wave is shifted against another,
    // and double precision throughout so microvolt detail survives.
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ | SOXR_LINEAR_PHASE, SOXR_DOUBLE_PRECISION);
    const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
    std::size_t used = 0;
    std::size_t made = 0;
    const soxr_error_t failure = soxr_oneshot(inputRate, outputRate, 1, padded.data(), padded.size(), &used,
                                              converted.data(), converted.size(), &made, &io, &quality, &runtime);
    if (failure) {
        *error = QStringLiteral("resampling from %1 to %2 samples/s failed: %3")
                     .arg(inputRate)
                     .arg(outputRate)
                     .arg(QString::fromLatin1(failure));
        return false;
    }
    const auto skip = static_cast<std::size_t>(std::llround(static_cast<double>(edge) * outputRate / inputRate));
    for (std::size_t i = 0; i < output->size(); ++i) {
        // The converter may stop a sample short of the rounded length; that
        // sample lies in the padding, which holds the last value anyway.
        const std::size_t source = std::min(skip + i, made > 0 ? made - 1 : 0);
        (*output)[i] = made > 0 ? converted[source] : input.back();
    }
    return true;
}

}  // namespace Resampler
