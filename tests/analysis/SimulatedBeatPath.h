#pragma once
// Test rig: a simulator recording (14 channels, 500 samples/s) fed to the
// beat analysis path exactly as the engine feeds it, in tenth-second blocks.

#include "analysis/BeatAnalysisPath.h"
#include "analysis/ChannelTable.h"
#include "analysis/MonitorFeeds.h"

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

struct SimulatedBeatPath {
    static constexpr int kRate = 500;
    static constexpr int kChannels = ChannelTable::kChannelCount;

    // Runs `tarvelin-ecg-sim record` with `arguments`; the recording's bytes,
    // or empty with `error` set.
    static QByteArray simulate(const QStringList &arguments, const QString &outPath, QString *error) {
        QProcess sim;
        sim.start(QStringLiteral(TARVELIN_SIM_EXECUTABLE), QStringList{"record", "--out", outPath} + arguments);
        if (!sim.waitForFinished(120000) || sim.exitCode() != 0) {
            *error = QString::fromLocal8Bit(sim.readAllStandardError());
            return {};
        }
        QFile data(outPath);
        if (!data.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("cannot read ") + outPath;
            return {};
        }
        return data.readAll();
    }

    SimulatedBeatPath() : raw(MonitorFeeds::createRawBuffer(kChannels, kRate)) {
        raw->setAmplitudeRange(-300.0, 300.0);
        raw->setChannelNames(ChannelTable::maskedNames(ChannelTable::kAllChannelsMask));
        feeds = std::make_unique<MonitorFeeds>(*raw, false);
        path = std::make_unique<BeatAnalysisPath>(feeds->analysisFeed(), *raw);
    }

    // Feeds every whole block of `recording`; `afterBlock` (if given) is
    // called with the frames fed so far. Returns the frames in the recording.
    int feed(const QByteArray &recording, const std::function<void(int)> &afterBlock = {}) {
        const int frameBytes = 2 * kChannels, block = kRate / 10;
        const int frames = recording.size() / frameBytes;
        for (int f = 0; f + block <= frames; f += block) {
            raw->appendInterleaved16(recording.constData() + static_cast<std::ptrdiff_t>(f) * frameBytes,
                                     block * frameBytes);
            feeds->process();
            path->process();
            if (afterBlock) afterBlock(f + block);
        }
        return frames;
    }

    std::unique_ptr<SignalBuffer> raw;
    std::unique_ptr<MonitorFeeds> feeds;
    std::unique_ptr<BeatAnalysisPath> path;
};
