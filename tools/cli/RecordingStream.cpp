#include "tools/cli/RecordingStream.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>

namespace {
// Input frames read per refill.
constexpr std::int64_t kInputBlockFrames = 4096;
}  // namespace

RecordingStream::RecordingStream(std::unique_ptr<SignalBlockReader> reader) : reader_(std::move(reader)) {}

RecordingStream::~RecordingStream() = default;

std::unique_ptr<RecordingStream> RecordingStream::open(std::unique_ptr<SignalBlockReader> reader, QString *error) {
    const InputSignals &input = reader->description();
    if (!(input.rate >= Recording::kMinimumInputRate && input.rate <= Recording::kMaximumInputRate)) {
        *error = QStringLiteral("%1: a sampling rate of %2 samples/s is outside %3 to %4")
                     .arg(input.source)
                     .arg(input.rate)
                     .arg(Recording::kMinimumInputRate)
                     .arg(Recording::kMaximumInputRate);
        return nullptr;
    }
    std::unique_ptr<RecordingStream> stream(new RecordingStream(std::move(reader)));
    RecordingStream &s = *stream;
    s.rate_ = Resampler::analysisRateFor(input.rate);
    const std::int64_t inputLength = s.reader_->length();
    s.length_ = s.rate_ == input.rate ? inputLength : Resampler::outputLength(inputLength, input.rate, s.rate_);
    std::vector<int> leadOfChannel(ChannelTable::kChannelCount, -1);
    for (std::size_t i = 0; i < input.leads.size(); ++i) {
        const InputLead &lead = input.leads[i];
        if (lead.channel < 0)
            s.unmappedLeads_ << lead.name;
        else
            leadOfChannel[static_cast<std::size_t>(lead.channel)] = static_cast<int>(i);
    }
    for (int c = 0; c < ChannelTable::kChannelCount; ++c) {
        const int lead = leadOfChannel[static_cast<std::size_t>(c)];
        if (lead < 0) continue;
        s.channels_.push_back(c);
        s.leadOf_.push_back(static_cast<std::size_t>(lead));
    }
    if (s.channels_.empty()) {
        QStringList names;
        for (const InputLead &lead : input.leads) names << lead.name;
        *error = QStringLiteral("%1: none of its leads (%2) is one the analysis knows (%3)")
                     .arg(input.source, names.join(QStringLiteral(", ")),
                          ChannelTable::maskedNames(ChannelTable::kAllChannelsMask).join(QStringLiteral(", ")));
        return nullptr;
    }
    try {
        if (s.rate_ != input.rate)
            for (std::size_t k = 0; k < s.channels_.size(); ++k)
                s.resamplers_.push_back(std::make_unique<Resampler::Stream>(input.rate, s.rate_, inputLength));
    } catch (const std::exception &failure) {
        *error = QString::fromLocal8Bit(failure.what());
        return nullptr;
    }
    s.pending_.resize(s.channels_.size());
    return stream;
}

std::int32_t RecordingStream::channelMask() const {
    std::uint32_t mask = 0;
    for (int c : channels_) mask |= 1u << c;
    return static_cast<std::int32_t>(mask);
}

QStringList RecordingStream::presentChannels() const { return ChannelTable::maskedNames(channelMask()); }

QStringList RecordingStream::missingChannels() const { return ChannelTable::maskedNames(~channelMask()); }

std::int16_t RecordingStream::quantise(double millivolts) {
    const double units = std::round(millivolts / Recording::kMillivoltsPerUnit);
    constexpr double lowest = std::numeric_limits<std::int16_t>::min();
    constexpr double highest = std::numeric_limits<std::int16_t>::max();
    if (units < lowest || units > highest) {
        ++clippedSamples_;
        return static_cast<std::int16_t>(units < lowest ? lowest : highest);
    }
    return static_cast<std::int16_t>(units);
}

void RecordingStream::fill() {
    // What was handed out already is dropped before more is added.
    if (pendingStart_ > 0) {
        for (auto &samples : pending_) samples.erase(samples.begin(), samples.begin() + pendingStart_);
        pendingStart_ = 0;
    }
    const std::int64_t n = reader_->read(kInputBlockFrames, block_);
    if (n == 0) {
        inputDone_ = true;
        return;
    }
    for (std::size_t k = 0; k < channels_.size(); ++k) {
        const std::vector<double> &lead = block_[leadOf_[k]];
        const std::vector<double> *millivolts = &lead;
        if (!resamplers_.empty()) {
            converted_.clear();
            resamplers_[k]->push(lead.data(), lead.size(), converted_);
            millivolts = &converted_;
        }
        std::vector<std::int16_t> &out = pending_[k];
        for (double value : *millivolts) out.push_back(quantise(value));
    }
}

int RecordingStream::read(int frames, std::vector<std::vector<std::int16_t>> &rows) {
    while (!inputDone_ && pending_.front().size() - pendingStart_ < static_cast<std::size_t>(frames)) fill();
    const std::size_t n =
        std::min(static_cast<std::size_t>(std::max(frames, 0)), pending_.front().size() - pendingStart_);
    rows.resize(channels_.size());
    for (std::size_t k = 0; k < channels_.size(); ++k) {
        const auto first = pending_[k].begin() + static_cast<std::ptrdiff_t>(pendingStart_);
        rows[k].assign(first, first + static_cast<std::ptrdiff_t>(n));
    }
    pendingStart_ += n;
    return static_cast<int>(n);
}

bool RecordingStream::readAll(Recording *recording, QString *error) {
    *recording = Recording();
    recording->source = source();
    recording->inputRate = inputRate();
    recording->rate = rate_;
    recording->unmappedLeads = unmappedLeads_;
    std::vector<std::vector<std::int16_t>> rows;
    try {
        while (read(static_cast<int>(kInputBlockFrames), rows) > 0)
            for (std::size_t k = 0; k < channels_.size(); ++k) {
                auto &samples = recording->samples[static_cast<std::size_t>(channels_[k])];
                samples.insert(samples.end(), rows[k].begin(), rows[k].end());
            }
    } catch (const std::exception &failure) {
        *error = QString::fromLocal8Bit(failure.what());
        return false;
    }
    recording->clippedSamples = clippedSamples_;
    return true;
}
