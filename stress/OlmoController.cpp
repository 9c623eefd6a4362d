#include "stress/OlmoController.h"

#include "acquisition/Sleeper.h"

#include <cmath>

OlmoController::OlmoController(const QString &portName, Sleeper *sleeper, int readTimeoutMs)
    : portName_(portName),
      worker_(std::make_unique<OlmoWorker>(portName, sleeper ? *sleeper : Sleeper::system(), readTimeoutMs)) {
    worker_->start();
}

OlmoController::~OlmoController() {
    worker_->requestInterruption();
    worker_->wait();
}

bool OlmoController::start() {
    worker_->requestQuery();
    return true;
}

bool OlmoController::stop() {
    worker_->requestReset();
    return true;
}

bool OlmoController::apply() {
    worker_->requestApply(target_);
    return true;
}

bool OlmoController::setValue(const QString &, double value) {
    // A value with no integer form (NaN, infinite, beyond int) would make the
    // conversion undefined; the previous target stands instead.
    if (std::isfinite(value) && std::fabs(value) < 1e9) target_ = static_cast<int>(value);
    return true;
}
