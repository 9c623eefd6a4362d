#pragma once
// OLMO bicycle ergometer: keeps the workload of the coming stage and hands it
// to its worker thread on apply.

#include "stress/EquipmentController.h"
#include "stress/OlmoWorker.h"

#include <memory>

class Sleeper;

class OlmoController : public EquipmentController {
public:
    // `sleeper` defaults to real sleeps; `readTimeoutMs` > 0 shortens the
    // reply time-out.
    explicit OlmoController(const QString &portName, Sleeper *sleeper = nullptr, int readTimeoutMs = 0);
    ~OlmoController() override;

    bool isReady() override { return true; }
    bool start() override;
    bool stop() override;
    bool apply() override;
    // Any name sets the workload, truncated to whole watts.
    bool setValue(const QString &name, double value) override;

    QString portName() const { return portName_; }

private:
    const QString portName_;
    int target_ = 0;
    std::unique_ptr<OlmoWorker> worker_;
};
