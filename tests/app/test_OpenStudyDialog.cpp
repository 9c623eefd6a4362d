// The study browser over a store and a shared folder in temporary folders:
// what rows it shows, what opening, importing, exporting, deleting and
// "Show report" do to the store and the files, and what the user is told.

#include "app/OpenStudyDialog.h"
#include "acquisition/BeatFile.h"
#include "acquisition/FileSignal.h"
#include "store/QZipFileCreator.h"
#include "store/Study.h"
#include "store/StudyArchives.h"
#include "store/StudyStore.h"
#include "tests/ui/DialogTestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <functional>
#include <set>

namespace {

QStringList filesUnder(const QString &folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) files << it.next();
    files.sort();
    return files;
}

QByteArray contentsOf(const QStringList &files) {
    QByteArray all;
    for (const QString &path : files) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) all += path.toUtf8() + '\0' + file.readAll();
    }
    return all;
}

// What the user was told in the next message box, which is then answered
// with `button`.
struct MessageSeen {
    QString title;
    QString text;
    bool shown = false;
};

// Answers the next message boxes in turn, one button each, and keeps what
// each said.
std::vector<std::shared_ptr<MessageSeen>> answerBoxes(std::vector<QMessageBox::StandardButton> buttons) {
    std::vector<std::shared_ptr<MessageSeen>> seen;
    for (std::size_t i = 0; i < buttons.size(); ++i) seen.push_back(std::make_shared<MessageSeen>());
    auto answer = std::make_shared<std::function<void(std::size_t)>>();
    *answer = [seen, buttons, answer](std::size_t i) {
        DialogTest::whenModalShows<QMessageBox>([seen, buttons, answer, i](QMessageBox *box) {
            seen[i]->title = box->windowTitle();
            seen[i]->text = box->text();
            seen[i]->shown = true;
            if (i + 1 < buttons.size())
                (*answer)(i + 1);
            else
                *answer = nullptr;  // breaks the cycle once done
            if (QAbstractButton *b = box->button(buttons[i]))
                b->click();
            else
                box->accept();
        });
    };
    (*answer)(0);
    return seen;
}

std::shared_ptr<MessageSeen> answerNextBox(QMessageBox::StandardButton button = QMessageBox::Ok) {
    return answerBoxes({button})[0];
}

void settle() {
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

class BrowserTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings().remove(QStringLiteral("OpenStudyDialog"));
        ASSERT_TRUE(top_.isValid());
        root_ = top_.path() + QStringLiteral("/store");
        shared_ = top_.path() + QStringLiteral("/shared");
        ASSERT_TRUE(QDir().mkpath(shared_));
        store_ = std::make_unique<StudyStore>(root_);
    }
    void TearDown() override {
        store_.reset();
        QSettings().remove(QStringLiteral("OpenStudyDialog"));
    }

    // A closed study of three frames and one beat in `store`.
    static StudyInfo addStudy(StudyStore &store, const char *last, const char *first, const char *when,
                              const char *status = "", const char *type = "Stress test") {
        StudyInfo info;
        info.studyType = type;
        info.studyDateTime = when;
        info.recordingDateTime = when;
        info.protocolName = "Bruce";
        info.status = status;
        info.patientLastName = last;
        info.patientFirstName = first;
        info.samplingRate = 500;
        info.channelCount = 3;
        info.channelNames = "I,II,V5";
        info.resolution = 16;
        info.gainMax = 10.0;
        Study *study = store.createStudy(info);
        const std::int16_t a[] = {1, -2, 3}, b[] = {4, 5, -6}, c[] = {7, 8, 9};
        const std::int16_t *frames[] = {a, b, c};
        study->recording()->append(3, frames);
        study->beats()->append(QByteArray(BeatFile::recordLengthFor(3), '\x02'));
        store.saveStudy(*study);
        store.closeStudy(study);
        return info;
    }

    std::unique_ptr<OpenStudyDialog> makeDialog() {
        OpenStudyDialog::Services services;
        services.openStudy = [this](qint32 id) { openedIds_.push_back(id); };
        services.isOpenForReview = [this](qint32 id) { return reviewing_.count(id) > 0; };
        services.openUrl = [this](const QUrl &url) {
            openedUrls_ << url;
            return true;
        };
        auto dialog = std::make_unique<OpenStudyDialog>(*store_, services);
        dialog->show();
        return dialog;
    }

    static QTreeWidget *tree(OpenStudyDialog &dialog) {
        return dialog.findChild<QTreeWidget *>(QStringLiteral("treeStudies"));
    }
    static QStringList patients(OpenStudyDialog &dialog) {
        QStringList shown;
        for (int i = 0; i < tree(dialog)->topLevelItemCount(); ++i)
            if (!tree(dialog)->topLevelItem(i)->isHidden()) shown << tree(dialog)->topLevelItem(i)->text(1);
        return shown;
    }
    static QTreeWidgetItem *rowOf(OpenStudyDialog &dialog, const QString &patient) {
        for (int i = 0; i < tree(dialog)->topLevelItemCount(); ++i)
            if (tree(dialog)->topLevelItem(i)->text(1) == patient) return tree(dialog)->topLevelItem(i);
        ADD_FAILURE() << "no row " << patient.toStdString();
        return nullptr;
    }
    static void select(OpenStudyDialog &dialog, const QStringList &rows) {
        tree(dialog)->clearSelection();
        for (const QString &patient : rows) {
            QTreeWidgetItem *item = rowOf(dialog, patient);
            if (!item) continue;
            tree(dialog)->setCurrentItem(item, 0, QItemSelectionModel::Select);
        }
    }
    QList<qint32> storedIds() const {
        QList<qint32> ids;
        for (const StudyInfo &info : store_->listStudies()) ids << info.id;
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    QTemporaryDir top_;
    QString root_;
    QString shared_;
    std::unique_ptr<StudyStore> store_;
    std::vector<qint32> openedIds_;
    std::set<qint32> reviewing_;
    QList<QUrl> openedUrls_;
};

}  // namespace

// The type column names the kind of study, not the code the store keeps.
TEST_F(BrowserTest, TypeColumnNamesTheKindOfStudy) {
    const struct {
        const char *patient;
        const char *stored;
        const char *shown;
    } cases[] = {
        {"Stress", "stress", "Stress test"},
        {"Words", "Stress test", "Stress test"},
        {"Resting", "ECG", "ECG"},
        {"Unknown", "tilt", "tilt"},
    };
    for (const auto &c : cases) addStudy(*store_, c.patient, "A", "20261201093000", "", c.stored);
    auto dialog = makeDialog();
    for (const auto &c : cases) {
        QTreeWidgetItem *row = rowOf(*dialog, QStringLiteral("%1, A").arg(QLatin1String(c.patient)));
        ASSERT_NE(row, nullptr) << c.patient;
        EXPECT_EQ(row->text(2), QLatin1String(c.shown)) << c.stored;
    }
}

TEST_F(BrowserTest, LocalListShowsEveryStudyNewestFirstAndOpensTheChosenOne) {
    addStudy(*store_, "Pérez", "Ana", "20261201093000", "report");
    const StudyInfo newest = addStudy(*store_, "Gómez", "Luis", "20261207110000");
    auto dialog = makeDialog();
    EXPECT_EQ(patients(*dialog), QStringList({"Gómez, Luis", "Pérez, Ana"}));
    EXPECT_EQ(rowOf(*dialog, "Pérez, Ana")->text(2), "Stress test");
    EXPECT_FALSE(rowOf(*dialog, "Pérez, Ana")->text(3).isEmpty()) << "a reported study is marked";
    EXPECT_TRUE(rowOf(*dialog, "Gómez, Luis")->text(3).isEmpty());
    EXPECT_TRUE(rowOf(*dialog, "Gómez, Luis")->text(0).contains("07/12/2026"));

    QTreeWidgetItem *row = rowOf(*dialog, "Gómez, Luis");
    tree(*dialog)->setCurrentItem(row);
    emit tree(*dialog)->itemDoubleClicked(row, 0);
    EXPECT_EQ(openedIds_, std::vector<qint32>{newest.id});
    EXPECT_EQ(dialog->chosenStudyId(), newest.id);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST_F(BrowserTest, FindByNameIgnoresCaseAndAccents) {
    addStudy(*store_, "NUNEZ", "PEDRO", "20261201093000");
    addStudy(*store_, "Núñez", "Marta", "20261202093000");
    addStudy(*store_, "Pérez", "José", "20261203093000");
    auto dialog = makeDialog();
    struct Case {
        const char *filter;
        QStringList shown;
    };
    const std::vector<Case> cases = {
        {"Nuñez", {"Núñez, Marta", "NUNEZ, PEDRO"}},
        {"jose", {"Pérez, José"}},
        {"marta núnez", {"Núñez, Marta"}},
        {"zz", {}},
        {"", {"Pérez, José", "Núñez, Marta", "NUNEZ, PEDRO"}},
    };
    auto *field = dialog->findChild<QLineEdit *>(QStringLiteral("txtFindByName"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.filter);
        // Typed as the field receives it: keyClicks cannot type accents.
        field->setText(QString::fromUtf8(c.filter));
        EXPECT_EQ(patients(*dialog), c.shown);
    }
}

TEST_F(BrowserTest, SharedListShowsOnlyArchivesThatAreStudiesAndOpensOneByImportingIt) {
    // Another practice's store wrote the archive into the shared folder.
    QTemporaryDir otherRoot;
    {
        StudyStore other(otherRoot.path());
        const StudyInfo shared = addStudy(other, "Ibáñez", "Marta", "20261205080000");
        other.exportStudy(shared.id, shared_);
    }
    // Named like archives, but not ours: junk, and a zip without our comment.
    QFile junk(shared_ + QStringLiteral("/junk.hxz"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a zip at all");
    junk.close();
    {
        QZipFileCreator zip(shared_ + QStringLiteral("/other.hxz"));
        zip.addData("{}", QStringLiteral("info"));
        zip.setComment(QStringLiteral("SOMETHING ELSE"));
        zip.close();
    }
    addStudy(*store_, "Local", "Only", "20261201093000");

    auto dialog = makeDialog();
    dialog->setSharedFolder(shared_);
    dialog->showShared(true);
    EXPECT_TRUE(dialog->showingShared());
    EXPECT_EQ(patients(*dialog), QStringList({"Ibáñez, Marta"}));

    tree(*dialog)->setCurrentItem(rowOf(*dialog, "Ibáñez, Marta"));
    ASSERT_TRUE(dialog->openCurrent());
    ASSERT_EQ(openedIds_.size(), 1u);
    StudyInfo imported;
    ASSERT_TRUE(store_->fetchRow(openedIds_[0], imported)) << "opening a shared row stores the study first";
    EXPECT_EQ(imported.patientLastName, "Ibáñez");
    EXPECT_EQ(storedIds().size(), 2);

    dialog->showShared(false);
    EXPECT_EQ(patients(*dialog).size(), 2) << "back to the local list, now with the imported study";
}

TEST_F(BrowserTest, HostileArchiveIsRefusedWithTheArchiveErrorAndWritesNothing) {
    addStudy(*store_, "Pérez", "Ana", "20261201093000");
    QTemporaryDir otherRoot;
    QByteArray studyFile;
    {
        StudyStore other(otherRoot.path());
        const StudyInfo source = addStudy(other, "Doe", "John", "20261205080000");
        QFile file(QStringLiteral("%1/%2.hxstudy").arg(otherRoot.path(), QString::fromUtf8(source.baseFilename)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        studyFile = file.readAll();
    }
    const QString archive = shared_ + QStringLiteral("/crafted.hxz");
    {
        QJsonObject patient{{"lastName", "Doe"}, {"firstName", "John"}};
        QJsonObject info{{"baseFilename", "../../escape"},
                         {"studyDateTime", "20261205080000"},
                         {"studyType", "Stress test"},
                         {"patient", patient}};
        QZipFileCreator zip(archive);
        zip.addData(studyFile, QStringLiteral("hxstudy"));
        zip.addData(QByteArray(), QStringLiteral("hxecg"));
        zip.addData(QByteArray(), QStringLiteral("hxbeats"));
        zip.addData(QJsonDocument(info).toJson(QJsonDocument::Compact), QStringLiteral("info"));
        zip.setComment(QStringLiteral("HXZIP1"));
        zip.close();
    }
    const QStringList before = filesUnder(top_.path());
    const QByteArray contentsBefore = contentsOf(before);
    const QList<qint32> idsBefore = storedIds();

    auto dialog = makeDialog();
    auto seen = answerNextBox();
    EXPECT_EQ(dialog->importArchive(archive), 0);
    EXPECT_TRUE(seen->shown);
    EXPECT_EQ(seen->title, "Error");
    EXPECT_EQ(seen->text, QString::fromLatin1(StudyArchives::kNotValid));
    EXPECT_EQ(filesUnder(top_.path()), before) << "no file appears, inside the store or beside it";
    EXPECT_EQ(contentsOf(before), contentsBefore);
    EXPECT_EQ(storedIds(), idsBefore);
    EXPECT_TRUE(openedIds_.empty());
}

TEST_F(BrowserTest, DeleteAsksFirstAndLeavesAStudyOpenForReview) {
    const StudyInfo reviewed = addStudy(*store_, "Pérez", "Ana", "20261201093000");
    const StudyInfo other = addStudy(*store_, "Gómez", "Luis", "20261202093000");
    reviewing_.insert(reviewed.id);
    auto dialog = makeDialog();

    select(*dialog, {"Pérez, Ana", "Gómez, Luis"});
    auto declined = answerNextBox(QMessageBox::No);
    dialog->deleteSelected();
    EXPECT_EQ(declined->text, "Delete selected studies from local folder?");
    EXPECT_EQ(declined->title, "Confirm");
    EXPECT_EQ(storedIds().size(), 2) << "No deletes nothing";

    select(*dialog, {"Pérez, Ana", "Gómez, Luis"});
    const auto boxes = answerBoxes({QMessageBox::Yes, QMessageBox::Ok});
    const auto &confirmed = boxes[0];
    const auto &told = boxes[1];
    dialog->deleteSelected();
    settle();
    EXPECT_TRUE(confirmed->shown);
    EXPECT_EQ(storedIds(), QList<qint32>({reviewed.id}));
    EXPECT_EQ(patients(*dialog), QStringList({"Pérez, Ana"})) << "its row stays after the rebuild";
    EXPECT_EQ(told->text, "Study is already open for review");
    QFile studyFile(QStringLiteral("%1/%2.hxstudy").arg(root_, QString::fromUtf8(reviewed.baseFilename)));
    EXPECT_TRUE(studyFile.exists());
    (void)other;
}

TEST_F(BrowserTest, DeletingSharedRowsRemovesTheirArchivesOnly) {
    const StudyInfo kept = addStudy(*store_, "Pérez", "Ana", "20261201093000");
    store_->exportStudy(kept.id, shared_);
    auto dialog = makeDialog();
    dialog->setSharedFolder(shared_);
    dialog->showShared(true);
    ASSERT_EQ(patients(*dialog), QStringList({"Pérez, Ana"}));
    select(*dialog, {"Pérez, Ana"});
    auto confirmed = answerNextBox(QMessageBox::Yes);
    dialog->deleteSelected();
    EXPECT_EQ(confirmed->text, "Delete selected studies from shared folder?");
    EXPECT_TRUE(QDir(shared_).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(patients(*dialog).isEmpty());
    EXPECT_EQ(storedIds(), QList<qint32>({kept.id})) << "the local study stays";
}

TEST_F(BrowserTest, ShowReportOpensTheStoredPdfOrSaysItIsMissing) {
    const StudyInfo withPdf = addStudy(*store_, "Pérez", "Ana", "20261201093000", "report");
    addStudy(*store_, "Gómez", "Luis", "20261202093000", "report");
    addStudy(*store_, "Ruiz", "Eva", "20261203093000");
    ASSERT_TRUE(QDir().mkpath(root_ + QStringLiteral("/reports")));
    const QString pdf = QStringLiteral("%1/reports/%2.pdf").arg(root_, QString::fromUtf8(withPdf.baseFilename));
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("%PDF-1.4\n");
    file.close();
    auto dialog = makeDialog();

    tree(*dialog)->setCurrentItem(rowOf(*dialog, "Pérez, Ana"));
    dialog->showReport();
    ASSERT_EQ(openedUrls_.size(), 1);
    EXPECT_EQ(openedUrls_[0], QUrl::fromLocalFile(pdf));
    EXPECT_TRUE(openedUrls_[0].toString().startsWith("file:///"));

    tree(*dialog)->setCurrentItem(rowOf(*dialog, "Gómez, Luis"));
    auto seen = answerNextBox();
    dialog->showReport();
    EXPECT_EQ(seen->text, "Report file not found");
    EXPECT_EQ(seen->title, "Error");

    // Not reported: nothing opens and nothing is said.
    tree(*dialog)->setCurrentItem(rowOf(*dialog, "Ruiz, Eva"));
    dialog->showReport();
    settle();
    EXPECT_EQ(openedUrls_.size(), 1);
}

TEST_F(BrowserTest, ExportWritesAnArchiveThatImportsIntoAnotherStore) {
    const StudyInfo study = addStudy(*store_, "Pérez", "Ana", "20261201093000");
    auto dialog = makeDialog();
    select(*dialog, {"Pérez, Ana"});
    QTemporaryDir out;
    auto seen = answerNextBox();
    ASSERT_TRUE(dialog->exportSelected(out.path()));
    EXPECT_EQ(seen->text, QStringLiteral("Study file was succesfully exported to folder: %1").arg(out.path()));
    const QString archive = QStringLiteral("%1/%2.hxz").arg(out.path(), QString::fromUtf8(study.baseFilename));
    ASSERT_TRUE(QFile::exists(archive));

    QTemporaryDir otherRoot;
    StudyStore other(otherRoot.path());
    StudyInfo described;
    ASSERT_TRUE(other.readArchiveInfo(archive, described));
    EXPECT_EQ(described.patientLastName, "Pérez");
}

TEST_F(BrowserTest, TheChosenSharedFolderIsOfferedFirstNextTime) {
    QTemporaryDir second;
    {
        auto dialog = makeDialog();
        dialog->setSharedFolder(shared_);
        dialog->setSharedFolder(second.path());
        dialog->setSharedFolder(shared_);
    }
    QSettings settings;
    EXPECT_EQ(settings.value("OpenStudyDialog/SharedFolderList").toStringList(), QStringList({shared_, second.path()}));
    EXPECT_EQ(settings.value("OpenStudyDialog/DefaultSharedFolder").toString(), shared_);
    auto reopened = makeDialog();
    EXPECT_EQ(reopened->sharedFolder(), shared_);
}
