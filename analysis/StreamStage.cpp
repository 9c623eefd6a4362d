#include "analysis/StreamStage.h"

StreamStage::StreamStage(SignalSource &input) : input_(input), start_(input.length()) {}

StreamStage::~StreamStage() {
    if (following_) input_.removeListener(this);
}

void StreamStage::followInput() {
    if (following_) return;
    input_.addListener(this);
    following_ = true;
}

void StreamStage::samplesAppended(SignalSource &source) {
    if (&source == &input_) process();
}
