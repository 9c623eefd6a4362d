#pragma once
// Band-limited sample-rate conversion (libsoxr, linear phase): waves keep
// shape and timing, and nothing above Nyquist aliases. Signals of any length
// are converted a block at a time.

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

struct soxr;

namespace Resampler {

// The rate the analysis runs at for an input rate: 250, 500 and 1000
// samples/s are taken as they are, every other rate is brought to 500.
int analysisRateFor(double inputRate);

// Output length for a signal of `inputLength` samples: the same duration.
std::int64_t outputLength(std::int64_t inputLength, double inputRate, double outputRate);

// Converts one signal of a known length block by block, without delay:
// output sample k is the signal at time k / outputRate, exactly as if the
// whole signal had been converted at once.
class Stream {
public:
    // Throws std::runtime_error when the converter cannot be made.
    Stream(double inputRate, double outputRate, std::int64_t inputLength);
    ~Stream();
    Stream(const Stream &) = delete;
    Stream &operator=(const Stream &) = delete;

    // Output samples in all: outputLength(inputLength, ...).
    std::int64_t length() const { return length_; }
    // Takes the next input samples and appends the output now due to
    // `output`; the call that brings the last input sample also appends the
    // rest of the output. Throws std::runtime_error on a converter failure.
    void push(const double *input, std::size_t count, std::vector<double> &output);

private:
    void convert(const double *input, std::size_t count, std::vector<double> &output);
    void keep(const double *converted, std::size_t count, std::vector<double> &output);

    double inputRate_;
    double outputRate_;
    std::int64_t inputLength_;
    std::int64_t length_;
    std::int64_t edge_;  // samples of held value before and after the signal
    std::int64_t skip_;  // output samples of the leading edge, cut off again
    soxr *converter_ = nullptr;
    std::int64_t pushed_ = 0;
    std::int64_t converted_ = 0;  // output samples made, edge included
    std::int64_t emitted_ = 0;
    double last_ = 0.0;  // the last output made, held if the converter ends short
    std::vector<double> scratch_;
};

// Converts `input` from one rate to another, without delay: output sample k
// is the signal at time k / outputRate. False with a message on failure.
bool resample(const std::vector<double> &input, double inputRate, double outputRate, std::vector<double> *output,
              QString *error);

}  // namespace Resampler
