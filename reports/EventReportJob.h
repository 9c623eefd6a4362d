#pragma once
// The event report of one event (":/res/stressStageReport1.xml") drawn on a
// worker thread while the user-interface thread goes on recording: what the
// report shows is copied from the study when the job is made, and the job
// signals finished() exactly once, back on the thread that made it.
//
//     auto *job = new EventReportJob(study, index, settings, filters, &beats);
//     connect(job, &EventReportJob::finished, job, &QObject::deleteLater);
//     job->start(destination);

#include "reports/EventCapture.h"
#include "reports/ReportData.h"
#include "reports/ReportOutput.h"
#include "reports/ReportSettings.h"

#include <QObject>
#include <QString>

class QThread;
class Study;

class EventReportJob : public QObject {
    Q_OBJECT
public:
    static constexpr double kStripSeconds = 10.0;
    static const char *const kTemplate;

    // Copies the event's data, strip (filtered by `filters`) and, when
    // `beats` is given, every lead's average beat. Throws std::out_of_range
    // for an unknown event. `templateName` replaces kTemplate (a practice's
    // adapted template).
    EventReportJob(const Study &study, int eventIndex, const ReportSettings &settings, const EventFilters &filters,
                   AverageBeatProvider *beats, QObject *parent = nullptr, const QString &templateName = kTemplate);
    // Waits for a running worker: the report it draws is not abandoned half
    // written.
    ~EventReportJob() override;

    const ReportData &data() const { return data_; }
    bool isRunning() const { return thread_ != nullptr; }

    // Starts the worker; a second start is ignored.
    void start(const ReportDestination &destination);

Q_SIGNALS:
    // `ok` false with the failure's text (the PDF's or the printer's
    // message, or the template's error) in `message`.
    void finished(bool ok, const QString &message);

private:
    void workerDone();

    ReportData data_;
    QString templateName_;
    QThread *thread_ = nullptr;
    bool started_ = false;
    // Written by the worker, read after it has ended.
    bool ok_ = false;
    QString message_;
};
