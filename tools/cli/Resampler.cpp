#include "tools/cli/Resampler.h"

#include <soxr.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <stdexcept>

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

Stream::Stream(double inputRate, double outputRate, std::int64_t inputLength)
    : inputRate_(inputRate), outputRate_(outputRate), inputLength_(inputLength),
      length_(outputLength(inputLength, inputRate, outputRate)), edge_(edgeSamples(inputRate, outputRate)),
      skip_(std::llround(static_cast<double>(edge_) * outputRate / inputRate)) {
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT64_I, SOXR_FLOAT64_I);
    // Very high quality, linear phase: no wave is shifted against another,
    // and double precision throughout so microvolt detail survives.
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ | SOXR_LINEAR_PHASE, SOXR_DOUBLE_PRECISION);
    const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
    soxr_error_t failure = nullptr;
    converter_ = soxr_create(inputRate, outputRate, 1, &failure, &io, &quality, &runtime);
    if (failure || !converter_) {
        soxr_delete(converter_);
        throw std::runtime_error(QStringLiteral("resampling from %1 to %2 samples/s failed: %3")
                                     .arg(inputRate)
                                     .arg(outputRate)
                                     .arg(QString::fromLatin1(failure ? failure : "no converter"))
                                     .toStdString());
    }
}

Stream::~Stream() { soxr_delete(converter_); }

void Stream::push(const double *input, std::size_t count, std::vector<double> &output) {
    if (count == 0 || pushed_ >= inputLength_) return;
    count = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(count), inputLength_ - pushed_));
    // The converter's filter rings where a signal starts or stops abruptly:
    // the first and last values are held for a while on either side.
    if (pushed_ == 0) {
        const std::vector<double> lead(static_cast<std::size_t>(edge_), input[0]);
        convert(lead.data(), lead.size(), output);
    }
    convert(input, count, output);
    pushed_ += static_cast<std::int64_t>(count);
    if (pushed_ < inputLength_) return;

    const std::vector<double> tail(static_cast<std::size_t>(edge_), input[count - 1]);
    convert(tail.data(), tail.size(), output);
    for (;;) {
        std::size_t made = 0;
        scratch_.resize(4096);
        const soxr_error_t failure =
            soxr_process(converter_, nullptr, 0, nullptr, scratch_.data(), scratch_.size(), &made);
        if (failure)
            throw std::runtime_error(
                QStringLiteral("resampling failed: %1").arg(QString::fromLatin1(failure)).toStdString());
        keep(scratch_.data(), made, output);
        if (made == 0) break;
    }
    // The converter may stop a sample short of the rounded length; that
    // sample lies in the padding, which holds the last value anyway.
    if (emitted_ < length_) {
        const double held = converted_ > 0 ? last_ : input[count - 1];
        output.insert(output.end(), static_cast<std::size_t>(length_ - emitted_), held);
        emitted_ = length_;
    }
}

void Stream::convert(const double *input, std::size_t count, std::vector<double> &output) {
    std::size_t used = 0;
    while (used < count) {
        std::size_t taken = 0;
        std::size_t made = 0;
        scratch_.resize(
            static_cast<std::size_t>(std::ceil(static_cast<double>(count - used) * outputRate_ / inputRate_)) + 4096);
        const soxr_error_t failure =
            soxr_process(converter_, input + used, count - used, &taken, scratch_.data(), scratch_.size(), &made);
        if (failure)
            throw std::runtime_error(
                QStringLiteral("resampling failed: %1").arg(QString::fromLatin1(failure)).toStdString());
        used += taken;
        keep(scratch_.data(), made, output);
        if (taken == 0 && made == 0) break;
    }
}

void Stream::keep(const double *converted, std::size_t count, std::vector<double> &output) {
    for (std::size_t i = 0; i < count; ++i, ++converted_) {
        last_ = converted[i];
        if (converted_ >= skip_ && emitted_ < length_) {
            output.push_back(converted[i]);
            ++emitted_;
        }
    }
}

bool resample(const std::vector<double> &input, double inputRate, double outputRate, std::vector<double> *output,
              QString *error) {
    output->clear();
    try {
        Stream stream(inputRate, outputRate, static_cast<std::int64_t>(input.size()));
        output->reserve(static_cast<std::size_t>(stream.length()));
        stream.push(input.data(), input.size(), *output);
    } catch (const std::exception &failure) {
        *error = QString::fromLocal8Bit(failure.what());
        return false;
    }
    return true;
}

}  // namespace Resampler
