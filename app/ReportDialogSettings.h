#pragma once
// The report dialog's remembered choices under "ReportDialog/...": trace
// layout, rhythm lead and destination, with the header and signature the
// configuration dialog keeps there (spelled in GlobalConfig). Read and
// written through a freshly constructed settings object, on the
// user-interface thread. No other file spells these keys.

#include "reports/ReportSettings.h"

#include <QString>
#include <QStringList>

namespace ReportDialogSettings {

enum class Key { TraceLayout, RhythmLead, Destination, PrinterName };

// The stored name, e.g. "ReportDialog/TraceLayout".
QString name(Key key);

// "12by1", "6by2", "4by3".
const QStringList &traceLayouts();
// The twelve standard leads a rhythm strip can show.
const QStringList &rhythmLeads();

struct State {
    ReportSettings report;
    bool toPrinter = false;  // otherwise a PDF in the store's report folder
    QString printerName;     // empty: the system's default
};

// An unknown stored layout or lead reads as the default ("12by1", "II").
State load();
void save(const State &state);

}  // namespace ReportDialogSettings
