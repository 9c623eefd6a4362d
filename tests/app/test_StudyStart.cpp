// What the launcher decides below its window: the run plan of a chosen
// protocol or ramp, the equipment it needs, and the automatic export.

#include "app/GlobalConfig.h"
#include "app/StressTestStart.h"
#include "app/StudyExportStep.h"
#include "store/StudyFiles.h"
#include "store/StudyStore.h"
#include "stress/RampTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

RampProtocol walkingRamp(const QString &name) {
    RampProtocol ramp;
    ramp.name = name;
    ramp.durationMinutes = 8.0;
    ramp.initialSpeed = 3.0;
    ramp.finalSpeed = 6.0;
    ramp.finalIncline = 10.0;
    return ramp;
}

}  // namespace

TEST(StressTestStart, EachChoiceRunsWithItsStagesOrRampAndEquipment) {
    QTemporaryDir folder;
    StudyStore store(folder.path());
    RampTable(RampTable::filePathUnder(folder.path())).setRamp(QStringLiteral("Rampa 8"), walkingRamp("Rampa 8"));

    const QStringList choices = StressTestStart::protocolChoices(store);
    ASSERT_GE(choices.size(), 3);
    EXPECT_EQ(choices.mid(choices.size() - 2), (QStringList{"Rampa 8", "Tilt test"}))
        << "ramps come after the protocols and before the tilt test, as in the study data dialog";

    struct Case {
        const char *name;
        bool stages;
        bool ramp;
        std::optional<ProtocolType> equipment;
    };
    const Case cases[] = {
        {"Bruce", true, false, ProtocolType::Treadmill},
        {"Rampa 8", false, true, ProtocolType::Treadmill},
        {"Tilt test", false, false, std::nullopt},
    };
    for (const Case &c : cases) {
        const StressRun::Plan plan = StressTestStart::plan(store, QString::fromUtf8(c.name));
        EXPECT_EQ(plan.stages.has_value(), c.stages) << c.name;
        EXPECT_EQ(plan.ramp.has_value(), c.ramp) << c.name;
        EXPECT_EQ(StressTestStart::equipmentType(plan), c.equipment) << c.name;
    }
    EXPECT_DOUBLE_EQ(StressTestStart::plan(store, QStringLiteral("Rampa 8")).ramp->finalSpeed, 6.0);
    EXPECT_THROW(StressTestStart::plan(store, QStringLiteral("Rampa 9")), std::runtime_error);
}

TEST(StressTestStart, ADamagedRampFileStillOffersTheProtocols) {
    QTemporaryDir folder;
    StudyStore store(folder.path());
    QFile damaged(RampTable::filePathUnder(folder.path()));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("{ not a ramp list");
    damaged.close();
    const QStringList choices = StressTestStart::protocolChoices(store);
    EXPECT_TRUE(choices.contains(QStringLiteral("Bruce")));
    EXPECT_EQ(choices.last(), QStringLiteral("Tilt test"));
    EXPECT_TRUE(StressTestStart::plan(store, QStringLiteral("Bruce")).stages.has_value());
}

TEST(StudyExportStep, TheFolderFollowsTheSwitchAndTheStudysKind) {
    QSettings().clear();
    using GlobalConfig::Key;
    struct Case {
        bool autoExport;
        QString stressFolder;
        QString ecgFolder;
        QByteArray type;
        QString expected;
    };
    const Case cases[] = {
        {true, "/x/stress", "/x/ecg", "stress", "/x/stress"},
        {true, "/x/stress", "/x/ecg", "ECG", "/x/ecg"},
        {false, "/x/stress", "/x/ecg", "stress", ""},
        {true, "", "/x/ecg", "stress", ""},
        {true, "/x/stress", "  ", "ECG", ""},
    };
    for (const Case &c : cases) {
        GlobalConfig::setValue(Key::AutoExportStudies, c.autoExport);
        GlobalConfig::setValue(Key::ExportStressStudyFolder, c.stressFolder);
        GlobalConfig::setValue(Key::ExportEcgStudyFolder, c.ecgFolder);
        EXPECT_EQ(StudyExportStep::autoExportFolder(c.type), c.expected) << c.type.constData();
    }
    QSettings().clear();
}

TEST(StudyExportStep, OnlyAnArchiveThatArrivedCountsAsExported) {
    QTemporaryDir folder;
    StudyStore store(folder.filePath(QStringLiteral("store")));
    StudyInfo info;
    info.studyType = "stress";
    info.patientLastName = "Doe";
    info.patientFirstName = "Jane";
    info.samplingRate = 500;
    info.channelCount = 3;
    info.channelNames = "I,II,III";
    info.resolution = 16;
    info.gainMax = 300.0;
    Study *study = store.createStudy(info);
    store.saveStudy(*study);
    store.closeStudy(study);

    const QString target = folder.filePath(QStringLiteral("shared"));
    ASSERT_TRUE(QDir().mkpath(target));
    QFile blocker(folder.filePath(QStringLiteral("a-file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    struct Case {
        qint32 id;
        QString folder;
        bool exported;
    };
    const Case cases[] = {
        {info.id, target, true},
        {info.id + 1, target, false},                                     // no such study
        {info.id, folder.filePath(QStringLiteral("a-file/sub")), false},  // not a folder
        {info.id, folder.filePath(QStringLiteral("missing")), false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(StudyExportStep::exportStudy(store, c.id, c.folder), c.exported) << qPrintable(c.folder) << c.id;
    EXPECT_TRUE(QFileInfo::exists(StudyFiles::archivePathOf(target, QString::fromUtf8(info.baseFilename))));
}
