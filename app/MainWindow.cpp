#include "app/MainWindow.h"

#include "acquisition/AcqDevice.h"
#include "app/ConfigDialog.h"
#include "app/ConfiguredAcquisition.h"
#include "app/GlobalConfig.h"
#include "app/OpenStudyDialog.h"
#include "app/StagePrint.h"
#include "app/RecentStudies.h"
#include "app/StoreLocation.h"
#include "app/StressTestStart.h"
#include "app/StudyExportStep.h"
#include "stress/EquipmentFactory.h"
#include "stress/MonitorSession.h"
#include "ui/EcgMonitorWindow.h"
#include "ui/StressMonitorWindow.h"
#include "ui/StudyDialog.h"
#include "ui_MainWindow.h"

#include <QApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <QSettings>
#include <QShortcut>
#include <exception>

namespace {

EquipmentSettings equipmentSettings() {
    using GlobalConfig::Key;
    EquipmentSettings settings;
    settings.ergometerEquipment = GlobalConfig::text(Key::ErgometerEquipment);
    settings.ergometerPort = GlobalConfig::text(Key::ErgometerPort);
    settings.treadmillEquipment = GlobalConfig::text(Key::TreadmillEquipment);
    settings.treadmillPort = GlobalConfig::text(Key::TreadmillPort);
    return settings;
}

QString workloadUnit() {
    const QString unit = GlobalConfig::text(GlobalConfig::Key::ErgometerWorkloadUnits);
    return unit == QLatin1String("watts") ? unit : QStringLiteral("kgm/min");
}

StressMonitorConfig monitorConfig() {
    using GlobalConfig::Key;
    StressMonitorConfig config;
    config.workloadUnit = workloadUnit();
    config.lowBatteryLevel = GlobalConfig::number(Key::LowBatteryLevel);
    config.simulated = GlobalConfig::text(Key::AcqMode) == QLatin1String("demo");
    return config;
}

EcgMonitorConfig ecgMonitorConfig() {
    using GlobalConfig::Key;
    EcgMonitorConfig config;
    config.lowBatteryLevel = GlobalConfig::number(Key::LowBatteryLevel);
    config.simulated = GlobalConfig::text(Key::AcqMode) == QLatin1String("demo");
    return config;
}

QString sexCode(const QRadioButton *male, const QRadioButton *female) {
    if (male->isChecked()) return QStringLiteral("M");
    if (female->isChecked()) return QStringLiteral("F");
    return QString();
}

// A study whose recording never started carries no recording time; it is
// listed under the time it was created.
QByteArray listedDateTime(const StudyInfo &info) {
    const QByteArray unset(info.recordingDateTime.size(), '0');
    if (!info.recordingDateTime.isEmpty() && info.recordingDateTime != unset) return info.recordingDateTime;
    return info.studyDateTime;
}

}  // namespace

MainWindow::MainWindow(DeviceFactory createDevice, QWidget *parent)
    : MainWindow(std::move(createDevice), StudyStore::Services(), parent) {}

MainWindow::MainWindow(DeviceFactory createDevice, StudyStore::Services storeServices, QWidget *parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::MainWindow>()), createDevice_(std::move(createDevice)) {
    ui_->setupUi(this);
    ui_->lblVersion->setText(QStringLiteral("v %1").arg(QCoreApplication::applicationVersion()));
    if (!createDevice_) createDevice_ = [](bool tiltTest) { return ConfiguredAcquisition::createDevice(tiltTest); };
    store_ = std::make_unique<StudyStore>(StoreLocation::root(), std::move(storeServices));
    const QString note = store_->recoveryNote();
    ui_->lblRecoveryNote->setText(note);
    ui_->lblRecoveryNote->setVisible(!note.isEmpty());
    ui_->treeStudies->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    setUpKeys();
    fillProtocols();
    fillRecentStudies();
    updateOpenButtons();
    showPage(ui_->pageNewStudyStress);
}

MainWindow::~MainWindow() {
    // Windows still open at exit are closed first, so their studies are
    // saved and closed while the store exists; nothing is exported or
    // asked of the user on the way out.
    closing_ = true;
    delete monitor_.data();
    for (const QPointer<QWidget> &review : reviews_) delete review.data();
}

void MainWindow::setUpKeys() {
    ui_->btnNewStudyStress->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_1));
    ui_->btnNewStudyEcg->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_2));
    ui_->btnOpenStudy->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_3));
    // Only the buttons of the page shown are visible, so one key serves the
    // same button on every page.
    for (QPushButton *start : {ui_->btnStartStress, ui_->btnStartEcg})
        start->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_Return));
    for (QPushButton *more : {ui_->btnMoreStress, ui_->btnMoreEcg, ui_->btnOpenMore})
        more->setShortcut(QKeySequence(Qt::Key_F2));
    ui_->btnConfig->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_Comma));
    ui_->btnClose->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_Q));
    for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto *open = new QShortcut(QKeySequence(key), ui_->treeStudies, nullptr, nullptr, Qt::WidgetShortcut);
        connect(open, &QShortcut::activated, this, &MainWindow::on_btnOpenOK_clicked);
    }
}

void MainWindow::setReviewOpener(ReviewOpener opener) {
    openReview_ = std::move(opener);
    updateOpenButtons();
}

StressMonitorWindow *MainWindow::monitorWindow() const { return qobject_cast<StressMonitorWindow *>(monitor_.data()); }

void MainWindow::showPage(QWidget *page) {
    ui_->stackPages->setCurrentWidget(page);
    ui_->btnNewStudyStress->setChecked(page == ui_->pageNewStudyStress);
    ui_->btnNewStudyEcg->setChecked(page == ui_->pageNewStudyEcg);
    ui_->btnOpenStudy->setChecked(page == ui_->pageOpenStudy);
    if (page == ui_->pageNewStudyStress) ui_->txtLastName->setFocus();
    if (page == ui_->pageNewStudyEcg) ui_->txtLastNameEcg->setFocus();
    if (page == ui_->pageOpenStudy) ui_->treeStudies->setFocus();
}

void MainWindow::on_btnNewStudyStress_clicked() { showPage(ui_->pageNewStudyStress); }
void MainWindow::on_btnNewStudyEcg_clicked() { showPage(ui_->pageNewStudyEcg); }
void MainWindow::on_btnOpenStudy_clicked() { showPage(ui_->pageOpenStudy); }
void MainWindow::on_btnClose_clicked() { close(); }

void MainWindow::on_btnConfig_clicked() {
    ConfigDialog dialog(this);
    dialog.exec();
}

void MainWindow::fillProtocols() {
    QComboBox *list = ui_->cmbProtocol;
    const QString shown = list->currentText();
    list->clear();
    list->addItems(StressTestStart::protocolChoices(*store_));
    // The protocol chosen last; until one has been chosen, the one most
    // practices run.
    QString wanted =
        QSettings().value(QLatin1String(StudyDialog::kLastProtocolKey), QStringLiteral("Bruce")).toString();
    if (list->findText(wanted) < 0) wanted = shown;
    const int index = list->findText(wanted);
    if (index >= 0) list->setCurrentIndex(index);
}

void MainWindow::fillRecentStudies() {
    QTreeWidget *tree = ui_->treeStudies;
    tree->clear();
    for (const RecentStudies::Entry &entry : RecentStudies::parse(RecentStudies::load())) {
        auto *item = new QTreeWidgetItem(
            tree, {RecentStudies::displayDateTime(entry.dateTime), RecentStudies::displayPatient(entry)});
        item->setData(0, Qt::UserRole, entry.id);
    }
    if (tree->topLevelItemCount() > 0) tree->setCurrentItem(tree->topLevelItem(0));
}

QString MainWindow::reviewUnavailableText() { return tr("Study review is not available in this installation"); }

void MainWindow::updateOpenButtons() {
    ui_->btnOpenOK->setEnabled(bool(openReview_));
    ui_->btnOpenOK->setToolTip(openReview_ ? tr("Open the selected study (Return)") : reviewUnavailableText());
}

StudyInfo MainWindow::stressFields() const {
    StressTestStart::QuickFields fields;
    fields.lastName = ui_->txtLastName->text();
    fields.firstName = ui_->txtFirstName->text();
    fields.protocolName = ui_->cmbProtocol->currentText();
    fields.sex = sexCode(ui_->radMale, ui_->radFemale);
    fields.patientId = ui_->txtPatientId->text();
    return StressTestStart::patientInfo(fields, StressTestStart::kStressType);
}

StudyInfo MainWindow::ecgFields() const {
    StressTestStart::QuickFields fields;
    fields.lastName = ui_->txtLastNameEcg->text();
    fields.firstName = ui_->txtFirstNameEcg->text();
    fields.sex = sexCode(ui_->radMaleEcg, ui_->radFemaleEcg);
    fields.patientId = ui_->txtPatientIdEcg->text();
    return StressTestStart::patientInfo(fields, StressTestStart::kRestingEcgType);
}

void MainWindow::on_btnMoreStress_clicked() {
    StudyInfo info = stressFields();
    StudyDialog dialog(*store_, info, StudyDialog::Mode::NewStressTest, workloadUnit(), this);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    // Its protocol editor may have added or removed protocols.
    fillProtocols();
    if (accepted) guardedStart([&] { startStressTest(info); });
}

void MainWindow::on_btnMoreEcg_clicked() {
    StudyInfo info = ecgFields();
    StudyDialog dialog(*store_, info, StudyDialog::Mode::NewEcg, workloadUnit(), this);
    if (dialog.exec() == QDialog::Accepted) guardedStart([&] { startRestingEcg(info); });
}

void MainWindow::on_btnStartStress_clicked() {
    guardedStart([this] { startStressTest(stressFields()); });
}

void MainWindow::on_btnStartEcg_clicked() {
    guardedStart([this] { startRestingEcg(ecgFields()); });
}

bool MainWindow::checkFreeSpace() {
    if (store_->hasFreeSpace()) return true;
    QMessageBox::warning(this, tr("Warning"),
                         tr("There is not enough free space on disk.\nPlease free at least 50 MB to start a "
                            "new study."));
    return false;
}

void MainWindow::guardedStart(const std::function<void()> &start) {
    if (monitor_ || !checkFreeSpace()) return;
    try {
        start();
    } catch (const std::exception &error) {
        showError(QString::fromLocal8Bit(error.what()));
    }
}

void MainWindow::startStressTest(StudyInfo info) {
    const QString protocolName = QString::fromUtf8(info.protocolName);
    StressRun::Plan plan = StressTestStart::plan(*store_, protocolName);
    std::unique_ptr<AcqDevice> device = createDevice_(StressTestStart::isTiltTest(protocolName));
    StressTestStart::describeRecording(info, *device);
    auto session = std::make_unique<MonitorSession>(std::move(device));
    std::unique_ptr<EquipmentController> equipment;
    if (const std::optional<ProtocolType> type = StressTestStart::equipmentType(plan))
        equipment = EquipmentFactory::create(*type, equipmentSettings());
    plan.equipment = equipment.get();

    Study *study = store_->createStudy(info);
    StressMonitorWindow *window = nullptr;
    try {
        window = new StressMonitorWindow(std::move(session), *study, plan, store_.get(), monitorConfig());
        // Prints each closed stage's event; a child of the window.
        new StagePrint(*window, *study, store_->rootFolder());
    } catch (...) {
        store_->closeStudy(study);
        store_->deleteStudy(info.id);
        throw;
    }
    equipment_ = std::move(equipment);
    // A window closed before Start recorded nothing: its study is not kept,
    // listed, exported or opened for review.
    auto keep = std::make_shared<bool>(true);
    connect(window, &StressMonitorWindow::testClosed, this, [keep](bool started) { *keep = started; });
    connect(window, &QObject::destroyed, this, [this, study, keep] { recordingEnded(study, *keep); });
    QSettings().setValue(QLatin1String(StudyDialog::kLastProtocolKey), protocolName);
    showMonitor(window);
}

void MainWindow::startRestingEcg(StudyInfo info) {
    std::unique_ptr<AcqDevice> device = createDevice_(false);
    StressTestStart::describeRecording(info, *device);
    auto session = std::make_unique<MonitorSession>(std::move(device));
    Study *study = store_->createStudy(info);
    EcgMonitorWindow *window = nullptr;
    try {
        window = new EcgMonitorWindow(std::move(session), *study, store_.get(), ecgMonitorConfig());
    } catch (...) {
        store_->closeStudy(study);
        store_->deleteStudy(info.id);
        throw;
    }
    // The window says as it closes whether its take was saved; a study
    // without one is not kept.
    auto keep = std::make_shared<bool>(true);
    connect(window, &EcgMonitorWindow::recordingFinished, this, [keep](bool saved) { *keep = saved; });
    connect(window, &QObject::destroyed, this, [this, study, keep] { recordingEnded(study, *keep); });
    showMonitor(window);
}

void MainWindow::showMonitor(QWidget *window) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    monitor_ = window;
    setEnabled(false);
    window->showFullScreen();
}

void MainWindow::recordingEnded(Study *study, bool keep) {
    // The equipment outlived the window's run; the next test makes its own.
    equipment_.reset();
    const StudyInfo info = store_->studyInfo(*study);
    bool saved = false;
    if (keep) {
        try {
            store_->saveStudy(*study);
            saved = true;
        } catch (const std::exception &error) {
            showError(QString::fromLocal8Bit(error.what()));
        }
    }
    store_->closeStudy(study);
    if (!keep) store_->deleteStudy(info.id);
    setEnabled(true);
    if (!saved) return;
    addRecentStudy(info);
    if (closing_) return;
    autoExport(info);
    // A stress test goes on to its review, where the conclusion is written
    // and the report printed; a resting ECG is reviewed when asked for.
    if (openReview_ && info.studyType != QByteArray("ECG")) openStudyForReview(info.id);
}

void MainWindow::addRecentStudy(const StudyInfo &info) {
    const RecentStudies::Entry entry{info.id, listedDateTime(info), QString::fromUtf8(info.patientLastName),
                                     QString::fromUtf8(info.patientFirstName)};
    RecentStudies::save(RecentStudies::withEntry(RecentStudies::load(), entry));
    fillRecentStudies();
}

void MainWindow::autoExport(const StudyInfo &info) {
    const QString folder = StudyExportStep::autoExportFolder(info.studyType);
    if (folder.isEmpty()) return;
    bool exported = false;
    {
        QProgressDialog progress(tr("Please wait..."), QString(), 0, 0, this);
        progress.setWindowModality(Qt::ApplicationModal);
        progress.setCancelButton(nullptr);
        progress.setMinimumDuration(0);
        progress.show();
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        exported = StudyExportStep::exportStudy(*store_, info.id, folder);
        QApplication::restoreOverrideCursor();
    }
    if (exported)
        QMessageBox::information(this, tr("Information"),
                                 tr("Study file was succesfully exported to folder: %1").arg(folder));
    else
        QMessageBox::warning(this, tr("Warning"),
                             tr("Study file could not be exported to folder: %1\nPlease check shared folder access "
                                "with your network administrator.")
                                 .arg(folder));
}

void MainWindow::on_btnOpenMore_clicked() {
    OpenStudyDialog::Services services;
    services.openStudy = [this](qint32 id) { openStudyForReview(id); };
    services.isOpenForReview = [this](qint32 id) { return store_->isStudyOpen(id); };
    OpenStudyDialog dialog(*store_, services, this);
    dialog.exec();
}

void MainWindow::on_btnOpenOK_clicked() {
    if (const QTreeWidgetItem *item = ui_->treeStudies->currentItem())
        on_treeStudies_itemDoubleClicked(const_cast<QTreeWidgetItem *>(item), 0);
}

void MainWindow::on_treeStudies_itemDoubleClicked(QTreeWidgetItem *item, int) {
    if (item && openReview_) openStudyForReview(item->data(0, Qt::UserRole).toInt());
}

void MainWindow::openStudyForReview(qint32 id) {
    if (!openReview_) {
        QMessageBox::information(this, tr("Information"), reviewUnavailableText());
        return;
    }
    StudyInfo row;
    if (!store_->fetchRow(id, row)) {
        QMessageBox::warning(this, tr("Warning"), tr("Study file not found"));
        return;
    }
    if (store_->isStudyOpen(id)) {
        QMessageBox::information(this, tr("Information"), tr("Study is already open for review"));
        return;
    }
    Study *study = nullptr;
    try {
        study = store_->openStudy(id);
    } catch (const std::exception &) {
        study = nullptr;
    }
    if (!study) {
        QMessageBox::warning(this, tr("Warning"), tr("Study file not found"));
        return;
    }
    QWidget *window = nullptr;
    try {
        window = openReview_(*study, *store_, this);
    } catch (const std::exception &error) {
        store_->closeStudy(study);
        showError(QString::fromLocal8Bit(error.what()));
        return;
    }
    if (!window) {
        store_->closeStudy(study);
        return;
    }
    reviews_ << window;
    connect(window, &QObject::destroyed, this, [this, study] { store_->closeStudy(study); });
}

void MainWindow::showError(const QString &text) { QMessageBox::critical(this, tr("Error"), text); }
