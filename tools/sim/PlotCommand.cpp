#include "tools/sim/PlotCommand.h"

#include "analysis/ChannelTable.h"
#include "tools/sim/model/SimulationConfig.h"
#include "ui/EcgPageOutput.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace PlotCommand {
namespace {

const char *const kHelp = "Usage: tarvelin-ecg-sim plot --in FILE --out PNG [options]\n"
                          "\n"
                          "Draws a span of a recording (int16 little-endian interleaved frames, 600 mV\n"
                          "over 16 bits) on ECG paper: 25 mm/s, 10 mm/mV, the 12 leads in four columns\n"
                          "of three, and rhythm strips of II (and CM5, CR5 when recorded).\n"
                          "\n"
                          "Options (default in brackets):\n"
                          "  --in FILE        recording to read (required)\n"
                          "  --out PNG        image to write (required)\n"
                          "  --rate 500|1000  samples per second per channel [500]\n"
                          "  --start S        first second to draw [0]\n"
                          "  --seconds S      span to draw, 1 to 60 [10]\n"
                          "  --channels N     channels per frame in the file, 1 to 14 [14]\n"
                          "  --help           show this text\n";

// Eight pixels per millimetre of paper.
constexpr double kDotsPerInch = 8.0 * 25.4;

struct PlotOptions {
    QString in;
    QString out;
    int rate = 500;
    double start = 0.0;
    double seconds = 10.0;
    int channels = 14;
};

int usageError(const QString &message) {
    std::fprintf(stderr, "tarvelin-ecg-sim plot: %s\nTry 'tarvelin-ecg-sim plot --help'.\n", qPrintable(message));
    return 2;
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

// Empty error when the arguments are acceptable; "help" when help was asked for.
QString parse(const QStringList &arguments, PlotOptions *options) {
    QString error;
    for (int i = 0; i < arguments.size(); ++i) {
        QString name = arguments[i];
        if (name == QLatin1String("--help") || name == QLatin1String("-h")) return QStringLiteral("help");
        if (!name.startsWith(QLatin1String("--"))) return QStringLiteral("unexpected argument \"%1\"").arg(name);
        name = name.mid(2);
        QString value;
        const int equals = name.indexOf(QLatin1Char('='));
        if (equals >= 0) {
            value = name.mid(equals + 1);
            name = name.left(equals);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            return QStringLiteral("--%1 needs a value").arg(name);
        }
        double number = 0.0;
        if (name == QLatin1String("in")) {
            options->in = value;
        } else if (name == QLatin1String("out")) {
            options->out = value;
        } else if (name == QLatin1String("rate")) {
            if (value != QLatin1String("500") && value != QLatin1String("1000"))
                return QStringLiteral("--rate expects 500 or 1000, not \"%1\"").arg(value);
            options->rate = value.toInt();
        } else if (name == QLatin1String("start")) {
            if (!readNumber(name, value, 0.0, 1e7, &options->start, &error)) return error;
        } else if (name == QLatin1String("seconds")) {
            if (!readNumber(name, value, 1.0, 60.0, &options->seconds, &error)) return error;
        } else if (name == QLatin1String("channels")) {
            if (!readNumber(name, value, 1.0, 14.0, &number, &error)) return error;
            if (number != std::floor(number))
                return QStringLiteral("--channels expects a whole number, not \"%1\"").arg(value);
            options->channels = static_cast<int>(number);
        } else {
            return QStringLiteral("unknown option --%1").arg(name);
        }
    }
    if (options->in.isEmpty()) return QStringLiteral("--in FILE is required");
    if (options->out.isEmpty()) return QStringLiteral("--out PNG is required");
    return QString();
}

}  // namespace

int run(const QStringList &arguments) {
    PlotOptions options;
    const QString problem = parse(arguments, &options);
    if (problem == QLatin1String("help")) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (!problem.isEmpty()) return usageError(problem);

    QFile file(options.in);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "tarvelin-ecg-sim plot: cannot read %s: %s\n", qPrintable(options.in),
                     qPrintable(file.errorString()));
        return 1;
    }
    const qint64 frameBytes = 2LL * options.channels;
    const qint64 frames = file.size() / frameBytes;
    if (file.size() % frameBytes != 0)
        std::fprintf(stderr, "tarvelin-ecg-sim plot: warning: %s ends in a partial frame, which is ignored\n",
                     qPrintable(options.in));
    const qint64 first = std::llround(options.start * options.rate);
    if (first >= frames) {
        std::fprintf(stderr, "tarvelin-ecg-sim plot: %s holds only %.3f s, nothing to draw from %.3f s\n",
                     qPrintable(options.in), static_cast<double>(frames) / options.rate, options.start);
        return 1;
    }
    const qint64 count = std::min<qint64>(std::llround(options.seconds * options.rate), frames - first);
    QByteArray bytes;
    if (!file.seek(first * frameBytes) || (bytes = file.read(count * frameBytes)).size() != count * frameBytes) {
        std::fprintf(stderr, "tarvelin-ecg-sim plot: reading %s failed: %s\n", qPrintable(options.in),
                     qPrintable(file.errorString()));
        return 1;
    }

    std::vector<EcgPageLead> leads(static_cast<std::size_t>(options.channels));
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    for (int c = 0; c < options.channels; ++c) {
        EcgPageLead &lead = leads[static_cast<std::size_t>(c)];
        lead.name = ChannelTable::name(c);
        lead.millivolts.resize(static_cast<std::size_t>(count));
        for (qint64 i = 0; i < count; ++i)
            lead.millivolts[static_cast<std::size_t>(i)] =
                SampleFormat::toMillivolts(qFromLittleEndian<qint16>(data + (i * options.channels + c) * 2));
    }
    const QString title = QStringLiteral("%1    from %2 s    %3 samples/s")
                              .arg(QFileInfo(options.in).fileName())
                              .arg(options.start, 0, 'f', 1)
                              .arg(options.rate);
    // A cardiograph's page: 12 leads in four columns of three, with rhythm
    // strips of II and, when recorded, CM5 and CR5; fewer leads one per row.
    const bool standard = options.channels >= 12;
    EcgPage page(standard ? EcgPage::Layout::FourByThree : EcgPage::Layout::TwelveByOne, options.rate, options.seconds,
                 EcgPaperScale(), DisplayColorScheme::byName(QStringLiteral("Light")));
    page.setTitle(title);
    if (standard) {
        std::vector<int> rhythm = {1};
        for (int extra = 12; extra < options.channels; ++extra) rhythm.push_back(extra);
        page.setRhythmLeads(rhythm);
    }
    try {
        EcgPageOutput::writePng(page, leads, kDotsPerInch, options.out);
    } catch (const std::runtime_error &) {
        std::fprintf(stderr, "tarvelin-ecg-sim plot: cannot write %s\n", qPrintable(options.out));
        return 1;
    }
    return 0;
}

}  // namespace PlotCommand
