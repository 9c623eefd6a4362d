#pragma once
// The designed FIR coefficient tables of the live and review filter chains,
// looked up by filter option and sampling rate. All tables are linear phase
// (symmetric) except the 382-tap baseline table, whose peak tap is index 191.

#include <QString>
#include <optional>

struct FirTable {
    const double *taps = nullptr;
    int length = 0;
    int delay = 0;  // length / 2, rounded down
};

namespace FirTables {

// Low-pass before 2:1 decimation of a 1000 samples/s signal: 29 taps, delay 14.
FirTable antiAlias1000();

// The live chain's always-on drift high-pass at 500 samples/s: 1501 taps, delay 750.
FirTable driftHighPass500();

// Line notch, option "50hz" or "60hz", at 250 / 500 / 1000 samples/s
// (109 / 195 / 391 taps); none for any other option or rate.
std::optional<FirTable> notch(const QString &option, int rate);

// Muscle-noise low-pass: at 250 samples/s the 62-tap table whatever the
// option; at 500 "40hz" (12 taps) or "25hz" (19); at 1000 "40hz" (22) or
// "25hz" (34); none otherwise.
std::optional<FirTable> muscle(const QString &option, int rate);

// Baseline high-pass "fir" at 250 / 500 / 1000 samples/s (382 / 501 / 1355
// taps); none at other rates.
std::optional<FirTable> baseline(int rate);

// The beat amplitude check's noise low-pass at 250 samples/s: 48 taps,
// delay 24, tap sum 1.0085, gain 0.47 at 10 Hz and under 0.01 from 20 Hz.
FirTable amplitudeNoiseFilter();

// The resting measurement's QRS-end smoother at 250 samples/s: 81 taps,
// delay 40, unit gain to 15 Hz, 0.48 at 20 Hz, under 0.005 from 25 Hz.
FirTable restingSmoother();

}  // namespace FirTables
