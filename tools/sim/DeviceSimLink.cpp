#include "tools/sim/DeviceSimLink.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

namespace {
constexpr unsigned char kStart = 0x01;
constexpr unsigned char kStop = 0x02;
constexpr unsigned char kKeepAlive = 0x09;
constexpr unsigned char kIdentify = 0x0B;
const QByteArray kIdentity = QByteArrayLiteral("ECG");

// What a real front end's output buffer holds before it drops packets because
// nobody reads them.
constexpr int kOutgoingLimitBytes = 32 * 1024;
constexpr auto kIdleWait = std::chrono::milliseconds(20);
}  // namespace

DeviceSimLink::DeviceSimLink(int masterFd, const DeviceSimOptions &options, DeviceSimSignal signal,
                             DeviceSimSentLog &sentLog)
    : fd_(masterFd), link_(options.link), packetsPerSecond_(options.link == DeviceLinkKind::Standard ? 500 : 1000),
      writer_(options.link, options.batteryByte, options.electrodesOff), signal_(std::move(signal)), sentLog_(sentLog),
      corruptPerPacket_(options.corruptBytesPerSecond / packetsPerSecond_),
      silentAfterPackets_(
          options.silentAfterSeconds < 0.0 ? -1 : std::llround(options.silentAfterSeconds * packetsPerSecond_)) {
    if (options.saturatedLead >= 0) signal_.holdLead(options.saturatedLead, 32700);
}

void DeviceSimLink::run(int stopFd) {
    for (;;) {
        const Clock::time_point now = Clock::now();
        const std::chrono::nanoseconds budget = waitBudget(now);
        const timespec timeout{static_cast<time_t>(budget.count() / 1000000000),
                               static_cast<long>(budget.count() % 1000000000)};
        // A closed slave side reports a hang-up for as long as it stays
        // closed, so the terminal is left out of the wait until the pause ends.
        pollfd fds[2] = {{stopFd, POLLIN, 0}, {fd_, static_cast<short>(POLLIN | (outgoing_.empty() ? 0 : POLLOUT)), 0}};
        const int watched = hungUp_ ? 1 : 2;
        const int ready = ::ppoll(fds, watched, &timeout, nullptr);
        if (ready < 0) {
            if (errno == EINTR) continue;
            std::perror("tarvelin-ecg-sim device: waiting on the terminal failed");
            return;
        }
        if (fds[0].revents & POLLIN) return;
        if (hungUp_) {
            hungUp_ = false;  // look again after the pause
            continue;
        }
        if (fds[1].revents & POLLIN) readCommands();
        if ((fds[1].revents & POLLHUP) && !(fds[1].revents & POLLIN)) {
            linkClosed();
            continue;
        }
        queuePacketsDue(Clock::now());
        flush();
    }
}

std::chrono::nanoseconds DeviceSimLink::waitBudget(Clock::time_point now) const {
    if (hungUp_ || state_ != State::Streaming) return kIdleWait;
    // Deadlines count from the start of the session, so waking late never
    // shifts the ones after it: the rate holds with no drift.
    const auto next = sessionStart_ + std::chrono::duration_cast<Clock::duration>(
                                          std::chrono::duration<double>((sessionPackets_ + 1.0) / packetsPerSecond_));
    if (next <= now) return std::chrono::nanoseconds(0);
    return std::min<std::chrono::nanoseconds>(next - now, kIdleWait);
}

void DeviceSimLink::readCommands() {
    unsigned char bytes[256];
    for (;;) {
        const ssize_t n = ::read(fd_, bytes, sizeof bytes);
        if (n > 0) {
            for (ssize_t i = 0; i < n; ++i) obey(bytes[i]);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EIO) linkClosed();
        return;  // EAGAIN: all read
    }
}

void DeviceSimLink::obey(unsigned char command) {
    switch (command) {
    case kStart:
        // Repeated start commands at connection do not restart the stream;
        // one after a silence is the host reconnecting, and wakes the device.
        if (state_ != State::Streaming) {
            state_ = State::Streaming;
            sessionStart_ = Clock::now();
            sessionPackets_ = 0;
        }
        break;
    case kStop: state_ = State::Idle; break;
    case kIdentify: {
        Outgoing reply;
        reply.bytes = kIdentity;
        outgoing_.push_back(reply);
        outgoingBytes_ += reply.bytes.size();
        break;
    }
    case kKeepAlive:
    default: break;  // keep-alives need no answer; unknown bytes are ignored
    }
}

void DeviceSimLink::queuePacketsDue(Clock::time_point now) {
    if (state_ != State::Streaming) return;
    const double elapsed = std::chrono::duration<double>(now - sessionStart_).count();
    const auto due = static_cast<std::int64_t>(std::floor(elapsed * packetsPerSecond_));
    while (state_ == State::Streaming && sessionPackets_ < due) {
        if (silentAfterPackets_ >= 0 && !silenceSpent_ && sessionPackets_ >= silentAfterPackets_) {
            state_ = State::Silent;
            silenceSpent_ = true;
            return;
        }
        queuePacket();
        ++sessionPackets_;
    }
}

void DeviceSimLink::queuePacket() {
    // The HR link sends every frame twice, as two packets the host averages.
    if (link_ == DeviceLinkKind::Standard || packetsMade_ % 2 == 0) frame_ = signal_.next();
    ++packetsMade_;
    if (outgoingBytes_ >= kOutgoingLimitBytes) return;  // nobody reads: the packet is lost
    Outgoing packet;
    packet.bytes = writer_.packet(frame_);
    packet.isPacket = true;
    packet.frame = frame_;
    corrupt(packet.bytes);
    outgoingBytes_ += packet.bytes.size();
    outgoing_.push_back(packet);
}

void DeviceSimLink::corrupt(QByteArray &packet) {
    corruptionDue_ += corruptPerPacket_;
    while (corruptionDue_ >= 1.0) {
        corruptionDue_ -= 1.0;
        const int at = static_cast<int>(random_.uniform() * packet.size());
        const int flip = 1 + static_cast<int>(random_.uniform() * 255.0);  // never 0: the byte must change
        packet[at] = static_cast<char>(packet[at] ^ flip);
    }
}

void DeviceSimLink::flush() {
    while (!outgoing_.empty()) {
        Outgoing &head = outgoing_.front();
        const ssize_t n =
            ::write(fd_, head.bytes.constData() + head.written, static_cast<size_t>(head.bytes.size() - head.written));
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EIO) linkClosed();
            return;  // EAGAIN: the terminal is full for now
        }
        head.written += static_cast<int>(n);
        outgoingBytes_ -= static_cast<int>(n);
        if (head.written < head.bytes.size()) return;
        if (head.isPacket) sentLog_.append(head.frame);
        outgoing_.pop_front();
    }
}

void DeviceSimLink::linkClosed() {
    // With the port closed there is no host to stream to; a reconnecting host
    // sends the start command again.
    state_ = State::Idle;
    hungUp_ = true;
    outgoing_.clear();
    outgoingBytes_ = 0;
}
