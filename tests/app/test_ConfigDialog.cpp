// The configuration dialog as a technician uses it: what it shows from the
// settings, what OK writes and Cancel leaves, the Bluetooth detection's
// outcomes, and the acquisition test on the simulated front end reached by
// its link path in the Bluetooth mode.

#include "app/ConfigDialog.h"
#include "app/GlobalConfig.h"
#include "analysis/SignalSource.h"
#include "stress/MonitorEngine.h"
#include "stress/MonitorSession.h"
#include "tests/EcgPixelProbe.h"
#include "tests/ui/DialogTestSupport.h"
#include "ui/AcquisitionTestWindow.h"
#include "ui/QSignalMonitorDisplay.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>
#include <map>

using GlobalConfig::Key;

namespace {

bool waitUntil(const std::function<bool()> &done, int timeoutMs = 15000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(2);
    }
    return true;
}

template <typename T>
T *child(QWidget &parent, const char *name) {
    T *widget = parent.findChild<T *>(QLatin1String(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

ConfigDialog::Services quietServices(QStringList detected = {}) {
    ConfigDialog::Services services;
    services.detectBluetoothDevices = [detected] { return detected; };
    services.replaySearchFolders = [] { return QStringList(); };
    services.serialPorts = [] { return QStringList{QStringLiteral("/dev/ttyS0")}; };
    return services;
}

// Every key with a stored value no control shows by default, so a value the
// dialog loses or rewrites is seen.
std::map<Key, QVariant> unusualValues() {
    return {
        {Key::AcqMode, QStringLiteral("bluetooth-com")},
        {Key::AcqBluetoothPort, QStringLiteral("/dev/rfcomm3")},
        {Key::SignalGain, 300.0},
        {Key::HRProtocol, true},
        {Key::LowBatteryLevel, 2.2},
        {Key::ErgometerEquipment, QStringLiteral("olmo")},
        {Key::ErgometerPort, QStringLiteral("/dev/ttyUSB4")},
        {Key::TreadmillEquipment, QStringLiteral("kipmachines")},
        {Key::TreadmillPort, QStringLiteral("/dev/ttyUSB5")},
        {Key::ErgometerWorkloadUnits, QStringLiteral("watts")},
        {Key::AutoExportStudies, true},
        {Key::ExportStressStudyFolder, QStringLiteral("/srv/shared/stress")},
        {Key::ExportEcgStudyFolder, QStringLiteral("/srv/shared/ecg")},
        {Key::AutoExportReports, true},
        {Key::ExportEcgReportFolder, QStringLiteral("/srv/reports/ecg")},
        {Key::ExportStressReportFolder, QStringLiteral("/srv/reports/stress")},
        {Key::ReportHeaderLogoFilename, QStringLiteral("/opt/practice/logo.png")},
        {Key::ReportHeaderTitle, QStringLiteral("Cardiología Norte")},
        {Key::ReportHeaderInfo, QStringLiteral("Av. Pellegrini 1200\nRosario")},
        {Key::ReportSignatureFilename, QStringLiteral("/opt/practice/firma.png")},
        {Key::ReportSignatureName, QStringLiteral("Dr. Julián Ortega")},
        {Key::ReportSignatureLicense, QStringLiteral("MP 12345")},
    };
}

// Compares as stored: numbers by value, the rest as text.
void expectStored(Key key, const QVariant &expected) {
    const QString name = GlobalConfig::name(key);
    SCOPED_TRACE(name.toStdString());
    QSettings settings;
    ASSERT_TRUE(settings.contains(name)) << "not written";
    const QVariant stored = settings.value(name);
    if (expected.type() == QVariant::Double)
        EXPECT_DOUBLE_EQ(stored.toDouble(), expected.toDouble());
    else if (expected.type() == QVariant::Bool)
        EXPECT_EQ(stored.toBool(), expected.toBool());
    else
        EXPECT_EQ(stored.toString(), expected.toString());
}

void accept(ConfigDialog &dialog) {
    child<QDialogButtonBox>(dialog, "buttonBox")->button(QDialogButtonBox::Ok)->click();
}

void cancel(ConfigDialog &dialog) {
    child<QDialogButtonBox>(dialog, "buttonBox")->button(QDialogButtonBox::Cancel)->click();
}

class ConfigDialogTest : public ::testing::Test {
protected:
    void SetUp() override { QSettings().clear(); }
    void TearDown() override { QSettings().clear(); }
    static void storeAll(const std::map<Key, QVariant> &values) {
        for (const auto &entry : values) GlobalConfig::setValue(entry.first, entry.second);
    }
};

}  // namespace

TEST_F(ConfigDialogTest, TheValuesTableCoversEveryKey) {
    EXPECT_EQ(unusualValues().size(), static_cast<std::size_t>(GlobalConfig::allKeys().size()));
}

TEST_F(ConfigDialogTest, CancelAfterRestoreDefaultsAndEditsLeavesEveryStoredValue) {
    const auto values = unusualValues();
    storeAll(values);
    ConfigDialog dialog(quietServices(), nullptr);
    child<QPushButton>(dialog, "btnHardwareDefaults")->click();
    EXPECT_DOUBLE_EQ(child<QDoubleSpinBox>(dialog, "spnLowBatteryLevel")->value(), 2.6);
    EXPECT_DOUBLE_EQ(child<QDoubleSpinBox>(dialog, "spnSignalGain")->value(), 450.0);
    EXPECT_FALSE(child<QCheckBox>(dialog, "chkHRProtocol")->isChecked());
    child<QRadioButton>(dialog, "rbtAcqDemo")->setChecked(true);
    child<QLineEdit>(dialog, "txtHeaderTitle")->setText(QStringLiteral("Another title"));
    child<QPushButton>(dialog, "btnRemoveLogo")->click();
    child<QCheckBox>(dialog, "chkAutoExportStudies")->click();
    cancel(dialog);
    for (const auto &entry : values) expectStored(entry.first, entry.second);
}

TEST_F(ConfigDialogTest, OkWithoutChangesWritesBackEveryStoredValue) {
    const auto values = unusualValues();
    storeAll(values);
    ConfigDialog dialog(quietServices(), nullptr);
    accept(dialog);
    for (const auto &entry : values) expectStored(entry.first, entry.second);
}

TEST_F(ConfigDialogTest, OkOnFreshSettingsWritesEveryKeyWithTheProposedValues) {
    ConfigDialog dialog(quietServices(), nullptr);
    accept(dialog);
    const std::map<Key, QVariant> proposed = {
        {Key::AcqMode, QString()},  // the USB device
        {Key::LowBatteryLevel, 2.6},
        {Key::SignalGain, 450.0},
        {Key::HRProtocol, false},
        {Key::ErgometerWorkloadUnits, QString()},  // kgm/min
        {Key::ErgometerEquipment, QString()},
        {Key::TreadmillEquipment, QString()},
        {Key::AutoExportStudies, false},
        {Key::AutoExportReports, false},
    };
    for (Key key : GlobalConfig::allKeys()) {
        const auto found = proposed.find(key);
        expectStored(key, found != proposed.end() ? found->second : GlobalConfig::defaultValue(key));
    }
}

TEST_F(ConfigDialogTest, OkWritesWhatTheControlsChose) {
    struct Case {
        const char *what;
        std::function<void(ConfigDialog &)> act;
        std::map<Key, QVariant> expected;
    };
    const std::vector<Case> cases = {
        {"USB device",
         [](ConfigDialog &d) { child<QRadioButton>(d, "rbtAcqDeviceUSB")->setChecked(true); },
         {{Key::AcqMode, QString()}}},
        {"Bluetooth device and its port",
         [](ConfigDialog &d) {
             child<QRadioButton>(d, "rbtAcqDeviceBT")->setChecked(true);
             QTest::keyClicks(child<QLineEdit>(d, "txtBluetoothPort"), QStringLiteral("/tmp/ecg-link"));
         },
         {{Key::AcqMode, QStringLiteral("bluetooth-com")}, {Key::AcqBluetoothPort, QStringLiteral("/tmp/ecg-link")}}},
        {"demonstration replay",
         [](ConfigDialog &d) { child<QRadioButton>(d, "rbtAcqDemo")->setChecked(true); },
         {{Key::AcqMode, QStringLiteral("demo")}}},
        {"watts, OLMO ergometer, Kip Machines treadmill",
         [](ConfigDialog &d) {
             child<QRadioButton>(d, "rbtWorkloadWatts")->setChecked(true);
             child<QComboBox>(d, "cboErgometerEquipment")->setCurrentIndex(1);
             child<QComboBox>(d, "cboErgometerPort")->setCurrentText(QStringLiteral("/dev/ttyUSB1"));
             child<QComboBox>(d, "cboTreadmillEquipment")->setCurrentIndex(1);
         },
         {{Key::ErgometerWorkloadUnits, QStringLiteral("watts")},
          {Key::ErgometerEquipment, QStringLiteral("olmo")},
          {Key::ErgometerPort, QStringLiteral("/dev/ttyUSB1")},
          {Key::TreadmillEquipment, QStringLiteral("kipmachines")}}},
        {"Kip Machines ergometer",
         [](ConfigDialog &d) { child<QComboBox>(d, "cboErgometerEquipment")->setCurrentIndex(2); },
         {{Key::ErgometerEquipment, QStringLiteral("kipmachines")}}},
        {"hardware tuning",
         [](ConfigDialog &d) {
             child<QDoubleSpinBox>(d, "spnLowBatteryLevel")->setValue(2.45);
             child<QDoubleSpinBox>(d, "spnSignalGain")->setValue(200);
             child<QCheckBox>(d, "chkHRProtocol")->setChecked(true);
         },
         {{Key::LowBatteryLevel, 2.45}, {Key::SignalGain, 200.0}, {Key::HRProtocol, true}}},
        {"report header and signature",
         [](ConfigDialog &d) {
             child<QLineEdit>(d, "txtHeaderTitle")->setText(QStringLiteral("Clínica"));
             child<QPlainTextEdit>(d, "txtHeaderInfo")->setPlainText(QStringLiteral("line 1\nline 2"));
             child<QLineEdit>(d, "txtSignatureName")->setText(QStringLiteral("Dra. Ñ"));
             QTest::keyClicks(child<QLineEdit>(d, "txtSignatureLicense"), QStringLiteral("MN 1"));
         },
         {{Key::ReportHeaderTitle, QStringLiteral("Clínica")},
          {Key::ReportHeaderInfo, QStringLiteral("line 1\nline 2")},
          {Key::ReportSignatureName, QStringLiteral("Dra. Ñ")},
          {Key::ReportSignatureLicense, QStringLiteral("MN 1")}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QSettings().clear();
        ConfigDialog dialog(quietServices(), nullptr);
        c.act(dialog);
        accept(dialog);
        for (const auto &entry : c.expected) expectStored(entry.first, entry.second);
    }
}

TEST_F(ConfigDialogTest, UntickedAutoExportDisablesTheFoldersButKeepsAndSavesTheirTexts) {
    storeAll(unusualValues());
    ConfigDialog dialog(quietServices(), nullptr);
    auto *studies = child<QCheckBox>(dialog, "chkAutoExportStudies");
    auto *reports = child<QCheckBox>(dialog, "chkAutoExportReports");
    auto *stressFolder = child<QLineEdit>(dialog, "txtExportStressStudyFolder");
    auto *ecgFolder = child<QLineEdit>(dialog, "txtExportEcgStudyFolder");
    auto *reportFolder = child<QLineEdit>(dialog, "txtExportEcgReportFolder");
    EXPECT_TRUE(stressFolder->isEnabled());
    QTest::mouseClick(studies, Qt::LeftButton);
    EXPECT_FALSE(stressFolder->isEnabled());
    EXPECT_FALSE(ecgFolder->isEnabled());
    EXPECT_FALSE(child<QPushButton>(dialog, "btnExportStressStudyFolder")->isEnabled());
    EXPECT_TRUE(reportFolder->isEnabled()) << "the report folders follow their own box";
    QTest::mouseClick(reports, Qt::LeftButton);
    EXPECT_FALSE(reportFolder->isEnabled());
    accept(dialog);
    expectStored(Key::AutoExportStudies, false);
    expectStored(Key::ExportStressStudyFolder, QStringLiteral("/srv/shared/stress"));
    expectStored(Key::ExportEcgStudyFolder, QStringLiteral("/srv/shared/ecg"));
    expectStored(Key::ExportEcgReportFolder, QStringLiteral("/srv/reports/ecg"));

    ConfigDialog reopened(quietServices(), nullptr);
    EXPECT_FALSE(child<QLineEdit>(reopened, "txtExportStressStudyFolder")->isEnabled());
    EXPECT_EQ(child<QLineEdit>(reopened, "txtExportStressStudyFolder")->text(), "/srv/shared/stress");
}

TEST_F(ConfigDialogTest, BluetoothDetectionFillsThePortOnlyForExactlyOneDevice) {
    struct Case {
        QStringList found;
        const char *port;     // the field afterwards
        const char *message;  // "" = no box
    };
    const std::vector<Case> cases = {
        {{"/dev/rfcomm1"}, "/dev/rfcomm1", ""},
        {{}, "/dev/rfcomm0", "No device found.\nPlease make sure that the device is paired and turned on."},
        {{"/dev/rfcomm1", "/dev/rfcomm2"},
         "/dev/rfcomm0",
         "There is more than one device in range.\nPlease make sure that only one device is turned on and try again."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.port);
        GlobalConfig::setValue(Key::AcqMode, QStringLiteral("bluetooth-com"));
        GlobalConfig::setValue(Key::AcqBluetoothPort, QStringLiteral("/dev/rfcomm0"));
        ConfigDialog dialog(quietServices(c.found), nullptr);
        dialog.show();
        // First the reminder to pair the device, then the outcome.
        QString reminder, shown;
        DialogTest::whenModalShows<QMessageBox>([&](QMessageBox *box) {
            reminder = box->text();
            if (*c.message)
                DialogTest::whenModalShows<QMessageBox>([&](QMessageBox *outcome) {
                    shown = outcome->text();
                    outcome->accept();
                });
            box->button(QMessageBox::Ok)->click();
        });
        child<QPushButton>(dialog, "btnBluetoothDetect")->click();
        waitUntil([&] { return QApplication::activeModalWidget() == nullptr; }, 3000);
        EXPECT_EQ(reminder, "Make sure that the device has been paired and is turned on.\nPress <OK> to continue.");
        EXPECT_EQ(shown, QString::fromUtf8(c.message));
        EXPECT_EQ(child<QLineEdit>(dialog, "txtBluetoothPort")->text(), c.port);
    }
}

TEST_F(ConfigDialogTest, CancellingTheDetectionReminderProbesNothing) {
    int probes = 0;
    ConfigDialog::Services services = quietServices();
    services.detectBluetoothDevices = [&probes] {
        ++probes;
        return QStringList{QStringLiteral("/dev/rfcomm9")};
    };
    GlobalConfig::setValue(Key::AcqMode, QStringLiteral("bluetooth-com"));
    ConfigDialog dialog(services, nullptr);
    dialog.show();
    DialogTest::whenModalShows<QMessageBox>([](QMessageBox *box) { box->button(QMessageBox::Cancel)->click(); });
    child<QPushButton>(dialog, "btnBluetoothDetect")->click();
    EXPECT_EQ(probes, 0);
    EXPECT_TRUE(child<QLineEdit>(dialog, "txtBluetoothPort")->text().isEmpty());
}

TEST_F(ConfigDialogTest, AcquisitionTestThatCannotCreateTheSourceShowsTheError) {
    ConfigDialog dialog(quietServices(), nullptr);
    dialog.show();
    child<QRadioButton>(dialog, "rbtAcqDeviceBT")->setChecked(true);  // and no port
    QString title, text;
    DialogTest::whenModalShows<QMessageBox>([&](QMessageBox *box) {
        title = box->windowTitle();
        text = box->text();
        box->accept();
    });
    EXPECT_EQ(dialog.startAcquisitionTest(), nullptr);
    EXPECT_EQ(title, "Error");
    EXPECT_EQ(text, "Device not found");
    EXPECT_EQ(dialog.acquisitionTestWindow(), nullptr);
}

namespace {

// `tarvelin-ecg-sim device --link PATH`: the front end on a pseudo-terminal.
class SimulatedFrontEnd {
public:
    SimulatedFrontEnd(const QString &link, const QStringList &options) {
        process_.start(QStringLiteral(TARVELIN_SIM_EXECUTABLE),
                       QStringList{QStringLiteral("device"), QStringLiteral("--link"), link} + options);
        process_.waitForStarted(10000);
        while (!process_.canReadLine() && process_.state() == QProcess::Running) process_.waitForReadyRead(200);
        ready_ = QFileInfo(link).isSymLink();
    }
    ~SimulatedFrontEnd() {
        process_.terminate();
        if (!process_.waitForFinished(10000)) process_.kill();
        process_.waitForFinished();
    }
    bool isReady() const { return ready_; }

private:
    QProcess process_;
    bool ready_ = false;
};

int darkPixelsInTraces(QSignalMonitorDisplay &display) {
    const QImage image = display.grab().toImage();
    const QRect area = display.traceArea().toRect().intersected(image.rect());
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (EcgPixelProbe::isDark(image.pixel(x, y))) ++dark;
    return dark;
}

}  // namespace

TEST_F(ConfigDialogTest, AcquisitionTestShowsLiveEcgFromTheFrontEndOnItsBluetoothPath) {
    QTemporaryDir folder;
    const QString link = folder.filePath(QStringLiteral("ecg"));
    SimulatedFrontEnd simulator(link, {QStringLiteral("--battery"), QStringLiteral("2.6"),
                                       QStringLiteral("--electrode-off"), QStringLiteral("V3")});
    ASSERT_TRUE(simulator.isReady()) << "the simulator made no link";

    ConfigDialog dialog(quietServices(), nullptr);
    dialog.show();
    child<QRadioButton>(dialog, "rbtAcqDeviceBT")->setChecked(true);
    child<QLineEdit>(dialog, "txtBluetoothPort")->setText(link);
    child<QPushButton>(dialog, "btnAcqTest")->click();
    QPointer<AcquisitionTestWindow> window = dialog.acquisitionTestWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "Acquisition test");
    EXPECT_EQ(window->windowModality(), Qt::WindowModal);
    EXPECT_TRUE(window->isVisible());

    QSignalMonitorDisplay &display = *window->display();
    const int blank = darkPixelsInTraces(display);
    const std::int64_t wanted = 3 * 500;  // three seconds of the front end's rate
    ASSERT_TRUE(waitUntil([&] { return window->session().engine().raw().length() >= wanted; }))
        << "samples arrived: " << window->session().engine().raw().length();
    EXPECT_TRUE(window->session().acquiring());
    EXPECT_TRUE(window->statusText().isEmpty()) << window->statusText().toStdString();
    const SignalSource &shown = *display.source();
    EXPECT_GE(static_cast<double>(shown.length()) / shown.samplingRate(), 0.5)
        << "the display is fed the live chain: " << shown.length() << " samples at " << shown.samplingRate();
    // The traces are drawn: three seconds of twelve leads leave far more ink
    // on the paper than its labels and grid did before.
    EXPECT_GT(darkPixelsInTraces(display), blank + 2000);

    // The technician sees the battery and the electrode that lost contact.
    EXPECT_TRUE(waitUntil([&] { return window->deviceText().contains("V3"); }, 5000))
        << window->deviceText().toStdString();
    EXPECT_EQ(window->deviceText(), "Battery: 2.60 V    Electrodes off: V3");

    window->close();
    EXPECT_TRUE(waitUntil([&] { return window.isNull(); }, 5000)) << "closing deletes the window and its session";
}

TEST_F(ConfigDialogTest, AnImageThatDoesNotLoadIsRefusedAndTheStoredOneStays) {
    QTemporaryDir folder;
    const QString good = folder.filePath(QStringLiteral("logo.png"));
    const QString other = folder.filePath(QStringLiteral("other.png"));
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(good, "PNG") && image.save(other, "PNG"));
    const QString notAnImage = folder.filePath(QStringLiteral("notes.png"));
    QFile text(notAnImage);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not an image");
    text.close();

    struct Case {
        const char *what;
        Key key;
        std::function<bool(ConfigDialog &, const QString &)> use;
        const char *preview;
        const char *warning;
    };
    const std::vector<Case> cases = {
        {"logo", Key::ReportHeaderLogoFilename, [](ConfigDialog &d, const QString &f) { return d.useLogo(f); },
         "lblLogo", "Logo image could not be loaded from file: %1"},
        {"signature", Key::ReportSignatureFilename, [](ConfigDialog &d, const QString &f) { return d.useSignature(f); },
         "lblSignature", "Signature image could not be loaded from file: %1"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QSettings().clear();
        GlobalConfig::setValue(c.key, good);
        ConfigDialog dialog(quietServices(), nullptr);
        dialog.show();
        QLabel *preview = child<QLabel>(dialog, c.preview);
        EXPECT_FALSE(preview->pixmap(Qt::ReturnByValue).isNull()) << "the stored image is shown";

        QString title, warning;
        DialogTest::whenModalShows<QMessageBox>([&](QMessageBox *box) {
            title = box->windowTitle();
            warning = box->text();
            box->accept();
        });
        EXPECT_FALSE(c.use(dialog, notAnImage));
        EXPECT_EQ(title, "Warning");
        EXPECT_EQ(warning, QString::fromLatin1(c.warning).arg(notAnImage));
        EXPECT_FALSE(preview->pixmap(Qt::ReturnByValue).isNull()) << "the previous image is still shown";
        accept(dialog);
        expectStored(c.key, good);

        ConfigDialog second(quietServices(), nullptr);
        EXPECT_TRUE(c.use(second, other));
        accept(second);
        expectStored(c.key, other);
    }
}
