#include "DialogTestSupport.h"
#include "ui/DialogFieldMarks.h"
#include "ui/ProtocolListDialog.h"
#include "ui/StudyDialog.h"
#include "ui/StudyFieldRules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

namespace {

class StudyDialogTest : public DialogTest::StoreFixture {
protected:
    template <typename T>
    static T *widget(StudyDialog &dialog, const QString &name) {
        T *found = dialog.findChild<T *>(name);
        EXPECT_NE(found, nullptr) << qPrintable(name);
        return found;
    }
    static QLineEdit *line(StudyDialog &d, const char *name) { return widget<QLineEdit>(d, QLatin1String(name)); }
    static QComboBox *combo(StudyDialog &d, const char *name) { return widget<QComboBox>(d, QLatin1String(name)); }
    // Keys for plain ASCII; the test keyboard has no accented letters, so
    // those arrive as the insertion an input method makes.
    static void type(QWidget *field, const QString &text) {
        if (auto *box = qobject_cast<QComboBox *>(field)) field = box->lineEdit();
        bool ascii = true;
        for (QChar ch : text) ascii = ascii && ch.unicode() < 128;
        if (ascii) {
            QTest::keyClicks(field, text);
        } else if (auto *line = qobject_cast<QLineEdit *>(field)) {
            line->insert(text);
        } else if (auto *plain = qobject_cast<QPlainTextEdit *>(field)) {
            plain->insertPlainText(text);
        }
    }
    static void pressOk(StudyDialog &dialog) {
        widget<QDialogButtonBox>(dialog, QStringLiteral("buttonBox"))->button(QDialogButtonBox::Ok)->click();
    }
    // The fields every stress test needs.
    static void fillRequired(StudyDialog &d) {
        type(line(d, "txtFirstName"), QStringLiteral("Ana"));
        type(line(d, "txtLastName"), QStringLiteral("Pérez"));
        combo(d, "cmbSex")->setCurrentIndex(2);
        type(line(d, "txtAge"), QStringLiteral("54"));
    }
    qint32 storeStudy(const char *last, const char *dateTime, const char *city) {
        StudyInfo info;
        info.studyType = "Stress test";
        info.studyDateTime = dateTime;
        info.patientFirstName = "Luis";
        info.patientLastName = last;
        info.patientCity = city;
        info.patientBirthDate = "19620305";
        info.patientAge = "40";  // stale: the age on some earlier date
        info.riskFactors = {{"Diabetes", true, "tipo 2"}};
        info.samplingRate = 500;
        info.channelCount = 2;
        info.channelNames = "I,II";
        info.resolution = 16;
        info.gainMax = 10.0;
        Study *study = store().createStudy(info);
        store().closeStudy(study);
        return info.id;
    }
};

TEST_F(StudyDialogTest, ANewStressTestWritesWhatWasTypedIntoTheRecord) {
    QSettings().setValue(QLatin1String(StudyDialog::kLastProtocolKey), QStringLiteral("Naughton"));
    StudyInfo info;
    info.studyType = "Stress test";
    info.studyDateTime = "19990101000000";  // a new study takes the current time instead
    StudyDialog dialog(store(), info, StudyDialog::Mode::NewStressTest, QStringLiteral("watts"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("New Stress Test study"));
    EXPECT_EQ(combo(dialog, "cmbProtocol")->currentText(), QStringLiteral("Naughton"));
    EXPECT_EQ(combo(dialog, "cmbProtocol")->itemText(combo(dialog, "cmbProtocol")->count() - 1),
              QStringLiteral("Tilt test"));

    type(line(dialog, "txtFirstName"), QStringLiteral("Ana María"));
    type(line(dialog, "txtLastName"), QStringLiteral("Pérez"));
    combo(dialog, "cmbSex")->setCurrentIndex(1);
    widget<QDateTimeEdit>(dialog, QStringLiteral("dtStudyDateTime"))
        ->setDateTime(QDateTime(QDate(2024, 3, 4), QTime(9, 30, 15)));
    type(line(dialog, "txtBirthDate"), QStringLiteral("5/3/62"));
    EXPECT_EQ(line(dialog, "txtAge")->text(), QStringLiteral("61"));
    type(line(dialog, "txtWeight"), QStringLiteral("80"));
    type(line(dialog, "txtHeight"), QStringLiteral("180"));
    EXPECT_EQ(line(dialog, "txtBmi")->text(), QStringLiteral("24.7"));
    type(combo(dialog, "cmbCity"), QStringLiteral("Rosario"));
    type(combo(dialog, "cmbTechnicianName"), QStringLiteral("Marta"));
    type(widget<QPlainTextEdit>(dialog, QStringLiteral("txtMedication")), QStringLiteral("atenolol"));
    widget<QCheckBox>(dialog, QStringLiteral("chk_Diabetes"))->setChecked(true);
    type(widget<QLineEdit>(dialog, QStringLiteral("txt_Diabetes")), QStringLiteral("tipo 2"));
    combo(dialog, "cmbProtocol")->setCurrentText(QStringLiteral("Bruce"));
    pressOk(dialog);

    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(info.patientFirstName, QByteArray("Ana María"));
    EXPECT_EQ(info.patientLastName, QByteArray("Pérez"));
    EXPECT_EQ(info.patientSex, QByteArray("M"));
    EXPECT_EQ(info.patientBirthDate, QByteArray("19620305"));
    EXPECT_EQ(info.patientAge, QByteArray("61"));
    EXPECT_EQ(info.studyDateTime, QByteArray("20240304093015"));
    EXPECT_EQ(info.patientCity, QByteArray("Rosario"));
    EXPECT_EQ(info.technicianName, QByteArray("Marta"));
    EXPECT_EQ(info.treatment, QByteArray("atenolol"));
    EXPECT_EQ(info.protocolName, QByteArray("Bruce"));
    EXPECT_EQ(info.patientTrainingZoneMax, QByteArray("159"));     // 220 - 61
    EXPECT_EQ(info.patientTrainingZoneSubMax, QByteArray("135"));  // 85 % truncated
    EXPECT_EQ(info.studyType, QByteArray("Stress test"));
    // Every default factor, in the store's order, checked or not.
    ASSERT_EQ(info.riskFactors.size(), store().defaultRiskFactors().size());
    for (int i = 0; i < info.riskFactors.size(); ++i) {
        const RiskFactor &factor = info.riskFactors[i];
        EXPECT_EQ(factor.name, store().defaultRiskFactors()[i]);
        EXPECT_EQ(factor.checked, factor.name == "Diabetes");
        EXPECT_EQ(factor.comment, factor.name == "Diabetes" ? QByteArray("tipo 2") : QByteArray());
    }
    EXPECT_EQ(QSettings().value(QLatin1String(StudyDialog::kLastProtocolKey)).toString(), QStringLiteral("Bruce"));
}

TEST_F(StudyDialogTest, AStoredStudyIsShownAndEditedInPlace) {
    StudyInfo info;
    info.studyType = "Stress test";
    info.studyDateTime = "20230615143000";
    info.patientFirstName = "Luis";
    info.patientLastName = "Gómez";
    info.patientSex = "F";
    info.patientBirthDate = "19700101";
    info.patientAge = "53";
    info.patientHeight = "0";
    info.indication = "dolor torácico\natípico";
    info.protocolName = "A protocol removed since";
    info.riskFactors = {{"Gota", true, "leve"}, {"Not offered any more", true, "x"}};
    StudyDialog dialog(store(), info, StudyDialog::Mode::Stored, QStringLiteral("watts"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Study data"));
    EXPECT_EQ(combo(dialog, "cmbSex")->currentText(), QStringLiteral("Female"));
    EXPECT_EQ(line(dialog, "txtBirthDate")->text(), QStringLiteral("1/1/1970"));
    EXPECT_EQ(line(dialog, "txtAge")->text(), QStringLiteral("53"));
    EXPECT_EQ(line(dialog, "txtBmi")->text(), QString());
    EXPECT_EQ(line(dialog, "txtHRMax")->text(), QStringLiteral("157"));  // 210 - 53
    EXPECT_EQ(widget<QDateTimeEdit>(dialog, QStringLiteral("dtStudyDateTime"))->dateTime(),
              QDateTime(QDate(2023, 6, 15), QTime(14, 30)));
    EXPECT_TRUE(widget<QCheckBox>(dialog, QStringLiteral("chk_Gota"))->isChecked());
    EXPECT_EQ(widget<QLineEdit>(dialog, QStringLiteral("txt_Gota"))->text(), QStringLiteral("leve"));

    line(dialog, "txtLastName")->setText(QStringLiteral("Gómez Ruiz"));
    pressOk(dialog);
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(info.patientLastName, QByteArray("Gómez Ruiz"));
    EXPECT_EQ(info.studyDateTime, QByteArray("20230615143000"));
    EXPECT_EQ(info.indication, QByteArray("dolor torácico\natípico"));
    EXPECT_EQ(info.protocolName, QByteArray("A protocol removed since"));
    EXPECT_EQ(info.patientBirthDate, QByteArray("19700101"));
}

TEST_F(StudyDialogTest, AcceptanceIsRefusedUntilTheRequiredFieldsAreFilled) {
    struct Case {
        StudyDialog::Mode mode;
        const char *studyType;
        const char *first, *last, *age;
        int sex;
        std::vector<const char *> marked;  // empty: accepted
    };
    const std::vector<Case> cases{
        {StudyDialog::Mode::NewStressTest,
         "Stress test",
         "",
         "  ",
         "",
         0,
         {"txtFirstName", "txtLastName", "txtAge", "cmbSex"}},
        {StudyDialog::Mode::NewStressTest, "Stress test", "Ana", "Pérez", "1", 1, {"txtAge"}},
        {StudyDialog::Mode::NewStressTest, "Stress test", "Ana", "Pérez", "40", 0, {"cmbSex"}},
        {StudyDialog::Mode::NewStressTest, "Stress test", "Ana", "Pérez", "40", 2, {}},
        {StudyDialog::Mode::NewEcg, "ECG", "Ana", "Pérez", "", 0, {}},
        {StudyDialog::Mode::NewEcg, "ECG", "Ana", "", "", 0, {"txtLastName"}},
        {StudyDialog::Mode::Stored, "ECG", "Ana", "Pérez", "", 0, {}},
        {StudyDialog::Mode::Stored, "Stress test", "Ana", "Pérez", "", 0, {"txtAge", "cmbSex"}},
    };
    for (const Case &c : cases) {
        StudyInfo info;
        info.studyType = c.studyType;
        StudyDialog dialog(store(), info, c.mode, QStringLiteral("watts"));
        line(dialog, "txtFirstName")->setText(QString::fromUtf8(c.first));
        line(dialog, "txtLastName")->setText(QString::fromUtf8(c.last));
        line(dialog, "txtAge")->setText(QString::fromUtf8(c.age));
        combo(dialog, "cmbSex")->setCurrentIndex(c.sex);
        pressOk(dialog);
        const bool accepted = dialog.result() == QDialog::Accepted;
        EXPECT_EQ(accepted, c.marked.empty()) << c.first << "/" << c.last << "/" << c.age;
        for (const char *name : {"txtFirstName", "txtLastName", "txtAge", "cmbSex"}) {
            const bool expected = std::find_if(c.marked.begin(), c.marked.end(),
                                               [&](const char *m) { return qstrcmp(m, name) == 0; }) != c.marked.end();
            EXPECT_EQ(DialogFieldMarks::isMarked(dialog.findChild<QWidget *>(name)), expected) << name;
        }
        if (!accepted) {
            EXPECT_TRUE(info.patientFirstName.isEmpty());
        }
    }
}

TEST_F(StudyDialogTest, ARestingEcgHasNoProtocolPageAndGetsNoProtocol) {
    QSettings().setValue(QLatin1String(StudyDialog::kLastProtocolKey), QStringLiteral("Bruce"));
    StudyInfo info;
    info.studyType = "ECG";
    StudyDialog dialog(store(), info, StudyDialog::Mode::NewEcg, QStringLiteral("watts"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("New ECG study"));
    EXPECT_TRUE(widget<QListWidget>(dialog, QStringLiteral("lstPages"))->item(3)->isHidden());
    type(line(dialog, "txtFirstName"), QStringLiteral("Ana"));
    type(line(dialog, "txtLastName"), QStringLiteral("Pérez"));
    pressOk(dialog);
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(info.protocolName.isEmpty());
    EXPECT_TRUE(info.patientTrainingZoneMax.isEmpty());
    EXPECT_TRUE(info.patientSex.isEmpty());
}

TEST_F(StudyDialogTest, TypedValuesAreRememberedTrimmedAndOfferedSorted) {
    for (const char *typed : {"  Rosario ", "Rosario", "córdoba", "Azul"}) {
        StudyInfo info;
        StudyDialog dialog(store(), info, StudyDialog::Mode::NewStressTest, QStringLiteral("watts"));
        fillRequired(dialog);
        EXPECT_EQ(combo(dialog, "cmbCity")->currentText(), QString());  // starts empty
        type(combo(dialog, "cmbCity"), QString::fromUtf8(typed));
        pressOk(dialog);
        ASSERT_EQ(dialog.result(), QDialog::Accepted);
    }
    EXPECT_EQ(QSettings().value(QLatin1String(StudyDialog::kCityListKey)).toStringList(),
              (QStringList{"Rosario", "córdoba", "Azul"}));
    // Nothing typed, nothing remembered.
    EXPECT_TRUE(QSettings().value(QLatin1String(StudyDialog::kStateListKey)).toStringList().isEmpty());

    StudyInfo info;
    StudyDialog dialog(store(), info, StudyDialog::Mode::NewStressTest, QStringLiteral("watts"));
    QComboBox *city = combo(dialog, "cmbCity");
    QStringList offered;
    for (int i = 0; i < city->count(); ++i) offered << city->itemText(i);
    EXPECT_EQ(offered, (QStringList{"Azul", "córdoba", "Rosario"}));
}

TEST_F(StudyDialogTest, TrainingZoneFollowsSexAgeAndPercentage) {
    StudyInfo info;
    StudyDialog dialog(store(), info, StudyDialog::Mode::NewStressTest, QStringLiteral("watts"));
    combo(dialog, "cmbSex")->setCurrentIndex(1);
    type(line(dialog, "txtAge"), QStringLiteral("50"));
    EXPECT_EQ(line(dialog, "txtHRMax")->text(), QStringLiteral("170"));
    EXPECT_EQ(line(dialog, "txtHRSubmax")->text(), QStringLiteral("144"));
    combo(dialog, "cmbSex")->setCurrentIndex(2);
    EXPECT_EQ(line(dialog, "txtHRMax")->text(), QStringLiteral("160"));
    EXPECT_EQ(line(dialog, "txtHRSubmax")->text(), QStringLiteral("136"));
    widget<QSpinBox>(dialog, QStringLiteral("spnSubmaxPercent"))->setValue(70);
    EXPECT_EQ(line(dialog, "txtHRSubmax")->text(), QStringLiteral("112"));
}

TEST_F(StudyDialogTest, RepeatPatientCopiesTheMostRecentStudyButNotItsDate) {
    // Nothing stored: nothing changes.
    {
        StudyInfo info;
        StudyDialog dialog(store(), info, StudyDialog::Mode::NewStressTest, QStringLiteral("watts"));
        widget<QPushButton>(dialog, QStringLiteral("btnRepeatPatient"))->click();
        EXPECT_EQ(line(dialog, "txtLastName")->text(), QString());
    }
    storeStudy("Older", "20240101080000", "Azul");
    const qint32 latest = storeStudy("Newest", "20250101080000", "Tandil");
    storeStudy("Middle", "20240601080000", "Junín");
    // The newest study held open elsewhere stays untouched by the copy.
    Study *held = store().openStudy(latest);
    ASSERT_NE(held, nullptr);

    StudyInfo info;
    StudyDialog dialog(store(), info, StudyDialog::Mode::NewStressTest, QStringLiteral("watts"));
    const QDateTime now = widget<QDateTimeEdit>(dialog, QStringLiteral("dtStudyDateTime"))->dateTime();
    widget<QPushButton>(dialog, QStringLiteral("btnRepeatPatient"))->click();
    EXPECT_EQ(line(dialog, "txtLastName")->text(), QStringLiteral("Newest"));
    EXPECT_EQ(combo(dialog, "cmbCity")->currentText(), QStringLiteral("Tandil"));
    EXPECT_EQ(line(dialog, "txtBirthDate")->text(), QStringLiteral("5/3/1962"));
    // The age is the patient's on this study's date, not on the copied one's.
    EXPECT_EQ(line(dialog, "txtAge")->text(), StudyFieldRules::ageText(QStringLiteral("5/3/1962"), now.date()));
    EXPECT_TRUE(widget<QCheckBox>(dialog, QStringLiteral("chk_Diabetes"))->isChecked());
    EXPECT_EQ(widget<QDateTimeEdit>(dialog, QStringLiteral("dtStudyDateTime"))->dateTime(), now);
    EXPECT_TRUE(store().isStudyOpen(latest));
    EXPECT_EQ(held->property("patient/lastName"), QByteArray("Newest"));
    store().closeStudy(held);
}

TEST_F(StudyDialogTest, ProtocolsButtonRefreshesTheListAndKeepsTheChoice) {
    StudyInfo info;
    StudyDialog dialog(store(), info, StudyDialog::Mode::NewStressTest, QStringLiteral("watts"));
    combo(dialog, "cmbProtocol")->setCurrentText(QStringLiteral("Who"));
    store().removeProtocol(QStringLiteral("Naughton"));  // as if removed in the list dialog
    DialogTest::whenModalShows<ProtocolListDialog>([](ProtocolListDialog *list) { list->reject(); });
    widget<QPushButton>(dialog, QStringLiteral("btnProtocols"))->click();
    QComboBox *protocols = combo(dialog, "cmbProtocol");
    EXPECT_EQ(protocols->findText(QStringLiteral("Naughton")), -1);
    EXPECT_EQ(protocols->currentText(), QStringLiteral("Who"));
}

}  // namespace
