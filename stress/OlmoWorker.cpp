#include "stress/OlmoWorker.h"

#include "acquisition/Sleeper.h"

OlmoWorker::OlmoWorker(const QString &portName, Sleeper &sleeper, int readTimeoutMs)
    : portName_(portName), sleeper_(sleeper), readTimeoutMs_(readTimeoutMs) {}

OlmoWorker::~OlmoWorker() {
    requestInterruption();
    wait();
}

void OlmoWorker::requestApply(int targetWatts) {
    std::lock_guard<std::mutex> lock(applyMutex_);
    requestedTarget_ = targetWatts;
    applyRequested_ = true;
}

void OlmoWorker::run() {
    while (!isInterruptionRequested()) {
        if (!port_.isOpen() && !openPort()) {
            sleeper_.sleepMs(kOpenRetryMs);
            continue;
        }
        if (!startedUp_) {
            startUp();
            if (isInterruptionRequested()) break;
        }
        handleOneRequest();
        sleeper_.sleepMs(kCycleMs);
    }
    if (port_.isOpen()) {
        send("r");
        port_.close();
    }
}

// The ergometer may be switched on after the test window opened, so failures
// are retried quietly for as long as the worker runs.
bool OlmoWorker::openPort() {
    try {
        port_.open(portName_, SerialProfile::olmo());
    } catch (const SerialPortError &) {
        port_.close();
        return false;
    }
    if (readTimeoutMs_ > 0) port_.setReadTimeoutMs(readTimeoutMs_);
    return true;
}

void OlmoWorker::startUp() {
    startedUp_ = true;
    send("r");
    for (int step = 0; step < kStartupSteps && !isInterruptionRequested(); ++step) sleeper_.sleepMs(kStartupStepMs);
    // Leaving at once keeps the destructor from waiting on three replies.
    if (isInterruptionRequested()) return;
    send("c");
    readLines(3);
}

void OlmoWorker::handleOneRequest() {
    if (queryRequested_.exchange(false)) {
        send("a");
        readLines(1);
        return;
    }
    if (resetRequested_.exchange(false)) {
        send("r");
        return;
    }
    int target = 0;
    {
        std::lock_guard<std::mutex> lock(applyMutex_);
        if (!applyRequested_) return;
        applyRequested_ = false;
        target = requestedTarget_;
    }
    applyWorkload(target);
}

void OlmoWorker::applyWorkload(int target) {
    if (lastSent_ == 0 && target > 0) {
        send("p");
        readLines(1);
        sleeper_.sleepMs(kCommandGapMs);
        send("d");
        readLines(1);
        sleeper_.sleepMs(kCommandGapMs);
        send(QByteArray::number(target) + '\n');
        readLines(2);
        sleeper_.sleepMs(kCommandGapMs);
        send("a");
        readLines(1);
        lastSent_ = target;
    } else if (lastSent_ > 0 && target == 0) {
        send("e");
        readLines(2);
        lastSent_ = 0;
    } else if (lastSent_ > 0 && target > 0) {
        send("i");
        readLines(1);
        sleeper_.sleepMs(kCommandGapMs);
        send(QByteArray::number(target - lastSent_) + '\n');
        readLines(2);
        lastSent_ = target;
    }
    // A negative target changes nothing on the ergometer.
}

// Write failures are not detected: the ergometer's state is read back only
// through its status lines.
void OlmoWorker::send(const QByteArray &bytes) { port_.write(bytes); }

// Byte by byte up to a line feed; a silent or failed read ends the line.
void OlmoWorker::readLines(int count) {
    for (int line = 0; line < count; ++line) {
        reply_.clear();
        char byte = 0;
        while (port_.read(&byte, 1) == 1) {
            if (byte == '\n') break;
            reply_.append(byte);
        }
    }
}
