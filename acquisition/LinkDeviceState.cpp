#include "acquisition/LinkDeviceState.h"

#include <QMutexLocker>

void LinkDeviceState::beginRun() {
    for (auto &counter : saturation_) counter.store(0, std::memory_order_relaxed);
    {
        QMutexLocker lock(&errorMutex_);
        errorText_.clear();
    }
    failed_.store(false, std::memory_order_release);
}

void LinkDeviceState::fail(const QString &text) {
    {
        QMutexLocker lock(&errorMutex_);
        errorText_ = text;
    }
    // Published after the text, so whoever sees the failure reads its text.
    failed_.store(true, std::memory_order_release);
}

QString LinkDeviceState::errorText() const {
    QMutexLocker lock(&errorMutex_);
    return errorText_;
}

void LinkDeviceState::setElectrodes(const LinkPacket::ElectrodeFlags &off) {
    unsigned bits = 0;
    for (int i = 0; i < LinkPacket::kElectrodeCount; ++i)
        if (off[static_cast<std::size_t>(i)]) bits |= 1u << i;
    electrodeBits_.store(bits, std::memory_order_relaxed);
}

bool LinkDeviceState::electrodeOff(const QString &electrode) const {
    const unsigned bits = electrodeBits_.load(std::memory_order_relaxed);
    for (int i = 0; i < LinkPacket::kElectrodeCount; ++i)
        if (electrode == LinkPacket::electrodeName(i)) return (bits >> i) & 1u;
    return false;
}

void LinkDeviceState::countSaturation(const LinkPacket::Samples &samples) {
    for (std::size_t c = 0; c < samples.size(); ++c) {
        const int s = samples[c];
        auto &counter = saturation_[c];
        // Only the reader writes the counters; the cap keeps a channel that
        // stays saturated for days from overflowing.
        if (s < -kSaturationLimit || s > kSaturationLimit) {
            const int n = counter.load(std::memory_order_relaxed);
            if (n < kSaturationRun) counter.store(n + 1, std::memory_order_relaxed);
        } else {
            counter.store(0, std::memory_order_relaxed);
        }
    }
}

bool LinkDeviceState::saturated(int channel) const {
    if (channel < 0 || channel >= static_cast<int>(saturation_.size())) return false;
    return saturation_[static_cast<std::size_t>(channel)].load(std::memory_order_relaxed) >= kSaturationRun;
}
