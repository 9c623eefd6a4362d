#pragma once
// The live display's filter chain over the display feed: the drift high-pass
// (always, at 500 samples/s), then the switchable line notch, muscle and
// baseline stages, each following the output buffer of the one before.

#include "analysis/SignalBuffer.h"
#include "analysis/StreamStage.h"

#include <QString>
#include <memory>
#include <vector>

class LiveFilterChain {
public:
    enum class StageRole { DriftHighPass, LineNotch, MuscleLowPass, BaselineFir, BaselineFft };
    struct StageInfo {
        StageRole role;
        int taps;   // window length for the FFT stage
        int delay;  // samples the stage's output lags its input (at most)
    };

    // Builds the chain with every switch off, so the drift high-pass is in
    // place from the start at 500 samples/s.
    explicit LiveFilterChain(SignalBuffer &input, const QString &notchOption = QStringLiteral("50hz"),
                             const QString &muscleOption = QStringLiteral("40hz"),
                             const QString &baselineOption = QStringLiteral("fir"));
    ~LiveFilterChain();
    LiveFilterChain(const LiveFilterChain &) = delete;
    LiveFilterChain &operator=(const LiveFilterChain &) = delete;

    // Destroys every stage and builds the chain anew from the input's current
    // end: the output then shows only samples that arrive afterwards. Any
    // source taken from output() before is gone.
    void configure(bool notch, bool muscle, bool baseline);

    // The last stage's output, or the input when no stage applies.
    SignalSource &output() const;
    std::vector<StageInfo> stages() const;
    SignalBuffer &input() const { return input_; }

    bool notchOn() const { return notchOn_; }
    bool muscleOn() const { return muscleOn_; }
    bool baselineOn() const { return baselineOn_; }

private:
    struct Slot {
        std::unique_ptr<SignalBuffer> output;  // declared first: outlives its stage
        std::unique_ptr<StreamStage> stage;
        StageInfo info;
    };

    void tearDown();
    // A fresh output buffer shaped like the chain's input.
    std::unique_ptr<SignalBuffer> makeOutput() const;
    void addFir(StageRole role, const double *taps, int length, int delay);
    void addFftBaseline();

    SignalBuffer &input_;
    QString notchOption_, muscleOption_, baselineOption_;
    bool notchOn_ = false, muscleOn_ = false, baselineOn_ = false;
    std::vector<Slot> slots_;
};
