#pragma once
// The stage table of the protocol editor over a working copy of a protocol:
// which columns a protocol type shows, the text of every cell, what a typed
// cell does to its stage, and the stage commands. Kept below the dialog so
// it tests headless.

#include "store/Protocol.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <vector>

enum class StageColumn { Stage, Duration, Speed, Incline, Workload, Dose };

class ProtocolStageTable {
    Q_DECLARE_TR_FUNCTIONS(ProtocolStageTable)
public:
    // `workloadUnit`: "watts" or "kgm/min", the unit workloads are typed and
    // shown in.
    ProtocolStageTable(Protocol &protocol, const QString &workloadUnit);

    static std::vector<StageColumn> columnsFor(ProtocolType type);
    std::vector<StageColumn> columns() const { return columnsFor(protocol_.type); }
    QStringList headings() const;
    int rowCount() const { return protocol_.stageCount(); }
    QString cellText(int row, int column) const;

    // Applies what the user typed into a cell to its stage and returns the
    // cell's text afterwards. The label column cannot be edited.
    QString edit(int row, int column, const QString &typed);

    // A new stage of `phase` at the end.
    void append(StagePhase phase);
    // A copy of stage `row` inserted before it, set to `phase`; without a row
    // (or past the end) the stage is appended.
    void insert(int row, StagePhase phase);
    void remove(int row);

    // Seconds of a typed "m:ss" or whole minutes; the `currentSeconds` when
    // the text gives no positive time (negative parts, seconds above 59).
    static int typedDuration(const QString &typed, int currentSeconds);

private:
    QString stageLabel(int row) const;
    QString loadText(const QString &parameter, const QString &unit, const Stage &stage) const;

    Protocol &protocol_;
    QString workloadUnit_;
};
