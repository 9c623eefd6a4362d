#pragma once
// One stage of a stress protocol: its phase, how long it lasts and the loads
// it applies, each kept in its canonical unit.

#include <QByteArray>
#include <QMap>
#include <QString>

enum class StagePhase : int { Rest = 0, Exercise = 1, Recovery = 2 };

class Stage {
public:
    StagePhase phase = StagePhase::Rest;
    double duration = 0.0;  // seconds
    QByteArray label;       // shown to the operator; never written to the protocol file

    // Converts `value` from `unit` to the canonical unit and stores it,
    // replacing any earlier value.
    void setParameter(const QString &name, double value, const QString &unit);
    // The stored value shown in `unit`; 0 when the stage has no such load.
    double parameter(const QString &name, const QString &unit) const;
    bool hasParameter(const QString &name) const { return parameters_.contains(name); }
    const QMap<QString, double> &parameters() const { return parameters_; }

private:
    QMap<QString, double> parameters_;
};
