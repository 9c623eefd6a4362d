#include "tools/cli/Recording.h"

#include "analysis/SignalSource.h"

#include <algorithm>
#include <stdexcept>

std::int64_t Recording::length() const {
    for (const auto &channel : samples)
        if (!channel.empty()) return static_cast<std::int64_t>(channel.size());
    return 0;
}

bool Recording::hasChannel(int channel) const {
    return channel >= 0 && channel < ChannelTable::kChannelCount && !samples[static_cast<std::size_t>(channel)].empty();
}

std::int32_t Recording::channelMask() const {
    std::uint32_t mask = 0;
    for (int c = 0; c < ChannelTable::kChannelCount; ++c)
        if (hasChannel(c)) mask |= 1u << c;
    return static_cast<std::int32_t>(mask);
}

QStringList Recording::presentChannels() const {
    return ChannelTable::maskedNames(channelMask());
}

QStringList Recording::missingChannels() const {
    return ChannelTable::maskedNames(~channelMask());
}

namespace RecordingFeed {
namespace {

void requireTableChannels(const SignalSource &target) {
    if (target.channelCount() != ChannelTable::kChannelCount)
        throw std::invalid_argument("a recording feeds a source of the channel table's 14 channels");
}

}  // namespace

void describe(SignalSource &target) {
    requireTableChannels(target);
    QStringList names;
    for (int c = 0; c < ChannelTable::kChannelCount; ++c) names << ChannelTable::name(c);
    target.setChannelNames(names);
    target.setAmplitudeRange(-Recording::kRangeMv, Recording::kRangeMv);
    target.setResolutionBits(Recording::kResolutionBits);
}

void append(const Recording &recording, SignalSource &target, std::int64_t first, int count) {
    requireTableChannels(target);
    const std::int64_t length = recording.length();
    first = std::clamp<std::int64_t>(first, 0, length);
    count = static_cast<int>(std::clamp<std::int64_t>(count, 0, length - first));
    if (count == 0) return;
    const std::vector<std::int16_t> zeros(static_cast<std::size_t>(count), 0);
    std::array<const std::int16_t *, ChannelTable::kChannelCount> channels{};
    for (int c = 0; c < ChannelTable::kChannelCount; ++c)
        channels[static_cast<std::size_t>(c)] =
            recording.hasChannel(c) ? recording.samples[static_cast<std::size_t>(c)].data() + first : zeros.data();
    target.append(count, channels.data());
}

}  // namespace RecordingFeed
