#include "reports/ReportData.h"

#include <stdexcept>

bool ReportData::field(const QString &name, QString *value) const {
    const auto it = fields_.constFind(name);
    if (it == fields_.constEnd()) return false;
    if (value) *value = it.value();
    return true;
}

int ReportData::rowCount(const QString &set) const {
    const auto it = rows_.constFind(set);
    return it == rows_.constEnd() ? 0 : static_cast<int>(it->size());
}

const ReportData::Row &ReportData::row(const QString &set, int index) const {
    const auto it = rows_.constFind(set);
    if (it == rows_.constEnd() || index < 0 || index >= static_cast<int>(it->size()))
        throw std::out_of_range("report row out of range");
    return it->at(static_cast<std::size_t>(index));
}
