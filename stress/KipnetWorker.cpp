#include "stress/KipnetWorker.h"

#include "acquisition/Sleeper.h"
#include "stress/KipnetCommand.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <stdexcept>

KipnetWorker::KipnetWorker(const QString &portName, const QString &logFilePath, Sleeper &sleeper, int readTimeoutMs)
    : portName_(portName), logFilePath_(logFilePath), sleeper_(sleeper), readTimeoutMs_(readTimeoutMs) {}

KipnetWorker::~KipnetWorker() {
    requestInterruption();
    wait();
}

void KipnetWorker::requestUpdate(const KipnetLoad &load) {
    std::lock_guard<std::mutex> lock(updateMutex_);
    requestedLoad_ = load;
    updateRequested_ = true;
}

bool KipnetWorker::takeUpdate(KipnetLoad &load) {
    std::lock_guard<std::mutex> lock(updateMutex_);
    if (!updateRequested_) return false;
    load = requestedLoad_;
    updateRequested_ = false;
    return true;
}

void KipnetWorker::run() {
    // A missing data folder would otherwise lose the only record of why the
    // equipment stopped following the protocol.
    QDir().mkpath(QFileInfo(logFilePath_).absolutePath());
    log_.setFileName(logFilePath_);
    log_.open(QIODevice::WriteOnly | QIODevice::Append);
    log("Thread start, device port = " + portName_.toLocal8Bit() + '\n');
    started_ = false;

    try {
        while (!isInterruptionRequested()) {
            cycle();
            sleeper_.sleepMs(kCycleMs);
        }
    } catch (const std::runtime_error &failure) {
        qWarning("%s", failure.what());
        log(QByteArray(failure.what()) + '\n');
        failed_ = true;
    }

    port_.close();
    log("Thread stop\n");
    log("--------------------\n");
    log_.close();
}

void KipnetWorker::cycle() {
    if (!port_.isOpen()) {
        port_.open(portName_, SerialProfile::kipnet());
        if (readTimeoutMs_ > 0) port_.setReadTimeoutMs(readTimeoutMs_);
    }
    if (skipNextCycle_.exchange(false)) return;
    if (stopRequested_.exchange(false)) {
        send(KipnetCommand::stop());
        return;
    }
    KipnetLoad load;
    if (!takeUpdate(load)) return;
    if ((load.speed > 0 || load.workload > 0) && !started_) {
        send(KipnetCommand::go());
        started_ = true;
    }
    if (load.speed >= 0) send(KipnetCommand::speed(load.speed));
    if (load.incline >= 0) send(KipnetCommand::incline(load.incline));
    if (load.workload >= 0) send(KipnetCommand::workload(load.workload));
}

void KipnetWorker::send(const QByteArray &command) {
    log(">> " + command + '\n');
    port_.discardBuffers();
    QByteArray reply(command.size(), '\0');
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        // The reply's content is not examined; its length tells it arrived.
        if (port_.write(command) && port_.read(reply.data(), reply.size()) == reply.size()) return;
        sleeper_.sleepMs(kRetryWaitMs);
    }
    throw std::runtime_error("Kipnet device did not respond (command " + KipnetCommand::name(command).toStdString() +
                             ")");
}

void KipnetWorker::log(const QByteArray &text) {
    if (!log_.isOpen()) return;
    log_.write(text);
    // Flushed line by line so the record survives a crash of the program.
    log_.flush();
}
