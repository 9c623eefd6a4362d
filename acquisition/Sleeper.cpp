#include "acquisition/Sleeper.h"

#include <QThread>

namespace {
class SystemSleeper final : public Sleeper {
public:
    void sleepMs(int milliseconds) override {
        if (milliseconds > 0) QThread::msleep(static_cast<unsigned long>(milliseconds));
    }
};
}  // namespace

Sleeper &Sleeper::system() {
    static SystemSleeper sleeper;
    return sleeper;
}
