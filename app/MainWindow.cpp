#include "app/MainWindow.h"

#include "acquisition/AcqDevice.h"
#include "app/ConfiguredAcquisition.h"
#include "app/GlobalConfig.h"
#include "app/StoreLocation.h"
#include "app/StressTestStart.h"
#include "store/StudyStore.h"
#include "stress/EquipmentFactory.h"
#include "stress/MonitorSession.h"
#include "ui/StressMonitorWindow.h"
#include "ui/StudyDialog.h"
#include "ui_MainWindow.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QSettings>
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

StressMonitorConfig monitorConfig() {
    using GlobalConfig::Key;
    StressMonitorConfig config;
    const QString unit = GlobalConfig::text(Key::ErgometerWorkloadUnits);
    if (!unit.isEmpty()) config.workloadUnit = unit;
    config.lowBatteryLevel = GlobalConfig::number(Key::LowBatteryLevel);
    config.simulated = GlobalConfig::text(Key::AcqMode) == QLatin1String("demo");
    return config;
}

}  // namespace

MainWindow::MainWindow(DeviceFactory createDevice, QWidget *parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::MainWindow>()), createDevice_(std::move(createDevice)) {
    ui_->setupUi(this);
    ui_->lblVersion->setText(QStringLiteral("v %1").arg(QCoreApplication::applicationVersion()));
    if (!createDevice_) createDevice_ = [](bool tiltTest) { return ConfiguredAcquisition::createDevice(tiltTest); };
    store_ = std::make_unique<StudyStore>(StoreLocation::root());
    const QString note = store_->recoveryNote();
    ui_->lblRecoveryNote->setText(note);
    ui_->lblRecoveryNote->setVisible(!note.isEmpty());
    fillProtocols();
}

MainWindow::~MainWindow() {
    // A monitor window still open at exit is closed first, so its study is
    // saved while the store exists.
    delete monitor_.data();
}

StressMonitorWindow *MainWindow::monitorWindow() const { return monitor_.data(); }

void MainWindow::fillProtocols() {
    QComboBox *list = ui_->cmbProtocol;
    list->clear();
    list->addItems(StressTestStart::protocolChoices(*store_));
    // Until a protocol has been chosen once, the one most practices run.
    const int last = list->findText(
        QSettings().value(QLatin1String(StudyDialog::kLastProtocolKey), QStringLiteral("Bruce")).toString());
    if (last >= 0) list->setCurrentIndex(last);
}

void MainWindow::on_btnStartStress_clicked() {
    if (monitor_) return;
    if (!store_->hasFreeSpace()) {
        QMessageBox::warning(this, tr("Warning"),
                             tr("There is not enough free space on disk.\nPlease free at least 50 MB to start a "
                                "new study."));
        return;
    }
    try {
        startStressTest();
    } catch (const std::exception &error) {
        showError(QString::fromLocal8Bit(error.what()));
    }
}

void MainWindow::startStressTest() {
    StressTestStart::QuickFields fields;
    fields.lastName = ui_->txtLastName->text();
    fields.firstName = ui_->txtFirstName->text();
    fields.protocolName = ui_->cmbProtocol->currentText();
    StressRun::Plan plan = StressTestStart::plan(*store_, fields.protocolName);
    std::unique_ptr<AcqDevice> device = createDevice_(StressTestStart::isTiltTest(fields.protocolName));
    StudyInfo info = StressTestStart::studyInfo(fields, *device);
    auto session = std::make_unique<MonitorSession>(std::move(device));
    std::unique_ptr<EquipmentController> equipment;
    if (plan.stages) equipment = EquipmentFactory::create(plan.stages->type, equipmentSettings());
    plan.equipment = equipment.get();

    Study *study = store_->createStudy(info);
    StressMonitorWindow *window = nullptr;
    try {
        window = new StressMonitorWindow(std::move(session), *study, plan, store_.get(), monitorConfig());
    } catch (...) {
        store_->closeStudy(study);
        throw;
    }
    equipment_ = std::move(equipment);
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(window, &QObject::destroyed, this, [this, study] { recordingEnded(study); });
    monitor_ = window;
    QSettings().setValue(QLatin1String(StudyDialog::kLastProtocolKey), fields.protocolName);
    setEnabled(false);
    window->showFullScreen();
}

void MainWindow::recordingEnded(Study *study) {
    // The equipment outlived the window's run; the next test makes its own.
    equipment_.reset();
    try {
        store_->saveStudy(*study);
    } catch (const std::exception &error) {
        showError(QString::fromLocal8Bit(error.what()));
    }
    store_->closeStudy(study);
    setEnabled(true);
}

void MainWindow::showError(const QString &text) { QMessageBox::critical(this, tr("Error"), text); }
