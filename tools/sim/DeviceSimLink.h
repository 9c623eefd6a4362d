#pragma once
// The front end's side of the link on a pseudo-terminal master: obeys the
// host's commands, streams one packet per deadline from a monotonic clock,
// and shows the faults it was told to (corruption, falling silent).

#include "tools/sim/DeviceSimOptions.h"
#include "tools/sim/DeviceSimPacketWriter.h"
#include "tools/sim/DeviceSimSentLog.h"
#include "tools/sim/DeviceSimSignal.h"
#include "tools/sim/model/DeterministicRandom.h"

#include <QByteArray>
#include <chrono>
#include <deque>

class DeviceSimLink {
public:
    DeviceSimLink(int masterFd, const DeviceSimOptions &options, DeviceSimSignal signal, DeviceSimSentLog &sentLog);

    // Serves the link until `stopFd` (a signal descriptor) becomes readable.
    void run(int stopFd);

private:
    using Clock = std::chrono::steady_clock;
    enum class State { Idle, Streaming, Silent };

    struct Outgoing {
        QByteArray bytes;
        int written = 0;
        bool isPacket = false;
        DeviceFrame frame{};  // what the packet meant, for the record
    };

    void readCommands();
    void obey(unsigned char command);
    void queuePacketsDue(Clock::time_point now);
    void queuePacket();
    void corrupt(QByteArray &packet);
    void flush();
    void linkClosed();
    // Time left until the next packet is due, or a short idle wait.
    std::chrono::nanoseconds waitBudget(Clock::time_point now) const;

    int fd_;
    DeviceLinkKind link_;
    int packetsPerSecond_;
    DeviceSimPacketWriter writer_;
    DeviceSimSignal signal_;
    DeviceSimSentLog &sentLog_;
    double corruptPerPacket_;
    std::int64_t silentAfterPackets_;  // negative: never

    State state_ = State::Idle;
    bool silenceSpent_ = false;
    bool hungUp_ = false;
    Clock::time_point sessionStart_;
    std::int64_t sessionPackets_ = 0;
    std::int64_t packetsMade_ = 0;
    DeviceFrame frame_{};
    double corruptionDue_ = 0.0;
    DeterministicRandom random_{1, 0x0DE5};
    std::deque<Outgoing> outgoing_;
    int outgoingBytes_ = 0;
};
