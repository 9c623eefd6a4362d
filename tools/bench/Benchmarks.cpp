#include "Benchmarks.h"

std::vector<Benchmark> signalBenchmarks();
std::vector<Benchmark> fileBenchmarks();
std::vector<Benchmark> reviewChainBenchmarks();
std::vector<Benchmark> beatAnalysisBenchmarks();
std::vector<Benchmark> liveChainBenchmarks();
std::vector<Benchmark> storeBenchmarks();
std::vector<Benchmark> engineBenchmarks();
std::vector<Benchmark> displayBenchmarks();
std::vector<Benchmark> monitorWindowBenchmarks();
std::vector<Benchmark> reportBenchmarks();
std::vector<Benchmark> reviewWindowBenchmarks();

std::vector<Benchmark> allBenchmarks() {
    std::vector<Benchmark> all;
    for (auto &b : signalBenchmarks()) all.push_back(b);
    for (auto &b : fileBenchmarks()) all.push_back(b);
    for (auto &b : reviewChainBenchmarks()) all.push_back(b);
    for (auto &b : beatAnalysisBenchmarks()) all.push_back(b);
    for (auto &b : liveChainBenchmarks()) all.push_back(b);
    for (auto &b : storeBenchmarks()) all.push_back(b);
    for (auto &b : engineBenchmarks()) all.push_back(b);
    for (auto &b : displayBenchmarks()) all.push_back(b);
    for (auto &b : monitorWindowBenchmarks()) all.push_back(b);
    for (auto &b : reportBenchmarks()) all.push_back(b);
    for (auto &b : reviewWindowBenchmarks()) all.push_back(b);
    return all;
}
