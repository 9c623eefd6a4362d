#include "tools/cli/AcquireOptions.h"

#include <cmath>

namespace {
constexpr double kMaxSeconds = 86400.0;

class Parser {
public:
    explicit Parser(AcquireOptions *options) : options_(options) {}

    void run(const QStringList &arguments) {
        for (int i = 0; i < arguments.size() && options_->error.isEmpty(); ++i) {
            const QString &argument = arguments[i];
            if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
                options_->helpRequested = true;
            } else if (argument == QLatin1String("--hr-protocol")) {
                options_->hrProtocol = true;
            } else if (argument == QLatin1String("--port") || argument == QLatin1String("--out") ||
                       argument == QLatin1String("--seconds")) {
                if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
                    fail(QStringLiteral("%1 needs a value").arg(argument));
                    return;
                }
                take(argument, arguments[++i]);
            } else {
                fail(QStringLiteral("unknown argument \"%1\"").arg(argument));
            }
        }
        if (options_->helpRequested || !options_->error.isEmpty()) return;
        if (options_->port.isEmpty())
            fail(QStringLiteral("--port is required"));
        else if (options_->outPath.isEmpty())
            fail(QStringLiteral("--out is required"));
    }

private:
    void take(const QString &name, const QString &value) {
        if (name == QLatin1String("--port")) {
            options_->port = value;
        } else if (name == QLatin1String("--out")) {
            options_->outPath = value;
        } else {
            bool ok = false;
            const double seconds = value.trimmed().toDouble(&ok);
            if (!ok || !std::isfinite(seconds) || seconds <= 0.0 || seconds > kMaxSeconds)
                fail(QStringLiteral("--seconds expects a number above 0 and up to %1, not \"%2\"")
                         .arg(kMaxSeconds)
                         .arg(value));
            else
                options_->seconds = seconds;
        }
    }

    void fail(const QString &message) {
        if (options_->error.isEmpty()) options_->error = message;
    }

    AcquireOptions *options_;
};
}  // namespace

AcquireOptions AcquireOptions::parse(const QStringList &arguments) {
    AcquireOptions options;
    Parser(&options).run(arguments);
    return options;
}

QString AcquireOptions::helpText() {
    return QStringLiteral("Usage: tarvelin-ecg-cli acquire --port PATH [--hr-protocol] [--seconds N] --out FILE\n"
                          "Records from the ECG front end (or its simulator) through the acquisition\n"
                          "driver and reports what the link delivered.\n"
                          "  --port PATH      serial port of the device (a path starting with / is used as given)\n"
                          "  --hr-protocol    HR link at 570000 baud (default: standard link at 230400 baud)\n"
                          "  --seconds N      how long to record (default 10)\n"
                          "  --out FILE       the recording: 14 little-endian 16-bit samples per frame,\n"
                          "                   500 frames per second, in channel-table order\n"
                          "Prints the frames recorded; the frames the link received in the time asked,\n"
                          "against those expected; the rate the link delivered; the battery voltage and\n"
                          "electrodes off at the end; the channels seen saturated at any time; the times\n"
                          "the link lost packet framing (resynchronisations) and the bytes it discarded\n"
                          "then; the longest time without a packet; and the device errors reported.\n"
                          "Exit status: 0 recorded, 1 fewer than 98 % of the expected frames arrived (the\n"
                          "recording is kept), none arrived or the file could not be written,\n"
                          "2 bad arguments.\n");
}
