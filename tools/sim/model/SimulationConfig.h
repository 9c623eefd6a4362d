#pragma once
// Everything that determines a synthetic recording; the command line fills it
// in, the generator reads it.

#include "analysis/FrontEndRange.h"
#include "tools/sim/model/StPattern.h"

#include <QString>
#include <cstdint>
#include <vector>

enum class RateProfileKind { Constant, Stress };
enum class StMode { Flat, Constant, Rate };
enum class NoiseLevel { None, Low, Medium, High };

struct SimulationConfig {
    QString outPath;
    QString truthPath;
    int samplingRate = 500;
    double seconds = 60.0;
    RateProfileKind profile = RateProfileKind::Constant;
    double restRate = 75.0;
    double peakRate = 150.0;
    std::vector<StRequest> stRequests;
    StMode stMode = StMode::Constant;
    double pvcPerMinute = 0.0;
    NoiseLevel noise = NoiseLevel::Low;
    int mainsHz = 50;  // 0 = no mains interference
    // Mains pick-up at the electrodes in mV; negative: as the noise level has it.
    double mainsMillivolts = -1.0;
    std::uint64_t seed = 1;
    double rrVariabilityPercent = 2.0;
    // The last frame runs smoothly into the first (for endless replay).
    bool loop = false;

    std::int64_t frameCount() const;
};

// The recording format: 14 channels of little-endian int16, interleaved,
// spanning +-300 mV over 16 bits.
namespace SampleFormat {
constexpr int kChannels = 14;
constexpr int kBytesPerFrame = kChannels * 2;
constexpr double kMillivoltsPerUnit = FrontEndRange::kMillivoltsPerUnit;

// Rounded to the nearest unit and saturated at the int16 limits.
std::int16_t toSample(double millivolts);
inline double toMillivolts(std::int16_t sample) { return sample * kMillivoltsPerUnit; }
}  // namespace SampleFormat
