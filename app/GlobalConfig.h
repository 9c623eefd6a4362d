#pragma once
// The program-wide settings: every global key with its default, read and
// written through a freshly constructed settings object each time, on the
// user-interface thread. No other file spells a key.

#include "acquisition/AcqDeviceFactory.h"

#include <QString>
#include <QVariant>

namespace GlobalConfig {

enum class Key {
    AcqMode,
    AcqBluetoothPort,
    SignalGain,
    HRProtocol,
    LowBatteryLevel,
    ErgometerEquipment,
    ErgometerPort,
    TreadmillEquipment,
    TreadmillPort,
    ErgometerWorkloadUnits,
    AutoExportStudies,
    ExportStressStudyFolder,
    ExportEcgStudyFolder,
    AutoExportReports,
    ExportEcgReportFolder,
    ExportStressReportFolder,
    ReportHeaderLogoFilename,
    ReportHeaderTitle,
    ReportHeaderInfo,
    ReportSignatureFilename,
    ReportSignatureName,
    ReportSignatureLicense,
};

// Every key, in table order (for the configuration dialog and the tests).
const QList<Key> &allKeys();
// The stored name, e.g. "Config/AcqMode".
QString name(Key key);
// What a reader gets when the key was never written.
QVariant defaultValue(Key key);

QVariant value(Key key);
// Whether the key was ever written (a dialog proposes its own value otherwise).
bool isStored(Key key);
void setValue(Key key, const QVariant &value);
QString text(Key key);
double number(Key key);
bool flag(Key key);

// The built-in low-battery threshold, replaced by a configured level above 0.
constexpr double kDefaultLowBatteryVolts = 2.3;
double lowBatteryThreshold();

// The acquisition settings the driver factory needs.
AcqSettings acquisitionSettings();

}  // namespace GlobalConfig
