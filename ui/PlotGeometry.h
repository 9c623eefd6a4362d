#pragma once
// Where a trend plot draws: the plot rectangle inside the widget (label
// strips to the left and below) and the mapping of samples to pixels and of
// pixel columns back to times. Plain arithmetic, no painting.

struct PlotRange {
    double min = 0.0;
    double max = 10.0;
    // An empty or reversed range shows nothing.
    bool isUsable() const { return max > min; }
    double span() const { return max - min; }
};

class PlotGeometry {
public:
    static constexpr int kYLabelWidth = 40;
    static constexpr int kXLabelHeight = 20;

    PlotGeometry() = default;
    PlotGeometry(int width, int height, bool showXLabels, bool showYLabels, PlotRange x, PlotRange y);

    int left() const { return left_; }
    int top() const { return top_; }
    int right() const { return right_; }
    int bottom() const { return bottom_; }
    int plotWidth() const { return right_ - left_; }
    int plotHeight() const { return bottom_ - top_; }
    const PlotRange &xRange() const { return x_; }
    const PlotRange &yRange() const { return y_; }

    bool hasArea() const { return right_ > left_ && bottom_ > top_; }
    // Samples can be placed: both ranges usable and a plot area to place them in.
    bool canMap() const { return hasArea() && x_.isUsable() && y_.isUsable(); }
    // Pixels per second along x and pixels per value unit along y (negative:
    // values grow upward).
    double pixelsPerSecond() const { return plotWidth() / x_.span(); }
    double pixelsPerUnit() const { return (top_ - bottom_) / y_.span(); }

    // Whole pixel positions, rounded half up and then truncated toward zero.
    // Kept as doubles: a value far outside the range must not overflow an int.
    double xAt(double seconds) const;
    double yAt(double value) const;
    double timeAtColumn(double column) const;
    bool contains(int x, int y) const { return x >= left_ && x < right_ && y >= top_ && y < bottom_; }

private:
    int left_ = 0;
    int top_ = 0;
    int right_ = 0;
    int bottom_ = 0;
    PlotRange x_;
    PlotRange y_;
};
