// The event report: what it copies from a study being recorded into, the
// stage figures it prints, and its worker thread (one completion signal,
// the user-interface thread free meanwhile, a refused folder leaving nothing).

#include "acquisition/FileSignal.h"
#include "reports/EventReportData.h"
#include "reports/EventReportJob.h"
#include "reports/ReportPdf.h"
#include "store/Protocol.h"
#include "store/StudyStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr int kRate = 500;

// Lead k carries a 1 Hz square wave of (k + 1) / 10 mV, so every lead of a
// strip can be told from the others and from its position in time.
void record(Study &study, double seconds) {
    const double unitsPerMv = ((1 << 15) - 2) / 300.0;
    const int n = static_cast<int>(seconds * kRate);
    const std::int64_t offset = study.recording()->length();
    std::vector<std::vector<std::int16_t>> leads(12, std::vector<std::int16_t>(static_cast<std::size_t>(n)));
    std::vector<const std::int16_t *> channels;
    for (int c = 0; c < 12; ++c) {
        for (int i = 0; i < n; ++i) {
            const bool high = ((offset + i) / (kRate / 2)) % 2 == 1;
            leads[c][static_cast<std::size_t>(i)] =
                high ? static_cast<std::int16_t>(std::lround((c + 1) / 10.0 * unitsPerMv)) : 0;
        }
        channels.push_back(leads[c].data());
    }
    study.recording()->append(n, channels.data());
}

Study *stressStudy(StudyStore &store) {
    StudyInfo info;
    info.studyType = "Stress test";
    info.studyDateTime = "20261208093000";
    info.patientLastName = "Event";
    info.patientFirstName = "Ada";
    info.samplingRate = kRate;
    info.channelCount = 12;
    info.channelNames = "I,II,III,aVR,aVL,aVF,V1,V2,V3,V4,V5,V6";
    info.resolution = 16;
    info.gainMax = 300.0;
    Study *study = store.createStudy(info);
    auto protocol = std::make_unique<Protocol>();
    protocol->name = "Bruce";
    protocol->type = ProtocolType::Treadmill;
    protocol->appendTreadmillStage(StagePhase::Rest, 20, 0, 0);
    protocol->appendTreadmillStage(StagePhase::Exercise, 20, 2.7, 10);
    protocol->appendTreadmillStage(StagePhase::Exercise, 20, 4.0, 12);
    study->setProtocol(std::move(protocol));
    const double hr[] = {71, 104, 133}, sbp[] = {118, 146, 162};
    for (int i = 0; i < 3; ++i) {
        study->results().setPerStage(Result::BpmPerStage, i, hr[i]);
        study->results().setPerStage(Result::SysBpPerStage, i, sbp[i]);
        study->results().setPerStage(Result::DiaBpPerStage, i, 78);
    }
    record(*study, 60);
    return study;
}

StudyEvent &addEvent(Study &study, const char *description, double position) {
    StudyEvent &event = study.addEvent();
    event.description = description;
    event.position = position;
    return event;
}

// Every lead's average: a 0.4 s bump at the lead's height, the reference at
// half of it, ST measured at -0.1 mV per lead index.
class FixedBeats : public AverageBeatProvider {
public:
    long long revision() override { return 1; }
    bool view(int channel, AverageBeatView *out) override {
        if (channel == 3) return false;  // aVR has no average yet
        out->rate = kRate;
        out->current.assign(400, 0.0);
        for (int i = 100; i < 300; ++i) out->current[static_cast<std::size_t>(i)] = 0.5;
        out->reference.assign(400, 0.25);
        out->stValid = true;
        // Lead I's level rounds to nothing.
        out->levelMv = channel == 0 ? -0.004 : -0.1 * channel;
        out->slopeMvPerSecond = 0.25;
        return true;
    }
};

QString pdfText(const QString &pdf) {
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {"-layout", pdf, "-"});
    if (!text.waitForFinished(60000) || text.exitCode() != 0) return QString();
    return QString::fromUtf8(text.readAllStandardOutput());
}

}  // namespace

TEST(EventCapture, StripWindowStaysInsideWhatWasRecorded) {
    QTemporaryDir dir;
    StudyStore store(dir.filePath("store"));
    Study *study = stressStudy(store);
    struct Case {
        double position, seconds;
        double start, length;  // seconds
    } cases[] = {
        {12.0, 10.0, 12.0, 10.0},                            // wholly recorded
        {0.0, 10.0, 0.0, 10.0},   {55.0, 10.0, 50.0, 10.0},  // a stage that has just ended: the last 10 s
        {80.0, 10.0, 50.0, 10.0},                            // beyond the recording
        {10.0, 70.0, 0.0, 60.0},                             // more than was recorded
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.position);
        addEvent(*study, "e", c.position);
        const EventCapture capture =
            EventCapture::take(*study, study->eventCount() - 1, EventFilters{false, false, false}, c.seconds, nullptr);
        ASSERT_EQ(capture.strip.size(), 12u);
        EXPECT_DOUBLE_EQ(capture.start, c.start);
        EXPECT_DOUBLE_EQ(capture.seconds(), c.length);
        // With the switchable filters off, every lead's square wave keeps its
        // height and phase (the review's drift high-pass centres it).
        const std::size_t high = static_cast<std::size_t>((std::floor(c.start) + 0.6 - c.start) * kRate);
        const auto step = [&capture, high](int lead) {
            const std::vector<double> &mv = capture.strip[static_cast<std::size_t>(lead)].millivolts;
            return mv[high] - mv[high - kRate / 2];
        };
        EXPECT_NEAR(step(11), 1.2, 0.06);
        EXPECT_NEAR(step(0), 0.1, 0.03);
        EXPECT_TRUE(capture.beats.empty());
    }
    EXPECT_THROW(EventCapture::take(*study, study->eventCount(), EventFilters(), 10.0, nullptr), std::out_of_range);
}

TEST(EventReportData, EventTakesTheFiguresOfItsStage) {
    QTemporaryDir dir;
    StudyStore store(dir.filePath("store"));
    Study *study = stressStudy(store);
    struct Case {
        double position;
        const char *time, *stage, *hr, *bp, *speed;
    } cases[] = {
        {5.0, "0:05", "Rest 1", "71", "118/78", ""},
        {30.0, "0:30", "Exercise 1", "104", "146/78", "2.7"},
        {59.9, "0:59", "Exercise 2", "133", "162/78", "4.0"},
        {75.0, "1:15", "Exercise 2", "133", "162/78", "4.0"},  // the test went on past the recorded stages
    };
    FixedBeats beats;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.position);
        addEvent(*study, "Stage end", c.position);
        const int index = study->eventCount() - 1;
        auto capture =
            std::make_shared<const EventCapture>(EventCapture::take(*study, index, EventFilters(), 10.0, &beats));
        const ReportData data = EventReportData::fill(*study, index, ReportSettings(), capture);
        EXPECT_EQ(data.study(), nullptr);
        EXPECT_EQ(data.capture(), capture.get());
        EXPECT_EQ(data.field("eventIndex"), QString::number(index));
        EXPECT_EQ(data.field("eventTime"), c.time);
        EXPECT_EQ(data.field("eventStage"), c.stage);
        EXPECT_EQ(data.field("eventHR"), c.hr);
        EXPECT_EQ(data.field("eventBP"), c.bp);
        EXPECT_TRUE(data.field("eventSpeed").startsWith(c.speed));
        EXPECT_EQ(data.field("patientName"), "Event, Ada");
        EXPECT_EQ(data.rowCount("stage"), 3);
        // aVR had no average, so eleven leads, with ST in mm at 10 mm/mV.
        ASSERT_EQ(data.rowCount("lead"), 11);
        EXPECT_EQ(data.row("lead", 0).value("name"), "I");
        EXPECT_EQ(data.row("lead", 0).value("ST"), "0.0");
        EXPECT_EQ(data.row("lead", 3).value("name"), "aVL");
        EXPECT_EQ(data.row("lead", 3).value("ST"), "-4.0");
        EXPECT_EQ(data.row("lead", 3).value("STSlope"), "2.5");
    }
}

TEST(EventReportJob, RunsOnAWorkerAndSignalsOnceWithTheCopiedEvent) {
    QTemporaryDir dir;
    StudyStore store(dir.filePath("store"));
    Study *study = stressStudy(store);
    addEvent(*study, "End of Exercise 1", 30.0);
    FixedBeats beats;
    EventReportJob job(*study, 0, ReportSettings(), EventFilters(), &beats);
    // The test goes on while the report is drawn: more signal, another
    // event, and the operator edits the printed one's text.
    record(*study, 5);
    addEvent(*study, "Later event", 62.0);
    study->event(0).description = "Edited afterwards";

    QSignalSpy finished(&job, &EventReportJob::finished);
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(0);
    const QString pdf = QDir(dir.filePath("store")).filePath("reports/event.pdf");
    QDir().mkpath(QFileInfo(pdf).path());
    job.start({ReportDestination::Kind::Pdf, pdf, QString()});
    EXPECT_TRUE(job.isRunning());
    job.start({ReportDestination::Kind::Pdf, pdf + ".second", QString()});  // ignored
    ASSERT_TRUE(finished.wait(120000));
    const int ticksWhileRunning = ticks;
    QTest::qWait(200);
    ticker.stop();
    EXPECT_GT(ticksWhileRunning, 0) << "the user-interface thread was blocked while the report was drawn";
    ASSERT_EQ(finished.count(), 1);
    EXPECT_TRUE(finished.at(0).at(0).toBool()) << finished.at(0).at(1).toString().toStdString();
    EXPECT_FALSE(job.isRunning());
    EXPECT_FALSE(QFile::exists(pdf + ".second"));

    const QString text = pdfText(pdf);
    ASSERT_FALSE(text.isEmpty()) << "pdftotext (poppler-utils) could not read the report";
    EXPECT_TRUE(text.contains("End of Exercise 1"));
    EXPECT_FALSE(text.contains("Edited afterwards"));
    EXPECT_FALSE(text.contains("Later event"));
    EXPECT_TRUE(text.contains("Exercise 1"));
    EXPECT_TRUE(text.contains("146/78"));
    EXPECT_TRUE(text.contains("Page 2 of 2"));
    EXPECT_TRUE(text.contains("-4.0"));
    // Lead I's level rounds to nothing, in its table row and beside its beat.
    EXPECT_TRUE(text.contains("0.0 mm 2.5 mm/s"));
    EXPECT_FALSE(text.contains("-0.0"));
}

TEST(EventReportJob, FailuresAreSignalledOnceAndLeaveNoFile) {
    QTemporaryDir dir;
    StudyStore store(dir.filePath("store"));
    Study *study = stressStudy(store);
    addEvent(*study, "Stage end", 30.0);
    const std::int64_t recorded = study->recording()->length();
    struct Case {
        const char *name;
        ReportDestination destination;
        QString templateName;
        QString message;
    } cases[] = {
        {"missing folder",
         {ReportDestination::Kind::Pdf, dir.filePath("no-such-folder/event.pdf"), QString()},
         EventReportJob::kTemplate,
         ReportPdf::failureMessage(dir.filePath("no-such-folder/event.pdf"))},
        {"printer to a missing folder",
         {ReportDestination::Kind::Printer, dir.filePath("no-such-folder/printed.pdf"), QString()},
         EventReportJob::kTemplate,
         ReportOutput::printFailureMessage(dir.filePath("no-such-folder/printed.pdf"))},
        {"broken template",
         {ReportDestination::Kind::Pdf, dir.filePath("broken.pdf"), QString()},
         dir.filePath("no-such-template.xml"),
         QString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EventReportJob job(*study, 0, ReportSettings(), EventFilters(), nullptr, nullptr, c.templateName);
        QSignalSpy finished(&job, &EventReportJob::finished);
        job.start(c.destination);
        ASSERT_TRUE(finished.wait(120000));
        QTest::qWait(50);
        ASSERT_EQ(finished.count(), 1);
        EXPECT_FALSE(finished.at(0).at(0).toBool());
        const QString message = finished.at(0).at(1).toString();
        if (!c.message.isEmpty())
            EXPECT_EQ(message, c.message);
        else
            EXPECT_FALSE(message.isEmpty());
        EXPECT_FALSE(QFile::exists(c.destination.path));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 0);
    EXPECT_EQ(study->recording()->length(), recorded);
    EXPECT_EQ(study->eventCount(), 1);
}

TEST(ReportOutput, PrinterAndPdfDrawTheSamePages) {
    QTemporaryDir dir;
    StudyStore store(dir.filePath("store"));
    Study *study = stressStudy(store);
    addEvent(*study, "Printed event", 30.0);
    FixedBeats beats;
    EventReportJob job(*study, 0, ReportSettings(), EventFilters(), &beats);
    const ReportTemplate report = ReportTemplate::load(EventReportJob::kTemplate);
    const QString pdf = dir.filePath("written.pdf"), printed = dir.filePath("printed.pdf");
    const int written = ReportOutput::produce(report, job.data(), {ReportDestination::Kind::Pdf, pdf, QString()});
    const int pages = ReportOutput::produce(report, job.data(), {ReportDestination::Kind::Printer, printed, QString()});
    EXPECT_EQ(written, 2);
    EXPECT_EQ(pages, written);
    const QString a = pdfText(pdf), b = pdfText(printed);
    ASSERT_FALSE(a.isEmpty());
    // The printer's resolution moves words by a fraction of a millimetre,
    // which pdftotext may show as a space more or less.
    EXPECT_EQ(a.simplified(), b.simplified());
}

TEST(ReportOutput, SheetFollowsTheTemplatesOrientationOnEitherDevice) {
    QTemporaryDir dir;
    struct Case {
        const char *orientation;
        ReportDestination::Kind kind;
        const char *pageSize;  // as pdfinfo prints it, in points
    } cases[] = {
        {"portrait", ReportDestination::Kind::Pdf, "595 x 842 pts (A4)"},
        {"landscape", ReportDestination::Kind::Pdf, "842 x 595 pts (A4)"},
        {"portrait", ReportDestination::Kind::Printer, "595 x 842 pts (A4)"},
        {"landscape", ReportDestination::Kind::Printer, "842 x 595 pts (A4)"},
    };
    ReportData data;
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.orientation) + (c.kind == ReportDestination::Kind::Pdf ? " pdf" : " printer"));
        const ReportTemplate report = ReportTemplate::parse(
            QStringLiteral(R"(<report pageSize="A4" orientation="%1"><body><text>Sheet</text></body></report>)")
                .arg(QLatin1String(c.orientation))
                .toUtf8());
        const QString pdf = dir.filePath(QStringLiteral("sheet%1.pdf").arg(n++));
        ASSERT_EQ(ReportOutput::produce(report, data, {c.kind, pdf, QString()}), 1);
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {pdf});
        ASSERT_TRUE(info.waitForFinished(60000) && info.exitCode() == 0);
        const QString text = QString::fromUtf8(info.readAllStandardOutput());
        EXPECT_TRUE(text.contains(QLatin1String(c.pageSize))) << text.toStdString();
    }
}
