#pragma once
// Fixtures for the equipment controllers: a sleeper that records every wait
// and can hold the worker between cycles, and a peer that plays the
// equipment on the master side of a pseudo-terminal.

#include "acquisition/Sleeper.h"
#include "tools/sim/EquipmentSimProtocol.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

// Every wait is recorded and lasts 1 ms, so an idle worker does not spin.
// With holdEvery(ms), waits of that length block until step() lets the
// worker run exactly one more cycle.
class RecordingSleeper : public Sleeper {
public:
    void sleepMs(int milliseconds) override;

    int count(int milliseconds) const;
    bool waitForCount(int milliseconds, int atLeast, int timeoutMs = 5000) const;
    // Waits of `milliseconds` really last `realMs` (an interruptible start-up).
    void slowDown(int milliseconds, int realMs);

    // Starts holding afresh; call before the worker is created.
    void holdEvery(int milliseconds);
    // True once the worker is held in its first cycle wait.
    bool waitHeld(int timeoutMs = 5000);
    // Lets one cycle run; true when the worker is held again afterwards.
    bool step(int timeoutMs = 5000);
    // Lets the worker run free (before a controller is destroyed).
    void releaseAll();

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::map<int, int> counts_;
    std::map<int, int> realMs_;
    int heldMs_ = -1;
    int arrivals_ = 0;
    int releases_ = 0;
};

// The pseudo-terminal and a thread answering through one of the simulator's
// protocols; commands are recorded whether or not they are answered.
class EquipmentPeer {
public:
    explicit EquipmentPeer(std::unique_ptr<EquipmentSimProtocol> protocol);
    ~EquipmentPeer();

    QString portPath() const { return slavePath_; }
    void setSilent(bool silent) { silent_ = silent; }
    QList<QByteArray> commands() const;
    void clearCommands();
    bool waitForCommands(int atLeast, int timeoutMs = 5000) const;

private:
    void serve();

    int master_ = -1;
    int slave_ = -1;  // held so the master never sees a hang-up between opens
    QString slavePath_;
    std::unique_ptr<EquipmentSimProtocol> protocol_;
    std::atomic<bool> silent_{false};
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    QList<QByteArray> commands_;
    std::thread thread_;
};

inline QByteArray readWholeFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Polls `condition` until it holds or `timeoutMs` passes.
inline bool eventually(const std::function<bool()> &condition, int timeoutMs = 5000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}
