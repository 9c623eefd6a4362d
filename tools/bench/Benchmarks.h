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
