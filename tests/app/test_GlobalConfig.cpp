#include "app/GlobalConfig.h"

#include <QSet>
#include <QSettings>
#include <gtest/gtest.h>

using GlobalConfig::Key;

class GlobalConfigTest : public ::testing::Test {
protected:
    void SetUp() override { QSettings().clear(); }
    void TearDown() override { QSettings().clear(); }
};

TEST_F(GlobalConfigTest, UnwrittenKeysReadAsTheirDefaults) {
    struct Case {
        Key key;
        const char *name;
        QVariant expected;
    };
    const std::vector<Case> cases = {
        {Key::AcqMode, "Config/AcqMode", QString()},
        {Key::AcqBluetoothPort, "Config/AcqBluetoothPort", QString()},
        {Key::SignalGain, "Config/SignalGain", 0.0},
        {Key::HRProtocol, "Config/HRProtocol", false},
        {Key::LowBatteryLevel, "Config/LowBatteryLevel", 0.0},
        {Key::ErgometerEquipment, "Config/ErgometerEquipment", QString()},
        {Key::TreadmillPort, "Config/TreadmillPort", QString()},
        {Key::ErgometerWorkloadUnits, "Config/ErgometerWorkloadUnits", QString()},
        {Key::AutoExportStudies, "Config/AutoExportStudies", false},
        {Key::AutoExportReports, "Config/AutoExportReports", false},
        {Key::ExportStressReportFolder, "Config/ExportStressReportFolder", QString()},
        {Key::ReportSignatureLicense, "ReportDialog/SignatureLicense", QString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GlobalConfig::name(c.key), c.name);
        EXPECT_EQ(GlobalConfig::value(c.key), c.expected);
    }
    const AcqSettings acq = GlobalConfig::acquisitionSettings();
    EXPECT_TRUE(acq.mode.isEmpty()) << "an empty mode selects the USB device";
    EXPECT_EQ(acq.signalGain, 0.0) << "an unset gain leaves the device's own range";
    EXPECT_FALSE(acq.hrProtocol);
    EXPECT_DOUBLE_EQ(GlobalConfig::lowBatteryThreshold(), 2.3);
}

TEST_F(GlobalConfigTest, WrittenValuesAreReadBackThroughFreshSettings) {
    GlobalConfig::setValue(Key::AcqMode, "demo");
    GlobalConfig::setValue(Key::SignalGain, 200);
    GlobalConfig::setValue(Key::HRProtocol, true);
    GlobalConfig::setValue(Key::LowBatteryLevel, 2.6);
    EXPECT_EQ(QSettings().value("Config/AcqMode").toString(), "demo");
    const AcqSettings acq = GlobalConfig::acquisitionSettings();
    EXPECT_EQ(acq.mode, "demo");
    EXPECT_DOUBLE_EQ(acq.signalGain, 200.0);
    EXPECT_TRUE(acq.hrProtocol);
    EXPECT_DOUBLE_EQ(GlobalConfig::lowBatteryThreshold(), 2.6);
}

TEST_F(GlobalConfigTest, GarbageNumbersFallBackToTheDefault) {
    QSettings().setValue("Config/LowBatteryLevel", "not a number");
    EXPECT_DOUBLE_EQ(GlobalConfig::lowBatteryThreshold(), 2.3);
}

TEST_F(GlobalConfigTest, EveryKeyHasItsOwnName) {
    QSet<QString> names;
    for (Key key : GlobalConfig::allKeys()) {
        const QString name = GlobalConfig::name(key);
        EXPECT_TRUE(name.startsWith("Config/") || name.startsWith("ReportDialog/")) << name.toStdString();
        EXPECT_FALSE(names.contains(name)) << name.toStdString();
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 22);
}
