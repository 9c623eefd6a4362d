#include "acquisition/TQtAcqDriverThread.h"

#include "acquisition/AcqDevice.h"
#include "acquisition/Sleeper.h"

#include <cstring>
#include <exception>
#include <vector>

TQtAcqDriverThread::TQtAcqDriverThread(AcqDevice &device, const std::atomic<unsigned char> *mute, int muteCount,
                                       Sleeper *sleeper, QObject *parent)
    : QThread(parent), device_(device), mute_(mute), muteCount_(muteCount),
      sleeper_(sleeper ? *sleeper : Sleeper::system()) {}

TQtAcqDriverThread::~TQtAcqDriverThread() {
    requestInterruption();
    wait();
}

void TQtAcqDriverThread::run() {
    try {
        acquire();
    } catch (const std::exception &e) {
        errorText_ = QStringLiteral("Error: ") + QString::fromLocal8Bit(e.what());
        stopDeviceQuietly();
        Q_EMIT error();
    } catch (...) {
        errorText_ = QStringLiteral("Unspecified application error");
        stopDeviceQuietly();
        Q_EMIT error();
    }
}

void TQtAcqDriverThread::stopDeviceQuietly() {
    // The source's reader must not outlive a worker that died of an error.
    try {
        device_.stop();
    } catch (...) {
    }
}

void TQtAcqDriverThread::acquire() {
    const int frameBytes = device_.bytesPerSample() * device_.channelCount();
    const int minFrames = device_.samplingRate() / 10;
    const int maxFrames = 5 * device_.samplingRate();
    if (frameBytes <= 0 || maxFrames <= 0) throw std::runtime_error("Invalid device parameters");
    std::vector<char> buffer(static_cast<std::size_t>(maxFrames) * frameBytes);
    resetRequested_ = false;
    device_.start();

    bool readFailed = false;
    while (!isInterruptionRequested() && !readFailed) {
        if (!device_.isOk()) {
            // A failed reader is restarted without telling anyone; a serial
            // link reconnects this way.
            device_.stop();
            device_.start();
        }
        const int available = device_.bytesAvailable() / frameBytes;
        if (available <= minFrames) {
            sleeper_.sleepMs(kPollIntervalMs);
            continue;
        }
        const int frames = available < maxFrames ? available : maxFrames;
        const int length = frames * frameBytes;
        std::memset(buffer.data(), 0, static_cast<std::size_t>(length));
        const int got = device_.read(buffer.data(), length);
        if (got < length) {
            readFailed = true;
            break;
        }
        muteChannels(buffer.data(), frames, frameBytes);
        if (resetRequested_.exchange(false)) device_.reset();
        while (const std::optional<int> offset = device_.nextPacemakerOffset()) Q_EMIT pacemaker(*offset);
        Q_EMIT data(QVector<char>(buffer.data(), buffer.data() + length));
    }

    if (!device_.isOk() || readFailed) {
        errorText_ = device_.errorString();
        Q_EMIT error();
    }
    device_.stop();
}

void TQtAcqDriverThread::muteChannels(char *block, int frames, int frameBytes) const {
    const int bytesPerSample = device_.bytesPerSample();
    const int channels = device_.channelCount();
    for (int c = 0; c < channels && c < muteCount_; ++c) {
        if (mute_[c].load(std::memory_order_relaxed) == 0) continue;
        for (int f = 0; f < frames; ++f)
            std::memset(block + static_cast<std::ptrdiff_t>(f) * frameBytes + c * bytesPerSample, 0,
                        static_cast<std::size_t>(bytesPerSample));
    }
}
