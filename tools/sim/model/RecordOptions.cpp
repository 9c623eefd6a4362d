#include "tools/sim/model/RecordOptions.h"

#include "analysis/ChannelTable.h"

#include <QFileInfo>
#include <cmath>
#include <functional>
#include <map>

namespace {

constexpr double kMaxSeconds = 86400.0;
constexpr double kMinLoopSeconds = 10.0;
constexpr double kMaxStMillivolts = 2.0;
constexpr std::uint64_t kDemoSeed = 20240917;

struct Parsed {
    QString name;
    QString value;
};

// Which options take a value; flags are listed with false.
const std::map<QString, bool> &knownOptions() {
    static const std::map<QString, bool> options = {
        {"out", true},     {"truth", true},   {"rate", true},     {"seconds", true}, {"hr", true},
        {"peak-hr", true}, {"profile", true}, {"st", true},       {"st-mode", true}, {"pvc-per-min", true},
        {"noise", true},   {"mains", true},   {"mains-mv", true}, {"seed", true},    {"hrv", true},
        {"loop", false},   {"help", false}};
    return options;
}

class Reader {
public:
    explicit Reader(QString *error) : error_(error) {}

    bool number(const Parsed &option, double minimum, double maximum, double *out) {
        bool ok = false;
        const double value = option.value.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(value) || value < minimum || value > maximum)
            return fail(QStringLiteral("--%1 expects a number from %2 to %3, not \"%4\"")
                            .arg(option.name)
                            .arg(minimum)
                            .arg(maximum)
                            .arg(option.value));
        *out = value;
        return true;
    }

    template <typename T>
    bool choice(const Parsed &option, const std::map<QString, T> &choices, T *out) {
        const auto found = choices.find(option.value);
        if (found == choices.end()) {
            QStringList names;
            for (const auto &entry : choices) names << entry.first;
            return fail(QStringLiteral("--%1 expects one of %2, not \"%3\"")
                            .arg(option.name, names.join(QStringLiteral(", ")), option.value));
        }
        *out = found->second;
        return true;
    }

    bool stRequest(const Parsed &option, std::vector<StRequest> *requests) {
        const int equals = option.value.indexOf(QLatin1Char('='));
        if (equals <= 0)
            return fail(QStringLiteral("--st expects LEAD=MV, e.g. V5=-0.1, not \"%1\"").arg(option.value));
        const QString leadName = option.value.left(equals).trimmed();
        int lead = -1;
        for (int i = 0; i < ChannelTable::kChannelCount; ++i)
            if (ChannelTable::name(i).compare(leadName, Qt::CaseInsensitive) == 0) lead = i;
        if (lead < 0) return fail(QStringLiteral("--st: unknown lead \"%1\" (leads are I ... V6, CM5)").arg(leadName));
        if (!StPattern::canRequest(lead))
            return fail(QStringLiteral("--st: %1 cannot be set on its own; it follows from V5 and the limb leads")
                            .arg(ChannelTable::name(lead)));
        for (const StRequest &existing : *requests)
            if (existing.lead == lead)
                return fail(QStringLiteral("--st: %1 is given twice").arg(ChannelTable::name(lead)));
        double millivolts = 0.0;
        if (!number({QStringLiteral("st ") + ChannelTable::name(lead), option.value.mid(equals + 1)}, -kMaxStMillivolts,
                    kMaxStMillivolts, &millivolts))
            return false;
        requests->push_back({lead, millivolts});
        return true;
    }

    bool fail(const QString &message) {
        *error_ = message;
        return false;
    }

private:
    QString *error_;
};

bool splitArguments(const QStringList &arguments, std::vector<Parsed> *parsed, QString *error) {
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("-h")) {
            parsed->push_back({QStringLiteral("help"), QString()});
            continue;
        }
        if (!argument.startsWith(QLatin1String("--")) || argument.size() == 2) {
            *error = QStringLiteral("unexpected argument \"%1\"").arg(argument);
            return false;
        }
        const int equals = argument.indexOf(QLatin1Char('='));
        const QString name = argument.mid(2, equals < 0 ? -1 : equals - 2);
        const auto known = knownOptions().find(name);
        if (known == knownOptions().end()) {
            *error = QStringLiteral("unknown option --%1").arg(name);
            return false;
        }
        QString value;
        if (!known->second) {
            if (equals >= 0) {
                *error = QStringLiteral("--%1 takes no value").arg(name);
                return false;
            }
        } else if (equals >= 0) {
            value = argument.mid(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            *error = QStringLiteral("--%1 needs a value").arg(name);
            return false;
        }
        parsed->push_back({name, value});
    }
    return true;
}

SimulationConfig demoConfig() {
    SimulationConfig config;
    config.samplingRate = 500;
    config.seconds = 600.0;
    config.profile = RateProfileKind::Stress;
    config.restRate = 75.0;
    config.peakRate = 150.0;
    // Horizontal depression at peak exercise in the inferior and lateral leads.
    config.stRequests = {{1, -0.11}, {2, -0.11}, {5, -0.11}, {9, -0.12}, {10, -0.14}, {11, -0.12}};
    config.stMode = StMode::Rate;
    config.noise = NoiseLevel::Low;
    config.mainsHz = 50;
    config.seed = kDemoSeed;
    config.loop = true;
    return config;
}

}  // namespace

QString RecordOptions::defaultTruthPath(const QString &outPath) {
    const QFileInfo info(outPath);
    if (info.suffix().isEmpty()) return outPath + QStringLiteral(".truth.csv");
    return info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".truth.csv");
}

RecordOptions RecordOptions::parse(const QStringList &arguments) {
    RecordOptions result;
    std::vector<Parsed> parsed;
    if (!splitArguments(arguments, &parsed, &result.error)) return result;
    for (const Parsed &option : parsed)
        if (option.name == QLatin1String("help")) {
            result.helpRequested = true;
            return result;
        }

    Reader read(&result.error);
    SimulationConfig &config = result.config;
    QString profileName = QStringLiteral("constant");
    for (const Parsed &option : parsed)
        if (option.name == QLatin1String("profile")) profileName = option.value;
    if (profileName == QLatin1String("demo")) {
        config = demoConfig();
    } else if (profileName == QLatin1String("stress")) {
        config.profile = RateProfileKind::Stress;
    } else if (profileName != QLatin1String("constant")) {
        read.fail(QStringLiteral("--profile expects constant, stress or demo, not \"%1\"").arg(profileName));
        return result;
    }

    bool stModeGiven = false;
    bool stGiven = false;
    for (const Parsed &option : parsed) {
        const QString &name = option.name;
        bool ok = true;
        if (name == QLatin1String("out")) {
            config.outPath = option.value;
        } else if (name == QLatin1String("truth")) {
            config.truthPath = option.value;
        } else if (name == QLatin1String("rate")) {
            ok = read.choice<int>(option, {{QStringLiteral("500"), 500}, {QStringLiteral("1000"), 1000}},
                                  &config.samplingRate);
        } else if (name == QLatin1String("seconds")) {
            ok = read.number(option, 1.0, kMaxSeconds, &config.seconds);
        } else if (name == QLatin1String("hr")) {
            ok = read.number(option, 30.0, 220.0, &config.restRate);
        } else if (name == QLatin1String("peak-hr")) {
            ok = read.number(option, 40.0, 230.0, &config.peakRate);
        } else if (name == QLatin1String("st")) {
            if (!stGiven) config.stRequests.clear();  // explicit requests replace the demo's
            stGiven = true;
            ok = read.stRequest(option, &config.stRequests);
        } else if (name == QLatin1String("st-mode")) {
            stModeGiven = true;
            ok = read.choice<StMode>(option,
                                     {{QStringLiteral("flat"), StMode::Flat},
                                      {QStringLiteral("constant"), StMode::Constant},
                                      {QStringLiteral("rate"), StMode::Rate}},
                                     &config.stMode);
        } else if (name == QLatin1String("pvc-per-min")) {
            ok = read.number(option, 0.0, 20.0, &config.pvcPerMinute);
        } else if (name == QLatin1String("noise")) {
            ok = read.choice<NoiseLevel>(option,
                                         {{QStringLiteral("none"), NoiseLevel::None},
                                          {QStringLiteral("low"), NoiseLevel::Low},
                                          {QStringLiteral("medium"), NoiseLevel::Medium},
                                          {QStringLiteral("high"), NoiseLevel::High}},
                                         &config.noise);
        } else if (name == QLatin1String("mains")) {
            ok = read.choice<int>(option,
                                  {{QStringLiteral("50"), 50}, {QStringLiteral("60"), 60}, {QStringLiteral("off"), 0}},
                                  &config.mainsHz);
        } else if (name == QLatin1String("mains-mv")) {
            ok = read.number(option, 0.0, 5.0, &config.mainsMillivolts);
        } else if (name == QLatin1String("seed")) {
            bool parsedOk = false;
            config.seed = option.value.trimmed().toULongLong(&parsedOk);
            if (!parsedOk || option.value.trimmed().startsWith(QLatin1Char('-')))
                ok =
                    read.fail(QStringLiteral("--seed expects a whole number from 0 to 18446744073709551615, not \"%1\"")
                                  .arg(option.value));
        } else if (name == QLatin1String("hrv")) {
            ok = read.number(option, 0.0, 10.0, &config.rrVariabilityPercent);
        } else if (name == QLatin1String("loop")) {
            config.loop = true;
        }
        if (!ok) return result;
    }

    if (!stModeGiven && profileName != QLatin1String("demo"))
        config.stMode = config.profile == RateProfileKind::Stress ? StMode::Rate : StMode::Constant;
    if (config.outPath.isEmpty()) {
        read.fail(QStringLiteral("--out FILE is required"));
        return result;
    }
    if (config.truthPath.isEmpty()) config.truthPath = defaultTruthPath(config.outPath);
    if (QFileInfo(config.truthPath).absoluteFilePath() == QFileInfo(config.outPath).absoluteFilePath()) {
        read.fail(QStringLiteral("--truth must name a different file from --out"));
        return result;
    }
    if (config.profile == RateProfileKind::Stress && config.peakRate < config.restRate + 10.0) {
        read.fail(QStringLiteral("--peak-hr (%1) must be at least 10 bpm above --hr (%2) for a stress profile")
                      .arg(config.peakRate)
                      .arg(config.restRate));
        return result;
    }
    if (config.loop && config.seconds < kMinLoopSeconds) {
        read.fail(QStringLiteral("a looping recording needs --seconds of at least %1").arg(kMinLoopSeconds));
        return result;
    }
    return result;
}

QString RecordOptions::helpText() {
    return QStringLiteral("Usage: tarvelin-ecg-sim record --out FILE [options]\n"
                          "\n"
                          "Writes a synthetic 14-lead ECG (I, II, III, aVR, aVL, aVF, V1-V6, CM5, CR5):\n"
                          "headerless little-endian int16 frames, one sample per lead, +-300 mV over\n"
                          "16 bits (1 unit = 600/65536 mV). A truth file lists every beat: R-peak\n"
                          "sample, type (N or V), RR in seconds, and the ST deviation each lead shows\n"
                          "at J+80 ms against the PR segment, in mV.\n"
                          "\n"
                          "Options (default in brackets):\n"
                          "  --out FILE            recording to write (required)\n"
                          "  --truth FILE          truth CSV [<out without extension>.truth.csv]\n"
                          "  --rate 500|1000       samples per second per lead [500]\n"
                          "  --seconds S           length, 1 to 86400 [60]\n"
                          "  --profile NAME        constant: steady rate at --hr;\n"
                          "                        stress: rest at --hr (first 10 %), climb to --peak-hr\n"
                          "                        (to 60 %), peak (to 70 %), recovery back to --hr;\n"
                          "                        demo: the demonstration recording (500/s, 600 s loop,\n"
                          "                        75 -> 150 -> 75 bpm, rate-related ST depression of\n"
                          "                        0.11-0.14 mV in II, III, aVF, V4-V6, low noise, 50 Hz);\n"
                          "                        other options given with it override its settings\n"
                          "                        [constant]\n"
                          "  --hr BPM              resting (or constant) heart rate, 30 to 220 [75]\n"
                          "  --peak-hr BPM         peak rate of the stress profile, 40 to 230 [150]\n"
                          "  --st LEAD=MV          ST deviation for a lead at full expression, -2 to 2 mV;\n"
                          "                        repeat for more leads. LEAD is one of I, II, III, aVR,\n"
                          "                        aVL, aVF, V1-V6, CM5. Limb-lead values are fitted to one\n"
                          "                        frontal ST vector (least squares), so inconsistent\n"
                          "                        limb values are met only approximately; CR5 follows\n"
                          "                        from V5 and the limb leads. The truth file gives the\n"
                          "                        values actually produced. [none]\n"
                          "  --st-mode MODE        flat: no ST deviation; constant: full value at every\n"
                          "                        beat; rate: 0 at --hr rising to the full value at\n"
                          "                        --peak-hr [rate for stress, constant otherwise]\n"
                          "  --pvc-per-min N       premature ventricular beats per minute, 0 to 20 (at\n"
                          "                        most every other beat) [0]\n"
                          "  --noise LEVEL         none|low|medium|high: baseline wander, mains, muscle\n"
                          "                        noise, and at medium/high electrode pops; none gives a\n"
                          "                        clean signal (mains included) [low]\n"
                          "  --mains 50|60|off     mains frequency; its amplitude follows --noise [50]\n"
                          "  --mains-mv MV         mains pick-up at the electrodes, 0 to 5 mV, whatever\n"
                          "                        the noise level (a poorly shielded room) [per --noise]\n"
                          "  --seed N              random seed; same seed, same bytes [1]\n"
                          "  --hrv PERCENT         largest deviation of a sinus RR interval from the\n"
                          "                        rate's, 0 to 10 (part breathing-related) [2]\n"
                          "  --loop                make the last frame run smoothly into the first\n"
                          "                        (at least 10 s) [off; on for demo]\n"
                          "  --help                show this text\n");
}
