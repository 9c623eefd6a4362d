#include "tools/cli/AcquireCommand.h"

#include "acquisition/HrLinkDevice.h"
#include "acquisition/LinkDevice.h"
#include "acquisition/TQtAcqDriver.h"
#include "analysis/ChannelTable.h"
#include "analysis/SignalBuffer.h"
#include "tools/cli/AcquireOptions.h"
#include "tools/cli/AcquisitionRecorder.h"

#include "tools/cli/OutputFile.h"

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
// The worker hands frames over a tenth of a second or more after they
// arrived; the recording is given this long beyond the time asked for to
// take in the last of them before it counts as short.
constexpr double kDeliverySeconds = 0.5;
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
    // link took to start; the window, restarted at the first frames, ends a
    // recording that a slow or stalling device cannot fill (what it did
    // deliver is then counted against what the time asked for should hold).
    // A device that sends nothing is given the same time to begin.
    QEventLoop loop;
    QTimer window;
    window.setSingleShot(true);
    window.setInterval(static_cast<int>(std::lround((options.seconds + kDeliverySeconds) * 1000.0)));
    QObject::connect(&window, &QTimer::timeout, &loop, &QEventLoop::quit);
    const auto frameLimit = std::max<std::int64_t>(1, std::llround(options.seconds * device->samplingRate()));
    LinkStatistics::Counts link;
    AcquisitionRecorder recorder(file.device(), err, frameLimit,
                                 {[&window] { window.start(); }, [&loop] { loop.quit(); }});
    {
        TQtAcqDriver driver(*device, sink);
        driver.addListener(&recorder);
        window.start();
        driver.start();
        loop.exec();
        // Taken before the link stops, so the silence after the end is not counted.
        link = device->linkCounts();
        driver.stop();
    }

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
    const double share = static_cast<double>(recorder.frames()) / static_cast<double>(frameLimit);
    out << "frames: " << recorder.frames() << '\n';
    out << "expected frames: " << frameLimit << '\n';
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
            << " % of the expected frames arrived (at least " << QString::number(100.0 * kRequiredShare, 'f', 0)
            << " % are needed); the recording is kept\n";
        return 1;
    }
    return 0;
}

}  // namespace AcquireCommand
