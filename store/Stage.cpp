#include "store/Stage.h"

#include "store/LoadUnits.h"

void Stage::setParameter(const QString &name, double value, const QString &unit) {
    parameters_.insert(name, LoadUnits::toCanonical(name, value, unit));
}

double Stage::parameter(const QString &name, const QString &unit) const {
    const auto it = parameters_.constFind(name);
    if (it == parameters_.constEnd()) return 0.0;
    return LoadUnits::fromCanonical(name, it.value(), unit);
}
