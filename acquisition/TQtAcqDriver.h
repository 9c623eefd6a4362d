#pragma once
// The acquisition driver of this program: runs the worker thread and, on the
// user-interface thread, appends each arriving block to the sink and tells
// the listeners.

#include "acquisition/TAcqDriver.h"

#include <QMetaObject>
#include <QVector>
#include <memory>

class TQtAcqDriverThread;
class Sleeper;

class TQtAcqDriver : public TAcqDriver {
    Q_OBJECT
public:
    TQtAcqDriver(AcqDevice &device, SignalSource &sink, Sleeper *sleeper = nullptr, QObject *parent = nullptr);
    ~TQtAcqDriver() override;

    // Started once; to acquire again a new driver is made.
    void start() override;
    // Returns when the worker has ended; nothing of the stopped run reaches
    // the sink or the listeners afterwards.
    void stop() override;
    void requestReset() override;
    bool channelSaturated(int channel) override;
    bool electrodeOff(const QString &electrode) override;
    double batteryVoltage() override;

    bool isRunning() const { return running_; }

public Q_SLOTS:
    void dataCallback(QVector<char> dataBlock);
    void pacemakerCallback(int sampleOffset);
    void errorCallback();

private:
    std::unique_ptr<TQtAcqDriverThread> thread_;
    QMetaObject::Connection dataConnection_;
    QMetaObject::Connection pacemakerConnection_;
    QMetaObject::Connection errorConnection_;
    bool running_ = false;  // user-interface thread only
};
