// Test helper: takes the single-instance segment under the key given as the
// first argument, says so on stdout, and waits until it is killed.
#include "app/SingleInstanceGuard.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) return 2;
    SingleInstanceGuard guard(QString::fromLocal8Bit(argv[1]));
    if (!guard.tryAcquire()) {
        std::puts("refused");
        return 1;
    }
    std::puts("held");
    std::fflush(stdout);
    for (;;) QThread::sleep(1);
}
