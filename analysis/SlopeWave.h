#pragma once
// Finds a rounded wave (P or T) in a window of a smoothed beat by its slopes:
// the steepest rise and fall give its polarity and peak, and the straight
// stretches around them, carried down to the baseline on either side, its
// limits.

#include <vector>

struct SlopeWave {
    bool found = false;
    int onset = 0;
    int peak = 0;
    int end = 0;
};

// Looks for the wave's steepest slopes in [from, to] of a smoothed `beat`.
// The wave must stand at least `minimumHeight` above (or below) the baseline
// on both sides, otherwise the window holds no wave. The limits may lie
// outside [from, to] where a flank carried down reaches its baseline there,
// but never outside the beat.
SlopeWave findSlopeWave(const std::vector<double> &beat, int from, int to, double minimumHeight);
