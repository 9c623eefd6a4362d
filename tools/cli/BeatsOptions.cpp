#include "tools/cli/BeatsOptions.h"

#include "analysis/ChannelTable.h"
#include "tools/cli/Recording.h"

#include <cmath>
#include <map>

namespace {

constexpr double kMaxRangeMv = 10000.0;

// Which options take a value; flags are listed with false.
const std::map<QString, bool> &knownOptions() {
    static const std::map<QString, bool> options = {{"raw", true},          {"rate", true},  {"channels", true},
                                                    {"range-mv", true},     {"wfdb", true},  {"out", true},
                                                    {"summary-json", true}, {"leads", true}, {"help", false}};
    return options;
}

class Parser {
public:
    explicit Parser(BeatsOptions *options) : options_(options) {}

    bool fail(const QString &message) {
        options_->error = message;
        return false;
    }

    // Splits "--name value" and "--name=value" into `values_`, refusing
    // unknown, repeated and stray arguments.
    bool split(const QStringList &arguments) {
        for (int i = 0; i < arguments.size(); ++i) {
            const QString &argument = arguments[i];
            if (argument == QLatin1String("-h")) {
                options_->helpRequested = true;
                continue;
            }
            if (!argument.startsWith(QLatin1String("--")) || argument.size() == 2)
                return fail(QStringLiteral("unexpected argument \"%1\"").arg(argument));
            const int equals = argument.indexOf(QLatin1Char('='));
            const QString name = argument.mid(2, equals < 0 ? -1 : equals - 2);
            const auto known = knownOptions().find(name);
            if (known == knownOptions().end()) return fail(QStringLiteral("unknown option --%1").arg(name));
            if (!known->second) {
                if (equals >= 0) return fail(QStringLiteral("--%1 takes no value").arg(name));
                options_->helpRequested = true;
                continue;
            }
            QString value;
            if (equals >= 0)
                value = argument.mid(equals + 1);
            else if (i + 1 < arguments.size())
                value = arguments[++i];
            else
                return fail(QStringLiteral("--%1 needs a value").arg(name));
            if (values_.count(name)) return fail(QStringLiteral("--%1 is given twice").arg(name));
            if (value.isEmpty()) return fail(QStringLiteral("--%1 needs a value").arg(name));
            values_[name] = value;
        }
        return true;
    }

    bool has(const char *name) const { return values_.count(QLatin1String(name)) > 0; }
    QString value(const char *name) const {
        const auto found = values_.find(QLatin1String(name));
        return found == values_.end() ? QString() : found->second;
    }

    bool number(const char *name, double minimum, double maximum, double *out) {
        if (!has(name)) return true;
        bool ok = false;
        const double parsed = value(name).trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(parsed) || parsed < minimum || parsed > maximum)
            return fail(QStringLiteral("--%1 expects a number from %2 to %3, not \"%4\"")
                            .arg(QLatin1String(name))
                            .arg(minimum)
                            .arg(maximum)
                            .arg(value(name)));
        *out = parsed;
        return true;
    }

    bool integer(const char *name, int minimum, int maximum, int *out) {
        if (!has(name)) return true;
        bool ok = false;
        const int parsed = value(name).trimmed().toInt(&ok);
        if (!ok || parsed < minimum || parsed > maximum)
            return fail(QStringLiteral("--%1 expects a whole number from %2 to %3, not \"%4\"")
                            .arg(QLatin1String(name))
                            .arg(minimum)
                            .arg(maximum)
                            .arg(value(name)));
        *out = parsed;
        return true;
    }

    bool input() {
        if (has("raw") && has("wfdb")) return fail(QStringLiteral("give either --raw or --wfdb, not both"));
        if (has("wfdb")) {
            for (const char *rawOnly : {"rate", "channels", "range-mv"})
                if (has(rawOnly))
                    return fail(QStringLiteral("--%1 belongs to --raw; a WFDB record states its own")
                                    .arg(QLatin1String(rawOnly)));
            options_->input = BeatsOptions::Input::Wfdb;
            options_->inputPath = value("wfdb");
            return true;
        }
        if (!has("raw")) return fail(QStringLiteral("no input: give --raw FILE or --wfdb RECORD"));
        if (!has("rate")) return fail(QStringLiteral("--raw needs --rate, the file's samples per second"));
        if (!has("channels")) return fail(QStringLiteral("--raw needs --channels, the channels per frame"));
        options_->input = BeatsOptions::Input::Raw;
        options_->inputPath = value("raw");
        return number("rate", Recording::kMinimumInputRate, Recording::kMaximumInputRate, &options_->raw.rate) &&
               integer("channels", 1, ChannelTable::kChannelCount, &options_->raw.channels) &&
               number("range-mv", 0.001, kMaxRangeMv, &options_->raw.rangeMv);
    }

    // "--leads II,V5": the names of the input's leads in order, for a header
    // that names them otherwise.
    bool leads() {
        if (!has("leads")) return true;
        const QStringList names = value("leads").split(QLatin1Char(','));
        for (const QString &name : names) {
            if (name.trimmed().isEmpty()) return fail(QStringLiteral("--leads has an empty name"));
            options_->leadNames << name.trimmed();
        }
        return true;
    }

    bool outputs() {
        options_->outPath = value("out");
        options_->summaryPath = value("summary-json");
        if (!options_->outPath.isEmpty() && options_->outPath == options_->summaryPath)
            return fail(QStringLiteral("--out and --summary-json name the same file"));
        return true;
    }

private:
    BeatsOptions *options_;
    std::map<QString, QString> values_;
};

}  // namespace

BeatsOptions BeatsOptions::parse(const QStringList &arguments) {
    BeatsOptions options;
    Parser parser(&options);
    if (!parser.split(arguments) || options.helpRequested) return options;
    if (parser.input() && parser.leads()) parser.outputs();
    return options;
}

QString BeatsOptions::helpText() {
    return QStringLiteral(
        "Usage: tarvelin-ecg-cli beats (--raw FILE --rate R --channels N [--range-mv MV] | --wfdb RECORD)\n"
        "                              [--leads NAME,...] [--out FILE] [--summary-json FILE]\n"
        "Finds and classifies the beats of a recording and writes one CSV row per beat.\n"
        "\n"
        "Input, one of:\n"
        "  --raw FILE           headerless frames of 16-bit little-endian samples, one per\n"
        "                       channel in the order I II III aVR aVL aVF V1-V6 CM5 CR5\n"
        "    --rate R           its sampling rate in samples/s\n"
        "    --channels N       channels per frame, 1 to 14\n"
        "    --range-mv MV      its amplitude range: the 16-bit span is +-MV millivolts (default 300)\n"
        "  --wfdb RECORD        a WFDB record, PATH/NAME of its .hea header; signal formats 16\n"
        "                       and 212; leads are matched to the channels above by name\n"
        "                       (MLII as II), other leads are not used\n"
        "  --leads NAME,...     the names of the input's leads in order, when the file names\n"
        "                       them otherwise (for example ECG1,ECG2 recorded as II and V5:\n"
        "                       --leads II,V5); \"-\" leaves a lead unused\n"
        "\n"
        "Output:\n"
        "  --out FILE           the beat table (CSV); standard output when omitted. Columns:\n"
        "                       index, sample (in the input's own sample numbering), time_s,\n"
        "                       rr_s, avg_rr_s, normal (1, or 0 for premature), quality\n"
        "  --summary-json FILE  input, mean heart rate, beat counts and the average beat's\n"
        "                       resting measurements\n"
        "  -h, --help           this text\n"
        "\n"
        "Rates other than 250, 500 and 1000 samples/s are resampled to 500 for the analysis.\n"
        "Exit status: 0 done, 1 input or output error, 2 bad arguments.\n");
}
