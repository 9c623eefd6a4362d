#pragma once
// A filter stage fed as a stream: attached to an input at the input's current
// length, it processes only samples newer than that, each time it is told
// to, or on every append once it follows its input.

#include "analysis/SignalSource.h"

#include <cstdint>

class StreamStage : public SignalListener {
public:
    explicit StreamStage(SignalSource &input);
    ~StreamStage() override;
    StreamStage(const StreamStage &) = delete;
    StreamStage &operator=(const StreamStage &) = delete;

    SignalSource &input() const { return input_; }
    // The input's length when the stage was attached: earlier samples are
    // never read and count as zeros.
    std::int64_t startPosition() const { return start_; }

    // Consumes whatever the input gained since the last call.
    virtual void process() = 0;

    // Processes on every append to the input from now on, until destroyed.
    void followInput();
    void samplesAppended(SignalSource &source) override;

private:
    SignalSource &input_;
    std::int64_t start_;
    bool following_ = false;
};

// Smallest integer not below a / b, for b > 0 and any sign of a.
inline std::int64_t ceilDiv(std::int64_t a, std::int64_t b) { return a >= 0 ? (a + b - 1) / b : -((-a) / b); }
