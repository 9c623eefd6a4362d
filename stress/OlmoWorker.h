#pragma once
// The thread that owns an OLMO ergometer link: opens it (retrying every 2 s),
// runs the one-time start-up, then sends one pending request per 200 ms cycle.

#include "acquisition/SerialPort.h"

#include <QByteArray>
#include <QString>
#include <QThread>
#include <atomic>
#include <mutex>

class Sleeper;

class OlmoWorker : public QThread {
    Q_OBJECT
public:
    static constexpr int kCycleMs = 200;
    static constexpr int kOpenRetryMs = 2000;
    static constexpr int kStartupSteps = 14;
    static constexpr int kStartupStepMs = 500;
    static constexpr int kCommandGapMs = 200;

    // `readTimeoutMs` > 0 replaces the profile's reply time-out.
    OlmoWorker(const QString &portName, Sleeper &sleeper, int readTimeoutMs = 0);
    ~OlmoWorker() override;

    void requestQuery() { queryRequested_ = true; }
    void requestReset() { resetRequested_ = true; }
    void requestApply(int targetWatts);

protected:
    void run() override;

private:
    bool openPort();
    void startUp();
    void handleOneRequest();
    void applyWorkload(int target);
    void send(const QByteArray &bytes);
    void readLines(int count);

    const QString portName_;
    Sleeper &sleeper_;
    const int readTimeoutMs_;
    SerialPort port_;
    bool startedUp_ = false;
    int lastSent_ = 0;
    QByteArray reply_;  // the last status line, kept for diagnosis in a debugger

    std::atomic<bool> queryRequested_{false};
    std::atomic<bool> resetRequested_{false};
    std::mutex applyMutex_;
    bool applyRequested_ = false;
    int requestedTarget_ = 0;
};
