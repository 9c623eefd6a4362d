#pragma once
// The reader thread of a device link: opens the port, starts the front end
// streaming, turns its packets into sample frames in the device's byte queue,
// keeps it alive, and stops it again. A failure ends the run with an error
// text in the device state; the acquisition worker then restarts the reader.

#include "acquisition/LinkPacket.h"

#include <QString>
#include <QThread>
#include <atomic>
#include <cstdint>

class ByteFifo;
class LinkDeviceState;
class SerialPort;
class Sleeper;

struct LinkSettings {
    QString portName;
    int baudRate = 230400;
    LinkPacket::Layout layout = LinkPacket::Layout::Standard;
    std::int32_t channelMask = -1;  // standard link only; the HR link sends all 14
    int keepAlivePackets = 30000;
    // Silence longer than this is a read error.
    int readTimeoutMs = 10000;
};

class LinkReader : public QThread {
    Q_OBJECT
public:
    static constexpr char kStart = 0x01;
    static constexpr char kStop = 0x02;
    static constexpr char kKeepAlive = 0x09;
    static constexpr int kStartPauseMs = 100;
    static constexpr int kStopPauseMs = 100;
    static constexpr int kKeepAlivePauseMs = 5;
    // After a failed open the reader waits this long (in steps, so a stop is
    // still prompt) before it ends: the worker restarts a failed reader at
    // once, and a device that is off would otherwise be reopened a hundred
    // times a second for as long as it stays off.
    static constexpr int kReopenPauseMs = 1000;
    static constexpr int kReopenPauseStepMs = 50;

    LinkReader(const LinkSettings &settings, ByteFifo &fifo, LinkDeviceState &state, Sleeper &sleeper);
    ~LinkReader() override;

    // Asked from the owning thread; the reader sends the stop commands and
    // ends within one read slice even when the device is silent.
    void requestStop() { stopRequested_.store(true); }
    void clearStopRequest() { stopRequested_.store(false); }

protected:
    void run() override;

private:
    void stream(SerialPort &port);
    void pauseBeforeReopen();
    void sendStartCommands(SerialPort &port);
    void sendKeepAlive(SerialPort &port);
    void sendStopCommands(SerialPort &port);
    void send(SerialPort &port, char command);
    // False when a stop was asked for while waiting; throws on a read error.
    bool readByte(SerialPort &port, std::uint8_t &byte);
    void deliver(const LinkPacket::Decoded &packet);
    void appendFrame(const std::int16_t *samples, int count);

    LinkSettings settings_;
    ByteFifo &fifo_;
    LinkDeviceState &state_;
    Sleeper &sleeper_;
    std::atomic<bool> stopRequested_{false};
    // HR link: the first packet of a pair, waiting for its partner.
    LinkPacket::Samples heldSamples_{};
    bool holding_ = false;
};
