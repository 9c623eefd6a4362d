// Lookup of the designed FIR tables by filter option and sampling rate.
#include "analysis/FirTables.h"

#include "analysis/FirTableData.h"

#include <cstddef>

namespace {

template <std::size_t N>
FirTable table(const double (&taps)[N]) {
    return FirTable{taps, static_cast<int>(N), static_cast<int>(N / 2)};
}

}  // namespace

namespace FirTables {

using namespace FirTableData;

FirTable antiAlias1000() { return table(kAntiAlias1000); }

FirTable driftHighPass500() { return table(kDriftHighPass500); }

std::optional<FirTable> notch(const QString &option, int rate) {
    if (option == QLatin1String("50hz")) {
        switch (rate) {
        case 250: return table(kNotch50Hz250);
        case 500: return table(kNotch50Hz500);
        case 1000: return table(kNotch50Hz1000);
        default: return std::nullopt;
        }
    }
    if (option == QLatin1String("60hz")) {
        switch (rate) {
        case 250: return table(kNotch60Hz250);
        case 500: return table(kNotch60Hz500);
        case 1000: return table(kNotch60Hz1000);
        default: return std::nullopt;
        }
    }
    return std::nullopt;
}

std::optional<FirTable> muscle(const QString &option, int rate) {
    // At 250/s there is a single muscle table, used whatever the option.
    if (rate == 250) return table(kMuscle250);
    if (option == QLatin1String("40hz")) {
        if (rate == 500) return table(kMuscle40Hz500);
        if (rate == 1000) return table(kMuscle40Hz1000);
    } else if (option == QLatin1String("25hz")) {
        if (rate == 500) return table(kMuscle25Hz500);
        if (rate == 1000) return table(kMuscle25Hz1000);
    }
    return std::nullopt;
}

std::optional<FirTable> baseline(int rate) {
    switch (rate) {
    case 250: return table(kBaseline250);
    case 500: return table(kBaseline500);
    case 1000: return table(kBaseline1000);
    default: return std::nullopt;
    }
}

FirTable amplitudeNoiseFilter() { return table(kAmplitudeNoise250); }

FirTable restingSmoother() { return table(kRestingSmoother250); }

}  // namespace FirTables
