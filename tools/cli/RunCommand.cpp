#include "tools/cli/RunCommand.h"

#include "analysis/ChannelTable.h"
#include "store/StudyStore.h"
#include "stress/MonitorEngine.h"
#include "stress/MonitorListener.h"
#include "stress/StressEvents.h"
#include "tools/cli/InputLoader.h"
#include "tools/cli/RunOptions.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

// A tenth of a second per block, as the acquisition driver delivers them.
int blockFrames(int rate) { return std::max(1, rate / 10); }

// The operator's commands in recorded-time order.
struct Command {
    enum Kind { Pressure, Next, Recovery } kind;
    double time;
    RunOptions::Pressure pressure;
};

// Failures the test went on after, printed as they come.
struct MessagePrinter : MonitorListener {
    explicit MessagePrinter(QTextStream &err) : err_(err) {}
    void message(MonitorEngine &, const QString &text) override { err_ << "warning: " << text << Qt::endl; }
    QTextStream &err_;
};

QString value(double v, int decimals) { return QString::number(v, 'f', decimals); }

QString describe(const Command &command) {
    switch (command.kind) {
    case Command::Pressure:
        return QStringLiteral("--bp %1/%2").arg(command.pressure.systolic).arg(command.pressure.diastolic);
    case Command::Next: return QStringLiteral("--next-at");
    case Command::Recovery: return QStringLiteral("--recovery-at");
    }
    return QString();
}

void printStageTable(const Study &study, const QStringList &channelNames, QTextStream &out) {
    const Protocol &recorded = *study.protocol();
    const StudyResults &r = study.results();
    const int v5 = channelNames.indexOf(QStringLiteral("V5"));
    const auto names = StressEvents::phaseNames(recorded.type);
    out << "stage\tduration_s\tload\tMETS\tHR\tSBP/DBP\tDP\tST_V5_mV\tSTslope_V5_mV/s\n";
    std::array<int, 3> numbers{};
    for (int i = 0; i < recorded.stageCount(); ++i) {
        const Stage &stage = recorded.stage(i);
        const int phase = std::clamp(static_cast<int>(stage.phase), 0, 2);
        QString load;
        if (recorded.type == ProtocolType::Treadmill)
            load = QStringLiteral("%1 km/h %2 %")
                       .arg(value(stage.parameter("speed", "km/h"), 1), value(stage.parameter("incline", "%"), 0));
        else if (recorded.type == ProtocolType::Ergometer)
            load = QStringLiteral("%1 W").arg(value(stage.parameter("workload", "watts"), 0));
        out << names[static_cast<std::size_t>(phase)] << ' ' << ++numbers[static_cast<std::size_t>(phase)] << '\t'
            << value(stage.duration, 0) << '\t' << (load.isEmpty() ? QStringLiteral("-") : load) << '\t'
            << value(r.perStage(Result::MetsPerStage, i), 2) << '\t' << value(r.perStage(Result::BpmPerStage, i), 0)
            << '\t' << value(r.perStage(Result::SysBpPerStage, i), 0) << '/'
            << value(r.perStage(Result::DiaBpPerStage, i), 0) << '\t' << value(r.perStage(Result::DpPerStage, i), 0)
            << '\t' << (v5 < 0 ? QStringLiteral("-") : value(r.perStage(StudyResults::stLevelPerStage(v5), i), 3))
            << '\t' << (v5 < 0 ? QStringLiteral("-") : value(r.perStage(StudyResults::stSlopePerStage(v5), i), 3))
            << '\n';
    }
    out << "max\tHR " << r.scalar(Result::MaxBpm) << "\tSBP " << r.scalar(Result::MaxSysBp) << "\tDBP "
        << r.scalar(Result::MaxDiaBp) << "\tDP " << r.scalar(Result::MaxDp) << "\tMETS "
        << value(r.scalar(Result::MaxMets), 2) << "\tVO2 " << value(r.scalar(Result::MaxVo2), 1) << '\n';
}

}  // namespace

namespace RunCommand {

int run(const QStringList &arguments, QTextStream &out, QTextStream &err) {
    const RunOptions options = RunOptions::parse(arguments);
    if (options.helpRequested) {
        out << RunOptions::helpText();
        return 0;
    }
    if (!options.error.isEmpty()) {
        err << "tarvelin-ecg-cli run: " << options.error << '\n' << RunOptions::helpText();
        return 2;
    }
    QString error;
    const std::unique_ptr<RecordingStream> input = InputLoader::open(options.input, &error);
    if (!input) {
        err << "tarvelin-ecg-cli run: " << error << '\n';
        return 1;
    }
    RecordingStream &recording = *input;
    for (const QString &warning : InputLoader::openingWarnings(recording)) err << "warning: " << warning << '\n';
    const std::vector<int> &channels = recording.channels();
    QStringList names;
    for (int c : channels) names << ChannelTable::name(c);
    const int count = static_cast<int>(channels.size());

    try {
        StudyStore store(options.storePath);
        Protocol protocol;
        if (!store.protocol(options.protocolName, protocol)) {
            err << "tarvelin-ecg-cli run: no protocol \"" << options.protocolName << "\" in the store\n";
            return 1;
        }
        // The study as the replay of this recording would make it.
        StudyInfo info;
        info.samplingRate = recording.rate();
        info.channelCount = count;
        info.channelNames = names.join(',').toUtf8();
        info.resolution = Recording::kResolutionBits;
        info.gainMax = Recording::kRangeMv;
        info.protocolName = options.protocolName.toUtf8();
        info.studyType = "stress";
        info.patientWeight = options.weight;
        info.patientAge = options.age;
        info.patientSex = options.sex;
        info.patientLastName = options.lastName;
        info.patientFirstName = options.firstName;
        Study *study = store.createStudy(info);

        MonitorEngine::SignalFormat format;
        format.channelCount = count;
        format.samplingRate = recording.rate();
        format.rangeMv = Recording::kRangeMv;
        format.resolutionBits = Recording::kResolutionBits;
        format.channelNames = names;
        MonitorEngine engine(format, false);
        MessagePrinter printer(err);
        engine.addListener(&printer);
        StressRun::Plan plan;
        plan.stages = protocol;
        engine.prepareRun(*study, plan, &store);

        std::vector<Command> commands;
        for (const auto &p : options.pressures) commands.push_back({Command::Pressure, p.time, p});
        for (double t : options.nextAt) commands.push_back({Command::Next, t, {}});
        if (options.recoveryAt) commands.push_back({Command::Recovery, *options.recoveryAt, {}});
        std::stable_sort(commands.begin(), commands.end(),
                         [](const Command &a, const Command &b) { return a.time < b.time; });
        std::size_t nextCommand = 0;
        int savedStages = 0;
        auto reportSaves = [&] {
            // Told after the save, so whoever watches knows those stages are on disk.
            const int stages = study->protocol() ? study->protocol()->stageCount() : 0;
            if (stages == savedStages) return;
            savedStages = stages;
            err << "saved " << stages << " stages at " << value(engine.recordedTime(), 1) << " s" << Qt::endl;
        };

        engine.start(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1());
        const int block = blockFrames(recording.rate());
        std::vector<std::vector<std::int16_t>> samples;
        std::vector<const std::int16_t *> rows(static_cast<std::size_t>(count));
        for (;;) {
            const double now = engine.recordedTime();
            if (options.stopAt && now >= *options.stopAt) break;
            const int n = recording.read(block, samples);
            if (n == 0) break;
            for (; nextCommand < commands.size() && commands[nextCommand].time <= now; ++nextCommand) {
                const Command &c = commands[nextCommand];
                if (c.kind == Command::Pressure)
                    engine.addBloodPressure(c.pressure.systolic, c.pressure.diastolic, c.time);
                else if (c.kind == Command::Next)
                    engine.nextStage();
                else
                    engine.goToRecovery();
                reportSaves();
            }
            for (int k = 0; k < count; ++k)
                rows[static_cast<std::size_t>(k)] = samples[static_cast<std::size_t>(k)].data();
            engine.raw().append(n, rows.data());
            engine.processBlock();
            reportSaves();
        }
        const double end = engine.recordedTime();
        const bool stopped = options.stopAt && end >= *options.stopAt;
        for (; nextCommand < commands.size(); ++nextCommand)
            err << "warning: " << describe(commands[nextCommand]) << " at " << value(commands[nextCommand].time, 1)
                << " s was not applied: "
                << (stopped ? QStringLiteral("the test stopped at %1 s").arg(value(end, 1))
                            : QStringLiteral("the input ends at %1 s").arg(value(end, 1)))
                << '\n';
        if (options.stopAt && !stopped)
            err << "warning: --stop-at " << value(*options.stopAt, 1) << " s was not reached: the input ends at "
                << value(end, 1) << " s\n";
        for (const QString &warning : InputLoader::clippingWarnings(recording)) err << "warning: " << warning << '\n';
        engine.stop();
        store.saveStudy(*study);
        out << "study " << study->id() << '\n';
        printStageTable(*study, names, out);
        store.closeStudy(study);
    } catch (const std::exception &e) {
        err << "tarvelin-ecg-cli run: " << e.what() << '\n';
        return 1;
    }
    return 0;
}

}  // namespace RunCommand
