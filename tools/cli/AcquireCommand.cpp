#include "tools/cli/AcquireCommand.h"

#include "acquisition/HrLinkDevice.h"
#include "acquisition/LinkDevice.h"
#include "acquisition/TQtAcqDriver.h"
#include "analysis/ChannelTable.h"
#include "analysis/SignalBuffer.h"
#include "tools/cli/AcquireOptions.h"
#include "tools/cli/AcquisitionRecorder.h"

#include "tools/cli/OutputFile.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <exception>
#include <memory>

namespace AcquireCommand {
namespace {
constexpr int kSinkBlockSize = 4096;
// The recorder copies each block out of the sink as it arrives, so the ring
// only has to hold the largest block the worker delivers (5 s of frames).
constexpr int kSinkCapacitySeconds = 10;
// The worker hands frames over a tenth of a second or more after the link
// decoded them; the recording waits this long for the last of them.
constexpr int kDeliveryMs = 500;
// A recording with fewer of the expected frames is a failed check.
constexpr double kRequiredShare = 0.98;

QString listOrNone(const QStringList &names) {
    return names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", "));
}

std::unique_ptr<SerialLinkDevice> openDevice(const AcquireOptions &options) {
    if (options.hrProtocol) return std::make_unique<HrLinkDevice>(options.port, HrLinkDevice::kBaudRate);
    return std::make_unique<LinkDevice>(options.port, LinkDevice::kBaudRate, ChannelTable::kAllChannelsMask);
}
}  // namespace

int run(const QStringList &arguments, QTextStream &out, QTextStream &err) {
    const AcquireOptions options = AcquireOptions::parse(arguments);
    if (options.helpRequested) {
        out << AcquireOptions::helpText();
        return 0;
    }
    if (!options.error.isEmpty()) {
        err << "tarvelin-ecg-cli acquire: " << options.error << "\nTry 'tarvelin-ecg-cli acquire --help'.\n";
        return 2;
    }

    OutputFile file(options.outPath);
    if (!file.open()) {
        err << "tarvelin-ecg-cli acquire: " << file.errorString() << '\n';
        return 1;
    }
    std::unique_ptr<SerialLinkDevice> device;
    try {
        device = openDevice(options);
    } catch (const std::exception &error) {
        err << "tarvelin-ecg-cli acquire: " << error.what() << '\n';
        return 1;
    }

    SignalBuffer sink(kSinkBlockSize, kSinkCapacitySeconds * device->samplingRate(), device->channelCount(),
                      device->samplingRate());
    sink.setAmplitudeRange(device->amplitudeMin(), device->amplitudeMax());
    // The recording holds the requested time of signal, however long the
    // link took to start. The window, restarted at the first frames, is the
    // time asked for: what the link decoded in it is counted against what it
    // should have, so a device that stalls or loses packets fails the check
    // even if the recording is filled later. Frames still on their way to
    // the recording when the window closes are given a moment to arrive. A
    // device that sends nothing is given the same time to begin.
    QEventLoop loop;
    QTimer window;
    window.setSingleShot(true);
    // A coarse timer may end the time asked for 5 % early.
    window.setTimerType(Qt::PreciseTimer);
    window.setInterval(static_cast<int>(std::lround(options.seconds * 1000.0)));
    QTimer delivery;
    delivery.setSingleShot(true);
    delivery.setInterval(kDeliveryMs);
    QObject::connect(&delivery, &QTimer::timeout, &loop, &QEventLoop::quit);
    const auto frameLimit = std::max<std::int64_t>(1, std::llround(options.seconds * device->samplingRate()));
    const int packetsPerFrame = options.hrProtocol ? 2 : 1;
    std::int64_t packetsAtStart = 0;
    // The window as it really ran: a timer may fire late on a busy machine.
    QElapsedTimer windowClock;
    double windowSeconds = 0.0;
    bool windowOver = false;
    LinkStatistics::Counts link;
    AcquisitionRecorder recorder(file.device(), err, frameLimit,
                                 {[&] {
                                      window.start();
                                      windowClock.start();
                                      packetsAtStart = device->linkCounts().packets;
                                  },
                                  [&] {
                                      if (windowOver) loop.quit();
                                  }});
    QObject::connect(&window, &QTimer::timeout, [&] {
        windowOver = true;
        // Taken as the window closes, so nothing after it is counted.
        link = device->linkCounts();
        windowSeconds = windowClock.isValid() ? windowClock.nsecsElapsed() / 1e9 : options.seconds;
        if (recorder.frames() >= frameLimit)
            loop.quit();
        else
            delivery.start();
    });
    {
        TQtAcqDriver driver(*device, sink);
        driver.addListener(&recorder);
        window.start();
        driver.start();
        loop.exec();
        driver.stop();
    }
    const std::int64_t arrived = std::max<std::int64_t>(0, (link.packets - packetsAtStart) / packetsPerFrame);
    const auto due = std::max<std::int64_t>(1, std::llround(windowSeconds * device->samplingRate()));

    if (recorder.frames() == 0) {
        file.discard();
        err << "tarvelin-ecg-cli acquire: no frame arrived";
        const QString reason = device->errorString();
        if (!reason.isEmpty()) err << " (" << reason << ')';
        err << '\n';
        return 1;
    }
    if (recorder.writeFailed() || !file.commit()) {
        err << "tarvelin-ecg-cli acquire: writing " << options.outPath << " failed";
        if (!file.errorString().isEmpty()) err << " (" << file.errorString() << ')';
        err << '\n';
        return 1;
    }
    const double share = static_cast<double>(arrived) / static_cast<double>(due);
    out << "frames: " << recorder.frames() << '\n';
    out << "expected frames: " << frameLimit << '\n';
    out << "link frames: " << arrived << " in " << QString::number(windowSeconds, 'f', 2) << " s, " << due
        << " expected\n";
    out << "received: " << QString::number(100.0 * share, 'f', 1) << " % of expected\n";
    out << "rate: " << QString::number(recorder.rate(), 'f', 1) << " frames/s\n";
    out << "battery: " << QString::number(recorder.batteryVoltage(), 'f', 2) << " V\n";
    out << "electrodes off: " << listOrNone(recorder.electrodesOff()) << '\n';
    out << "saturated: " << listOrNone(recorder.channelsSeenSaturated()) << '\n';
    out << "resynchronisations: " << link.resynchronisations << '\n';
    out << "bytes discarded: " << link.discardedBytes << '\n';
    out << "longest gap without data: " << QString::number(link.longestGapMs / 1000.0, 'f', 2) << " s\n";
    out << "device errors: " << recorder.errorCount() << '\n';
    if (share < kRequiredShare) {
        err << "tarvelin-ecg-cli acquire: only " << QString::number(100.0 * share, 'f', 1)
            << " % of the expected frames arrived in the time asked (at least "
            << QString::number(100.0 * kRequiredShare, 'f', 0) << " % are needed); the recording is kept\n";
        return 1;
    }
    return 0;
}

}  // namespace AcquireCommand
