#pragma once
// The one call from the command-line tool into the beat analysis path.

#include "analysis/BeatListener.h"
#include "tools/cli/AnalysisInput.h"
#include "tools/cli/BeatSummary.h"
#include "tools/cli/Recording.h"

// Runs the beat analysis over the whole input, a block at a time: tells
// `beats` of every beat in emission order, then fills `average` with the
// resting measurements of the average beat. Throws std::runtime_error when
// the analysis cannot run or the input cannot be read.
void runBeatAnalysis(AnalysisInput &input, BeatListener &beats, RestingMeasurements &average);
// The same over a recording held in memory.
void runBeatAnalysis(const Recording &recording, BeatListener &beats, RestingMeasurements &average);
