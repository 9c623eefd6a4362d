#pragma once
// A resting ECG taken through the monitoring engine: a take of fixed length
// that ends by itself, can be stopped early, discarded and taken again from
// time 0, and whose resting and global measurements come from the take's own
// beats. The engine must have been prepared for the study without stages.

#include "analysis/AverageBeatBuilder.h"
#include "stress/MonitorListener.h"
#include "stress/RestingEcgMeasurements.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

class MonitorEngine;
class Study;

class RestingRecording : private MonitorListener {
public:
    enum class State { Ready, Recording, Recorded };
    static constexpr int kDefaultSeconds = 10;

    // Subscribes to `engine`, whose listeners it must precede so that they
    // see its state already changed; engine and study must outlive it.
    RestingRecording(MonitorEngine &engine, Study &study, int seconds = kDefaultSeconds);
    ~RestingRecording() override;
    RestingRecording(const RestingRecording &) = delete;
    RestingRecording &operator=(const RestingRecording &) = delete;

    State state() const { return state_; }
    int lengthSeconds() const { return seconds_; }
    // Seconds of the take still to record; 0 once recorded.
    double remainingSeconds() const;

    // From Ready: records `dateTime` ("yyyyMMddHHmmss") as the study's date
    // and takes `lengthSeconds()` of signal.
    void start(const QByteArray &dateTime);
    // Ends the take early; it is measured as it is.
    void stop();
    // Drops the take (stopping it first) and is Ready again. Throws
    // std::runtime_error with the failure text when the files could not be
    // emptied; the take is then Recorded still, and is not saved until a
    // repeat succeeds, since part of it may be gone.
    void repeat();

    // Valid once Recorded.
    const RestingEcgMeasurements &measurements() const { return measurements_; }
    // Writes the measurements into the study's results. Throws
    // std::runtime_error with the failure text when the take did not reach
    // the disk whole, or "No recording to save" before a take was recorded.
    void storeMeasurements();

private:
    void beatDetected(MonitorEngine &engine, const BeatRecord &beat) override;
    void stopped(MonitorEngine &engine) override;

    MonitorEngine &engine_;
    Study &study_;
    int seconds_;
    State state_ = State::Ready;
    double takeStart_ = 0.0;  // live-signal seconds of the take's first sample
    AverageBeatBuilder averages_;
    RestingEcgMeasurements measurements_;
    QString discardFailure_;
};
