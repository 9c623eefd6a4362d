// tarvelin-ecg-bench: one line per benchmark, "<name>: <value> <unit>".
// Ratios are seconds of signal processed per CPU second on one core.

#include "BenchClock.h"
#include "Benchmarks.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>

int main(int argc, char **argv) {
    // The display benchmarks paint widgets, offscreen unless told otherwise.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The windows read their options from the settings; the benchmarks run on
    // the defaults, never on whatever the user of this machine has chosen.
    QTemporaryDir settings;
    if (!settings.isValid()) {
        std::fprintf(stderr, "tarvelin-ecg-bench: no temporary folder for the settings\n");
        return 1;
    }
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    const QStringList only = app.arguments().mid(1);
    for (const Benchmark &b : allBenchmarks()) {
        if (!only.isEmpty() && !only.contains(QString::fromLatin1(b.name))) continue;
        const BenchResult r = b.run();
        // Sub-millisecond figures keep three decimals, so a fast result never
        // reads as a zero that looks like a broken measurement.
        const int decimals = r.value != 0.0 && std::fabs(r.value) < 1.0 ? 3 : 1;
        std::printf("%s: %.*f %s\n", b.name, decimals, r.value, r.unit);
        std::fflush(stdout);
    }
    return 0;
}
