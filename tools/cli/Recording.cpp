#include "tools/cli/Recording.h"

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

QStringList Recording::presentChannels() const { return ChannelTable::maskedNames(channelMask()); }

QStringList Recording::missingChannels() const { return ChannelTable::maskedNames(~channelMask()); }
