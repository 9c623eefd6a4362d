#pragma once
// Helpers shared by the acquisition tests: event-loop waiting, frame
// builders and a listener that records what the driver told it.

#include "acquisition/AcqDriverListener.h"
#include "acquisition/TAcqDriver.h"
#include "analysis/SignalSource.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QtEndian>
#include <functional>
#include <vector>

// Runs the event loop until `done` holds or the time is up.
inline bool waitUntil(const std::function<bool()> &done, int timeoutMs = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

// Little-endian interleaved frames; sample (frame f, channel c) = base + f * channels + c.
inline std::vector<char> makeFrames(int channels, int frames, int base = 0) {
    std::vector<char> bytes(static_cast<std::size_t>(channels) * frames * 2);
    for (int f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c)
            qToLittleEndian<qint16>(static_cast<qint16>(base + f * channels + c),
                                    bytes.data() + 2 * (static_cast<std::size_t>(f) * channels + c));
    return bytes;
}

struct RecordingListener : AcqDriverListener {
    struct Event {
        char kind;  // 'b' block, 'p' pacemaker, 'e' error
        int value;  // frames in the sink, pacemaker offset
        QString message;
    };
    std::vector<Event> events;
    std::vector<qint64> blockTimesMs;
    QElapsedTimer clock;

    RecordingListener() { clock.start(); }
    void acqBlockArrived(TAcqDriver &driver) override {
        events.push_back({'b', static_cast<int>(driver.sink().length()), {}});
        blockTimesMs.push_back(clock.elapsed());
    }
    void acqPacemakerPulse(TAcqDriver &, int offset) override { events.push_back({'p', offset, {}}); }
    void acqError(TAcqDriver &, const QString &message) override { events.push_back({'e', 0, message}); }
    int count(char kind) const {
        int n = 0;
        for (const Event &e : events) n += e.kind == kind;
        return n;
    }
};
