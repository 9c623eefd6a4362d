#include "acquisition/LinkReader.h"

#include "acquisition/ByteFifo.h"
#include "acquisition/LinkDeviceState.h"
#include "acquisition/LinkSynchronizer.h"
#include "acquisition/SerialPort.h"
#include "acquisition/Sleeper.h"

#include <QElapsedTimer>
#include <QtEndian>
#include <algorithm>
#include <exception>

namespace {

// A read that brought other than the one byte asked for.
struct LinkReadFailure {};

// Blocking reads are cut into slices this long so a stop asked for while the
// device is silent is honoured promptly instead of after the full time-out.
constexpr int kReadSliceMs = 100;

}  // namespace

LinkReader::LinkReader(const LinkSettings &settings, ByteFifo &fifo, LinkDeviceState &state, Sleeper &sleeper)
    : settings_(settings), fifo_(fifo), state_(state), sleeper_(sleeper) {}

LinkReader::~LinkReader() {
    requestStop();
    wait();
}

void LinkReader::run() {
    holding_ = false;
    SerialPort port;
    try {
        port.open(settings_.portName, SerialProfile::ecgLink(settings_.baudRate));
    } catch (const std::exception &e) {
        state_.fail(QString::fromLocal8Bit(e.what()));
        pauseBeforeReopen();
        return;
    } catch (...) {
        state_.fail(QStringLiteral("Unexpected error"));
        pauseBeforeReopen();
        return;
    }
    try {
        stream(port);
    } catch (const LinkReadFailure &) {
        state_.fail(QStringLiteral("Device read error"));
    } catch (...) {
        state_.fail(QStringLiteral("Unexpected error"));
    }
    port.close();
}

void LinkReader::pauseBeforeReopen() {
    for (int waited = 0; waited < kReopenPauseMs && !stopRequested_.load(); waited += kReopenPauseStepMs)
        sleeper_.sleepMs(kReopenPauseStepMs);
}

void LinkReader::stream(SerialPort &port) {
    sendStartCommands(port);
    state_.statistics().noteStarted();
    LinkSynchronizer sync(settings_.layout);
    int keepAliveCountdown = settings_.keepAlivePackets;
    for (;;) {
        if (sync.hunting() && stopRequested_.load()) break;
        std::uint8_t byte = 0;
        if (!readByte(port, byte)) break;
        if (!sync.push(byte)) {
            state_.statistics().noteDiscarded(sync.discardedByLastPush());
            continue;
        }
        state_.statistics().notePacket();

        deliver(LinkPacket::decode(settings_.layout, sync.packet()));
        if (--keepAliveCountdown <= 0) {
            sendKeepAlive(port);
            keepAliveCountdown = settings_.keepAlivePackets;
        }
    }
    sendStopCommands(port);
}

void LinkReader::send(SerialPort &port, char command) {
    if (!port.write(&command, 1)) throw std::runtime_error("write failed");
}

void LinkReader::sendStartCommands(SerialPort &port) {
    // The front end may still be streaming from an earlier session: what
    // waits in the queues belongs to it and is dropped before each start.
    port.discardBuffers();
    send(port, kStart);
    sleeper_.sleepMs(kStartPauseMs);
    port.discardBuffers();
    send(port, kStart);
    send(port, kKeepAlive);
}

void LinkReader::sendKeepAlive(SerialPort &port) {
    send(port, kKeepAlive);
    sleeper_.sleepMs(kKeepAlivePauseMs);
    send(port, kKeepAlive);
}

void LinkReader::sendStopCommands(SerialPort &port) {
    // Best effort: the port is closed next whatever the device heard.
    const char stop = kStop;
    port.write(&stop, 1);
    sleeper_.sleepMs(kStopPauseMs);
    port.write(&stop, 1);
}

bool LinkReader::readByte(SerialPort &port, std::uint8_t &byte) {
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        const qint64 left = settings_.readTimeoutMs - waited.elapsed();
        port.setReadTimeoutMs(static_cast<int>(std::clamp<qint64>(left, 1, kReadSliceMs)));
        char c = 0;
        const int n = port.read(&c, 1);
        if (n == 1) {
            byte = static_cast<std::uint8_t>(c);
            return true;
        }
        if (n != 0) throw LinkReadFailure{};
        if (stopRequested_.load()) return false;
        if (waited.elapsed() >= settings_.readTimeoutMs) throw LinkReadFailure{};
    }
}

void LinkReader::deliver(const LinkPacket::Decoded &packet) {
    state_.setBattery(packet.batteryVolts());
    state_.setElectrodes(packet.electrodeOff);
    LinkPacket::Samples samples = packet.samples;

    if (settings_.layout == LinkPacket::Layout::Hr) {
        if (!holding_) {
            heldSamples_ = samples;
            holding_ = true;
            return;
        }
        for (std::size_t c = 0; c < samples.size(); ++c)
            samples[c] = LinkPacket::averagePair(heldSamples_[c], samples[c]);
        holding_ = false;
        appendFrame(samples.data(), static_cast<int>(samples.size()));
        return;
    }

    state_.countSaturation(samples);
    LinkPacket::zeroLeadsOfOffElectrodes(samples, packet.electrodeOff);
    std::int16_t kept[14];
    int count = 0;
    const auto mask = static_cast<std::uint32_t>(settings_.channelMask);
    for (int c = 0; c < 14; ++c)
        if ((mask >> c) & 1u) kept[count++] = samples[static_cast<std::size_t>(c)];
    appendFrame(kept, count);
}

void LinkReader::appendFrame(const std::int16_t *samples, int count) {
    char bytes[28];
    for (int i = 0; i < count; ++i) qToLittleEndian<qint16>(samples[i], bytes + 2 * i);
    fifo_.append(bytes, 2 * count);
}
