#include "tools/cli/SignalBlockReader.h"

#include <algorithm>
#include <exception>

namespace {
constexpr std::int64_t kReadAllBlockFrames = 65536;
}

bool SignalBlockReader::readAll(InputSignals *out, QString *error) {
    *out = description_;
    std::vector<std::vector<double>> block;
    try {
        for (auto &lead : out->leads) lead.millivolts.reserve(static_cast<std::size_t>(length_));
        while (read(kReadAllBlockFrames, block) > 0)
            for (std::size_t i = 0; i < out->leads.size(); ++i)
                out->leads[i].millivolts.insert(out->leads[i].millivolts.end(), block[i].begin(), block[i].end());
    } catch (const std::exception &failure) {
        *error = QString::fromLocal8Bit(failure.what());
        return false;
    }
    return true;
}

InputSignalsReader::InputSignalsReader(InputSignals input) : input_(std::move(input)) {
    description_ = input_;
    for (auto &lead : description_.leads) lead.millivolts = {};
    length_ = input_.length();
}

std::int64_t InputSignalsReader::read(std::int64_t frames, std::vector<std::vector<double>> &block) {
    const std::int64_t n = std::max<std::int64_t>(0, std::min(frames, length_ - position_));
    block.resize(input_.leads.size());
    for (std::size_t i = 0; i < input_.leads.size(); ++i) {
        const auto &samples = input_.leads[i].millivolts;
        // Leads of unequal length read as their own length allows.
        const auto from = static_cast<std::size_t>(std::min<std::int64_t>(position_, samples.size()));
        const auto to = static_cast<std::size_t>(std::min<std::int64_t>(position_ + n, samples.size()));
        block[i].assign(samples.begin() + from, samples.begin() + to);
    }
    position_ += n;
    return n;
}
