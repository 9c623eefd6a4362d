#pragma once
// Listens to an acquisition driver: writes every frame that reaches its sink
// to a recording, and notes the arrival times, the device state (battery,
// electrodes off, channels seen saturated) and the errors reported.

#include "acquisition/AcqDriverListener.h"

#include <QElapsedTimer>
#include <QIODevice>
#include <QStringList>
#include <QTextStream>
#include <cstdint>
#include <functional>
#include <set>

class AcquisitionRecorder : public AcqDriverListener {
public:
    struct Events {
        std::function<void()> firstBlock;  // the first frames arrived
        std::function<void()> complete;    // the frame limit was reached
    };
    // Keeps at most `frameLimit` frames; errors are printed to `err` as they
    // are reported.
    AcquisitionRecorder(QIODevice &out, QTextStream &err, std::int64_t frameLimit, Events events = {});

    void acqBlockArrived(TAcqDriver &driver) override;
    void acqPacemakerPulse(TAcqDriver &, int) override {}
    void acqError(TAcqDriver &driver, const QString &message) override;

    std::int64_t frames() const { return frames_; }
    // Frames per second the link delivered between the first and the last
    // block; 0 with fewer than two blocks.
    double rate() const;
    bool writeFailed() const { return writeFailed_; }
    int errorCount() const { return errorCount_; }
    double batteryVoltage() const { return battery_; }
    // At the last block, in name order: LA, LL, RA, V1 ... V6.
    QStringList electrodesOff() const;
    // Channels saturated at any block, channel-table names in table order.
    QStringList channelsSeenSaturated() const;

private:
    void noteDeviceState(TAcqDriver &driver);

    QIODevice &out_;
    QTextStream &err_;
    std::int64_t frameLimit_;
    Events events_;
    QElapsedTimer clock_;
    std::int64_t frames_ = 0;
    std::int64_t deliveredAtFirstBlock_ = 0;
    std::int64_t deliveredAtLastBlock_ = 0;
    qint64 firstBlockNs_ = -1;
    qint64 lastBlockNs_ = -1;
    bool writeFailed_ = false;
    int errorCount_ = 0;
    double battery_ = 0.0;
    std::set<QString> electrodesOff_;
    std::set<int> saturated_;  // channel-table indexes
};
