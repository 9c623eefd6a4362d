#include "stress/KipnetController.h"

#include "acquisition/Sleeper.h"

#include <QStandardPaths>

namespace {
QString logPathIn(const QString &folder) {
    const QString base =
        folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) : folder;
    return QStringLiteral("%1/%2").arg(base, QLatin1String(KipnetController::kLogFileName));
}
}  // namespace

KipnetController::KipnetController(const QString &portName, const QString &logFolder, Sleeper *sleeper,
                                   int readTimeoutMs)
    : portName_(portName), logFilePath_(logPathIn(logFolder)),
      worker_(std::make_unique<KipnetWorker>(portName, logFilePath_, sleeper ? *sleeper : Sleeper::system(),
                                             readTimeoutMs)) {
    worker_->start();
}

KipnetController::~KipnetController() {
    worker_->requestInterruption();
    worker_->wait();
}

bool KipnetController::isReady() { return !worker_->hasFailed(); }

bool KipnetController::start() {
    worker_->requestSkipNextCycle();
    return !worker_->hasFailed();
}

bool KipnetController::stop() {
    worker_->requestStop();
    return !worker_->hasFailed();
}

bool KipnetController::apply() {
    worker_->requestUpdate(load_);
    return !worker_->hasFailed();
}

bool KipnetController::setValue(const QString &name, double value) {
    if (name == QLatin1String("speed"))
        load_.speed = value;
    else if (name == QLatin1String("incline"))
        load_.incline = value;
    else if (name == QLatin1String("workload"))
        load_.workload = value;
    return !worker_->hasFailed();
}
