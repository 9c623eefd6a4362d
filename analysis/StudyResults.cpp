#include "StudyResults.h"

namespace {
const std::vector<double> kEmpty;
}

StudyResults::StudyResults() { clear(); }

QString StudyResults::stLevelTrend(int lead) { return QStringLiteral("STLevelTrend(%1)").arg(lead); }

QString StudyResults::stSlopeTrend(int lead) { return QStringLiteral("STSlopeTrend(%1)").arg(lead); }

QString StudyResults::stLevelPerStage(int lead) { return QStringLiteral("STLevelPerStage(%1)").arg(lead); }

QString StudyResults::stSlopePerStage(int lead) { return QStringLiteral("STSlopePerStage(%1)").arg(lead); }

void StudyResults::clear() {
    series_.clear();
    index_.clear();
    for (const char *name : {"BPMTrend", "sysBPTrend", "diaBPTrend", "METSTrend", "DPTrend"})
        add(QString::fromLatin1(name), Kind::Trend);
    for (int k = 0; k < kLeadSlots; ++k) add(stLevelTrend(k), Kind::Trend);
    for (int k = 0; k < kLeadSlots; ++k) add(stSlopeTrend(k), Kind::Trend);
    for (const char *name : {"BPMPerStage", "sysBPPerStage", "diaBPPerStage", "DPPerStage", "METSPerStage"})
        add(QString::fromLatin1(name), Kind::PerStage);
    for (int k = 0; k < kLeadSlots; ++k) add(stLevelPerStage(k), Kind::PerStage);
    for (int k = 0; k < kLeadSlots; ++k) add(stSlopePerStage(k), Kind::PerStage);
    for (const char *name : {"maxBPM", "maxSysBP", "maxDiaBP", "maxMETS", "maxDP", "maxVO2"})
        add(QString::fromLatin1(name), Kind::Scalar);
    add(QStringLiteral("pacemakerPulses"), Kind::List);
    add(QStringLiteral("measurementChannel"), Kind::Scalar, -1.0);
    for (const char *name : {"POnset", "PPeak", "POffset", "QRSOnset", "QRSOffset", "TOnset", "TPeak", "TOffset",
                             "PAmp", "QRSAmp", "TAmp", "avgRRInterval"})
        add(QString::fromLatin1(name), Kind::Scalar);
    add(QStringLiteral("QRSAxis"), Kind::Scalar, -999.0);
}

void StudyResults::add(const QString &name, Kind kind, double initial) {
    Series s;
    s.name = name;
    s.kind = kind;
    if (kind == Kind::Scalar) s.values.push_back(initial);
    index_.insert(name, static_cast<int>(series_.size()));
    series_.push_back(std::move(s));
}

QStringList StudyResults::names() const {
    QStringList list;
    list.reserve(size());
    for (const Series &s : series_) list << s.name;
    return list;
}

const StudyResults::Series *StudyResults::find(const QString &name) const {
    const auto it = index_.constFind(name);
    return it == index_.constEnd() ? nullptr : &series_[static_cast<std::size_t>(*it)];
}

StudyResults::Series *StudyResults::writable(const QString &name, Kind kind) {
    const auto it = index_.constFind(name);
    if (it == index_.constEnd()) return nullptr;
    Series &s = series_[static_cast<std::size_t>(*it)];
    return s.kind == kind ? &s : nullptr;
}

void StudyResults::appendPoint(const QString &trend, double time, double value) {
    if (Series *s = writable(trend, Kind::Trend)) {
        s->times.push_back(time);
        s->values.push_back(value);
    }
}

void StudyResults::setPerStage(const QString &series, int stage, double value) {
    Series *s = writable(series, Kind::PerStage);
    if (!s || stage < 0) return;
    if (static_cast<int>(s->values.size()) <= stage) s->values.resize(static_cast<std::size_t>(stage) + 1, 0.0);
    s->values[static_cast<std::size_t>(stage)] = value;
}

void StudyResults::setScalar(const QString &name, double value) {
    if (Series *s = writable(name, Kind::Scalar)) s->values[0] = value;
}

void StudyResults::appendToList(const QString &name, double value) {
    if (Series *s = writable(name, Kind::List)) s->values.push_back(value);
}

const std::vector<double> &StudyResults::values(const QString &name) const {
    const Series *s = find(name);
    return s ? s->values : kEmpty;
}

const std::vector<double> &StudyResults::times(const QString &trend) const {
    const Series *s = find(trend);
    return s ? s->times : kEmpty;
}

double StudyResults::perStage(const QString &series, int stage) const {
    const std::vector<double> &v = values(series);
    return stage >= 0 && stage < static_cast<int>(v.size()) ? v[static_cast<std::size_t>(stage)] : 0.0;
}

double StudyResults::scalar(const QString &name) const {
    const Series *s = find(name);
    return s && s->kind == Kind::Scalar ? s->values[0] : 0.0;
}
