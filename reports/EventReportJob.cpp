#include "reports/EventReportJob.h"

#include "reports/EventReportData.h"
#include "reports/ReportTemplate.h"

#include <QThread>
#include <exception>

const char *const EventReportJob::kTemplate = ":/res/stressStageReport1.xml";

EventReportJob::EventReportJob(const Study &study, int eventIndex, const ReportSettings &settings,
                               const EventFilters &filters, AverageBeatProvider *beats, QObject *parent,
                               const QString &templateName)
    : QObject(parent), templateName_(templateName) {
    auto capture =
        std::make_shared<const EventCapture>(EventCapture::take(study, eventIndex, filters, kStripSeconds, beats));
    data_ = EventReportData::fill(study, eventIndex, settings, std::move(capture));
}

EventReportJob::~EventReportJob() {
    if (thread_) {
        thread_->wait();
        delete thread_;
    }
}

void EventReportJob::start(const ReportDestination &destination) {
    if (started_) return;
    started_ = true;
    // The worker reads only what this object owns, which stays unchanged
    // until the worker has ended.
    thread_ = QThread::create([this, destination] {
        try {
            const ReportTemplate report = ReportTemplate::load(templateName_);
            ReportOutput::produce(report, data_, destination);
            ok_ = true;
        } catch (const std::exception &error) {
            message_ = QString::fromUtf8(error.what());
        }
    });
    // Queued to this object's thread: finished() is emitted there, after the
    // worker's writes are complete.
    connect(thread_, &QThread::finished, this, &EventReportJob::workerDone, Qt::QueuedConnection);
    thread_->start();
}

void EventReportJob::workerDone() {
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    emit finished(ok_, message_);
}
