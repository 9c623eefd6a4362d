#pragma once
// The benchmarks the bench tool knows, in the order it runs them.

#include <QStringList>
#include <functional>
#include <vector>

struct BenchResult {
    double value;
    const char *unit;
};

struct Benchmark {
    const char *name;
    std::function<BenchResult()> run;
};

std::vector<Benchmark> allBenchmarks();

// The demonstration recording the benchmarks feed on: the build tree's copy,
// or for an installed bench the one installed in PREFIX/share/tarvelin-ecg.
QString demoRecordingPath();
