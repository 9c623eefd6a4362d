// tarvelin-ecg-bench: one line per benchmark, "<name>: <value> <unit>".
// Ratios are seconds of signal processed per CPU second on one core.

#include "BenchClock.h"
#include "Benchmarks.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char **argv) {
    // The display benchmarks paint widgets, offscreen unless told otherwise.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList only = app.arguments().mid(1);
    for (const Benchmark &b : allBenchmarks()) {
        if (!only.isEmpty() && !only.contains(QString::fromLatin1(b.name))) continue;
        const BenchResult r = b.run();
        std::printf("%s: %.1f %s\n", b.name, r.value, r.unit);
        std::fflush(stdout);
    }
    return 0;
}
