// Benchmarks of the study store: opening a long stored study for review and
// packing a study into its archive. Both are timed on the wall clock, since
// file access is what they measure.

#include "Benchmarks.h"
#include "acquisition/BeatFile.h"
#include "acquisition/FileSignal.h"
#include "store/StudyStore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace {

constexpr int kChannels = 14;
constexpr int kRate = 500;
constexpr int kMinutes = 30;
constexpr int kRuns = 10;

// The demonstration recording (real-looking ECG with noise, 14 channels at
// 500/s) played end to end until the study holds 30 minutes, so the archive
// compresses what a real study holds rather than a pure tone.
void fillRecording(FileSignal &recording) {
    QFile demo(demoRecordingPath());
    if (!demo.open(QIODevice::ReadOnly))
        throw std::runtime_error("demonstration recording missing: " + demoRecordingPath().toStdString());
    const QByteArray source = demo.readAll();
    const qint64 wanted = qint64(kMinutes) * 60 * kRate * kChannels * 2;
    const int chunk = 2 * kChannels * kRate;  // one second
    for (qint64 written = 0; written < wanted; written += chunk) {
        const qint64 at = written % (source.size() - source.size() % chunk);
        recording.appendInterleaved16(source.constData() + at, chunk);
    }
}

// A beat every 0.6 s (100 per minute), as a test at moderate effort.
void fillBeats(BeatFile &beats) {
    QByteArray record(beats.recordLength(), '\0');
    for (qint64 beat = 0; beat < qint64(kMinutes) * 100; ++beat) {
        const qint64 position = beat * kRate * 6 / 10;
        std::memcpy(record.data(), &position, sizeof position);
        beats.append(record);
    }
}

struct StoredStudy {
    QTemporaryDir dir;
    qint32 id = 0;
    qint64 bytes = 0;  // of the three files
};

void makeStudy(StoredStudy &stored) {
    StudyStore store(stored.dir.path());
    StudyInfo info;
    info.studyType = "Stress test";
    info.studyDateTime = "20261208101500";
    info.patientLastName = "Bench";
    info.patientFirstName = "Study";
    info.samplingRate = kRate;
    info.channelCount = kChannels;
    info.channelNames = "I,II,III,aVR,aVL,aVF,V1,V2,V3,V4,V5,V6,CM5,CR5";
    info.resolution = 16;
    info.gainMax = 10.0;
    Study *study = store.createStudy(info);
    fillRecording(*study->recording());
    fillBeats(*study->beats());
    store.saveStudy(*study);
    store.closeStudy(study);
    stored.id = info.id;
    for (const char *extension : {"hxstudy", "hxecg", "hxbeats"})
        stored.bytes +=
            QFileInfo(QStringLiteral("%1/%2.%3")
                          .arg(stored.dir.path(), QString::fromUtf8(info.baseFilename), QLatin1String(extension)))
                .size();
}

// From a store that is already open (as the application's is) to the first
// 10-second page of 12 leads in memory.
BenchResult openStudy() {
    StoredStudy stored;
    makeStudy(stored);
    StudyStore store(stored.dir.path());
    std::vector<double> page(10 * kRate);
    qint64 nanoseconds = 0;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        Study *study = store.openStudy(stored.id);
        if (!study || !study->recording()) throw std::runtime_error("stored study did not open");
        for (int channel = 0; channel < 12; ++channel)
            study->recording()->readRange(channel, 0, static_cast<int>(page.size()), page.data());
        nanoseconds += timer.nsecsElapsed();
        store.closeStudy(study);
    }
    return {nanoseconds / 1e6 / kRuns, "ms"};
}

BenchResult exportStudy() {
    StoredStudy stored;
    makeStudy(stored);
    StudyStore store(stored.dir.path());
    QTemporaryDir out;
    qint64 nanoseconds = 0;
    const int runs = 3;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        store.exportStudy(stored.id, out.path());
        nanoseconds += timer.nsecsElapsed();
    }
    return {stored.bytes / 1e6 / (nanoseconds / 1e9 / runs), "MB/s"};
}

}  // namespace

std::vector<Benchmark> storeBenchmarks() { return {{"study-open-30min", openStudy}, {"study-export", exportStudy}}; }
