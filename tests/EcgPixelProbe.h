#pragma once
// Measures drawn ECGs on their pixels, for the scale tests: dark trace runs,
// the vertical edges of square waves and pulses, the levels either side of
// an edge, and the spacing of grid lines. Made for the "Light" scheme:
// black traces on white paper with a red grid.

#include <QImage>
#include <QRect>
#include <algorithm>
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

}  // namespace EcgPixelProbe
