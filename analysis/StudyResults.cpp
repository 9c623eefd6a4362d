#include "StudyResults.h"

#include <algorithm>
#include <stdexcept>

namespace {
const std::vector<double> kEmpty;

const char *kindText(ResultKind kind) {
    switch (kind) {
    case ResultKind::Trend: return "a trend";
    case ResultKind::PerStage: return "a per-stage series";
    case ResultKind::Scalar: return "a single value";
    case ResultKind::List: return "a list";
    }
    return "";
}
}  // namespace

StudyResults::StudyResults() { clear(); }

void StudyResults::clear() {
    series_.clear();
    index_.clear();
    for (const ResultName &name : ResultName::all())
        if (!name.optional()) add(name);
}

void StudyResults::add(const ResultName &name) {
    Series s;
    s.name = name.text();
    s.kind = name.kind();
    if (s.kind == Kind::Scalar) s.values.push_back(name.initial());
    // Slots grow along the document order, so an optional series lands after
    // every series of a lower slot.
    std::size_t at = series_.size();
    for (auto it = index_.constBegin(); it != index_.constEnd(); ++it)
        if (it.key() > name.slot()) at = std::min(at, static_cast<std::size_t>(it.value()));
    series_.insert(series_.begin() + static_cast<std::ptrdiff_t>(at), std::move(s));
    for (auto it = index_.begin(); it != index_.end(); ++it)
        if (it.value() >= static_cast<int>(at)) ++it.value();
    index_.insert(name.slot(), static_cast<int>(at));
}

QStringList StudyResults::names() const {
    QStringList list;
    list.reserve(size());
    for (const Series &s : series_) list << s.name;
    return list;
}

const StudyResults::Series *StudyResults::find(const ResultName &name) const {
    const auto it = index_.constFind(name.slot());
    return it == index_.constEnd() ? nullptr : &series_[static_cast<std::size_t>(*it)];
}

StudyResults::Series &StudyResults::writable(const ResultName &name, Kind kind) {
    if (name.kind() != kind)
        throw std::logic_error(QStringLiteral("Result %1 is not %2").arg(name.text(), kindText(kind)).toStdString());
    if (!index_.contains(name.slot())) add(name);
    return series_[static_cast<std::size_t>(index_.value(name.slot()))];
}

void StudyResults::appendPoint(const ResultName &trend, double time, double value) {
    Series &s = writable(trend, Kind::Trend);
    s.times.push_back(time);
    s.values.push_back(value);
}

void StudyResults::setPerStage(const ResultName &series, int stage, double value) {
    Series &s = writable(series, Kind::PerStage);
    if (stage < 0) return;
    if (static_cast<int>(s.values.size()) <= stage) s.values.resize(static_cast<std::size_t>(stage) + 1, 0.0);
    s.values[static_cast<std::size_t>(stage)] = value;
}

void StudyResults::setScalar(const ResultName &name, double value) { writable(name, Kind::Scalar).values[0] = value; }

void StudyResults::appendToList(const ResultName &name, double value) {
    writable(name, Kind::List).values.push_back(value);
}

const std::vector<double> &StudyResults::values(const ResultName &name) const {
    const Series *s = find(name);
    return s ? s->values : kEmpty;
}

const std::vector<double> &StudyResults::times(const ResultName &trend) const {
    const Series *s = find(trend);
    return s ? s->times : kEmpty;
}

double StudyResults::perStage(const ResultName &series, int stage) const {
    const std::vector<double> &v = values(series);
    return stage >= 0 && stage < static_cast<int>(v.size()) ? v[static_cast<std::size_t>(stage)] : 0.0;
}

double StudyResults::scalar(const ResultName &name) const {
    if (name.kind() != Kind::Scalar) return 0.0;
    const Series *s = find(name);
    return s ? s->values[0] : name.initial();
}
