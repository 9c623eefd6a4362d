#pragma once
// Moves an accepted beat's wave points onto the device-rate signal: the
// detector found them at 250 samples/s, so each is nudged to the nearest
// turning point of the lightly smoothed full-rate lead.

#include "analysis/BeatRecord.h"

class SignalSource;

// Refines the P, R and T peaks and the Q and S points of the first `channels`
// leads of `beat` in place, reading its window from `deviceSignal`. Peaks go
// to a maximum (a minimum when the wave's polarity is -1), Q and S to either;
// a point with no such turning point within 6 samples stays where it was.
void refinePoints(BeatRecord &beat, const SignalSource &deviceSignal, int channels);
