#include "tools/sim/EquipmentSimulator.h"

#include "tools/sim/DeviceSimPty.h"
#include "tools/sim/EquipmentSimProtocol.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <memory>
#include <poll.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) { stopRequested = 1; }

const char *const kUsage = "Usage: tarvelin-ecg-sim kipnet|olmo [--link PATH]\n"
                           "Plays a Kip Machines treadmill (kipnet) or an OLMO ergometer (olmo) on a\n"
                           "pseudo-terminal. The first output line is the port to configure; each\n"
                           "command received follows on a line of its own. Stop with Ctrl+C.\n"
                           "  --link PATH   also make PATH a symbolic link to the port (removed on exit)\n"
                           "  --help        show this text\n";

int usageError(const QString &protocol, const QString &message) {
    std::fprintf(stderr, "tarvelin-ecg-sim %s: %s\n%s", qPrintable(protocol), qPrintable(message), kUsage);
    return 2;
}

bool writeAll(int fd, const QByteArray &bytes) {
    int written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, static_cast<size_t>(bytes.size() - written));
        if (n > 0) {
            written += static_cast<int>(n);
        } else if (n < 0 && errno != EINTR && errno != EAGAIN) {
            return false;
        } else {
            pollfd entry{fd, POLLOUT, 0};
            ::poll(&entry, 1, 100);
        }
    }
    return true;
}

void serve(int master, EquipmentSimProtocol &protocol) {
    char buffer[256];
    while (!stopRequested) {
        pollfd entry{master, POLLIN, 0};
        if (::poll(&entry, 1, 100) <= 0) continue;
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0) {
            // No program has the port open (the terminal reports a hang-up),
            // or nothing came after all.
            ::usleep(20000);
            continue;
        }
        for (const SimExchange &exchange : protocol.feed(QByteArray(buffer, static_cast<int>(n)))) {
            std::printf("%s\n", exchange.command.constData());
            std::fflush(stdout);
            if (!exchange.reply.isEmpty()) writeAll(master, exchange.reply);
        }
    }
}

}  // namespace

int EquipmentSimulator::run(const QString &protocolName, const QStringList &arguments) {
    QString link;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (argument != QLatin1String("--link")) return usageError(protocolName, "unknown option " + argument);
        if (i + 1 >= arguments.size()) return usageError(protocolName, QStringLiteral("--link needs a path"));
        link = arguments[++i];
    }

    std::unique_ptr<EquipmentSimProtocol> protocol;
    if (protocolName == QLatin1String("kipnet"))
        protocol = std::make_unique<KipnetSimProtocol>();
    else
        protocol = std::make_unique<OlmoSimProtocol>();

    DeviceSimPty terminal;
    QString error;
    if (!terminal.open(link, &error)) {
        std::fprintf(stderr, "tarvelin-ecg-sim %s: %s\n", qPrintable(protocolName), qPrintable(error));
        return 1;
    }

    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);

    std::printf("%s\n", qPrintable(terminal.slavePath()));
    std::fflush(stdout);
    serve(terminal.masterFd(), *protocol);
    return 0;  // the terminal removes its link
}
