#pragma once
// The one call from the command-line tool into the beat analysis path.

#include "analysis/BeatListener.h"
#include "tools/cli/BeatSummary.h"
#include "tools/cli/Recording.h"

// Runs the beat analysis over the whole recording: tells `beats` of every
// beat in emission order, then fills `average` with the resting measurements
// of the average beat. Throws std::runtime_error when the analysis cannot run.
void runBeatAnalysis(const Recording &recording, BeatListener &beats, RestingMeasurements &average);
