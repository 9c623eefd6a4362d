#include "app/GlobalConfig.h"

#include <QSettings>
#include <map>

namespace GlobalConfig {
namespace {

struct Entry {
    const char *name;
    QVariant defaultValue;
};

const std::map<Key, Entry> &table() {
    static const std::map<Key, Entry> entries = {
        {Key::AcqMode, {"Config/AcqMode", QString()}},
        {Key::AcqBluetoothPort, {"Config/AcqBluetoothPort", QString()}},
        {Key::SignalGain, {"Config/SignalGain", 0.0}},
        {Key::HRProtocol, {"Config/HRProtocol", false}},
        {Key::LowBatteryLevel, {"Config/LowBatteryLevel", 0.0}},
        {Key::ErgometerEquipment, {"Config/ErgometerEquipment", QString()}},
        {Key::ErgometerPort, {"Config/ErgometerPort", QString()}},
        {Key::TreadmillEquipment, {"Config/TreadmillEquipment", QString()}},
        {Key::TreadmillPort, {"Config/TreadmillPort", QString()}},
        {Key::ErgometerWorkloadUnits, {"Config/ErgometerWorkloadUnits", QString()}},
        {Key::AutoExportStudies, {"Config/AutoExportStudies", false}},
        {Key::ExportStressStudyFolder, {"Config/ExportStressStudyFolder", QString()}},
        {Key::ExportEcgStudyFolder, {"Config/ExportEcgStudyFolder", QString()}},
        {Key::AutoExportReports, {"Config/AutoExportReports", false}},
        {Key::ExportEcgReportFolder, {"Config/ExportEcgReportFolder", QString()}},
        {Key::ExportStressReportFolder, {"Config/ExportStressReportFolder", QString()}},
        {Key::ReportHeaderLogoFilename, {"ReportDialog/HeaderLogoFilename", QString()}},
        {Key::ReportHeaderTitle, {"ReportDialog/HeaderTitle", QString()}},
        {Key::ReportHeaderInfo, {"ReportDialog/HeaderInfo", QString()}},
        {Key::ReportSignatureFilename, {"ReportDialog/SignatureFilename", QString()}},
        {Key::ReportSignatureName, {"ReportDialog/SignatureName", QString()}},
        {Key::ReportSignatureLicense, {"ReportDialog/SignatureLicense", QString()}},
    };
    return entries;
}

}  // namespace

const QList<Key> &allKeys() {
    static const QList<Key> keys = [] {
        QList<Key> list;
        for (const auto &entry : table()) list << entry.first;
        return list;
    }();
    return keys;
}

QString name(Key key) { return QString::fromLatin1(table().at(key).name); }

QVariant defaultValue(Key key) { return table().at(key).defaultValue; }

QVariant value(Key key) { return QSettings().value(name(key), defaultValue(key)); }

bool isStored(Key key) { return QSettings().contains(name(key)); }

void setValue(Key key, const QVariant &newValue) { QSettings().setValue(name(key), newValue); }

QString text(Key key) { return value(key).toString(); }

double number(Key key) {
    bool ok = false;
    const double v = value(key).toDouble(&ok);
    return ok ? v : defaultValue(key).toDouble();
}

bool flag(Key key) { return value(key).toBool(); }

double lowBatteryThreshold() {
    const double configured = number(Key::LowBatteryLevel);
    return configured > 0 ? configured : kDefaultLowBatteryVolts;
}

AcqSettings acquisitionSettings() {
    AcqSettings settings;
    settings.mode = text(Key::AcqMode);
    settings.bluetoothPort = text(Key::AcqBluetoothPort);
    settings.signalGain = number(Key::SignalGain);
    settings.hrProtocol = flag(Key::HRProtocol);
    return settings;
}

}  // namespace GlobalConfig
