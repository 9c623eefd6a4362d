#pragma once
// The patient and study data of a new study before recording, or of a stored
// study: shows a StudyInfo, derives age, body-mass index and training zone,
// remembers recently typed values, and on acceptance writes the edited
// values back into the same record.

#include "store/StudyInfo.h"

#include <QDialog>
#include <QList>
#include <QStringList>
#include <memory>

class QCheckBox;
class QComboBox;
class QLineEdit;
class StudyStore;

namespace Ui {
class StudyDialog;
}

class StudyDialog : public QDialog {
    Q_OBJECT
public:
    enum class Mode { NewEcg, NewStressTest, Stored };

    // Settings keys of the remembered value lists and of the last protocol.
    static const char *const kIdTypeListKey;
    static const char *const kMedicalGroupListKey;
    static const char *const kCityListKey;
    static const char *const kStateListKey;
    static const char *const kTechnicianNameListKey;
    static const char *const kDoctorNameListKey;
    static const char *const kReferringDoctorNameListKey;
    static const char *const kLastProtocolKey;
    // Entered after the store's protocols for tilt-table studies.
    static const char *const kTiltTestName;

    // `info` is shown now and overwritten on acceptance; it must outlive the
    // dialog. `workloadUnit` ("watts" or "kgm/min") is handed to the
    // protocol editor that "Protocols..." opens.
    StudyDialog(StudyStore &store, StudyInfo &info, Mode mode, const QString &workloadUnit, QWidget *parent = nullptr);
    ~StudyDialog() override;

    // Validates first: missing names, and for a stress test a missing sex or
    // an age not above 1, are marked and keep the dialog open.
    void accept() override;

private Q_SLOTS:
    void on_lstPages_currentRowChanged(int row);
    void on_txtBirthDate_textChanged(const QString &text);
    void on_dtStudyDateTime_dateTimeChanged(const QDateTime &value);
    void on_txtWeight_textChanged(const QString &text);
    void on_txtHeight_textChanged(const QString &text);
    void on_txtAge_textChanged(const QString &text);
    void on_cmbSex_currentIndexChanged(int index);
    void on_spnSubmaxPercent_valueChanged(int value);
    void on_btnRepeatPatient_clicked();
    void on_btnProtocols_clicked();

private:
    struct RememberedField {
        QComboBox *combo;
        const char *key;
    };
    struct RiskFactorRow {
        QByteArray name;
        QCheckBox *check;
        QLineEdit *comment;
    };

    bool isRestingEcg() const;
    // The store's protocols, then the treadmill ramps, then "Tilt test".
    void fillProtocols(const QString &select);
    QStringList rampNames() const;
    void fillRememberedFields();
    void buildRiskFactorRows();
    // `loadDateTime`: a stored study's date-time is shown; a new study keeps
    // the editor's current value.
    void showRecord(const StudyInfo &record, bool loadDateTime);
    void writeRecord(StudyInfo &record) const;
    void rememberTypedValues() const;
    bool validate();
    void updateAge();
    void updateBodyMassIndex();
    void updateTrainingZone();

    std::unique_ptr<Ui::StudyDialog> ui_;
    StudyStore &store_;
    StudyInfo &info_;
    Mode mode_;
    QString workloadUnit_;
    QList<RememberedField> remembered_;
    QList<RiskFactorRow> riskFactors_;
};
