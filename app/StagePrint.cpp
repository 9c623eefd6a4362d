#include "app/StagePrint.h"

#include "app/ReportDialog.h"
#include "app/ReportDialogSettings.h"
#include "reports/EventReportJob.h"
#include "stress/MonitorSession.h"
#include "ui/EcgDisplayBase.h"
#include "ui/EngineAverageBeats.h"
#include "ui/StressMonitorWindow.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <exception>

namespace {

bool checked(const QObject &window, const char *button) {
    const auto *b = window.findChild<QAbstractButton *>(QLatin1String(button));
    return !b || b->isChecked();
}

}  // namespace

StagePrint::StagePrint(StressMonitorWindow &window, const Study &study, const QString &storeRoot)
    : QObject(&window), window_(window), study_(study), storeRoot_(storeRoot) {
    connect(&window, &StressMonitorWindow::stagePrintRequested, this, &StagePrint::print);
}

QString StagePrint::pdfPath(int eventIndex) const {
    return ReportDialog::pdfPathFor(study_, storeRoot_, QStringLiteral("_event%1").arg(eventIndex + 1));
}

void StagePrint::print(int eventIndex) {
    // The window starts no second print before it was told of the first.
    if (job_) return;
    const ReportDialogSettings::State state = ReportDialogSettings::load();
    // The report shows the signal as the operator saw it.
    EventFilters filters;
    filters.notch = checked(window_, "btnFilterNotch");
    filters.muscle = checked(window_, "btnFilterLowpass");
    filters.baseline = checked(window_, "btnFilterBaseline");
    const auto *display = window_.findChild<EcgDisplayBase *>(QStringLiteral("ecgDisplay1"));
    EngineAverageBeats beats(window_.session().engine());
    try {
        job_ = new EventReportJob(study_, eventIndex, state.report, filters,
                                  display && !display->showAverageBeat() ? nullptr : &beats, this);
    } catch (const std::exception &error) {
        jobFinished(false, QString::fromUtf8(error.what()));
        return;
    }
    connect(job_, &EventReportJob::finished, this, &StagePrint::jobFinished);
    ReportDestination destination;
    if (state.toPrinter) {
        destination.kind = ReportDestination::Kind::Printer;
        destination.printerName = state.printerName;
    } else {
        destination.path = pdfPath(eventIndex);
        QDir().mkpath(QFileInfo(destination.path).path());
    }
    job_->start(destination);
}

void StagePrint::jobFinished(bool ok, const QString &message) {
    if (EventReportJob *done = job_) {
        job_ = nullptr;
        done->deleteLater();
    }
    window_.stagePrintFinished();
    if (!ok) {
        // The test goes on: the message waits beside the monitor without
        // holding up the recording.
        auto *box = new QMessageBox(QMessageBox::Warning, tr("Stage print"), message, QMessageBox::Ok, &window_);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setModal(false);
        box->show();
    }
    emit finished(ok, message);
}
