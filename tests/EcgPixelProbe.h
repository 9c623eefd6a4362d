#pragma once
// Measures drawn ECGs on their pixels, for the scale tests: dark trace runs,
// the vertical edges of square waves and pulses, the levels either side of
// an edge, and the spacing of grid lines. Made for the "Light" scheme:
// black traces on white paper with a red grid.

#include <QImage>
#include <QRect>
#include <algorithm>
#include <cmath>
#include <vector>

namespace EcgPixelProbe {

inline bool isDark(QRgb p) { return qRed(p) < 110 && qGreen(p) < 110 && qBlue(p) < 110; }
// Grid ink: clearly tinted, reddish, not trace-dark.
inline bool isGrid(QRgb p) { return !isDark(p) && qRed(p) > qGreen(p) + 15 && qGreen(p) < 245; }

struct PixelRun {
    int first = 0;
    int last = 0;
    double centre() const { return 0.5 * (first + last); }
    int length() const { return last - first + 1; }
};

// Runs of pixels along a column (vertical) or row, for which `test` holds.
template <typename Test>
std::vector<PixelRun> runs(const QImage &image, bool vertical, int at, int from, int to, Test test) {
    std::vector<PixelRun> found;
    int start = -1;
    for (int i = from; i <= to; ++i) {
        const bool in = test(vertical ? image.pixel(at, i) : image.pixel(i, at));
        if (in && start < 0) start = i;
        if (!in && start >= 0) {
            found.push_back({start, i - 1});
            start = -1;
        }
    }
    if (start >= 0) found.push_back({start, to});
    return found;
}

// Runs with gaps of at most `gap` pixels between them joined: where a thin
// trace crosses a grid line the blend may be lighter than trace ink.
inline std::vector<PixelRun> joined(const std::vector<PixelRun> &found, int gap) {
    std::vector<PixelRun> out;
    for (const PixelRun &r : found) {
        if (!out.empty() && r.first - out.back().last - 1 <= gap)
            out.back().last = r.last;
        else
            out.push_back(r);
    }
    return out;
}

struct Edge {
    double x = 0;  // centre column
    int top = 0;
    int bottom = 0;
};

// Vertical dark strokes at least `minLength` pixels long inside `area`,
// adjacent columns merged, ordered by x.
inline std::vector<Edge> verticalEdges(const QImage &image, const QRect &area, int minLength) {
    std::vector<Edge> edges;
    int groupStart = -1;
    Edge current;
    for (int x = area.left(); x <= area.right() + 1; ++x) {
        PixelRun longest;
        if (x <= area.right())
            for (const PixelRun &r : joined(runs(image, true, x, area.top(), area.bottom(), isDark), 2))
                if (r.length() > longest.length()) longest = r;
        const bool in = x <= area.right() && longest.length() >= minLength;
        if (in) {
            if (groupStart < 0) {
                groupStart = x;
                current = Edge{0, longest.first, longest.last};
            }
            current.top = std::min(current.top, longest.first);
            current.bottom = std::max(current.bottom, longest.last);
        } else if (groupStart >= 0) {
            current.x = 0.5 * (groupStart + x - 1);
            // A slanted stroke leaves part of its length in the columns
            // either side, and its ends reach the levels it joins.
            for (int side : {groupStart - 1, x})
                if (side >= area.left() && side <= area.right())
                    for (const PixelRun &r : joined(runs(image, true, side, area.top(), area.bottom(), isDark), 2))
                        if (r.last >= current.top - 1 && r.first <= current.bottom + 1) {
                            current.top = std::min(current.top, r.first);
                            current.bottom = std::max(current.bottom, r.last);
                        }
            edges.push_back(current);
            groupStart = -1;
        }
    }
    return edges;
}

// Centre of the dark run at column `x` that touches rows [top, bottom]; -1
// when there is none.
inline double levelNear(const QImage &image, int x, int top, int bottom) {
    for (const PixelRun &r : runs(image, true, x, 0, image.height() - 1, isDark))
        if (r.last >= top - 2 && r.first <= bottom + 2 && r.length() < (bottom - top) / 2) return r.centre();
    return -1.0;
}

// Differences between the centres of consecutive grid lines crossed along
// a row (vertical lines) or a column (horizontal lines).
inline std::vector<double> gridSpacings(const QImage &image, bool alongRow, int at, int from, int to) {
    const std::vector<PixelRun> lines = runs(image, !alongRow, at, from, to, isGrid);
    std::vector<double> spacings;
    for (std::size_t i = 1; i < lines.size(); ++i) spacings.push_back(lines[i].centre() - lines[i - 1].centre());
    return spacings;
}

// A calibration pulse found on a page: its top and the baseline beside it
// (row centres), and the centres of its rising and falling strokes.
struct Pulse {
    double top = 0, base = 0;
    double rise = 0, fall = 0;
    double height() const { return base - top; }
    double width() const { return fall - rise; }
};

// The pulses whose rising stroke lies between columns `from` and `to`:
// a dark top run at column `middle`, the baseline `expected` ± 10 % below it
// at column `before` (left of the rise), the strokes crossed half-way up.
inline std::vector<Pulse> pulses(const QImage &image, int from, int to, int middle, int before, double expected) {
    std::vector<Pulse> found;
    for (const PixelRun &top : runs(image, true, middle, 0, image.height() - 1, isDark)) {
        if (top.length() > 6) continue;  // a stroke, not the pulse's top
        Pulse p;
        p.top = top.centre();
        p.base = -1;
        for (const PixelRun &b : runs(image, true, before, 0, image.height() - 1, isDark))
            if (b.length() <= 6 && std::abs(b.centre() - p.top - expected) < 0.1 * expected) p.base = b.centre();
        if (p.base < 0) continue;
        const int half = static_cast<int>(0.5 * (p.top + p.base));
        const std::vector<PixelRun> strokes = runs(image, false, half, from, to, isDark);
        if (strokes.size() != 2) continue;
        p.rise = strokes[0].centre();
        p.fall = strokes[1].centre();
        found.push_back(p);
    }
    return found;
}

// Columns of the tallest upward deflections of a trace in the band
// [top, bottom] from column `from` to `to`: where the trace's highest dark
// pixel rises more than `share` of the way from `baseline` to the band's
// highest point, each excursion reported at the middle of its highest
// columns.
inline std::vector<double> upwardPeaks(const QImage &image, int from, int to, int top, int bottom, double baseline,
                                       double share) {
    std::vector<int> highest(static_cast<std::size_t>(to - from + 1), bottom + 1);
    int best = bottom + 1;
    for (int x = from; x <= to; ++x) {
        for (int y = top; y <= bottom; ++y)
            if (isDark(image.pixel(x, y))) {
                highest[static_cast<std::size_t>(x - from)] = y;
                break;
            }
        best = std::min(best, highest[static_cast<std::size_t>(x - from)]);
    }
    const double threshold = baseline - share * (baseline - best);
    std::vector<double> peaks;
    int x = from;
    while (x <= to) {
        if (highest[static_cast<std::size_t>(x - from)] >= threshold) {
            ++x;
            continue;
        }
        int first = x, low = highest[static_cast<std::size_t>(x - from)];
        for (; x <= to && highest[static_cast<std::size_t>(x - from)] < threshold; ++x)
            low = std::min(low, highest[static_cast<std::size_t>(x - from)]);
        int a = -1, b = -1;
        for (int k = first; k < x; ++k)
            if (highest[static_cast<std::size_t>(k - from)] == low) {
                if (a < 0) a = k;
                b = k;
            }
        peaks.push_back(0.5 * (a + b));
    }
    return peaks;
}

}  // namespace EcgPixelProbe
