#pragma once
// The thread that owns a Kipnet link: every 200 ms it turns the pending
// request into commands, logs them, and ends for good on the first failure.

#include "acquisition/SerialPort.h"

#include <QFile>
#include <QString>
#include <QThread>
#include <atomic>
#include <mutex>

class Sleeper;

// Speed (km/h), incline (%) and workload (W); negative means "not set".
struct KipnetLoad {
    static constexpr double kNotSet = -999.0;
    double speed = kNotSet;
    double incline = kNotSet;
    double workload = kNotSet;
};

class KipnetWorker : public QThread {
    Q_OBJECT
public:
    static constexpr int kCycleMs = 200;
    static constexpr int kAttempts = 3;
    static constexpr int kRetryWaitMs = 500;

    // `readTimeoutMs` > 0 replaces the profile's reply time-out.
    KipnetWorker(const QString &portName, const QString &logFilePath, Sleeper &sleeper, int readTimeoutMs = 0);
    ~KipnetWorker() override;

    void requestSkipNextCycle() { skipNextCycle_ = true; }
    void requestStop() { stopRequested_ = true; }
    // The whole set is taken over at once, so a cycle never sends a mix of
    // an old and a new stage.
    void requestUpdate(const KipnetLoad &load);
    // True once the worker ended on a failure; it sends nothing more.
    bool hasFailed() const { return failed_; }

protected:
    void run() override;

private:
    void cycle();
    bool takeUpdate(KipnetLoad &load);
    void send(const QByteArray &command);
    void log(const QByteArray &text);

    const QString portName_;
    const QString logFilePath_;
    Sleeper &sleeper_;
    const int readTimeoutMs_;
    SerialPort port_;
    QFile log_;
    bool started_ = false;

    std::atomic<bool> skipNextCycle_{false};
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> failed_{false};
    std::mutex updateMutex_;
    bool updateRequested_ = false;
    KipnetLoad requestedLoad_;
};
