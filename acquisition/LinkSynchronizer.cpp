#include "acquisition/LinkSynchronizer.h"

#include <algorithm>

LinkSynchronizer::LinkSynchronizer(LinkPacket::Layout layout)
    : layout_(layout), packetBytes_(LinkPacket::packetBytes(layout)) {}

int LinkSynchronizer::required(int offset) const {
    if (layout_ == LinkPacket::Layout::Standard) {
        switch (offset) {
        case 0: return 0x01;
        case 12: return 0x02;
        case 24: return 0x03;
        case 1:
        case 13:
        case 25: return 0xC0;
        default: return -1;
        }
    }
    return offset == 0 || offset == 11 || offset == 22 ? 0xC0 : -1;
}

bool LinkSynchronizer::fitsFrom(int start) const {
    for (int i = start; i < held_; ++i) {
        const int want = required(i - start);
        if (want >= 0 && buffer_[i] != want) return false;
    }
    return true;
}

void LinkSynchronizer::resynchronise() {
    // A framing byte did not match: the packet may instead start at any
    // later byte already held (garbage may end in a marker that belongs to
    // the next good packet), so look there before dropping everything.
    for (int start = 1; start < held_; ++start) {
        if (fitsFrom(start)) {
            std::copy(buffer_.begin() + start, buffer_.begin() + held_, buffer_.begin());
            held_ -= start;
            discarded_ = start;
            return;
        }
    }
    discarded_ = held_;
    held_ = 0;
}

bool LinkSynchronizer::push(std::uint8_t byte) {
    discarded_ = 0;
    buffer_[held_++] = byte;
    const int want = required(held_ - 1);
    if (want >= 0 && byte != want) {
        resynchronise();
        return false;
    }
    if (held_ < packetBytes_) return false;
    std::copy(buffer_.begin(), buffer_.begin() + packetBytes_, packet_.begin());
    held_ = 0;
    return true;
}
