#pragma once
// What a device link lost on the way: the packets it delivered, the times it
// had to resynchronise and the bytes it threw away doing so, and the longest
// time without a packet. Written by the reader thread, read from any thread.

#include <QElapsedTimer>
#include <atomic>
#include <cstdint>
#include <functional>

class LinkStatistics {
public:
    struct Counts {
        std::int64_t packets = 0;
        // Runs of discarded bytes between two good packets (a stream joined
        // mid-packet is one too).
        std::int64_t resynchronisations = 0;
        std::int64_t discardedBytes = 0;
        // The longest wait for a packet, counting the one still going on, from
        // the first start of the link; 0 before it started.
        std::int64_t longestGapMs = 0;
    };

    // `clockMs` gives monotonic milliseconds; by default a steady clock.
    explicit LinkStatistics(std::function<std::int64_t()> clockMs = {});

    // Reader thread. The first start begins the wait for the first packet;
    // later starts (reconnections) keep waiting from the last packet.
    void noteStarted();
    void notePacket();
    void noteDiscarded(int bytes);

    Counts counts() const;

private:
    std::int64_t now() const;

    std::function<std::int64_t()> clockMs_;
    QElapsedTimer steady_;
    std::atomic<std::int64_t> packets_{0};
    std::atomic<std::int64_t> resynchronisations_{0};
    std::atomic<std::int64_t> discardedBytes_{0};
    // -1 until the link first started.
    std::atomic<std::int64_t> lastPacketMs_{-1};
    std::atomic<std::int64_t> longestGapMs_{0};
    // Reader thread only: bytes are being discarded since the last packet.
    bool losing_ = false;
};
