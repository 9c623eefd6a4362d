#pragma once
// The endless sample stream the simulated front end sends: a recording in the
// demonstration format, or a looped synthetic recording, replayed round and
// round, optionally with one lead held at a fixed value.

#include "tools/sim/DeviceSimPacketWriter.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

class DeviceSimSignal {
public:
    // Whole frames of the file (a trailing partial frame is ignored); none,
    // with a reason, when the file cannot be read or holds no frame.
    static std::optional<DeviceSimSignal> fromFile(const QString &path, QString *error);
    // A minute of the synthetic model made to loop without a seam.
    static DeviceSimSignal synthetic();

    // Every frame from now on carries `value` on lead `channel`.
    void holdLead(int channel, std::int16_t value);
    DeviceFrame next();
    std::int64_t frameCount() const { return static_cast<std::int64_t>(samples_.size()) / kChannels; }

private:
    static constexpr int kChannels = 14;
    explicit DeviceSimSignal(std::vector<std::int16_t> samples) : samples_(std::move(samples)) {}
    static DeviceSimSignal fromBytes(const QByteArray &bytes);

    std::vector<std::int16_t> samples_;  // interleaved frames
    std::size_t position_ = 0;
    int heldLead_ = -1;
    std::int16_t heldValue_ = 0;
};
