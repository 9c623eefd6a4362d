#pragma once
// Prints the event of a stage just closed while a stress test runs: answers
// the monitor window's stagePrintRequested with the event report, drawn on
// a worker thread with the window's filters and average-beat setting, to
// the report dialog's destination (a printer, or a PDF in the store's
// report folder), and tells the window when it is done.

#include <QObject>
#include <QPointer>
#include <QString>

class EventReportJob;
class StressMonitorWindow;
class Study;

class StagePrint : public QObject {
    Q_OBJECT
public:
    // A child of `window`; `study` is the window's study.
    StagePrint(StressMonitorWindow &window, const Study &study, const QString &storeRoot);

    // The PDF an event's report goes to: the study's report name with
    // "_event<N>" (N from 1).
    QString pdfPath(int eventIndex) const;

Q_SIGNALS:
    // After the window was told; `message` says why it failed.
    void finished(bool ok, const QString &message);

private:
    void print(int eventIndex);
    void jobFinished(bool ok, const QString &message);

    StressMonitorWindow &window_;
    const Study &study_;
    QString storeRoot_;
    QPointer<EventReportJob> job_;
};
