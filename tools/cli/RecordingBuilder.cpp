#include "tools/cli/RecordingBuilder.h"

#include "tools/cli/Resampler.h"

#include <cmath>
#include <limits>

namespace RecordingBuilder {
namespace {

std::int16_t quantise(double millivolts, std::int64_t *clipped) {
    const double units = std::round(millivolts / Recording::kMillivoltsPerUnit);
    constexpr double lowest = std::numeric_limits<std::int16_t>::min();
    constexpr double highest = std::numeric_limits<std::int16_t>::max();
    if (units < lowest || units > highest) {
        ++*clipped;
        return static_cast<std::int16_t>(units < lowest ? lowest : highest);
    }
    return static_cast<std::int16_t>(units);
}

}  // namespace

bool build(const InputSignals &input, Recording *recording, QString *error) {
    *recording = Recording();
    if (!(input.rate >= Recording::kMinimumInputRate && input.rate <= Recording::kMaximumInputRate)) {
        *error = QStringLiteral("%1: a sampling rate of %2 samples/s is outside %3 to %4")
                     .arg(input.source)
                     .arg(input.rate)
                     .arg(Recording::kMinimumInputRate)
                     .arg(Recording::kMaximumInputRate);
        return false;
    }
    recording->source = input.source;
    recording->inputRate = input.rate;
    recording->rate = Resampler::analysisRateFor(input.rate);
    bool any = false;
    for (const InputLead &lead : input.leads) {
        if (lead.channel < 0) {
            recording->unmappedLeads << lead.name;
            continue;
        }
        std::vector<double> resampled;
        const std::vector<double> *millivolts = &lead.millivolts;
        if (recording->rate != input.rate) {
            if (!Resampler::resample(lead.millivolts, input.rate, recording->rate, &resampled, error)) return false;
            millivolts = &resampled;
        }
        std::vector<std::int16_t> &samples = recording->samples[static_cast<std::size_t>(lead.channel)];
        samples.resize(millivolts->size());
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = quantise((*millivolts)[i], &recording->clippedSamples);
        any = true;
    }
    if (!any) {
        QStringList names;
        for (const InputLead &lead : input.leads) names << lead.name;
        *error = QStringLiteral("%1: none of its leads (%2) is one the analysis knows (%3)")
                     .arg(input.source, names.join(QStringLiteral(", ")),
                          ChannelTable::maskedNames(ChannelTable::kAllChannelsMask).join(QStringLiteral(", ")));
        return false;
    }
    return true;
}

}  // namespace RecordingBuilder
