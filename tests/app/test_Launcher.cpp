// The launcher's pages and their guards: free space, failed starts, the
// recent list, opening a stored study, the study data dialog and the
// protocol editor behind it, automatic export, and its keys.

#include "app/GlobalConfig.h"
#include "app/MainWindow.h"
#include "app/OpenStudyDialog.h"
#include "app/RecentStudies.h"
#include "store/ProtocolTable.h"
#include "store/Study.h"
#include "store/StudyFiles.h"
#include "stress/MonitorEngine.h"
#include "stress/MonitorSession.h"
#include "tests/app/LauncherTestSupport.h"
#include "ui/ProtocolDialog.h"
#include "ui/ProtocolListDialog.h"
#include "ui/StressMonitorWindow.h"
#include "ui/StudyDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>

using namespace LauncherTest;

namespace {

template <typename T>
T *child(QWidget &parent, const char *name) {
    T *found = parent.findChild<T *>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

QPushButton *button(QWidget &parent, const char *name) { return child<QPushButton>(parent, name); }

// Closes the monitor window before anything is recorded and waits until the
// launcher has taken the study back.
// Starts a stress test (a monitor closed before Start keeps no study) and
// closes its window, or closes a resting monitor as it is.
void closeMonitor(MainWindow &launcher) {
    ASSERT_NE(launcher.anyMonitorWindow(), nullptr);
    if (StressMonitorWindow *stress = launcher.monitorWindow()) {
        stress->findChild<QPushButton *>(QStringLiteral("btnStart"))->click();
        ASSERT_TRUE(stress->session().engine().running());
    }
    launcher.anyMonitorWindow()->close();
    ASSERT_TRUE(waitUntil([&] { return launcher.anyMonitorWindow() == nullptr; }));
}

// A stored, closed study of patient `last`.
qint32 storeStudy(StudyStore &store, const QByteArray &last) {
    StudyInfo info;
    info.studyType = "stress";
    info.patientLastName = last;
    info.patientFirstName = "Ana";
    info.samplingRate = kRate;
    info.channelCount = 3;
    info.channelNames = "I,II,III";
    info.resolution = 16;
    info.gainMax = 300.0;
    Study *study = store.createStudy(info);
    store.saveStudy(*study);
    store.closeStudy(study);
    return info.id;
}

QStringList listedProtocols(MainWindow &launcher) {
    QStringList names;
    auto *list = child<QComboBox>(launcher, "cmbProtocol");
    for (int i = 0; i < list->count(); ++i) names << list->itemText(i);
    return names;
}

bool protocolFileHas(const QString &root, const QString &name) {
    QFile file(ProtocolTable::filePathUnder(root));
    return file.open(QIODevice::ReadOnly) && file.readAll().contains("\"" + name.toUtf8() + "\"");
}

}  // namespace

TEST(Launcher, StartsOnlyWithFiftyMegabytesFree) {
    const QString refused = QStringLiteral(
        "Warning: There is not enough free space on disk.\nPlease free at least 50 MB to start a new study.");
    struct Case {
        std::optional<qint64> freeBytes;
        bool starts;
    };
    const Case cases[] = {
        {49LL * 1024 * 1024, false},
        {StudyStore::kMinimumFreeBytes - 1, false},
        {StudyStore::kMinimumFreeBytes, true},
        {std::nullopt, true},  // the disk could not be asked
    };
    for (const Case &c : cases) {
        Profile profile;
        Devices devices;
        StudyStore::Services services;
        services.freeBytes = [&](const QString &) { return c.freeBytes; };
        MainWindow launcher(devices.factory(), services);
        launcher.show();
        MessageCatcher messages;
        button(launcher, "btnStartStress")->click();
        ASSERT_TRUE(waitUntil([&] { return !c.starts || launcher.anyMonitorWindow() != nullptr; }, 2000));
        EXPECT_EQ(launcher.anyMonitorWindow() != nullptr, c.starts);
        EXPECT_EQ(devices.tiltFlags.size(), c.starts ? 1u : 0u) << "no device is created on a full disk";
        EXPECT_EQ(messages.texts(), c.starts ? QStringList() : QStringList{refused});
        if (c.starts) {
            closeMonitor(launcher);
        } else {
            EXPECT_TRUE(launcher.isEnabled());
            EXPECT_TRUE(launcher.store().listStudies().isEmpty());
        }
    }
}

TEST(Launcher, AFailedStartShowsTheErrorAndLeavesNothingBehind) {
    Profile profile;
    MainWindow launcher([](bool) -> std::unique_ptr<AcqDevice> { throw std::runtime_error("Device not found"); });
    launcher.show();
    MessageCatcher messages;
    button(launcher, "btnStartStress")->click();
    ASSERT_TRUE(waitUntil([&] { return !messages.texts().isEmpty(); }, 2000));
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Error: Device not found")});
    EXPECT_EQ(launcher.anyMonitorWindow(), nullptr);
    EXPECT_TRUE(launcher.isEnabled());
    EXPECT_TRUE(launcher.store().listStudies().isEmpty());
    EXPECT_FALSE(QSettings().contains(QLatin1String(StudyDialog::kLastProtocolKey)))
        << "a protocol is remembered only when its test started";
}

// Tells the study one sampling rate and the engine another, so the monitor
// window refuses the study it was handed.
class ShapeShiftingDevice : public ScriptedDevice {
public:
    ShapeShiftingDevice() : ScriptedDevice(kChannels, kRate) {}
    int samplingRate() const override { return asked_++ == 0 ? kRate : kRate / 2; }

private:
    mutable int asked_ = 0;
};

TEST(Launcher, AMonitorWindowThatCannotOpenLeavesNoStudyBehind) {
    Profile profile;
    MainWindow launcher([](bool) { return std::make_unique<ShapeShiftingDevice>(); });
    launcher.show();
    MessageCatcher messages;
    button(launcher, "btnStartStress")->click();
    ASSERT_TRUE(waitUntil([&] { return !messages.texts().isEmpty(); }, 2000));
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Error: The study's recording does not match the device")});
    EXPECT_EQ(launcher.anyMonitorWindow(), nullptr);
    EXPECT_TRUE(launcher.isEnabled());
    EXPECT_TRUE(launcher.store().listStudies().isEmpty()) << "the study created for the window is removed again";
}

TEST(Launcher, TheRecentListShowsWellFormedEntriesNewestFirst) {
    Profile profile;
    RecentStudies::save({QStringLiteral("12||20261208101500||Doe||Jane"), QStringLiteral("13||20261208||Sosa"),
                         QStringLiteral("11||20261207080000||Ruiz||Luis")});
    MainWindow launcher([](bool) { return std::make_unique<ScriptedDevice>(kChannels, kRate); });
    auto *tree = child<QTreeWidget>(launcher, "treeStudies");
    EXPECT_EQ(tree->headerItem()->text(0), QStringLiteral("Date"));
    EXPECT_EQ(tree->headerItem()->text(1), QStringLiteral("Patient"));
    ASSERT_EQ(tree->topLevelItemCount(), 2) << "the entry of three parts is not shown";
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("08/12/2026 10:15"));
    EXPECT_EQ(tree->topLevelItem(0)->text(1), QStringLiteral("Doe, Jane"));
    EXPECT_EQ(tree->topLevelItem(1)->text(1), QStringLiteral("Ruiz, Luis"));
}

TEST(Launcher, OpeningAStoredStudyChecksTheIndexAndTheOpenStudies) {
    Profile profile;
    MainWindow launcher([](bool) { return std::make_unique<ScriptedDevice>(kChannels, kRate); });
    launcher.show();
    // Without a review window, Open says why it cannot be used, and so does
    // a study opened from the study browser.
    EXPECT_FALSE(button(launcher, "btnOpenOK")->isEnabled());
    EXPECT_EQ(button(launcher, "btnOpenOK")->toolTip(),
              QStringLiteral("Study review is not available in this installation"));
    EXPECT_TRUE(button(launcher, "btnOpenMore")->isEnabled()) << "the browser also imports, exports and deletes";
    {
        MessageCatcher messages;
        launcher.openStudyForReview(1);
        EXPECT_EQ(messages.texts(),
                  QStringList{QStringLiteral("Information: Study review is not available in this installation")});
    }

    StudyStore &store = launcher.store();
    const qint32 present = storeStudy(store, "Present");
    const qint32 held = storeStudy(store, "Held");
    const qint32 fileGone = storeStudy(store, "Gone");
    StudyInfo goneRow;
    ASSERT_TRUE(store.fetchRow(fileGone, goneRow));
    // Its study file is gone; the index still lists it.
    const QString goneFile =
        QFileInfo(StudyFiles::pathOf(store.rootFolder(), QString::fromUtf8(goneRow.baseFilename), "x")).path();
    for (const QFileInfo &file : QDir(goneFile).entryInfoList({QString::fromUtf8(goneRow.baseFilename) + ".*"}))
        ASSERT_TRUE(QFile::remove(file.filePath()));
    Study *heldOpen = store.openStudy(held);
    ASSERT_NE(heldOpen, nullptr);

    QList<qint32> opened;
    QPointer<QWidget> review;
    launcher.setReviewOpener([&](Study &study, StudyStore &, QWidget *) -> QWidget * {
        opened << study.id();
        review = new QWidget;
        review->setAttribute(Qt::WA_DeleteOnClose);
        return review;
    });
    EXPECT_TRUE(button(launcher, "btnOpenOK")->isEnabled());

    struct Case {
        qint32 id;
        QString message;  // empty: opened
    };
    const Case cases[] = {
        {present, QString()},
        {present, QStringLiteral("Information: Study is already open for review")},
        {held, QStringLiteral("Information: Study is already open for review")},
        {fileGone, QStringLiteral("Warning: Study file not found")},
        {987654, QStringLiteral("Warning: Study file not found")},
    };
    for (const Case &c : cases) {
        MessageCatcher messages;
        const int before = opened.size();
        launcher.openStudyForReview(c.id);
        EXPECT_EQ(opened.size(), before + (c.message.isEmpty() ? 1 : 0)) << c.id;
        EXPECT_EQ(messages.texts(), c.message.isEmpty() ? QStringList() : QStringList{c.message}) << c.id;
    }
    EXPECT_TRUE(store.isStudyOpen(present)) << "the review window holds it";
    review->close();
    ASSERT_TRUE(waitUntil([&] { return review.isNull(); }));
    EXPECT_FALSE(store.isStudyOpen(present)) << "and it is closed with the window";
    store.closeStudy(heldOpen);
}

TEST(Launcher, TheProtocolListFollowsTheEditorBehindMore) {
    Profile profile;
    MainWindow launcher([](bool) { return std::make_unique<ScriptedDevice>(kChannels, kRate); });
    launcher.show();
    const QString root = launcher.store().rootFolder();
    ASSERT_FALSE(listedProtocols(launcher).contains(QStringLiteral("Bici corta")));

    // More..., then "Protocols..." in the study data dialog, then New in
    // the list; the study data dialog is cancelled at the end.
    auto throughTheEditor = [&](const std::function<void(ProtocolListDialog *)> &edit) {
        whenModalShows<StudyDialog>([edit](StudyDialog *study) {
            whenModalShows<ProtocolListDialog>([edit](ProtocolListDialog *list) {
                edit(list);
                list->reject();
            });
            study->findChild<QPushButton *>(QStringLiteral("btnProtocols"))->click();
            study->reject();
        });
        button(launcher, "btnMoreStress")->click();
    };
    throughTheEditor([](ProtocolListDialog *list) {
        whenModalShows<ProtocolDialog>([](ProtocolDialog *editor) {
            editor->findChild<QLineEdit *>(QStringLiteral("txtName"))->setText(QStringLiteral("Bici corta"));
            editor->findChild<QComboBox *>(QStringLiteral("cmbType"))->setCurrentIndex(1);
            auto *phase = editor->findChild<QComboBox *>(QStringLiteral("cmbPhase"));
            for (int p : {0, 1}) {
                phase->setCurrentIndex(p);
                editor->findChild<QPushButton *>(QStringLiteral("btnAppend"))->click();
            }
            editor->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))->button(QDialogButtonBox::Ok)->click();
        });
        list->findChild<QPushButton *>(QStringLiteral("btnNew"))->click();
    });
    EXPECT_TRUE(listedProtocols(launcher).contains(QStringLiteral("Bici corta")));
    EXPECT_EQ(listedProtocols(launcher).last(), QStringLiteral("Tilt test"));
    EXPECT_TRUE(protocolFileHas(root, QStringLiteral("Bici corta")));
    EXPECT_EQ(launcher.anyMonitorWindow(), nullptr) << "a cancelled study data dialog starts nothing";

    throughTheEditor([](ProtocolListDialog *list) {
        auto *names = list->findChild<QListWidget *>(QStringLiteral("lstProtocols"));
        names->setCurrentItem(names->findItems(QStringLiteral("Bici corta"), Qt::MatchExactly).value(0));
        whenModalShows<QMessageBox>([](QMessageBox *box) { box->button(QMessageBox::Yes)->click(); });
        list->findChild<QPushButton *>(QStringLiteral("btnDelete"))->click();
    });
    EXPECT_FALSE(listedProtocols(launcher).contains(QStringLiteral("Bici corta")));
    EXPECT_FALSE(protocolFileHas(root, QStringLiteral("Bici corta")));
    EXPECT_TRUE(listedProtocols(launcher).contains(QStringLiteral("Bruce")));
}

TEST(Launcher, MoreOpensTheStudyDataPrefilledAndStartsWithItsResult) {
    Profile profile;
    Devices devices;
    MainWindow launcher(devices.factory());
    launcher.show();
    child<QLineEdit>(launcher, "txtLastName")->setText(QStringLiteral("Doe"));
    child<QLineEdit>(launcher, "txtFirstName")->setText(QStringLiteral("Jane"));
    child<QRadioButton>(launcher, "radFemale")->setChecked(true);
    child<QComboBox>(launcher, "cmbProtocol")->setCurrentText(QStringLiteral("Tilt test"));
    QStringList shown;
    whenModalShows<StudyDialog>([&](StudyDialog *dialog) {
        shown << dialog->findChild<QLineEdit *>(QStringLiteral("txtLastName"))->text()
              << dialog->findChild<QLineEdit *>(QStringLiteral("txtFirstName"))->text()
              << dialog->findChild<QComboBox *>(QStringLiteral("cmbSex"))->currentText()
              << dialog->findChild<QComboBox *>(QStringLiteral("cmbProtocol"))->currentText();
        dialog->findChild<QLineEdit *>(QStringLiteral("txtFirstName"))->setText(QStringLiteral("Janet"));
        dialog->findChild<QLineEdit *>(QStringLiteral("txtAge"))->setText(QStringLiteral("61"));
        dialog->findChild<QLineEdit *>(QStringLiteral("txtWeight"))->setText(QStringLiteral("70"));
        dialog->accept();
    });
    button(launcher, "btnMoreStress")->click();
    EXPECT_EQ(shown, (QStringList{"Doe", "Jane", "Female", "Tilt test"}));
    ASSERT_NE(launcher.monitorWindow(), nullptr) << "an accepted dialog starts the test";
    EXPECT_EQ(devices.tiltFlags, std::vector<bool>{true}) << "the tilt test acquires its own channels";
    closeMonitor(launcher);
    const QList<StudyInfo> studies = launcher.store().listStudies();
    ASSERT_EQ(studies.size(), 1);
    const std::unique_ptr<Study> study = launcher.store().readStudy(studies[0].id);
    ASSERT_NE(study, nullptr);
    const StudyInfo stored = launcher.store().studyInfo(*study);
    EXPECT_EQ(stored.patientFirstName, QByteArray("Janet"));
    EXPECT_EQ(stored.patientAge, QByteArray("61"));
    EXPECT_EQ(stored.patientWeight, QByteArray("70"));
    EXPECT_EQ(stored.protocolName, QByteArray("Tilt test"));
}

TEST(Launcher, AutomaticExportRunsOnlyWhenSwitchedOnWithAFolder) {
    struct Case {
        const char *what;
        bool autoExport;
        QString folder;  // "<shared>": a writable folder, "<file>": a plain file
        QString message;
        bool archive;
    };
    const Case cases[] = {
        {"on with a folder", true, "<shared>", "Information: Study file was succesfully exported to folder: %1", true},
        {"on without a folder", true, "", "", false},
        {"off", false, "<shared>", "", false},
        {"on with a folder that cannot be written", true, "<file>",
         "Warning: Study file could not be exported to folder: %1\nPlease check shared folder access with your "
         "network administrator.",
         false},
    };
    for (const Case &c : cases) {
        Profile profile;
        const QString shared = profile.folder.filePath(QStringLiteral("shared"));
        ASSERT_TRUE(QDir().mkpath(shared));
        QFile plain(profile.folder.filePath(QStringLiteral("plain")));
        ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
        plain.close();
        QString folder = c.folder;
        folder.replace(QStringLiteral("<shared>"), shared).replace(QStringLiteral("<file>"), plain.fileName());
        GlobalConfig::setValue(GlobalConfig::Key::AutoExportStudies, c.autoExport);
        GlobalConfig::setValue(GlobalConfig::Key::ExportStressStudyFolder, folder);
        MainWindow launcher([](bool) { return std::make_unique<ScriptedDevice>(kChannels, kRate); });
        launcher.show();
        MessageCatcher messages;
        button(launcher, "btnStartStress")->click();
        closeMonitor(launcher);
        if (!c.message.isEmpty()) {
            ASSERT_TRUE(waitUntil([&] { return !messages.texts().isEmpty(); }, 5000));
        }
        EXPECT_EQ(messages.texts(), c.message.isEmpty() ? QStringList() : QStringList{c.message.arg(folder)}) << c.what;
        EXPECT_EQ(QDir(shared).entryList(QDir::Files).size(), c.archive ? 1 : 0) << c.what;
        EXPECT_EQ(launcher.store().listStudies().size(), 1) << c.what << ": the study is saved whatever the export";
        EXPECT_EQ(child<QTreeWidget>(launcher, "treeStudies")->topLevelItemCount(), 1) << c.what;
        EXPECT_TRUE(launcher.isEnabled()) << c.what;
    }
}

TEST(Launcher, EveryActionHasAKey) {
    Profile profile;
    Devices devices;
    MainWindow launcher(devices.factory());
    launcher.show();
    QApplication::setActiveWindow(&launcher);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&launcher));
    auto *pages = child<QStackedWidget>(launcher, "stackPages");
    struct Case {
        QKeySequence key;
        const char *page;
    };
    const Case cases[] = {
        {QKeySequence(Qt::CTRL + Qt::Key_2), "pageNewStudyEcg"},
        {QKeySequence(Qt::CTRL + Qt::Key_3), "pageOpenStudy"},
        {QKeySequence(Qt::CTRL + Qt::Key_1), "pageNewStudyStress"},
    };
    for (const Case &c : cases) {
        QTest::keySequence(&launcher, c.key);
        EXPECT_TRUE(waitUntil([&] { return pages->currentWidget()->objectName() == QLatin1String(c.page); }, 2000))
            << qPrintable(c.key.toString());
    }

    // F2 opens the study data dialog of the page shown.
    QString title;
    whenModalShows<StudyDialog>([&](StudyDialog *dialog) {
        title = dialog->windowTitle();
        dialog->reject();
    });
    QTest::keyClick(&launcher, Qt::Key_F2);
    EXPECT_TRUE(waitUntil([&] { return title == QStringLiteral("New Stress Test study"); }, 2000)) << qPrintable(title);
    QApplication::setActiveWindow(&launcher);  // the closed dialog took activation with it
    QTest::keySequence(&launcher, QKeySequence(Qt::CTRL + Qt::Key_2));
    ASSERT_TRUE(waitUntil([&] { return pages->currentWidget()->objectName() == QStringLiteral("pageNewStudyEcg"); }));
    whenModalShows<StudyDialog>([&](StudyDialog *dialog) {
        title = dialog->windowTitle();
        dialog->reject();
    });
    QTest::keyClick(&launcher, Qt::Key_F2);
    EXPECT_TRUE(waitUntil([&] { return title == QStringLiteral("New ECG study"); }, 2000)) << qPrintable(title);

    // Ctrl+, opens the configuration; F2 on "Open study" the study browser,
    // from which a study opens through the launcher.
    const qint32 browsed = storeStudy(launcher.store(), "Browsed");
    QList<qint32> reviewed;
    launcher.setReviewOpener([&](Study &study, StudyStore &, QWidget *) -> QWidget * {
        reviewed << study.id();
        return nullptr;
    });
    QApplication::setActiveWindow(&launcher);
    whenModalShows<QDialog>([&](QDialog *dialog) {
        title = dialog->windowTitle();
        dialog->reject();
    });
    QTest::keySequence(&launcher, QKeySequence(Qt::CTRL + Qt::Key_Comma));
    EXPECT_TRUE(waitUntil([&] { return title == QStringLiteral("Configuration"); }, 2000)) << qPrintable(title);
    QApplication::setActiveWindow(&launcher);
    QTest::keySequence(&launcher, QKeySequence(Qt::CTRL + Qt::Key_3));
    ASSERT_TRUE(waitUntil([&] { return pages->currentWidget()->objectName() == QStringLiteral("pageOpenStudy"); }));
    whenModalShows<OpenStudyDialog>([&](OpenStudyDialog *browser) {
        auto *rows = browser->findChild<QTreeWidget *>(QStringLiteral("treeStudies"));
        for (int i = 0; i < rows->topLevelItemCount(); ++i)
            for (int column = 0; column < rows->columnCount(); ++column)
                if (rows->topLevelItem(i)->text(column).contains(QStringLiteral("Browsed")))
                    rows->setCurrentItem(rows->topLevelItem(i));
        if (!browser->openCurrent()) browser->reject();
    });
    QTest::keyClick(&launcher, Qt::Key_F2);
    EXPECT_TRUE(waitUntil([&] { return !reviewed.isEmpty(); }, 2000));
    EXPECT_EQ(reviewed, QList<qint32>{browsed});

    // Return on the recent list opens the study chosen.
    const qint32 id = storeStudy(launcher.store(), "Doe");
    RecentStudies::save({RecentStudies::format({id, "20261208101500", "Doe", "Ana"})});
    MainWindow withRecent([](bool) { return std::make_unique<ScriptedDevice>(kChannels, kRate); });
    QList<qint32> opened;
    withRecent.setReviewOpener([&](Study &study, StudyStore &, QWidget *) -> QWidget * {
        opened << study.id();
        return nullptr;
    });
    withRecent.show();
    QApplication::setActiveWindow(&withRecent);
    QTest::keySequence(&withRecent, QKeySequence(Qt::CTRL + Qt::Key_3));
    ASSERT_TRUE(waitUntil([&] { return child<QTreeWidget>(withRecent, "treeStudies")->isVisible(); }));
    QTest::keyClick(child<QTreeWidget>(withRecent, "treeStudies"), Qt::Key_Return);
    EXPECT_EQ(opened, QList<qint32>{id});
    withRecent.close();

    // Ctrl+Return starts the test of the page shown; Ctrl+Q closes.
    QApplication::setActiveWindow(&launcher);
    QTest::keySequence(&launcher, QKeySequence(Qt::CTRL + Qt::Key_1));
    ASSERT_TRUE(
        waitUntil([&] { return pages->currentWidget()->objectName() == QStringLiteral("pageNewStudyStress"); }));
    QTest::keySequence(&launcher, QKeySequence(Qt::CTRL + Qt::Key_Return));
    ASSERT_TRUE(waitUntil([&] { return launcher.monitorWindow() != nullptr; }, 2000));
    closeMonitor(launcher);
    QApplication::setActiveWindow(&launcher);
    QTest::keySequence(&launcher, QKeySequence(Qt::CTRL + Qt::Key_Q));
    EXPECT_TRUE(waitUntil([&] { return !launcher.isVisible(); }, 2000));
}
