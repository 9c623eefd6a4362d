#include "analysis/WaveletScales.h"

#include <algorithm>

WaveletScales::WaveletScales(SignalSource &source, int minimumSamples) : start_(source.length()) {
    const int block = source.blockSize();
    const int blocks = std::max(10, (minimumSamples + block - 1) / block);
    for (int k = 1; k <= WaveletTables::kScaleCount; ++k) {
        const auto i = static_cast<std::size_t>(k - 1);
        taps_[i] = WaveletTables::taps(k);
        buffers_[i] =
            std::make_unique<DoubleSignalBuffer>(block, blocks * block, source.channelCount(), source.samplingRate());
        stages_[i] = std::make_unique<DoubleFirStage>(source, *buffers_[i], taps_[i].data(),
                                                      static_cast<int>(taps_[i].size()), WaveletTables::delay(k));
    }
}

WaveletScales::~WaveletScales() = default;

void WaveletScales::process() {
    for (auto &stage : stages_) stage->process();
}

std::int64_t WaveletScales::available() const {
    std::int64_t end = buffers_[0]->length();
    for (const auto &b : buffers_) end = std::min(end, b->length());
    return end;
}

std::int64_t WaveletScales::firstHeld() const {
    std::int64_t first = buffers_[0]->firstHeld();
    for (const auto &b : buffers_) first = std::max(first, b->firstHeld());
    return first;
}
