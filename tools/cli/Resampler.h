#pragma once
// Band-limited sample-rate conversion of whole signals (libsoxr, linear
// phase): waves keep shape and timing, and nothing above Nyquist aliases.

#include <QString>
#include <cstdint>
#include <vector>

namespace Resampler {

// The rate the analysis runs at for an input rate: 250, 500 and 1000
// samples/s are taken as they are, every other rate is brought to 500.
int analysisRateFor(double inputRate);

// Output length for a signal of `inputLength` samples: the same duration.
std::int64_t outputLength(std::int64_t inputLength, double inputRate, double outputRate);

// Converts `input` from one rate to another, without delay: output sample k
// is the signal at time k / outputRate. False with a message on failure.
bool resample(const std::vector<double> &input, double inputRate, double outputRate, std::vector<double> *output,
              QString *error);

}  // namespace Resampler
