// `strip` start to finish on a study stored here: the stream it writes is
// the strip its picture shows, at the length and width asked; and the runs
// it refuses.

#include "CliTestSupport.h"
#include "acquisition/FileSignal.h"
#include "reports/StripPrinter.h"
#include "store/StudyStore.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr int kRate = 500;

// Four seconds, lead II a 1 mV square wave at 1 Hz, the others flat.
qint32 storeStudy(const QString &root) {
    StudyStore store(root);
    StudyInfo info;
    info.studyType = "Stress test";
    info.studyDateTime = "20261208120000";
    info.patientLastName = "Strip";
    info.samplingRate = kRate;
    info.channelCount = 12;
    info.channelNames = "I,II,III,aVR,aVL,aVF,V1,V2,V3,V4,V5,V6";
    info.resolution = 16;
    info.gainMax = 300.0;
    Study *study = store.createStudy(info);
    const int n = 4 * kRate;
    std::vector<std::int16_t> wave(static_cast<std::size_t>(n)), flat(static_cast<std::size_t>(n), 0);
    for (int i = 0; i < n; ++i)
        wave[static_cast<std::size_t>(i)] =
            (i / (kRate / 2)) % 2 ? static_cast<std::int16_t>(std::lround(32766 / 300.0)) : 0;
    std::vector<const std::int16_t *> channels(12, flat.data());
    channels[1] = wave.data();
    study->recording()->append(n, channels.data());
    const qint32 id = study->id();
    store.saveStudy(*study);
    store.closeStudy(study);
    return id;
}

}  // namespace

TEST(StripCommand, WritesTheStreamOfTheStripItsPictureShows) {
    QTemporaryDir dir;
    const QString root = dir.filePath("store");
    const QString id = QString::number(storeStudy(root));
    const QString out = dir.filePath("strip.prn"), png = dir.filePath("strip.png");
    const CliTest::ToolRun run = CliTest::runTool({"strip", "--store", root, "--study", id, "--leads", "II,V5", "--out",
                                                   out, "--png", png, "--seconds", "3", "--from", "0.5"});
    ASSERT_EQ(run.exitCode, 0) << run.standardError.toStdString();
    const QImage dots(png);
    ASSERT_FALSE(dots.isNull());
    QFile stream(out);
    ASSERT_TRUE(stream.open(QIODevice::ReadOnly));
    EXPECT_EQ(stream.readAll(), StripPrinter::encode(dots));
    // Along the paper: the page's margins and 3 s at 25 mm/s; across it:
    // the header and two 25 mm rows, at 180 dots per inch.
    const double dotsPerMm = StripPrinter::kDotsPerInch / 25.4;
    EXPECT_NEAR(dots.height(), (EcgPage::kLeftMarginMm + 75.0 + EcgPage::kRightMarginMm) * dotsPerMm, 1.0);
    const EcgPage page(EcgPage::Layout::TwelveByOne, kRate, 3.0, EcgPaperScale(), StripPrinter::scheme());
    EXPECT_NEAR(dots.width(), page.sizeMm(2).height() * dotsPerMm, 1.0);
    EXPECT_TRUE(run.standardOutput.startsWith(out + "\t"));
}

TEST(StripCommand, RefusesWhatItCannotPrint) {
    QTemporaryDir dir;
    const QString root = dir.filePath("store");
    const QString id = QString::number(storeStudy(root));
    struct Case {
        QStringList extra;
        QString out;
        int exitCode;
        const char *says;
    } cases[] = {
        {{"--leads", "II,CM5"}, dir.filePath("a.prn"), 2, "the study has no lead CM5"},
        {{"--leads", "II", "--speed", "30"}, dir.filePath("b.prn"), 2, "--speed does not take \"30\""},
        {{"--leads", "II", "--from", "4"}, dir.filePath("c.prn"), 1, "the recording ends before 4 s"},
        {{"--leads", "II"}, dir.filePath("missing/d.prn"), 1, "Strip could not be written to"},
        {{"--leads", "II", "--study", "999"}, dir.filePath("e.prn"), 1, "Study not found"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.says);
        const CliTest::ToolRun run =
            CliTest::runTool(QStringList{"strip", "--store", root, "--study", id, "--out", c.out} + c.extra);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_TRUE(run.standardError.contains(c.says)) << run.standardError.toStdString();
        EXPECT_FALSE(QFile::exists(c.out));
    }
}
