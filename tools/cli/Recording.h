#pragma once
// A recording fitted to the beat analysis: 16-bit samples of the channel
// table's channels at 250, 500 or 1000 samples/s on the device's scale.

#include "analysis/ChannelTable.h"
#include "analysis/FrontEndRange.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

struct Recording {
    // The device's +-300 mV (9.16 uV per unit) for every input: the
    // analysis's amplitude limits are in sample units and were set for it.
    static constexpr double kRangeMv = FrontEndRange::kRangeMv;
    static constexpr int kResolutionBits = FrontEndRange::kResolutionBits;
    static constexpr double kMillivoltsPerUnit = FrontEndRange::kMillivoltsPerUnit;
    // Input rates taken: below the minimum the QRS is not sampled well enough
    // to find; above the maximum the input is surely mislabelled.
    static constexpr double kMinimumInputRate = 50.0;
    static constexpr double kMaximumInputRate = 100000.0;

    QString source;        // the file or record it came from
    double inputRate = 0;  // samples/s of the input file; reported beat samples use it
    int rate = 500;        // samples/s of `samples`: 250, 500 or 1000
    // In table order; an empty vector is a channel the input does not have.
    std::array<std::vector<std::int16_t>, ChannelTable::kChannelCount> samples;
    QStringList unmappedLeads;        // input leads with no table channel, not used
    std::int64_t clippedSamples = 0;  // samples beyond +-300 mV, held at the limit

    std::int64_t length() const;  // samples per present channel
    double seconds() const { return rate > 0 ? static_cast<double>(length()) / rate : 0.0; }
    bool hasChannel(int channel) const;
    std::int32_t channelMask() const;  // bit i set for present channel i
    QStringList presentChannels() const;
    QStringList missingChannels() const;
};
