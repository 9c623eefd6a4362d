#pragma once
// What a device link's reader thread knows about the front end (error,
// battery, electrodes, saturation), written by the reader and read by the
// user-interface thread at any time without data races.

#include "acquisition/LinkPacket.h"
#include "acquisition/LinkStatistics.h"

#include <QMutex>
#include <QString>
#include <array>
#include <atomic>

class LinkDeviceState {
public:
    // 250 out-of-range samples in a row mean a saturated channel.
    static constexpr int kSaturationRun = 250;
    static constexpr int kSaturationLimit = 32000;

    // A new reader run: no error, saturation counters at zero. Electrodes
    // and battery keep their last values.
    void beginRun();
    void fail(const QString &text);
    bool isOk() const { return !failed_.load(std::memory_order_acquire); }
    QString errorText() const;

    void setBattery(double volts) { battery_.store(volts, std::memory_order_relaxed); }
    double battery() const { return battery_.load(std::memory_order_relaxed); }

    void setElectrodes(const LinkPacket::ElectrodeFlags &off);
    // False for a name the packets do not carry and before the first packet.
    bool electrodeOff(const QString &electrode) const;

    void countSaturation(const LinkPacket::Samples &samples);
    bool saturated(int channel) const;

    // Kept across reader runs: a reconnection is part of what was lost.
    LinkStatistics &statistics() { return statistics_; }
    const LinkStatistics &statistics() const { return statistics_; }

private:
    std::atomic<bool> failed_{false};
    mutable QMutex errorMutex_;
    QString errorText_;
    std::atomic<double> battery_{0.0};
    // Bit i set: electrode i of LinkPacket::electrodeName is off.
    std::atomic<unsigned> electrodeBits_{0};
    std::array<std::atomic<int>, 14> saturation_{};
    LinkStatistics statistics_;
};
