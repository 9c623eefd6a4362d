#include "ui/StudyDialog.h"

#include "store/StudyStore.h"
#include "stress/RampTable.h"
#include "ui/DialogFieldMarks.h"
#include "ui/ProtocolListDialog.h"
#include "ui/RecentPatient.h"
#include "ui/StudyFieldRules.h"
#include "ui_StudyDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QSettings>

namespace {

const QString kDateTimeFormat = QStringLiteral("yyyyMMddHHmmss");
const char *const kRiskFactorProperty = "riskFactorName";
const char *const kRestingEcgType = "ECG";
constexpr int kProtocolPage = 3;

QString text(const QByteArray &utf8) { return QString::fromUtf8(utf8); }
QByteArray bytes(const QString &value) { return value.toUtf8(); }

}  // namespace

const char *const StudyDialog::kIdTypeListKey = "StudyDialog/IdTypeList";
const char *const StudyDialog::kMedicalGroupListKey = "StudyDialog/MedicalGroupList";
const char *const StudyDialog::kCityListKey = "StudyDialog/CityList";
const char *const StudyDialog::kStateListKey = "StudyDialog/StateList";
const char *const StudyDialog::kTechnicianNameListKey = "StudyDialog/TechnicianNameList";
const char *const StudyDialog::kDoctorNameListKey = "StudyDialog/DoctorNameList";
const char *const StudyDialog::kReferringDoctorNameListKey = "StudyDialog/ReferringDoctorNameList";
const char *const StudyDialog::kLastProtocolKey = "StudyDialog/LastProtocol";
const char *const StudyDialog::kTiltTestName = "Tilt test";

StudyDialog::StudyDialog(StudyStore &store, StudyInfo &info, Mode mode, const QString &workloadUnit, QWidget *parent)
    : QDialog(parent), ui_(new Ui::StudyDialog), store_(store), info_(info), mode_(mode), workloadUnit_(workloadUnit) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    switch (mode_) {
    case Mode::NewEcg: setWindowTitle(tr("New ECG study")); break;
    case Mode::NewStressTest: setWindowTitle(tr("New Stress Test study")); break;
    case Mode::Stored: setWindowTitle(tr("Study data")); break;
    }
    remembered_ = {{ui_->cmbIdType, kIdTypeListKey},
                   {ui_->cmbMedicalGroup, kMedicalGroupListKey},
                   {ui_->cmbCity, kCityListKey},
                   {ui_->cmbState, kStateListKey},
                   {ui_->cmbTechnicianName, kTechnicianNameListKey},
                   {ui_->cmbDoctorName, kDoctorNameListKey},
                   {ui_->cmbReferringDoctorName, kReferringDoctorNameListKey}};

    fillProtocols(QSettings().value(QLatin1String(kLastProtocolKey)).toString());
    fillRememberedFields();
    buildRiskFactorRows();
    if (isRestingEcg()) ui_->lstPages->item(kProtocolPage)->setHidden(true);
    if (mode_ != Mode::Stored) ui_->dtStudyDateTime->setDateTime(QDateTime::currentDateTime());
    showRecord(info_, mode_ == Mode::Stored);
    ui_->lstPages->setCurrentRow(0);
}

StudyDialog::~StudyDialog() = default;

bool StudyDialog::isRestingEcg() const {
    return mode_ == Mode::NewEcg || (mode_ == Mode::Stored && info_.studyType == kRestingEcgType);
}

void StudyDialog::fillProtocols(const QString &select) {
    QComboBox *list = ui_->cmbProtocol;
    list->clear();
    list->addItems(store_.protocolNames());
    list->addItems(rampNames());
    list->addItem(QString::fromLatin1(kTiltTestName));
    const int found = list->findText(select);
    if (found >= 0) list->setCurrentIndex(found);
}

QStringList StudyDialog::rampNames() const {
    try {
        return RampTable(RampTable::filePathUnder(store_.rootFolder())).names();
    } catch (const std::exception &) {
        // A damaged ramp file is reported where ramps are edited; the
        // protocols can still be chosen here.
        return QStringList();
    }
}

void StudyDialog::fillRememberedFields() {
    const QSettings settings;
    for (const RememberedField &field : remembered_) {
        field.combo->clear();
        field.combo->addItems(StudyFieldRules::offered(settings.value(QLatin1String(field.key)).toStringList()));
        field.combo->setCurrentIndex(-1);
        field.combo->setEditText(QString());
    }
}

void StudyDialog::buildRiskFactorRows() {
    QGridLayout *grid = ui_->riskFactorGrid;
    int row = 1;  // row 0 holds the column headings
    for (const QByteArray &name : store_.defaultRiskFactors()) {
        const QString shown = text(name);
        auto *check = new QCheckBox(shown, ui_->riskFactorArea);
        check->setObjectName(QStringLiteral("chk_") + shown);
        check->setProperty(kRiskFactorProperty, shown);
        auto *comment = new QLineEdit(ui_->riskFactorArea);
        comment->setObjectName(QStringLiteral("txt_") + shown);
        comment->setProperty(kRiskFactorProperty, shown);
        comment->setPlaceholderText(tr("Comments..."));
        grid->addWidget(check, row, 0);
        grid->addWidget(comment, row, 1);
        riskFactors_.append({name, check, comment});
        ++row;
    }
    grid->setRowStretch(row, 1);
}

void StudyDialog::showRecord(const StudyInfo &record, bool loadDateTime) {
    // Loading is not an edit: the record's own age is shown as stored, and
    // derived again below only when the birth date reads (a patient copied
    // from an older study is older now).
    {
        const QSignalBlocker birthDate(ui_->txtBirthDate);
        const QSignalBlocker studyDate(ui_->dtStudyDateTime);
        ui_->txtBirthDate->setText(StudyFieldRules::shownBirthDate(record.patientBirthDate));
        if (loadDateTime) {
            const QDateTime stored = QDateTime::fromString(text(record.studyDateTime), kDateTimeFormat);
            if (stored.isValid()) ui_->dtStudyDateTime->setDateTime(stored);
        }
    }
    ui_->txtFirstName->setText(text(record.patientFirstName));
    ui_->txtLastName->setText(text(record.patientLastName));
    ui_->cmbSex->setCurrentIndex(StudyFieldRules::sexIndex(record.patientSex));
    ui_->txtAge->setText(text(record.patientAge));
    if (StudyFieldRules::parseBirthDate(ui_->txtBirthDate->text()).isValid()) updateAge();
    ui_->txtWeight->setText(text(record.patientWeight));
    ui_->txtHeight->setText(text(record.patientHeight));
    ui_->cmbIdType->setEditText(text(record.patientPersonIdType));
    ui_->txtIdNumber->setText(text(record.patientPersonIdNumber));
    ui_->cmbMedicalGroup->setEditText(text(record.patientMedicalGroupName));
    ui_->txtMedicalGroupNumber->setText(text(record.patientMedicalGroupNumber));
    ui_->txtMedicalHistoryNumber->setText(text(record.patientMedicalHistoryNumber));
    ui_->txtPhoneNumber->setText(text(record.patientPhoneNumber));
    ui_->txtAddress->setText(text(record.patientAddress));
    ui_->cmbCity->setEditText(text(record.patientCity));
    ui_->cmbState->setEditText(text(record.patientState));

    ui_->cmbTechnicianName->setEditText(text(record.technicianName));
    ui_->cmbDoctorName->setEditText(text(record.doctorName));
    ui_->cmbReferringDoctorName->setEditText(text(record.referringDoctorName));
    ui_->txtIndication->setPlainText(text(record.indication));
    ui_->txtMedication->setPlainText(text(record.treatment));
    ui_->txtComments->setPlainText(text(record.comments));

    if (!record.protocolName.isEmpty()) {
        const QString name = text(record.protocolName);
        // A stored study keeps the name of a protocol removed since.
        if (ui_->cmbProtocol->findText(name) < 0) ui_->cmbProtocol->addItem(name);
        ui_->cmbProtocol->setCurrentText(name);
    }

    for (const RiskFactorRow &row : riskFactors_) {
        row.check->setChecked(false);
        row.comment->clear();
    }
    for (const RiskFactor &factor : record.riskFactors) {
        for (const RiskFactorRow &row : riskFactors_) {
            if (row.name != factor.name) continue;
            row.check->setChecked(factor.checked);
            row.comment->setText(text(factor.comment));
        }
    }
    updateBodyMassIndex();
    updateTrainingZone();
}

void StudyDialog::writeRecord(StudyInfo &record) const {
    record.patientFirstName = bytes(ui_->txtFirstName->text());
    record.patientLastName = bytes(ui_->txtLastName->text());
    record.patientSex = StudyFieldRules::sexCode(ui_->cmbSex->currentIndex());
    record.patientBirthDate = StudyFieldRules::storedBirthDate(ui_->txtBirthDate->text());
    record.patientAge = bytes(ui_->txtAge->text());
    record.patientWeight = bytes(ui_->txtWeight->text());
    record.patientHeight = bytes(ui_->txtHeight->text());
    record.patientPersonIdType = bytes(ui_->cmbIdType->currentText());
    record.patientPersonIdNumber = bytes(ui_->txtIdNumber->text());
    record.patientMedicalGroupName = bytes(ui_->cmbMedicalGroup->currentText());
    record.patientMedicalGroupNumber = bytes(ui_->txtMedicalGroupNumber->text());
    record.patientMedicalHistoryNumber = bytes(ui_->txtMedicalHistoryNumber->text());
    record.patientPhoneNumber = bytes(ui_->txtPhoneNumber->text());
    record.patientAddress = bytes(ui_->txtAddress->text());
    record.patientCity = bytes(ui_->cmbCity->currentText());
    record.patientState = bytes(ui_->cmbState->currentText());

    record.studyDateTime = bytes(ui_->dtStudyDateTime->dateTime().toString(kDateTimeFormat));
    record.technicianName = bytes(ui_->cmbTechnicianName->currentText());
    record.doctorName = bytes(ui_->cmbDoctorName->currentText());
    record.referringDoctorName = bytes(ui_->cmbReferringDoctorName->currentText());
    record.indication = bytes(ui_->txtIndication->toPlainText());
    record.treatment = bytes(ui_->txtMedication->toPlainText());
    record.comments = bytes(ui_->txtComments->toPlainText());

    // A resting ECG runs no protocol: its hidden page must not give it one.
    if (!isRestingEcg()) {
        record.protocolName = bytes(ui_->cmbProtocol->currentText());
        record.patientTrainingZoneMax = bytes(ui_->txtHRMax->text());
        record.patientTrainingZoneSubMax = bytes(ui_->txtHRSubmax->text());
    }

    record.riskFactors.clear();
    for (const RiskFactorRow &row : riskFactors_)
        record.riskFactors.append({row.name, row.check->isChecked(), bytes(row.comment->text())});
}

void StudyDialog::rememberTypedValues() const {
    QSettings settings;
    for (const RememberedField &field : remembered_) {
        const QString key = QLatin1String(field.key);
        settings.setValue(key,
                          StudyFieldRules::remember(settings.value(key).toStringList(), field.combo->currentText()));
    }
    if (!isRestingEcg()) settings.setValue(QLatin1String(kLastProtocolKey), ui_->cmbProtocol->currentText());
}

bool StudyDialog::validate() {
    const bool firstName = !ui_->txtFirstName->text().trimmed().isEmpty();
    const bool lastName = !ui_->txtLastName->text().trimmed().isEmpty();
    const bool age = isRestingEcg() || ui_->txtAge->text().trimmed().toInt() > 1;
    const bool sex = isRestingEcg() || ui_->cmbSex->currentIndex() > 0;
    DialogFieldMarks::mark(ui_->txtFirstName, firstName);
    DialogFieldMarks::mark(ui_->txtLastName, lastName);
    DialogFieldMarks::mark(ui_->txtAge, age);
    DialogFieldMarks::mark(ui_->cmbSex, sex);
    return firstName && lastName && age && sex;
}

void StudyDialog::accept() {
    if (!validate()) {
        // Every field the checks name is on the patient page.
        ui_->lstPages->setCurrentRow(0);
        return;
    }
    writeRecord(info_);
    rememberTypedValues();
    QDialog::accept();
}

void StudyDialog::updateAge() {
    ui_->txtAge->setText(StudyFieldRules::ageText(ui_->txtBirthDate->text(), ui_->dtStudyDateTime->date()));
}

void StudyDialog::updateBodyMassIndex() {
    ui_->txtBmi->setText(StudyFieldRules::bodyMassIndexText(ui_->txtWeight->text(), ui_->txtHeight->text()));
}

void StudyDialog::updateTrainingZone() {
    const int maxRate =
        StudyFieldRules::maxHeartRate(ui_->cmbSex->currentIndex() == 1, ui_->txtAge->text().trimmed().toInt());
    ui_->txtHRMax->setText(QString::number(maxRate));
    ui_->txtHRSubmax->setText(
        QString::number(StudyFieldRules::subMaxHeartRate(maxRate, ui_->spnSubmaxPercent->value())));
}

void StudyDialog::on_lstPages_currentRowChanged(int row) {
    if (row >= 0) ui_->stkPages->setCurrentIndex(row);
}

void StudyDialog::on_txtBirthDate_textChanged(const QString &) { updateAge(); }

void StudyDialog::on_dtStudyDateTime_dateTimeChanged(const QDateTime &) { updateAge(); }

void StudyDialog::on_txtWeight_textChanged(const QString &) { updateBodyMassIndex(); }

void StudyDialog::on_txtHeight_textChanged(const QString &) { updateBodyMassIndex(); }

void StudyDialog::on_txtAge_textChanged(const QString &) { updateTrainingZone(); }

void StudyDialog::on_cmbSex_currentIndexChanged(int) { updateTrainingZone(); }

void StudyDialog::on_spnSubmaxPercent_valueChanged(int) { updateTrainingZone(); }

void StudyDialog::on_btnRepeatPatient_clicked() {
    const std::optional<StudyInfo> latest = RecentPatient::latest(store_);
    // The date and time belong to this study, not to the patient.
    if (latest) showRecord(*latest, false);
}

void StudyDialog::on_btnProtocols_clicked() {
    const QString chosen = ui_->cmbProtocol->currentText();
    ProtocolListDialog dialog(store_, workloadUnit_, this);
    dialog.exec();
    fillProtocols(chosen);
}
