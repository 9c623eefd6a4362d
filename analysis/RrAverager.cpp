#include "analysis/RrAverager.h"

double RrAverager::push(double rr) {
    current_ = meanOfPositive();
    entries_[next_] = rr;
    next_ = (next_ + 1) % kSize;
    return current_;
}

void RrAverager::clear() {
    entries_.fill(0.0);
    next_ = 0;
    current_ = 0.0;
}

int RrAverager::positiveCount() const {
    int count = 0;
    for (double e : entries_)
        if (e > 0.0) ++count;
    return count;
}

double RrAverager::meanOfPositive() const {
    double sum = 0.0;
    int count = 0;
    for (double e : entries_) {
        if (e > 0.0) {
            sum += e;
            ++count;
        }
    }
    return count > 0 ? sum / count : 0.0;
}
