#include "Benchmarks.h"

std::vector<Benchmark> signalBenchmarks();

std::vector<Benchmark> allBenchmarks() {
    std::vector<Benchmark> all;
    for (auto &b : signalBenchmarks()) all.push_back(b);
    return all;
}
