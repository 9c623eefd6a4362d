#include "tools/cli/AcquireCommand.h"

#include "acquisition/HrLinkDevice.h"
#include "acquisition/LinkDevice.h"
#include "acquisition/TQtAcqDriver.h"
#include "analysis/ChannelTable.h"
#include "analysis/SignalBuffer.h"
#include "tools/cli/AcquireOptions.h"
#include "tools/cli/AcquisitionRecorder.h"

#include <QEventLoop>
#include <QSaveFile>
#include <QTimer>
#include <cmath>
#include <exception>
#include <memory>

namespace AcquireCommand {
namespace {
constexpr int kSinkBlockSize = 4096;
// The recorder copies each block out of the sink as it arrives, so the ring
// only has to hold the largest block the worker delivers (5 s of frames).
constexpr int kSinkCapacitySeconds = 10;

QString listOrNone(const QStringList &names) {
    return names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", "));
}

std::unique_ptr<AcqDevice> openDevice(const AcquireOptions &options) {
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

    QSaveFile file(options.outPath);
    if (!file.open(QIODevice::WriteOnly)) {
        err << "tarvelin-ecg-cli acquire: cannot write " << options.outPath << ": " << file.errorString() << '\n';
        return 1;
    }
    std::unique_ptr<AcqDevice> device;
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
    // recording that a slow or stalling device cannot fill. A device that
    // sends nothing is given the same time to begin.
    QEventLoop loop;
    QTimer window;
    window.setSingleShot(true);
    window.setInterval(static_cast<int>(std::lround(options.seconds * 1000.0)));
    QObject::connect(&window, &QTimer::timeout, &loop, &QEventLoop::quit);
    const auto frameLimit = static_cast<std::int64_t>(std::llround(options.seconds * device->samplingRate()));
    AcquisitionRecorder recorder(file, err, frameLimit, {[&window] { window.start(); }, [&loop] { loop.quit(); }});
    {
        TQtAcqDriver driver(*device, sink);
        driver.addListener(&recorder);
        window.start();
        driver.start();
        loop.exec();
        driver.stop();
    }

    if (recorder.frames() == 0) {
        file.cancelWriting();
        err << "tarvelin-ecg-cli acquire: no frame arrived";
        const QString reason = device->errorString();
        if (!reason.isEmpty()) err << " (" << reason << ')';
        err << '\n';
        return 1;
    }
    if (recorder.writeFailed() || !file.commit()) {
        err << "tarvelin-ecg-cli acquire: writing " << options.outPath << " failed: " << file.errorString() << '\n';
        return 1;
    }
    out << "frames: " << recorder.frames() << '\n';
    out << "rate: " << QString::number(recorder.rate(), 'f', 1) << " frames/s\n";
    out << "battery: " << QString::number(recorder.batteryVoltage(), 'f', 2) << " V\n";
    out << "electrodes off: " << listOrNone(recorder.electrodesOff()) << '\n';
    out << "saturated: " << listOrNone(recorder.channelsSeenSaturated()) << '\n';
    out << "device errors: " << recorder.errorCount() << '\n';
    return 0;
}

}  // namespace AcquireCommand
