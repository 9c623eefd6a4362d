#include "tools/sim/DeviceSimOptions.h"

#include "analysis/ChannelTable.h"

#include <cmath>

namespace {
constexpr double kMaxCorruptBytesPerSecond = 10000.0;
constexpr double kMaxSilentAfterSeconds = 86400.0;

bool isOption(const QString &argument) { return argument.startsWith(QLatin1String("--")); }

// The derived leads are computed by the host, so they cannot be held high.
bool isSentLead(int channel) { return channel >= 0 && (channel < 3 || channel > 5); }

class Parser {
public:
    Parser(const QStringList &arguments, DeviceSimOptions *options) : arguments_(arguments), options_(options) {}

    void run() {
        while (index_ < arguments_.size() && options_->error.isEmpty()) {
            const QString option = arguments_[index_++];
            if (option == QLatin1String("--help") || option == QLatin1String("-h"))
                options_->helpRequested = true;
            else if (option == QLatin1String("--hr-protocol"))
                options_->link = DeviceLinkKind::HighRate;
            else if (option == QLatin1String("--link"))
                value(option, &options_->linkPath);
            else if (option == QLatin1String("--input"))
                value(option, &options_->inputPath);
            else if (option == QLatin1String("--sent"))
                value(option, &options_->sentPath);
            else if (option == QLatin1String("--battery"))
                battery(option);
            else if (option == QLatin1String("--electrode-off"))
                electrodes(option);
            else if (option == QLatin1String("--saturate"))
                saturate(option);
            else if (option == QLatin1String("--corrupt"))
                number(option, 0.0, kMaxCorruptBytesPerSecond, &options_->corruptBytesPerSecond);
            else if (option == QLatin1String("--silent-after"))
                number(option, 0.0, kMaxSilentAfterSeconds, &options_->silentAfterSeconds);
            else
                fail(QStringLiteral("unknown option \"%1\"").arg(option));
        }
    }

private:
    bool value(const QString &option, QString *out) {
        if (index_ >= arguments_.size() || isOption(arguments_[index_]) || arguments_[index_].isEmpty())
            return fail(QStringLiteral("%1 expects a value").arg(option));
        *out = arguments_[index_++];
        return true;
    }

    bool number(const QString &option, double minimum, double maximum, double *out) {
        QString text;
        if (!value(option, &text)) return false;
        bool ok = false;
        const double number = text.toDouble(&ok);
        if (!ok || !std::isfinite(number) || number < minimum || number > maximum)
            return fail(QStringLiteral("%1 expects a number from %2 to %3, not \"%4\"")
                            .arg(option)
                            .arg(minimum)
                            .arg(maximum)
                            .arg(text));
        *out = number;
        return true;
    }

    void battery(const QString &option) {
        double volts = 0.0;
        if (!number(option, 0.0, 255 * DeviceSimPacketWriter::kVoltsPerBatteryUnit, &volts)) return;
        options_->batteryByte = static_cast<std::uint8_t>(DeviceSimPacketWriter::batteryByte(volts));
    }

    void electrodes(const QString &option) {
        const QStringList &known = DeviceSimPacketWriter::electrodeNames();
        int taken = 0;
        while (index_ < arguments_.size() && !isOption(arguments_[index_])) {
            const QString name = arguments_[index_++].toUpper();
            if (!known.contains(name))
                return void(fail(QStringLiteral("%1: unknown electrode \"%2\" (electrodes are %3)")
                                     .arg(option, name, known.join(QStringLiteral(", ")))));
            if (!options_->electrodesOff.contains(name)) options_->electrodesOff << name;
            ++taken;
        }
        if (taken == 0) fail(QStringLiteral("%1 expects one or more electrode names").arg(option));
    }

    void saturate(const QString &option) {
        QString name;
        if (!value(option, &name)) return;
        int channel = -1;
        for (int i = 0; i < ChannelTable::kChannelCount; ++i)
            if (ChannelTable::name(i).compare(name, Qt::CaseInsensitive) == 0) channel = i;
        if (!isSentLead(channel))
            return void(fail(QStringLiteral("%1 expects a lead the device sends (I, II, III, V1 ... V6, CM5, CR5), "
                                            "not \"%2\"")
                                 .arg(option, name)));
        options_->saturatedLead = channel;
    }

    bool fail(const QString &message) {
        if (options_->error.isEmpty()) options_->error = message;
        return false;
    }

    const QStringList &arguments_;
    DeviceSimOptions *options_;
    int index_ = 0;
};
}  // namespace

DeviceSimOptions DeviceSimOptions::parse(const QStringList &arguments) {
    DeviceSimOptions options;
    Parser(arguments, &options).run();
    return options;
}

QString DeviceSimOptions::helpText() {
    return QStringLiteral("Usage: tarvelin-ecg-sim device [options]\n"
                          "Plays the ECG front end on a pseudo-terminal until interrupted; prints the\n"
                          "terminal's path as the first line of output.\n"
                          "  --link PATH            also make PATH a symbolic link to the terminal\n"
                          "  --hr-protocol          HR link: 34-byte packets, 1000 per second\n"
                          "                         (default: standard link, 40-byte packets, 500 per second)\n"
                          "  --input FILE           samples from a recording in the demonstration format,\n"
                          "                         replayed in a loop (default: the synthetic model)\n"
                          "  --battery VOLTS        battery voltage reported (default 3.0)\n"
                          "  --electrode-off NAME...  report electrodes off: LA LL RA V1 ... V6\n"
                          "  --saturate LEAD        hold a sent lead at +32700, out of range\n"
                          "  --corrupt BYTES_PER_S  flip that many random bytes of the stream per second\n"
                          "  --silent-after S       fall silent after S seconds of streaming; the next\n"
                          "                         start command (the host reconnecting) resumes it\n"
                          "  --sent FILE            record the frame of every packet sent, as the host\n"
                          "                         should decode it (14 little-endian 16-bit samples)\n");
}
