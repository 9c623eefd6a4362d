#include "ui/PlotGeometry.h"

#include <cmath>

PlotGeometry::PlotGeometry(int width, int height, bool showXLabels, bool showYLabels, PlotRange x, PlotRange y)
    : left_(showYLabels ? kYLabelWidth : 0), top_(0), right_(width),
      bottom_(showXLabels ? height - kXLabelHeight : height), x_(x), y_(y) {}

double PlotGeometry::xAt(double seconds) const {
    return left_ + std::trunc((seconds - x_.min) * (right_ - left_) / x_.span() + 0.5);
}

double PlotGeometry::yAt(double value) const {
    return bottom_ + std::trunc((value - y_.min) * (top_ - bottom_) / y_.span() + 0.5);
}

double PlotGeometry::timeAtColumn(double column) const {
    return x_.min + (column - left_) * x_.span() / (right_ - left_);
}
