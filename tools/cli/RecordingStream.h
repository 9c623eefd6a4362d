#pragma once
// A recording fitted to the beat analysis and handed out a block at a time:
// the channel table's channels at an analysis rate (250, 500 or 1000
// samples/s), quantised to the device's 16-bit scale. The input file is read
// as the blocks are asked for, so memory stays flat whatever its length.

#include "tools/cli/AnalysisInput.h"
#include "tools/cli/Recording.h"
#include "tools/cli/Resampler.h"
#include "tools/cli/SignalBlockReader.h"

#include <QStringList>
#include <memory>
#include <vector>

class RecordingStream : public AnalysisInput {
public:
    // Null with a message when no lead of the input is a table channel or
    // its rate cannot be converted.
    static std::unique_ptr<RecordingStream> open(std::unique_ptr<SignalBlockReader> reader, QString *error);
    ~RecordingStream() override;

    QString source() const { return reader_->description().source; }
    double inputRate() const { return reader_->description().rate; }
    int rate() const override { return rate_; }
    // Frames at the analysis rate, known before any is read.
    std::int64_t length() const { return length_; }
    double seconds() const { return static_cast<double>(length_) / rate_; }
    // Present channels, in table order.
    const std::vector<int> &channels() const override { return channels_; }
    std::int32_t channelMask() const;
    QStringList presentChannels() const;
    QStringList missingChannels() const;
    const QStringList &unmappedLeads() const { return unmappedLeads_; }
    // Every file read, so outputs never overwrite one.
    const QStringList &files() const { return reader_->description().files; }
    // Oddities of the input found while opening it.
    const QStringList &warnings() const { return reader_->description().warnings; }
    // Samples beyond +-300 mV held at the limit, in the blocks read so far.
    std::int64_t clippedSamples() const { return clippedSamples_; }

    int read(int frames, std::vector<std::vector<std::int16_t>> &rows) override;

    // The rest of the recording at once.
    bool readAll(Recording *recording, QString *error);

private:
    explicit RecordingStream(std::unique_ptr<SignalBlockReader> reader);
    void fill();
    std::int16_t quantise(double millivolts);

    std::unique_ptr<SignalBlockReader> reader_;
    int rate_ = 500;
    std::int64_t length_ = 0;
    std::vector<int> channels_;
    std::vector<std::size_t> leadOf_;                             // reader lead feeding each present channel
    std::vector<std::unique_ptr<Resampler::Stream>> resamplers_;  // empty at an analysis rate
    QStringList unmappedLeads_;
    std::int64_t clippedSamples_ = 0;

    std::vector<std::vector<double>> block_;
    std::vector<double> converted_;
    // Quantised samples not yet handed out, per present channel, from `pendingStart_`.
    std::vector<std::vector<std::int16_t>> pending_;
    std::size_t pendingStart_ = 0;
    bool inputDone_ = false;
};
