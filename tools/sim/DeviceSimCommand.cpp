#include "tools/sim/DeviceSimCommand.h"

#include "tools/sim/DeviceSimLink.h"
#include "tools/sim/DeviceSimOptions.h"
#include "tools/sim/DeviceSimPty.h"
#include "tools/sim/DeviceSimSentLog.h"
#include "tools/sim/DeviceSimSignal.h"

#include <cstdio>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace DeviceSimCommand {
namespace {
void printError(const QString &message) { std::fprintf(stderr, "tarvelin-ecg-sim device: %s\n", qPrintable(message)); }

// The stop signals become readable on a descriptor, so the link's single wait
// covers them and the clean-up (link removal, record flush) always runs.
class StopSignals {
public:
    StopSignals() {
        sigemptyset(&mask_);
        sigaddset(&mask_, SIGINT);
        sigaddset(&mask_, SIGTERM);
        sigprocmask(SIG_BLOCK, &mask_, &previous_);
        fd_ = signalfd(-1, &mask_, SFD_NONBLOCK | SFD_CLOEXEC);
    }
    ~StopSignals() {
        // A signal left pending would strike as soon as the mask is restored.
        signalfd_siginfo info;
        while (fd_ >= 0 && ::read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
        }
        if (fd_ >= 0) ::close(fd_);
        sigprocmask(SIG_SETMASK, &previous_, nullptr);
    }
    int fd() const { return fd_; }

private:
    sigset_t mask_;
    sigset_t previous_;
    int fd_ = -1;
};
}  // namespace

int run(const QStringList &arguments) {
    const DeviceSimOptions options = DeviceSimOptions::parse(arguments);
    if (options.helpRequested) {
        std::fputs(qPrintable(DeviceSimOptions::helpText()), stdout);
        return 0;
    }
    if (!options.error.isEmpty()) {
        printError(options.error);
        std::fputs("Try 'tarvelin-ecg-sim device --help'.\n", stderr);
        return 2;
    }

    QString error;
    std::optional<DeviceSimSignal> signal;
    if (options.inputPath.isEmpty())
        signal = DeviceSimSignal::synthetic();
    else
        signal = DeviceSimSignal::fromFile(options.inputPath, &error);
    if (!signal) {
        printError(error);
        return 1;
    }
    DeviceSimSentLog sentLog;
    if (!options.sentPath.isEmpty() && !sentLog.open(options.sentPath, &error)) {
        printError(error);
        return 1;
    }

    const StopSignals stopSignals;
    if (stopSignals.fd() < 0) {
        printError(QStringLiteral("cannot watch for stop signals"));
        return 1;
    }
    DeviceSimPty pty;
    if (!pty.open(options.linkPath, &error)) {
        printError(error);
        return 1;
    }
    std::printf("%s\n", qPrintable(pty.slavePath()));
    std::fflush(stdout);

    DeviceSimLink link(pty.masterFd(), options, std::move(*signal), sentLog);
    link.run(stopSignals.fd());

    if (!sentLog.close(&error)) {
        printError(error);
        return 1;
    }
    return 0;
}

}  // namespace DeviceSimCommand
