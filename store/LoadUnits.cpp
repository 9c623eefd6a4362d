#include "store/LoadUnits.h"

namespace {

// Entering miles per hour uses the rounded factor and showing them uses the
// exact one; stored protocols depend on both, so neither may be "fixed".
constexpr double kMphIn = 1.6;
constexpr double kMphOut = 1.609344;
constexpr double kKgmPerMinPerWatt = 6.0;

bool sameUnit(const QString &unit, const char *name) {
    return unit.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

}  // namespace

namespace LoadUnits {

double toCanonical(const QString &name, double value, const QString &unit) {
    if (name == QLatin1String("speed") && sameUnit(unit, "mph")) return value * kMphIn;
    if (name == QLatin1String("workload") && sameUnit(unit, "kgm/min")) return value / kKgmPerMinPerWatt;
    return value;
}

double fromCanonical(const QString &name, double stored, const QString &unit) {
    if (name == QLatin1String("speed") && sameUnit(unit, "mph")) return stored / kMphOut;
    if (name == QLatin1String("workload") && sameUnit(unit, "kgm/min")) return stored * kKgmPerMinPerWatt;
    return stored;
}

}  // namespace LoadUnits
