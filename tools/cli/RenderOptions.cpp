#include "tools/cli/RenderOptions.h"

#include "ui/DisplayColorScheme.h"
#include "ui/EcgPaperScale.h"

#include <cmath>
#include <map>

namespace {

constexpr double kMostSeconds = 600.0;
constexpr double kFewestDpi = 50.0;
constexpr double kMostDpi = 2400.0;

// The options `beats` reads its input from; everything else is ours.
bool isInputOption(const QString &name) {
    return name == QLatin1String("raw") || name == QLatin1String("rate") || name == QLatin1String("channels") ||
           name == QLatin1String("range-mv") || name == QLatin1String("wfdb");
}

bool readNumber(const QString &name, const QString &text, double minimum, double maximum, double *out, QString *error) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < minimum || value > maximum) {
        *error = QStringLiteral("--%1 expects a number from %2 to %3, not \"%4\"")
                     .arg(name)
                     .arg(minimum)
                     .arg(maximum)
                     .arg(text);
        return false;
    }
    *out = value;
    return true;
}

bool readChoice(const QString &name, const QString &text, double *out, bool (*allowed)(double), QString *error,
                const char *choices) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !allowed(value)) {
        *error = QStringLiteral("--%1 expects %2, not \"%3\"").arg(name, QLatin1String(choices), text);
        return false;
    }
    *out = value;
    return true;
}

bool readFilters(const QString &text, RenderOptions *options, QString *error) {
    options->notch = options->muscle = options->baseline = false;
    options->filtered = true;
    if (text == QLatin1String("none")) {
        options->filtered = false;
        return true;
    }
    if (text == QLatin1String("all")) {
        options->notch = options->muscle = options->baseline = true;
        return true;
    }
    for (const QString &part : text.split(QLatin1Char(','))) {
        if (part == QLatin1String("notch"))
            options->notch = true;
        else if (part == QLatin1String("muscle"))
            options->muscle = true;
        else if (part == QLatin1String("baseline"))
            options->baseline = true;
        else {
            *error = QStringLiteral("--filters expects none, all or a list of notch, muscle, baseline, not \"%1\"")
                         .arg(text);
            return false;
        }
    }
    return true;
}

}  // namespace

RenderOptions RenderOptions::parse(const QStringList &arguments) {
    RenderOptions options;
    QStringList inputArguments;
    std::map<QString, QString> values;
    auto fail = [&](const QString &message) {
        options.error = message;
        return options;
    };
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
            options.helpRequested = true;
            return options;
        }
        if (!argument.startsWith(QLatin1String("--")) || argument.size() == 2)
            return fail(QStringLiteral("unexpected argument \"%1\"").arg(argument));
        const int equals = argument.indexOf(QLatin1Char('='));
        const QString name = argument.mid(2, equals < 0 ? -1 : equals - 2);
        QString value;
        if (equals >= 0)
            value = argument.mid(equals + 1);
        else if (i + 1 < arguments.size())
            value = arguments[++i];
        else
            return fail(QStringLiteral("--%1 needs a value").arg(name));
        if (isInputOption(name)) {
            inputArguments << QStringLiteral("--%1=%2").arg(name, value);
            continue;
        }
        if (values.count(name)) return fail(QStringLiteral("--%1 is given twice").arg(name));
        values[name] = value;
    }

    options.input = BeatsOptions::parse(inputArguments);
    if (!options.input.error.isEmpty()) return fail(options.input.error);

    QString error;
    for (const auto &entry : values) {
        const QString &name = entry.first;
        const QString &value = entry.second;
        bool ok = true;
        if (name == QLatin1String("out")) {
            options.outPath = value;
        } else if (name == QLatin1String("from")) {
            ok = readNumber(name, value, 0.0, 1e7, &options.from, &error);
        } else if (name == QLatin1String("seconds")) {
            ok = readNumber(name, value, 0.1, kMostSeconds, &options.seconds, &error);
        } else if (name == QLatin1String("layout")) {
            ok = EcgPage::parseLayout(value, &options.layout);
            if (!ok) error = QStringLiteral("--layout expects 12x1, 6x2 or 4x3, not \"%1\"").arg(value);
        } else if (name == QLatin1String("speed")) {
            ok = readChoice(name, value, &options.speed, &EcgPaperScale::isSpeed, &error, "12.5, 25 or 50");
        } else if (name == QLatin1String("gain")) {
            ok = readChoice(name, value, &options.gain, &EcgPaperScale::isGain, &error, "5, 10 or 20");
        } else if (name == QLatin1String("filters")) {
            ok = readFilters(value, &options, &error);
        } else if (name == QLatin1String("scheme")) {
            ok = DisplayColorScheme::exists(value);
            if (ok)
                options.scheme = value;
            else
                error = QStringLiteral("--scheme expects %1, not \"%2\"")
                            .arg(DisplayColorScheme::names().join(QStringLiteral(", ")), value);
        } else if (name == QLatin1String("dpi")) {
            ok = readNumber(name, value, kFewestDpi, kMostDpi, &options.dpi, &error);
        } else {
            return fail(QStringLiteral("unknown option --%1").arg(name));
        }
        if (!ok) return fail(error);
    }
    if (options.outPath.isEmpty()) return fail(QStringLiteral("--out FILE.png or FILE.pdf is required"));
    if (options.outPath.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        options.format = Format::Pdf;
    else if (options.outPath.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        options.format = Format::Png;
    else
        return fail(QStringLiteral("--out must name a .png or .pdf file, not \"%1\"").arg(options.outPath));
    if (options.format == Format::Pdf && values.count(QStringLiteral("dpi")))
        return fail(QStringLiteral("--dpi applies to PNG output; a PDF page is drawn at true scale"));
    return options;
}

QString RenderOptions::helpText() {
    return QStringLiteral(
        "Usage: tarvelin-ecg-cli render (--raw FILE --rate R --channels N [--range-mv MV] | --wfdb RECORD)\n"
        "                               --out FILE.png|FILE.pdf [--from S] [--seconds N]\n"
        "                               [--layout 12x1|6x2|4x3] [--speed 12.5|25|50] [--gain 5|10|20]\n"
        "                               [--filters none|all|notch,muscle,baseline]\n"
        "                               [--scheme Light|Blue|Black] [--dpi N]\n"
        "Draws a page of a recording on ECG paper with the painter of the displays.\n"
        "\n"
        "Input: as for `beats` (--raw with --rate and --channels, or --wfdb).\n"
        "  --out FILE      a .pdf page at true scale (1 mm of paper is 1 mm of the page)\n"
        "                  or a .png image at --dpi\n"
        "  --from S        first second drawn (default 0)\n"
        "  --seconds N     span drawn (default 10)\n"
        "  --layout L      12x1 (default), 6x2, or 4x3 with a rhythm strip of II\n"
        "  --speed MM      paper speed in mm/s (default 25)\n"
        "  --gain MM       mm per mV (default 10)\n"
        "  --filters F     the review filters: none (the recording as stored), all\n"
        "                  (default), or a comma list of notch, muscle, baseline\n"
        "  --scheme S      colour scheme (default Light)\n"
        "  --dpi N         PNG resolution in dots per inch (default 300)\n"
        "  -h, --help      this text\n"
        "\n"
        "Exit status: 0 done, 1 input or output error, 2 bad arguments.\n");
}
