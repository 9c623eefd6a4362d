#include "DialogTestSupport.h"
#include "store/ProtocolTable.h"
#include "stress/RampTable.h"
#include "ui/DialogFieldMarks.h"
#include "ui/ProtocolListDialog.h"
#include "ui/RampDialog.h"
#include "ui/StudyDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

namespace {

class RampDialogsTest : public DialogTest::StoreFixture {
protected:
    static QDoubleSpinBox *spin(QDialog &d, const char *name) {
        return d.findChild<QDoubleSpinBox *>(QLatin1String(name));
    }
    static void pressOk(QDialog &d) {
        d.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))->button(QDialogButtonBox::Ok)->click();
    }
    static QByteArray readAll(const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static RampProtocol walking(double finalSpeed) {
        RampProtocol ramp;
        ramp.name = QStringLiteral("Rampa");
        ramp.durationMinutes = 10.0;
        ramp.initialSpeed = 3.0;
        ramp.finalSpeed = finalSpeed;
        return ramp;
    }
};

TEST_F(RampDialogsTest, TheTargetUptakeAndTheEndPointsFollowEachOther) {
    struct Case {
        bool bySpeed;
        double target;
        double finalSpeed, finalIncline;
    };
    // Walking at 5 km/h to 20 ml/kg/min needs (20 - 3.5 - 8.375) / 1.5075 %;
    // on the level it needs (20 - 3.5) / 1.675 km/h.
    for (const Case &c : std::vector<Case>{{false, 20.0, 5.0, 5.39}, {true, 20.0, 9.85, 0.0}}) {
        RampDialog dialog(walking(5.0), QStringList());
        dialog.findChild<QCheckBox *>(QStringLiteral("chkBySpeed"))->setChecked(c.bySpeed);
        spin(dialog, "spnTargetVo2")->setValue(c.target);
        EXPECT_NEAR(spin(dialog, "spnFinalSpeed")->value(), c.finalSpeed, 0.005);
        EXPECT_NEAR(spin(dialog, "spnFinalIncline")->value(), c.finalIncline, 0.005);
        EXPECT_NEAR(dialog.ramp().finalSpeed, c.finalSpeed, 0.005);
    }
    // An end point typed by the user gives the uptake it reaches, and the
    // increments per minute follow every change.
    RampDialog dialog(walking(5.0), QStringList());
    spin(dialog, "spnFinalIncline")->setValue(10.0);
    EXPECT_NEAR(spin(dialog, "spnTargetVo2")->value(), 0.3015 * 5 * 10 + 1.675 * 5 + 3.5, 0.05);
    spin(dialog, "spnDuration")->setValue(8.0);
    EXPECT_EQ(dialog.findChild<QLabel *>(QStringLiteral("lblSpeedIncrementValue"))->text(),
              QStringLiteral("0.25 km/h per minute"));
    EXPECT_EQ(dialog.findChild<QLabel *>(QStringLiteral("lblInclineIncrementValue"))->text(),
              QStringLiteral("1.25 % per minute"));
    // The running preset.
    dialog.findChild<QRadioButton *>(QStringLiteral("radRunning"))->setChecked(true);
    EXPECT_DOUBLE_EQ(dialog.ramp().initialSpeed, 8.0);
    EXPECT_DOUBLE_EQ(dialog.ramp().finalSpeed, 12.0);
}

TEST_F(RampDialogsTest, ARampThatCannotBeRunIsRefused) {
    struct Case {
        const char *name;
        double duration, target;
        const char *marked;  // null: accepted
    };
    for (const Case &c :
         std::vector<Case>{{"Bruce", 10, 25, "txtName"},
                           {"  ", 10, 25, "txtName"},
                           {"Rampa", 0, 25, "spnDuration"},
                           {"Rampa", 10, 5, "spnFinalIncline"},  // below what 5 km/h level walking needs
                           {"Rampa", 10, 25, nullptr}}) {
        RampDialog dialog(walking(5.0), QStringList{QStringLiteral("Bruce")});
        dialog.findChild<QLineEdit *>(QStringLiteral("txtName"))->setText(QString::fromUtf8(c.name));
        spin(dialog, "spnDuration")->setValue(c.duration);
        spin(dialog, "spnTargetVo2")->setValue(c.target);
        pressOk(dialog);
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.marked == nullptr) << c.name << " " << c.target;
        if (c.marked) {
            EXPECT_TRUE(DialogFieldMarks::isMarked(dialog.findChild<QWidget *>(c.marked))) << c.marked;
        }
    }
}

TEST_F(RampDialogsTest, ARampCreatedInTheListIsSavedBesideTheTableAndOffered) {
    const QByteArray protocolsBefore = readAll(ProtocolTable::filePathUnder(root()));
    ProtocolListDialog dialog(store(), QStringLiteral("watts"));
    dialog.show();
    DialogTest::whenModalShows<RampDialog>([](RampDialog *ramp) {
        ramp->findChild<QLineEdit *>(QStringLiteral("txtName"))->setText(QStringLiteral("Rampa 12 min"));
        spin(*ramp, "spnDuration")->setValue(12.0);
        spin(*ramp, "spnTargetVo2")->setValue(30.0);
        pressOk(*ramp);
    });
    dialog.findChild<QPushButton *>(QStringLiteral("btnNewRamp"))->click();

    RampProtocol saved;
    ASSERT_TRUE(RampTable(RampTable::filePathUnder(root())).ramp(QStringLiteral("Rampa 12 min"), saved));
    EXPECT_DOUBLE_EQ(saved.durationMinutes, 12.0);
    EXPECT_DOUBLE_EQ(saved.initialSpeed, 3.0);  // the walking preset of a new ramp
    EXPECT_DOUBLE_EQ(saved.finalSpeed, 6.0);
    EXPECT_NEAR(saved.finalIncline, (30.0 - 3.5 - 1.675 * 6) / (0.3015 * 6), 1e-9);
    EXPECT_EQ(dialog.findChild<QListWidget *>(QStringLiteral("lstRamps"))->count(), 1);
    // The protocol table's file is not touched by a ramp.
    EXPECT_EQ(readAll(ProtocolTable::filePathUnder(root())), protocolsBefore);

    // The study dialog offers it after the protocols and before "Tilt test".
    StudyInfo info;
    StudyDialog study(store(), info, StudyDialog::Mode::NewStressTest, QStringLiteral("watts"));
    auto *protocols = study.findChild<QComboBox *>(QStringLiteral("cmbProtocol"));
    const int count = protocols->count();
    EXPECT_EQ(protocols->itemText(count - 2), QStringLiteral("Rampa 12 min"));
    EXPECT_EQ(protocols->itemText(count - 1), QStringLiteral("Tilt test"));

    // Deleted after a "Yes": gone from the list and the file.
    dialog.findChild<QListWidget *>(QStringLiteral("lstRamps"))->setCurrentRow(0);
    DialogTest::whenModalShows<QMessageBox>([](QMessageBox *box) {
        EXPECT_EQ(box->text(), QStringLiteral("Remove ramp Rampa 12 min?"));
        box->button(QMessageBox::Yes)->click();
    });
    dialog.findChild<QPushButton *>(QStringLiteral("btnDeleteRamp"))->click();
    EXPECT_TRUE(RampTable(RampTable::filePathUnder(root())).names().isEmpty());
    EXPECT_EQ(dialog.findChild<QListWidget *>(QStringLiteral("lstRamps"))->count(), 0);
}

TEST_F(RampDialogsTest, ADamagedRampFileLeavesTheProtocolsUsableAndIsNotWrittenOver) {
    QFile file(RampTable::filePathUnder(root()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[{\"name\": ");
    file.close();
    ProtocolListDialog dialog(store(), QStringLiteral("watts"));
    EXPECT_FALSE(dialog.findChild<QPushButton *>(QStringLiteral("btnNewRamp"))->isEnabled());
    EXPECT_EQ(dialog.findChild<QLabel *>(QStringLiteral("lblRampError"))->text(),
              QStringLiteral("Cannot read ramp table"));
    EXPECT_GT(dialog.findChild<QListWidget *>(QStringLiteral("lstProtocols"))->count(), 0);
    EXPECT_EQ(readAll(RampTable::filePathUnder(root())), QByteArray("[{\"name\": "));
}

}  // namespace
