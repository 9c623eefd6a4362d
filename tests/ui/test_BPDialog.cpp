#include "ui/BPDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class BPDialogTest : public ::testing::Test {
protected:
    void SetUp() override { QSettings().remove(BPDialog::kPrintKey); }
    void TearDown() override { QSettings().remove(BPDialog::kPrintKey); }

    // Shown and active, so focus moves can be observed.
    static void open(BPDialog &dialog) {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    static QLineEdit *field(BPDialog &dialog, const char *name) { return dialog.findChild<QLineEdit *>(name); }
    static QPushButton *ok(BPDialog &dialog) {
        return dialog.findChild<QDialogButtonBox *>("buttonBox")->button(QDialogButtonBox::Ok);
    }
    static QCheckBox *printBox(BPDialog &dialog) { return dialog.findChild<QCheckBox *>("chkPrint"); }
};

TEST_F(BPDialogTest, FocusMovesToDiastolicOnceTheSystolicValueExceeds35) {
    struct Case {
        const char *typed;
        int digitsBeforeMove;  // 0: never moves
    };
    for (const Case &c : std::vector<Case>{{"120", 3}, {"40", 2}, {"99", 2}, {"35", 0}, {"9", 0}}) {
        BPDialog dialog(QStringLiteral("Exercise 1"));
        open(dialog);
        QLineEdit *sbp = field(dialog, "txtSBP");
        ASSERT_TRUE(sbp->hasFocus());
        const QString typed = QString::fromLatin1(c.typed);
        for (int i = 0; i < typed.size(); ++i) {
            QTest::keyClick(sbp, typed[i].toLatin1());
            const bool moved = i + 1 == c.digitsBeforeMove;
            EXPECT_EQ(field(dialog, "txtDBP")->hasFocus(), moved) << c.typed << " after " << i + 1 << " digits";
            if (moved) break;
        }
        EXPECT_EQ(sbp->text(), typed);
    }
}

TEST_F(BPDialogTest, OkIsEnabledOnlyForAReadingThatCanBeTaken) {
    struct Case {
        const char *sbp, *dbp;
        bool enabled;
    };
    for (const Case &c : std::vector<Case>{{"120", "80", true},
                                           {"80", "80", false},
                                           {"80", "120", false},
                                           {"120", "", false},
                                           {"", "80", false},
                                           {"140", "0", false}}) {
        BPDialog dialog(QStringLiteral("Exercise 2"));
        open(dialog);
        EXPECT_FALSE(ok(dialog)->isEnabled());
        QTest::keyClicks(field(dialog, "txtSBP"), QString::fromLatin1(c.sbp));
        QTest::keyClicks(field(dialog, "txtDBP"), QString::fromLatin1(c.dbp));
        EXPECT_EQ(ok(dialog)->isEnabled(), c.enabled) << c.sbp << "/" << c.dbp;
    }
}

TEST_F(BPDialogTest, AcceptingStoresTheReadingAndRemembersPrintForTheNextDialog) {
    {
        BPDialog dialog(QStringLiteral("Exercise 3\n7.0 km/h 12.0 %"));
        open(dialog);
        EXPECT_FALSE(printBox(dialog)->isChecked());
        QTest::keyClicks(field(dialog, "txtSBP"), QStringLiteral("150"));
        QTest::keyClicks(field(dialog, "txtDBP"), QStringLiteral("85"));
        QTest::mouseClick(printBox(dialog), Qt::LeftButton);
        QTest::mouseClick(ok(dialog), Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.sbp(), 150);
        EXPECT_EQ(dialog.dbp(), 85);
        EXPECT_TRUE(dialog.print());
    }
    EXPECT_TRUE(QSettings().value(BPDialog::kPrintKey).toBool());
    // A later stage, or a later test: the box starts ticked.
    BPDialog next(QStringLiteral("Recovery 1"));
    EXPECT_TRUE(printBox(next)->isChecked());
}

TEST_F(BPDialogTest, CancelAndRefusedReadingsStoreNothing) {
    BPDialog cancelled(QStringLiteral("Exercise 1"));
    open(cancelled);
    QTest::keyClicks(field(cancelled, "txtSBP"), QStringLiteral("130"));
    QTest::keyClicks(field(cancelled, "txtDBP"), QStringLiteral("70"));
    printBox(cancelled)->setChecked(true);
    cancelled.findChild<QDialogButtonBox *>("buttonBox")->button(QDialogButtonBox::Cancel)->click();
    EXPECT_EQ(cancelled.result(), QDialog::Rejected);
    EXPECT_EQ(cancelled.sbp(), 0);
    EXPECT_EQ(cancelled.dbp(), 0);
    EXPECT_FALSE(QSettings().contains(BPDialog::kPrintKey));

    // Enter in the diastolic field, or a caller's accept(), cannot take 80/80.
    BPDialog equal(QStringLiteral("Exercise 1"));
    open(equal);
    QSignalSpy accepted(&equal, &QDialog::accepted);
    QTest::keyClicks(field(equal, "txtSBP"), QStringLiteral("80"));
    QTest::keyClicks(field(equal, "txtDBP"), QStringLiteral("80"));
    QTest::keyClick(field(equal, "txtDBP"), Qt::Key_Return);
    equal.accept();
    EXPECT_EQ(accepted.count(), 0);
    EXPECT_TRUE(equal.isVisible());
    EXPECT_EQ(equal.sbp(), 0);
}

}  // namespace
