#pragma once
// Edits the global configuration: report header and signature, acquisition
// source, exercise equipment, automatic export and hardware tuning. Controls
// are filled from the settings when the dialog opens and written back only
// when it is accepted. Also runs the acquisition test over the chosen source
// and finds the paired Bluetooth front end.

#include "acquisition/AcqDeviceFactory.h"

#include <QDialog>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

class AcquisitionTestWindow;
class QLabel;
class QLineEdit;

namespace Ui {
class ConfigDialog;
}

class ConfigDialog : public QDialog {
    Q_OBJECT
public:
    // What the dialog asks of the machine, replaceable so tests need no
    // paired device and no demonstration recording in the current folder.
    struct Services {
        // The Bluetooth serial ports on which a front end answers; slow (it
        // probes every candidate port), so it runs off the window's thread.
        std::function<QStringList()> detectBluetoothDevices;
        // Where the demonstration recording is looked for.
        std::function<QStringList()> replaySearchFolders;
        // The serial ports offered for the equipment.
        std::function<QStringList()> serialPorts;
    };
    static Services systemServices();

    explicit ConfigDialog(QWidget *parent = nullptr);
    ConfigDialog(Services services, QWidget *parent);
    ~ConfigDialog() override;

    // The acquisition source as the controls choose it now (accepted or not).
    AcqSettings acquisitionChoices() const;

    // Creates the source from the controls and opens the live window over it;
    // null (after the error box) when the source cannot be created.
    AcquisitionTestWindow *startAcquisitionTest();
    AcquisitionTestWindow *acquisitionTestWindow() const;

    // Shows `file` as the report logo (or signature) to be saved; a file
    // that does not load as an image is refused with a warning and the
    // previous image stays.
    bool useLogo(const QString &file);
    bool useSignature(const QString &file);

    // Puts the one device found into "Bluetooth port", or tells why not.
    void applyDetectedDevices(const QStringList &ports);

private Q_SLOTS:
    void on_btnAcqTest_clicked();
    void on_ConfigDialog_accepted();
    void on_listCategory_currentRowChanged(int row);
    void on_btnSelectLogo_clicked();
    void on_btnRemoveLogo_clicked();
    void on_btnSelectSignature_clicked();
    void on_btnRemoveSignature_clicked();
    void on_rbtAcqDeviceBT_toggled(bool checked);
    void on_btnBluetoothDetect_clicked();
    void on_btnHardwareDefaults_clicked();
    void on_cboErgometerEquipment_currentIndexChanged(int index);
    void on_cboTreadmillEquipment_currentIndexChanged(int index);
    void on_chkAutoExportReports_clicked();
    void on_chkAutoExportStudies_clicked();
    void on_btnExportEcgReportFolder_clicked();
    void on_btnExportStressReportFolder_clicked();
    void on_btnExportEcgStudyFolder_clicked();
    void on_btnExportStressStudyFolder_clicked();

private:
    void fillChoices();
    void loadSettings();
    void applyExportRules();
    // Loads `file` as the preview in `preview`; false when it is not an image.
    static bool showImage(QLabel *preview, const QString &file);
    bool useImage(QLabel *preview, QString &file, const QString &chosen, const QString &failure);
    QString askForImage(const QString &current);
    void chooseFolder(QLineEdit *field);
    QStringList runDetection();

    std::unique_ptr<Ui::ConfigDialog> ui_;
    Services services_;
    QString logoFile_;
    QString signatureFile_;
    QPointer<AcquisitionTestWindow> testWindow_;
};
