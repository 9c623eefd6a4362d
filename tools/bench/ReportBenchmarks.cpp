// Benchmarks of the reports. The stress report: a 30-minute test recorded through the
// monitoring engine from the demonstration recording ("Bruce", a pressure
// and a stage-end event at every stage), then its whole report written as a
// PDF: every page, event strips and average beats included. Timed on the
// wall clock, since writing the file is part of what it measures.

#include "Benchmarks.h"
#include "analysis/ChannelTable.h"
#include "reports/ReportPdf.h"
#include "reports/RestingReportData.h"
#include "reports/StressReportData.h"
#include "store/StudyInfoConversion.h"
#include "store/StudyStore.h"
#include "stress/MonitorEngine.h"
#include "stress/StressEvents.h"
#include "tools/cli/InputLoader.h"
#include "tools/cli/RestingStudy.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <stdexcept>

namespace {

constexpr int kChannels = 14, kRate = 500, kFrames = 50;
constexpr int kMinutes = 30;
constexpr int kRuns = 3;

// The stages advance by their own timers; recovery starts at 21 minutes.
// Every closed stage gets its stage-end event, every minute a pressure.
void recordStudy(StudyStore &store, Study &study) {
    QFile demo(demoRecordingPath());
    if (!demo.open(QIODevice::ReadOnly))
        throw std::runtime_error("demonstration recording missing: " + demoRecordingPath().toStdString());
    const QByteArray signal = demo.readAll();
    const int blockBytes = kFrames * kChannels * 2;
    const int available = signal.size() / blockBytes;
    if (available == 0) throw std::runtime_error("demonstration recording empty");
    Protocol bruce;
    store.protocol(QStringLiteral("Bruce"), bruce);
    MonitorEngine::SignalFormat format;
    format.channelCount = kChannels;
    format.samplingRate = kRate;
    format.channelNames = ChannelTable::maskedNames(ChannelTable::kAllChannelsMask);
    MonitorEngine engine(format, false);
    StressRun::Plan plan;
    plan.stages = bruce;
    engine.prepareRun(study, plan, &store);
    engine.start("20261208101500");
    const int blocksPerMinute = 60 * kRate / kFrames;
    int closed = 0;
    for (int b = 0; b < kMinutes * blocksPerMinute; ++b) {
        engine.raw().appendInterleaved16(signal.constData() + static_cast<std::ptrdiff_t>(b % available) * blockBytes,
                                         blockBytes);
        engine.processBlock();
        if (b % blocksPerMinute == blocksPerMinute - 1) {
            const int minute = (b + 1) / blocksPerMinute;
            engine.addBloodPressure(120 + 3 * minute, 80, engine.recordedTime());
            if (minute == 21) engine.goToRecovery();
        }
        StudyEvent event;
        if (study.protocol()->stageCount() > closed &&
            StressEvents::stageEndEvent(*study.protocol(), 0, engine.recordedTime(), &event)) {
            closed = study.protocol()->stageCount();
            study.addEvent() = event;
        }
    }
    engine.stop();
}

BenchResult stressReportPdf() {
    QTemporaryDir dir;
    StudyStore store(dir.filePath(QStringLiteral("store")));
    StudyInfo info = frontEndRecordingInfo(kRate);
    info.studyType = "Stress test";
    info.patientLastName = "Bench";
    info.patientAge = "58";
    info.patientWeight = "80";
    Study *study = store.createStudy(info);
    recordStudy(store, *study);
    store.saveStudy(*study);

    const ReportTemplate report = ReportTemplate::load(QStringLiteral(":/res/stressreport1.xml"));
    qint64 nanoseconds = 0;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        const ReportData data = StressReportData::fill(*study, ReportSettings());
        ReportPdf::write(report, data, dir.filePath(QStringLiteral("report.pdf")));
        nanoseconds += timer.nsecsElapsed();
    }
    store.closeStudy(study);
    return {nanoseconds / 1e6 / kRuns, "ms"};
}

// A resting ECG: the first 10 s of the demonstration recording made into a
// resting study (signal, beats, global measurement), then its 12by1 report,
// the layout with the most pages, written whole.
BenchResult ecgReportPdf() {
    const BeatsOptions options =
        BeatsOptions::parse({"--raw", QStringLiteral(TARVELIN_DEMO_RECORDING), "--rate", QString::number(kRate),
                             "--channels", QString::number(kChannels)});
    LoadedInput input;
    QString error;
    if (!options.error.isEmpty() || !InputLoader::load(options, &input, &error))
        throw std::runtime_error("demonstration recording unreadable: " + error.toStdString());
    Recording &recording = input.recording;
    RestingStudy::keepFirstSeconds(recording, RestingStudy::kDefaultSeconds);
    QTemporaryDir dir;
    StudyStore store(dir.filePath(QStringLiteral("store")));
    StudyInfo info;
    info.patientLastName = "Bench";
    info.studyDateTime = "20261208101500";
    Study *study = RestingStudy::create(store, recording, info);

    ReportSettings settings;
    settings.traceLayout = QStringLiteral("12by1");
    const ReportTemplate report = ReportTemplate::load(QStringLiteral(":/res/ecgreport1.xml"));
    qint64 nanoseconds = 0;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        const ReportData data = RestingReportData::fill(*study, settings);
        ReportPdf::write(report, data, dir.filePath(QStringLiteral("report.pdf")));
        nanoseconds += timer.nsecsElapsed();
    }
    store.closeStudy(study);
    return {nanoseconds / 1e6 / kRuns, "ms"};
}

}  // namespace

std::vector<Benchmark> reportBenchmarks() {
    return {{"report-stress-pdf", stressReportPdf}, {"report-ecg-pdf", ecgReportPdf}};
}
