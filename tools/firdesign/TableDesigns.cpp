// Table designs. Windowed-sinc designs pick their cut-off by root finding
// and their Kaiser beta by a grid search for the flattest pass band; tables
// whose gains are pinned at several points are least-squares designs with
// those gains as exact constraints.
#include "TableDesigns.h"

#include "LeastSquares.h"
#include "RestingSmootherDesign.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace firdesign {

namespace {

constexpr double kTolerance = 1e-11;  // Hz, for every frequency search

std::string format(const char *pattern, double a, double b = 0.0, double c = 0.0) {
    char text[200];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
}

double tapSum(const Taps &taps) {
    double sum = 0.0;
    for (double v : taps) sum += v;
    return sum;
}

std::function<double(double)> gainOf(const Taps &taps, double rate) {
    return [&taps, rate](double f) { return amplitude(taps, f, rate); };
}

// The first -3 dB crossing is where it was aimed; an exact-gain constraint
// or a root could also sit on a later crossing.
bool meetsCorner(const std::optional<double> &found, double corner) {
    return found && std::fabs(*found - corner) < 1e-6;
}

// Kaiser beta candidates: 0 (rectangular) to 12 in steps of 0.25. The grid
// keeps the result reproducible; finer steps change the tables by little.
std::vector<double> betaGrid() {
    std::vector<double> betas;
    for (int i = 0; i <= 48; ++i) betas.push_back(0.25 * i);
    return betas;
}

// ---------------------------------------------------------------- low-pass

std::optional<Taps> lowPassWithCorner(int length, double rate, double corner, double beta) {
    const std::vector<double> window = kaiserWindow(length, beta);
    const auto excess = [&](double cutoff) {
        return amplitude(windowedLowPass(window, cutoff, rate), corner, rate) - kHalfPower;
    };
    const std::optional<double> cutoff = solveBracketed(excess, 0.0, rate / 2.0, kTolerance);
    if (!cutoff) return std::nullopt;
    return windowedLowPass(window, *cutoff, rate);
}

// Short muscle low-passes: the corner fixes the cut-off; beta is the one
// with the lowest stop-band peak from twice the corner to Nyquist.
std::optional<TableDesign> muscleLowPass(const char *symbol, int length, int rate, double corner) {
    std::optional<Taps> best;
    double bestPeak = 0.0;
    double bestBeta = 0.0;
    for (double beta : betaGrid()) {
        const std::optional<Taps> taps = lowPassWithCorner(length, rate, corner, beta);
        if (!taps) continue;
        const double peak = maxDeviation(*taps, rate, 2.0 * corner, rate / 2.0, 0.0);
        if (!best || peak < bestPeak) {
            best = taps;
            bestPeak = peak;
            bestBeta = beta;
        }
    }
    if (!best) return std::nullopt;
    TableDesign d{symbol, rate, *best, format("Kaiser windowed sinc, beta %.2f", bestBeta), {}};
    const auto f3 = levelCrossing(gainOf(d.taps, rate), 0.0, 0.25, rate / 2.0, kHalfPower, kTolerance);
    if (!meetsCorner(f3, corner)) return std::nullopt;
    d.figures.push_back(
        format("-3 dB at %.4f Hz, stop-band peak %.1f dB above %.1f Hz", *f3, decibels(bestPeak), 2.0 * corner));
    d.figures.push_back(format("tap sum %.15f", tapSum(d.taps)));
    return d;
}

// ---------------------------------------------------------------- high-pass

std::optional<Taps> highPassWithCorner(int length, double rate, double corner, double beta) {
    // The complement is at -3 dB where the low-pass is at 1 - 1/sqrt(2).
    const std::vector<double> window = kaiserWindow(length, beta);
    const auto excess = [&](double cutoff) {
        return amplitude(windowedLowPass(window, cutoff, rate), corner, rate) - (1.0 - kHalfPower);
    };
    const std::optional<double> cutoff = solveBracketed(excess, 0.0, 2.0 * corner, kTolerance);
    if (!cutoff) return std::nullopt;
    return complement(windowedLowPass(window, *cutoff, rate));
}

// Drift and baseline high-passes: a unit impulse minus a windowed low-pass
// whose taps sum to 1, so DC is removed. Long as they are, these tables are
// close to the shortest that reach their corners, which leaves little room
// for the window: beta is the one with the smallest pass-band ripple from
// three times the corner over the next 40 resolution bins, where the
// low-pass side lobes are largest, or overshoot closer in, whichever is worse.
std::optional<TableDesign> highPass(const char *symbol, int length, int rate, double corner) {
    std::optional<Taps> best;
    double bestRipple = 0.0;
    double bestBeta = 0.0;
    const double from = 3.0 * corner;
    const double to = std::min(rate / 2.0, from + 40.0 * rate / length);
    for (double beta : betaGrid()) {
        const std::optional<Taps> taps = highPassWithCorner(length, rate, corner, beta);
        if (!taps) continue;
        const double ripple =
            std::max(maxDeviation(*taps, rate, from, to, 1.0), maxDeviation(*taps, rate, 0.0, to, 0.0) - 1.0);
        if (!best || ripple < bestRipple) {
            best = taps;
            bestRipple = ripple;
            bestBeta = beta;
        }
    }
    if (!best) return std::nullopt;
    TableDesign d{symbol, rate, *best, format("unit impulse minus Kaiser windowed sinc, beta %.2f", bestBeta), {}};
    const auto f3 = levelCrossing(gainOf(d.taps, rate), 0.0, corner / 8.0, rate / 2.0, kHalfPower, kTolerance);
    if (!meetsCorner(f3, corner)) return std::nullopt;
    d.figures.push_back(format("-3 dB at %.4f Hz, gain at DC %.1e", *f3, amplitude(d.taps, 0.0, rate)));
    d.figures.push_back(format("worst pass-band error %.2e (overshoot, or ripple from %.2f Hz), "
                               "ripple %.2e over the whole band from there",
                               bestRipple, from, maxDeviation(d.taps, rate, from, rate / 2.0, 1.0)));
    return d;
}

// The 250/s baseline stage reads 382 taps with delay 191. An even-length
// symmetric table would have a forced zero at Nyquist, no use for a
// high-pass, so this is a 381-tap linear-phase design behind one zero tap:
// its centre lands on index 191 and the stage delay is its true delay.
std::optional<TableDesign> baseline250() {
    std::optional<TableDesign> d = highPass("kBaseline250", 381, 250, 0.95);
    if (!d) return std::nullopt;
    d->taps.insert(d->taps.begin(), 0.0);
    d->method += ", 381 taps behind one leading zero";
    return d;
}

// ---------------------------------------------------------------- notch

struct NotchTarget {
    double line;     // mains frequency, Hz
    double lowEdge;  // -3 dB band, Hz
    double highEdge;
    double depthDb;  // attenuation at the mains frequency
};

struct Edges {
    double low;
    double high;
};

std::optional<Edges> notchEdges(const Taps &taps, int rate, double line) {
    const auto gain = gainOf(taps, rate);
    const auto low = levelCrossing(gain, line, -0.25, line - 30.0, kHalfPower, kTolerance);
    const auto high = levelCrossing(gain, line, 0.25, std::min(line + 30.0, rate / 2.0), kHalfPower, kTolerance);
    if (!low || !high) return std::nullopt;
    return Edges{*low, *high};
}

// Line notches: least squares towards 1 outside the band, with unity at DC,
// the two -3 dB edges and the depth at the mains frequency exact. These
// lengths barely resolve their bands, so the response must overshoot next
// to the band; the don't-care margin around the band is the one that keeps
// the worst error (overshoot anywhere, or ripple beyond three half-widths
// of the band from its centre) smallest.
std::optional<TableDesign> notch(const char *symbol, int length, int rate, const NotchTarget &target) {
    const double halfBand = (target.highEdge - target.lowEdge) / 2.0;
    const double centre = (target.lowEdge + target.highEdge) / 2.0;
    LeastSquaresProblem p;
    p.length = length;
    p.rate = rate;
    p.exactGains = {{0.0, 1.0},
                    {target.lowEdge, kHalfPower},
                    {target.highEdge, kHalfPower},
                    {target.line, gainFromDecibels(-target.depthDb)}};
    std::optional<Taps> best;
    double bestError = 0.0;
    double bestMargin = 0.0;
    for (int i = 1; i <= 8; ++i) {
        const double margin = 0.5 * i;
        p.bands = {{0.0, target.lowEdge - margin, 1.0, 1.0}, {target.highEdge + margin, rate / 2.0, 1.0, 1.0}};
        const std::optional<Taps> taps = designLeastSquares(p);
        if (!taps) continue;
        const double error = std::max({maxDeviation(*taps, rate, 0.0, rate / 2.0, 0.0) - 1.0,
                                       maxDeviation(*taps, rate, 0.0, centre - 3.0 * halfBand, 1.0),
                                       maxDeviation(*taps, rate, centre + 3.0 * halfBand, rate / 2.0, 1.0)});
        if (!best || error < bestError) {
            best = taps;
            bestError = error;
            bestMargin = margin;
        }
    }
    if (!best) return std::nullopt;
    TableDesign d{symbol,
                  rate,
                  *best,
                  format("least squares, exact gains at DC, both -3 dB edges and the mains frequency, "
                         "%.2f Hz margins",
                         bestMargin),
                  {}};
    // The edges are constraints, but a second crossing would also satisfy
    // them; the walk outwards from the mains frequency finds the first one.
    const std::optional<Edges> edges = notchEdges(d.taps, rate, target.line);
    if (!edges || std::fabs(edges->low - target.lowEdge) > 1e-6 || std::fabs(edges->high - target.highEdge) > 1e-6)
        return std::nullopt;
    d.figures.push_back(format("-3 dB band %.4f to %.4f Hz, %.1f dB at the mains frequency", edges->low, edges->high,
                               decibels(amplitude(d.taps, target.line, rate))));
    d.figures.push_back(format("gain %.6f at DC, %.6f at 10 Hz, worst error outside the band %.2e",
                               amplitude(d.taps, 0.0, rate), amplitude(d.taps, 10.0, rate), bestError));
    return d;
}

// ---------------------------------------------------------------- least squares

// 2:1 decimation from 1000/s: the gains at 150, 200 and 250 Hz and the
// centre tap are fixed; the rest of the table fits a flat pass band up to
// 150 Hz and an empty stop band from 250 Hz.
std::optional<TableDesign> antiAlias() {
    LeastSquaresProblem p;
    p.length = 29;
    p.rate = 1000.0;
    p.bands = {{0.0, 150.0, 1.0, 1.0}, {250.0, 500.0, 0.0, 1.0}};
    p.exactGains = {{0.0, 1.0}, {150.0, 0.97}, {200.0, 0.49}, {250.0, 0.03}};
    p.centreTap = 0.3979277402170436;
    const std::optional<Taps> taps = designLeastSquares(p);
    if (!taps) return std::nullopt;
    TableDesign d{
        "kAntiAlias1000", 1000, *taps, "least squares, exact gains at 0/150/200/250 Hz and exact centre tap", {}};
    d.figures.push_back(format("gain %.6f at 150 Hz, %.6f at 200 Hz, %.6f at 250 Hz", amplitude(d.taps, 150.0, 1000.0),
                               amplitude(d.taps, 200.0, 1000.0), amplitude(d.taps, 250.0, 1000.0)));
    d.figures.push_back(format("stop-band peak %.1f dB from 250 Hz, tap sum %.15f",
                               decibels(maxDeviation(d.taps, 1000.0, 250.0, 500.0, 0.0)), tapSum(d.taps)));
    return d;
}

// 62 taps cannot fall from -3 dB at 41 Hz to -62 dB at 50 Hz by windowing;
// least squares with both gains as constraints puts a spectral zero just
// above 50 Hz instead.
std::optional<TableDesign> muscle250() {
    LeastSquaresProblem p;
    p.length = 62;
    p.rate = 250.0;
    p.bands = {{0.0, 30.0, 1.0, 1.0}, {50.0, 125.0, 0.0, 1.0}};
    p.exactGains = {{0.0, 1.0}, {41.0, kHalfPower}, {50.0, gainFromDecibels(-62.0)}};
    const std::optional<Taps> taps = designLeastSquares(p);
    if (!taps) return std::nullopt;
    TableDesign d{"kMuscle250", 250, *taps, "least squares, exact gains at 0, 41 (-3 dB) and 50 Hz (-62 dB)", {}};
    const auto f3 = levelCrossing(gainOf(d.taps, 250.0), 0.0, 0.25, 125.0, kHalfPower, kTolerance);
    if (!meetsCorner(f3, 41.0)) return std::nullopt;
    d.figures.push_back(format("-3 dB at %.4f Hz, %.1f dB at 50 Hz, stop-band peak %.1f dB from 50 Hz", *f3,
                               decibels(amplitude(d.taps, 50.0, 250.0)),
                               decibels(maxDeviation(d.taps, 250.0, 50.0, 125.0, 0.0))));
    d.figures.push_back(format("pass-band ripple %.2e up to 30 Hz, tap sum %.15f",
                               maxDeviation(d.taps, 250.0, 0.0, 30.0, 1.0), tapSum(d.taps)));
    return d;
}

// The amplitude check's noise low-pass: 48 taps at 250/s whose three outer
// taps on each side are given. With those fixed, the inner 42 taps form a
// symmetric table about the same centre, so the design fits the inner table
// to the target minus the fixed taps' response. The gains at 0 (the tap
// sum), 8, 10 and 15 Hz are exact; the stop band from 20 Hz is brought
// towards equiripple by Lawson's reweighting of narrow bands, since what
// matters there is the peak gain, not the energy.
std::optional<TableDesign> amplitudeNoise250() {
    constexpr int kLength = 48;
    constexpr double kRate = 250.0;
    constexpr double kSum = 1.0085;
    const double outer[3] = {-0.00416575, -0.00435634, -0.00486754};
    const auto outerGain = [&](double f) {
        double g = 0.0;
        for (int i = 0; i < 3; ++i) g += 2.0 * outer[i] * std::cos(2.0 * kPi * f * ((kLength - 1) / 2.0 - i) / kRate);
        return g;
    };
    const GainPoint targets[] = {{0.0, kSum}, {8.0, 0.74}, {10.0, 0.47}, {15.0, 0.03}};
    constexpr double kStopFrom = 20.0;
    constexpr double kBandWidth = 0.5;
    std::vector<double> centres;
    for (double f = kStopFrom; f < kRate / 2.0 - 1e-9; f += kBandWidth) centres.push_back(f + kBandWidth / 2.0);
    std::vector<double> weights(centres.size(), 1.0);

    Taps taps(kLength);
    for (int iteration = 0; iteration < 40; ++iteration) {
        LeastSquaresProblem p;
        p.length = kLength - 6;
        p.rate = kRate;
        for (size_t i = 0; i < centres.size(); ++i)
            p.bands.push_back(
                {centres[i] - kBandWidth / 2.0, centres[i] + kBandWidth / 2.0, -outerGain(centres[i]), weights[i]});
        for (const GainPoint &t : targets) p.exactGains.push_back({t.frequency, t.gain - outerGain(t.frequency)});
        const std::optional<Taps> inner = designLeastSquares(p);
        if (!inner) return std::nullopt;
        for (int i = 0; i < 3; ++i) taps[i] = taps[kLength - 1 - i] = outer[i];
        std::copy(inner->begin(), inner->end(), taps.begin() + 3);
        double total = 0.0;
        for (size_t i = 0; i < centres.size(); ++i) {
            weights[i] *= std::fabs(amplitude(taps, centres[i], kRate));
            total += weights[i];
        }
        if (!(total > 0.0)) break;
        for (double &w : weights) w *= static_cast<double>(weights.size()) / total;
    }
    const double stopPeak = maxDeviation(taps, kRate, kStopFrom, kRate / 2.0, 0.0);
    if (stopPeak >= 0.01 || std::fabs(tapSum(taps) - kSum) > 1e-12) return std::nullopt;
    TableDesign d{"kAmplitudeNoise250",
                  250,
                  taps,
                  "least squares with the outer three taps each side fixed, exact gains at 0/8/10/15 Hz, "
                  "Lawson-weighted stop band from 20 Hz",
                  {}};
    d.figures.push_back(format("gain %.6f at 8 Hz, %.6f at 10 Hz, %.6f at 15 Hz", amplitude(taps, 8.0, kRate),
                               amplitude(taps, 10.0, kRate), amplitude(taps, 15.0, kRate)));
    d.figures.push_back(format("stop-band peak %.6f from 20 Hz, tap sum %.15f", stopPeak, tapSum(taps)));
    return d;
}

}  // namespace

std::vector<TableDesign> designAllTables(std::string *error) {
    const NotchTarget mains50{50.0, 47.25, 53.0, 0.0};
    const NotchTarget mains60{60.0, 57.25, 63.0, 0.0};
    const auto at = [](NotchTarget t, double depthDb, double narrowing) {
        t.lowEdge += narrowing;
        t.highEdge -= narrowing;
        t.depthDb = depthDb;
        return t;
    };
    // At 1000/s the band is half a hertz narrower on each side.
    std::vector<std::function<std::optional<TableDesign>()>> designs = {
        [] { return antiAlias(); },
        [] { return highPass("kDriftHighPass500", 1501, 500, 0.45); },
        [&] { return notch("kNotch50Hz250", 109, 250, at(mains50, 87.0, 0.0)); },
        [&] { return notch("kNotch50Hz500", 195, 500, at(mains50, 60.0, 0.0)); },
        [&] { return notch("kNotch50Hz1000", 391, 1000, at(mains50, 60.0, 0.5)); },
        [&] { return notch("kNotch60Hz250", 109, 250, at(mains60, 87.0, 0.0)); },
        [&] { return notch("kNotch60Hz500", 195, 500, at(mains60, 60.0, 0.0)); },
        [&] { return notch("kNotch60Hz1000", 391, 1000, at(mains60, 60.0, 0.5)); },
        [] { return muscle250(); },
        [] { return muscleLowPass("kMuscle40Hz500", 12, 500, 39.75); },
        [] { return muscleLowPass("kMuscle40Hz1000", 22, 1000, 41.5); },
        [] { return muscleLowPass("kMuscle25Hz500", 19, 500, 25.0); },
        [] { return muscleLowPass("kMuscle25Hz1000", 34, 1000, 25.0); },
        [] { return baseline250(); },
        [] { return highPass("kBaseline500", 501, 500, 1.3); },
        [] { return highPass("kBaseline1000", 1355, 1000, 0.7); },
        [] { return amplitudeNoise250(); },
        [] { return restingSmoother250(); },
    };
    std::vector<TableDesign> tables;
    for (size_t i = 0; i < designs.size(); ++i) {
        std::optional<TableDesign> d = designs[i]();
        if (!d) {
            if (error) *error = "design " + std::to_string(i) + " cannot meet its targets";
            return {};
        }
        tables.push_back(std::move(*d));
    }
    return tables;
}

}  // namespace firdesign
