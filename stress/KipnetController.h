#pragma once
// Kip Machines treadmill or ergometer over Kipnet: keeps the values of the
// coming stage and hands them to its worker thread as one set on apply.

#include "stress/EquipmentController.h"
#include "stress/KipnetWorker.h"

#include <memory>

class Sleeper;

class KipnetController : public EquipmentController {
public:
    static constexpr const char *kLogFileName = "tarvelin-kipnet.log";

    // The log goes to `logFolder`, or to the generic data folder when empty.
    // `sleeper` defaults to real sleeps; `readTimeoutMs` > 0 shortens the
    // reply time-out (silent-device tests).
    explicit KipnetController(const QString &portName, const QString &logFolder = QString(), Sleeper *sleeper = nullptr,
                              int readTimeoutMs = 0);
    ~KipnetController() override;

    // Once the worker has ended on a failure these return false, so the run
    // control reports the lost link and drops the equipment instead of
    // believing that the treadmill still follows the protocol.
    bool isReady() override;
    bool start() override;
    bool stop() override;
    bool apply() override;
    bool setValue(const QString &name, double value) override;

    QString portName() const { return portName_; }
    QString logFilePath() const { return logFilePath_; }

private:
    const QString portName_;
    const QString logFilePath_;
    KipnetLoad load_;
    std::unique_ptr<KipnetWorker> worker_;
};
