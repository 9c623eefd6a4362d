#include "tools/cli/StripCommand.h"

#include "acquisition/FileSignal.h"
#include "reports/EventCapture.h"
#include "reports/StripPrinter.h"
#include "store/StudyStore.h"

#include <QImage>
#include <cmath>
#include <stdexcept>

namespace StripCommand {
namespace {

const char *const kHelp =
    "Usage: tarvelin-ecg-cli strip --store DIR --study ID --leads II,V5 --out FILE [--from S] [--seconds N]\n"
    "                              [--speed 12.5|25|50] [--gain 5|10|20] [--filters all|none] [--png FILE]\n"
    "  Writes leads of a stored study as ESC/P 24-dot bit images at 180 dpi (ESC * 39), time running\n"
    "  along the paper, to FILE (whole or not at all).\n"
    "  --from      seconds of recording at the strip's start (default 0)\n"
    "  --seconds   length of the strip (default 10)\n"
    "  --filters   all: line notch, muscle and baseline filters (the default); none: as acquired\n"
    "  --png       also the strip as the printer puts it on paper, one pixel a dot\n";

struct Options {
    QString store, out, png;
    qint32 study = 0;
    QStringList leads;
    double from = 0.0, seconds = 10.0;
    EcgPaperScale scale;
    bool filtered = true;
    bool help = false;
    QString error;
};

bool number(const QString &text, double *value) {
    bool ok = false;
    *value = text.toDouble(&ok);
    return ok && std::isfinite(*value);
}

Options parse(const QStringList &arguments) {
    Options o;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o.help = true;
            return o;
        }
        if (i + 1 >= arguments.size()) {
            o.error = QStringLiteral("%1 needs a value").arg(a);
            return o;
        }
        const QString value = arguments[++i];
        bool good = true;
        if (a == QLatin1String("--store"))
            o.store = value;
        else if (a == QLatin1String("--out"))
            o.out = value;
        else if (a == QLatin1String("--png"))
            o.png = value;
        else if (a == QLatin1String("--leads"))
            o.leads = value.split(QLatin1Char(','), Qt::SkipEmptyParts);
        else if (a == QLatin1String("--study"))
            good = (o.study = value.toInt()) > 0;
        else if (a == QLatin1String("--from"))
            good = number(value, &o.from) && o.from >= 0.0;
        else if (a == QLatin1String("--seconds"))
            good = number(value, &o.seconds) && o.seconds > 0.0 && o.seconds <= 600.0;
        else if (a == QLatin1String("--speed"))
            good = number(value, &o.scale.mmPerSecond) && EcgPaperScale::isSpeed(o.scale.mmPerSecond);
        else if (a == QLatin1String("--gain"))
            good = number(value, &o.scale.mmPerMillivolt) && EcgPaperScale::isGain(o.scale.mmPerMillivolt);
        else if (a == QLatin1String("--filters") && (value == QLatin1String("all") || value == QLatin1String("none")))
            o.filtered = value == QLatin1String("all");
        else {
            o.error = a == QLatin1String("--filters") ? QStringLiteral("--filters expects all or none")
                                                      : QStringLiteral("unknown option \"%1\"").arg(a);
            return o;
        }
        if (!good) {
            o.error = QStringLiteral("%1 does not take \"%2\"").arg(a, value);
            return o;
        }
    }
    if (o.store.isEmpty() || o.out.isEmpty() || o.study == 0 || o.leads.isEmpty())
        o.error = QStringLiteral("--store, --study, --leads and --out are required");
    return o;
}

}  // namespace

int run(const QStringList &arguments, QTextStream &out, QTextStream &err) {
    const Options options = parse(arguments);
    if (options.help) {
        out << kHelp;
        return 0;
    }
    if (!options.error.isEmpty()) {
        err << "tarvelin-ecg-cli strip: " << options.error << '\n' << kHelp;
        return 2;
    }
    try {
        StudyStore store(options.store);
        // Only read: a strip cannot change the study.
        const Study *study = store.openStudy(options.study, HeaderedFile::Access::ReadOnly);
        if (!study || !study->recording()) {
            err << "tarvelin-ecg-cli strip: Study not found\n";
            return 1;
        }
        FileSignal &signal = *study->recording();
        std::vector<int> channels;
        for (const QString &name : options.leads) {
            const int channel = signal.channelNames().indexOf(name);
            if (channel < 0) {
                err << "tarvelin-ecg-cli strip: the study has no lead " << name << " ("
                    << signal.channelNames().join(QLatin1Char(',')) << ")\n";
                return 2;
            }
            channels.push_back(channel);
        }
        const double rate = signal.samplingRate();
        const std::int64_t first = std::llround(options.from * rate);
        const std::int64_t count =
            std::min<std::int64_t>(std::llround(options.seconds * rate), signal.length() - first);
        if (count <= 0) {
            err << "tarvelin-ecg-cli strip: the recording ends before " << options.from << " s\n";
            return 1;
        }
        const EventFilters filters{options.filtered, options.filtered, options.filtered};
        const std::vector<EcgPageLead> leads =
            EventCapture::readLeads(signal, channels, first, static_cast<int>(count), filters);
        const QImage dots =
            StripPrinter::render(leads, rate, count / rate, options.scale, QStringLiteral("%1 s").arg(options.from));
        StripPrinter::writeFile(StripPrinter::encode(dots), options.out);
        if (!options.png.isEmpty() && !dots.save(options.png, "PNG"))
            throw std::runtime_error(QStringLiteral("Strip could not be written to %1").arg(options.png).toStdString());
        store.closeStudy(study);
        out << options.out << '\t' << dots.width() << " x " << dots.height() << " dots\n";
        return 0;
    } catch (const std::exception &e) {
        err << "tarvelin-ecg-cli strip: " << e.what() << '\n';
        return 1;
    }
}

}  // namespace StripCommand
