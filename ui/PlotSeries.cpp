#include "ui/PlotSeries.h"

int firstSampleNotBefore(const PlotSeries &series, double seconds) {
    int low = 0;
    int high = series.count();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (series.time(middle) < seconds)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}
