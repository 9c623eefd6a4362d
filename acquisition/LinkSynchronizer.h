#pragma once
// Finds whole packets in the byte stream of the ECG front end: bytes are
// pushed one at a time and a packet is handed out only when every framing
// byte of its layout matched, so a stream joined mid-packet or hit by
// garbage never yields a broken packet.

#include "acquisition/LinkPacket.h"

#include <array>
#include <cstdint>

class LinkSynchronizer {
public:
    explicit LinkSynchronizer(LinkPacket::Layout layout);

    // Takes the next byte of the stream; true when it completed a packet,
    // which packet() then holds until the next push.
    bool push(std::uint8_t byte);
    const std::uint8_t *packet() const { return packet_.data(); }
    // True between packets, while no partial packet is held.
    bool hunting() const { return held_ == 0; }
    // Bytes the last push threw away as not belonging to any packet.
    int discardedByLastPush() const { return discarded_; }

private:
    // -1 where any byte may stand, else the framing byte required there.
    int required(int offset) const;
    bool fitsFrom(int start) const;
    void resynchronise();

    LinkPacket::Layout layout_;
    int packetBytes_;
    std::array<std::uint8_t, LinkPacket::kStandardPacketBytes> buffer_{};
    int held_ = 0;
    int discarded_ = 0;
    std::array<std::uint8_t, LinkPacket::kStandardPacketBytes> packet_{};
};
