#include "app/ReportDialog.h"
#include "ui_ReportDialog.h"

#include "app/GlobalConfig.h"
#include "app/ReportDialogSettings.h"
#include "reports/ReportOutput.h"
#include "reports/ReportPdf.h"
#include "reports/ReportKind.h"
#include "store/Protocol.h"
#include "store/Study.h"

#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QThread>
#include <algorithm>
#include <exception>
#include <stdexcept>

const char *const ReportDialog::kStressTemplate = ":/res/stressreport1.xml";

namespace {

// Runs `work` on a worker thread while this thread shows a busy progress
// box and keeps painting; rethrows what the work threw.
void runWithProgress(QWidget *parent, const QString &label, const std::function<void()> &work) {
    std::exception_ptr failure;
    QThread *thread = QThread::create([&work, &failure] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
    });
    QProgressDialog progress(label, QString(), 0, 0, parent);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    QEventLoop loop;
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    thread->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();
    delete thread;
    QGuiApplication::restoreOverrideCursor();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace

ReportDialog::ReportDialog(const Study &study, const QString &storeRoot, QWidget *parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ReportDialog>()), study_(study), storeRoot_(storeRoot),
      kind_(ReportKind::of(study)) {
    ui_->setupUi(this);
    const QStringList layoutTexts{tr("12 × 1"), tr("6 × 2"), tr("4 × 3 with rhythm strip")};
    for (int i = 0; i < ReportDialogSettings::traceLayouts().size(); ++i)
        ui_->cboTraceLayout->addItem(layoutTexts.value(i), ReportDialogSettings::traceLayouts()[i]);
    ui_->cboRhythmLead->addItems(ReportDialogSettings::rhythmLeads());
    ui_->cboPrinter->addItem(tr("Default printer"), QString());
    for (const QString &name : QPrinterInfo::availablePrinterNames()) ui_->cboPrinter->addItem(name, name);
    connect(ui_->buttonBox, &QDialogButtonBox::accepted, this, &ReportDialog::accept);
    connect(ui_->buttonBox, &QDialogButtonBox::rejected, this, &ReportDialog::reject);
    connect(ui_->rbtPrinter, &QRadioButton::toggled, ui_->cboPrinter, &QWidget::setEnabled);
    loadState();
}

ReportDialog::~ReportDialog() = default;

void ReportDialog::setReport(const QString &templateName, DataFill fill) {
    templateName_ = templateName;
    fill_ = std::move(fill);
}

bool ReportDialog::isEcgReport() const { return kind_ == ReportKind::Kind::Resting; }

QString ReportDialog::pdfPath() const { return pdfPathFor(study_, storeRoot_); }

QString ReportDialog::pdfPathFor(const Study &study, const QString &storeRoot, const QString &suffix) {
    // The study's base name, where the study browser's "Show report" looks
    // (the store keeps it a plain file name); a study never stored is named
    // by patient and date, made safe: a name typed by hand must not reach
    // outside the folder or trip the file system.
    QString base = QString::fromUtf8(study.property("baseFilename"));
    const bool stored = !base.isEmpty() && !base.contains(QLatin1Char('/')) && !base.contains(QLatin1Char('\\')) &&
                        base != QLatin1String(".") && base != QLatin1String("..");
    if (!stored) {
        base = QStringLiteral("%1_%2").arg(QString::fromUtf8(study.property("patient/lastName")).trimmed(),
                                           QString::fromLatin1(study.studyDateTime()));
        base.replace(QRegularExpression(QStringLiteral("[^\\w\\-]")), QStringLiteral("_"));
    }
    return ReportPdf::defaultPath(storeRoot, base + suffix);
}

void ReportDialog::loadState() {
    const ReportDialogSettings::State state = ReportDialogSettings::load();
    ui_->txtHeaderTitle->setText(state.report.headerTitle);
    ui_->txtHeaderInfo->setText(state.report.headerInfo);
    ui_->txtSignatureName->setText(state.report.signatureName);
    ui_->txtSignatureLicense->setText(state.report.signatureLicense);
    ui_->txtSignatureFilename->setText(state.report.signatureFilename);
    ui_->cboTraceLayout->setCurrentIndex(std::max(0, ui_->cboTraceLayout->findData(state.report.traceLayout)));
    ui_->cboRhythmLead->setCurrentText(state.report.rhythmLead);
    (state.toPrinter ? ui_->rbtPrinter : ui_->rbtPdf)->setChecked(true);
    ui_->cboPrinter->setEnabled(state.toPrinter);
    const int printer = ui_->cboPrinter->findData(state.printerName);
    if (printer >= 0) ui_->cboPrinter->setCurrentIndex(printer);
}

void ReportDialog::saveState() const {
    ReportDialogSettings::State state = ReportDialogSettings::load();
    state.report.headerTitle = ui_->txtHeaderTitle->text();
    state.report.headerInfo = ui_->txtHeaderInfo->text();
    state.report.signatureName = ui_->txtSignatureName->text();
    state.report.signatureLicense = ui_->txtSignatureLicense->text();
    state.report.signatureFilename = ui_->txtSignatureFilename->text();
    state.report.traceLayout = ui_->cboTraceLayout->currentData().toString();
    state.report.rhythmLead = ui_->cboRhythmLead->currentText();
    state.toPrinter = ui_->rbtPrinter->isChecked();
    state.printerName = ui_->cboPrinter->currentData().toString();
    ReportDialogSettings::save(state);
}

void ReportDialog::produce() {
    const ReportDialogSettings::State state = ReportDialogSettings::load();
    ReportDestination destination;
    if (state.toPrinter) {
        destination.kind = ReportDestination::Kind::Printer;
        destination.printerName = state.printerName;
    } else {
        destination.path = pdfPath();
        // A folder that cannot be made shows as the file that could not be
        // written.
        QDir().mkpath(QFileInfo(destination.path).path());
    }
    // The study is not recorded into while the dialog is open, so the worker
    // may read it; the modal progress keeps the user from changing it.
    runWithProgress(this, tr("Generating the report..."), [this, &state, &destination] {
        // The study's own report unless one was set: a resting ECG's template
        // follows the chosen trace layout.
        const QString templateName =
            templateName_.isEmpty() ? ReportKind::templateFor(kind_, state.report.traceLayout) : templateName_;
        const ReportData data = fill_ ? fill_(study_, state.report) : ReportKind::fill(kind_, study_, state.report);
        ReportOutput::produce(ReportTemplate::load(templateName), data, destination);
    });
    exported_.clear();
    if (state.toPrinter || !GlobalConfig::flag(GlobalConfig::Key::AutoExportReports)) return;
    const QString folder = GlobalConfig::text(isEcgReport() ? GlobalConfig::Key::ExportEcgReportFolder
                                                            : GlobalConfig::Key::ExportStressReportFolder);
    if (!folder.isEmpty()) exported_ = ReportPdf::exportCopy(destination.path, folder);
}

void ReportDialog::accept() {
    saveState();
    try {
        produce();
    } catch (const std::exception &error) {
        QMessageBox::critical(this, tr("Report"), QString::fromUtf8(error.what()));
        return;
    }
    QDialog::accept();
}

void ReportDialog::on_btnSelectSignature_clicked() {
    const QString file = QFileDialog::getOpenFileName(this, tr("Signature image"), ui_->txtSignatureFilename->text(),
                                                      tr("Images (*.png *.jpg *.jpeg *.bmp)"));
    if (!file.isEmpty()) ui_->txtSignatureFilename->setText(file);
}

void ReportDialog::on_btnRemoveSignature_clicked() { ui_->txtSignatureFilename->clear(); }
