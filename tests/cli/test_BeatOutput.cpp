// What the tool writes: one CSV row per beat with the position in the
// input's own sample numbering, and the JSON summary with its counts, rate
// and measurements (null where not measured).

#include "tools/cli/BeatCsvWriter.h"
#include "tools/cli/BeatTally.h"
#include "tools/cli/SummaryJsonWriter.h"

#include <QBuffer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

namespace {

BeatRecord beat(int index, double time, double rr, double meanRr, bool normal, double quality) {
    BeatRecord b;
    b.index = index;
    b.valid = true;
    b.normal = normal;
    b.values[BeatRecord::FiducialTime] = time;
    b.values[BeatRecord::RrInterval] = rr;
    b.values[BeatRecord::MeanRrInterval] = meanRr;
    b.values[BeatRecord::QualityRatio] = quality;
    return b;
}

struct CsvRow {
    const char *label;
    double inputRate;
    BeatRecord beat;
    const char *row;
};

void PrintTo(const CsvRow &c, std::ostream *os) { *os << c.label; }

class BeatTableRow : public ::testing::TestWithParam<CsvRow> {};

TEST_P(BeatTableRow, IsWrittenInTheInputsNumbering) {
    QBuffer buffer;
    BeatCsvWriter writer(buffer, GetParam().inputRate);
    EXPECT_EQ(writer.row(GetParam().beat).toStdString(), GetParam().row);
}

INSTANTIATE_TEST_SUITE_P(
    Csv, BeatTableRow,
    ::testing::Values(
        // 2.5 s at 360 samples/s is sample 900, whatever rate the analysis ran at.
        CsvRow{"MitRate", 360.0, beat(3, 2.5, 0.8, 0.81, true, 0.95), "3,900,2.5000,0.8000,0.8100,1,0.950"},
        CsvRow{"RoundsToNearestSample", 360.0, beat(4, 1.0 + 0.7 / 360.0, 0.8, 0.8, true, 1),
               "4,361,1.0019,0.8000,0.8000,1,1.000"},
        CsvRow{"PrematureBeat", 1000.0, beat(7, 12.3456, 0.4321, 0.9, false, 0.5),
               "7,12346,12.3456,0.4321,0.9000,0,0.500"},
        CsvRow{"FirstBeatHasNoInterval", 500.0, beat(0, 0.6, 0.0, 0.0, true, 0.9), "0,300,0.6000,,,1,0.900"},
        CsvRow{"LongRecording", 360.0, beat(9999, 86000.25, 1.0, 1.0, true, 1),
               "9999,30960090,86000.2500,1.0000,1.0000,1,1.000"}),
    [](const ::testing::TestParamInfo<CsvRow> &info) { return std::string(info.param.label); });

TEST(BeatTable, HeaderThenOneLinePerBeat) {
    QBuffer buffer;
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    BeatCsvWriter writer(buffer, 250.0);
    EXPECT_TRUE(writer.writeHeader());
    writer.beatEmitted(beat(0, 1.0, 0, 0, true, 1));
    writer.beatEmitted(beat(1, 2.0, 1, 1, false, 1));
    EXPECT_TRUE(writer.ok());
    const QList<QByteArray> lines = buffer.data().split('\n');
    ASSERT_EQ(lines.size(), 4);  // the last line ends with a newline too
    EXPECT_EQ(lines[0], QByteArray("index,sample,time_s,rr_s,avg_rr_s,normal,quality"));
    EXPECT_TRUE(lines[2].startsWith("1,500,"));
    EXPECT_TRUE(lines[3].isEmpty());
}

struct TallyCase {
    const char *label;
    std::vector<BeatRecord> beats;
    std::int64_t normal;
    std::int64_t premature;
    double bpm;  // < 0: no rate
};

void PrintTo(const TallyCase &c, std::ostream *os) { *os << c.label; }

class BeatCounting : public ::testing::TestWithParam<TallyCase> {};

TEST_P(BeatCounting, CountsAndRate) {
    BeatTally tally;
    for (const BeatRecord &b : GetParam().beats) tally.beatEmitted(b);
    const BeatCounts counts = tally.counts();
    EXPECT_EQ(counts.total, static_cast<std::int64_t>(GetParam().beats.size()));
    EXPECT_EQ(counts.normal, GetParam().normal);
    EXPECT_EQ(counts.premature, GetParam().premature);
    if (GetParam().bpm < 0) {
        EXPECT_FALSE(counts.meanHeartRateBpm.has_value());
    } else {
        ASSERT_TRUE(counts.meanHeartRateBpm.has_value());
        EXPECT_NEAR(*counts.meanHeartRateBpm, GetParam().bpm, 1e-9);
    }
}

INSTANTIATE_TEST_SUITE_P(Summary, BeatCounting,
                         ::testing::Values(TallyCase{"NoBeats", {}, 0, 0, -1},
                                           TallyCase{"OneBeat", {beat(0, 1, 0, 0, true, 1)}, 1, 0, -1},
                                           TallyCase{"Steady75",
                                                     {beat(0, 1.0, 0, 0, true, 1), beat(1, 1.8, .8, .8, true, 1),
                                                      beat(2, 2.6, .8, .8, true, 1)},
                                                     3,
                                                     0,
                                                     75},
                                           // A held premature beat comes after the beat that followed it.
                                           TallyCase{"HeldPremature",
                                                     {beat(0, 1.0, 0, 0, true, 1), beat(2, 2.6, 1, .8, true, 1),
                                                      beat(1, 1.6, .6, .8, false, 1), beat(3, 3.4, .8, .8, true, 1)},
                                                     3,
                                                     1,
                                                     60.0 * 3 / 2.4}),
                         [](const ::testing::TestParamInfo<TallyCase> &info) { return std::string(info.param.label); });

BeatSummary sampleSummary() {
    BeatSummary summary;
    summary.input = {QStringLiteral("mitdb/100"), 360, 500, 1805.5555, {"II", "V5"}, {"I", "III"}, {"vx"}};
    summary.beats = {2273, 2270, 3, 75.5432};
    summary.average.qrsAxisDegrees = 62.04;
    summary.average.leads = {{QStringLiteral("II"), -180.0, -44.0, 52.0, 352.26},
                             {QStringLiteral("V5"), std::nullopt, -40.0, std::nullopt, std::nullopt}};
    return summary;
}

TEST(SummaryJson, HoldsEveryFieldWithNullsForUnmeasured) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("summary.json"));
    QString error;
    ASSERT_TRUE(SummaryJsonWriter::write(path, sampleSummary(), &error)) << error.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QJsonParseError parseError;
    const QJsonObject root = QJsonDocument::fromJson(file.readAll(), &parseError).object();
    ASSERT_EQ(parseError.error, QJsonParseError::NoError);

    EXPECT_DOUBLE_EQ(root[QStringLiteral("heart_rate_bpm")].toDouble(), 75.5);
    const QJsonObject beats = root[QStringLiteral("beats")].toObject();
    EXPECT_EQ(beats[QStringLiteral("total")].toInt(), 2273);
    EXPECT_EQ(beats[QStringLiteral("premature")].toInt(), 3);

    const QJsonObject input = root[QStringLiteral("input")].toObject();
    EXPECT_EQ(input[QStringLiteral("rate_hz")].toDouble(), 360.0);
    EXPECT_EQ(input[QStringLiteral("analysis_rate_hz")].toInt(), 500);
    EXPECT_EQ(input[QStringLiteral("missing_channel_count")].toInt(), 2);
    EXPECT_EQ(input[QStringLiteral("unmapped_leads")].toArray().first().toString(), QStringLiteral("vx"));

    const QJsonObject average = root[QStringLiteral("average_beat")].toObject();
    EXPECT_DOUBLE_EQ(average[QStringLiteral("qrs_axis_deg")].toDouble(), 62.0);
    const QJsonArray leads = average[QStringLiteral("leads")].toArray();
    ASSERT_EQ(leads.size(), 2);  // in the order given, not sorted by name
    const QJsonObject ii = leads[0].toObject();
    EXPECT_EQ(ii[QStringLiteral("lead")].toString(), QStringLiteral("II"));
    EXPECT_DOUBLE_EQ(ii[QStringLiteral("p_onset_ms")].toDouble(), -180.0);
    EXPECT_DOUBLE_EQ(ii[QStringLiteral("t_offset_ms")].toDouble(), 352.3);
    const QJsonObject v5 = leads[1].toObject();
    EXPECT_EQ(v5[QStringLiteral("lead")].toString(), QStringLiteral("V5"));
    EXPECT_TRUE(v5[QStringLiteral("p_onset_ms")].isNull());
}

// The global measurement: times and intervals from seconds to ms, every
// member present, null where nothing was measured.
TEST(SummaryJson, GlobalMeasurementMembersInMilliseconds) {
    BeatSummary summary = sampleSummary();
    GlobalMeasurement &g = summary.average.global;
    g.qrsOnset = -0.0484;
    g.qrsOffset = 0.052;
    g.tOffset = 0.3521;
    g.qrsDuration = 0.1004;
    g.qt = 0.4005;
    g.qtcBazett = 0.41;
    g.heartRateBpm = 71.96;
    g.qrsAxis = -30.0;
    const QJsonObject global = QJsonDocument::fromJson(SummaryJsonWriter::toJson(summary))
                                   .object()[QStringLiteral("average_beat")]
                                   .toObject()[QStringLiteral("global")]
                                   .toObject();
    const QStringList members{"heart_rate_bpm",    "p_axis_deg",   "p_ms",         "p_offset_ms",
                              "p_onset_ms",        "pr_ms",        "qrs_axis_deg", "qrs_ms",
                              "qrs_offset_ms",     "qrs_onset_ms", "qt_ms",        "qtc_bazett_ms",
                              "qtc_fridericia_ms", "t_axis_deg",   "t_offset_ms"};
    EXPECT_EQ(global.keys(), members);
    const struct {
        const char *member;
        double value;
    } measured[] = {{"qrs_onset_ms", -48.4},  {"qrs_offset_ms", 52.0}, {"t_offset_ms", 352.1},
                    {"qrs_ms", 100.4},        {"qt_ms", 400.5},        {"qtc_bazett_ms", 410.0},
                    {"heart_rate_bpm", 72.0}, {"qrs_axis_deg", -30.0}};
    for (const auto &m : measured) EXPECT_DOUBLE_EQ(global[QLatin1String(m.member)].toDouble(), m.value) << m.member;
    for (const char *unmeasured :
         {"p_onset_ms", "p_offset_ms", "pr_ms", "p_ms", "qtc_fridericia_ms", "p_axis_deg", "t_axis_deg"})
        EXPECT_TRUE(global[QLatin1String(unmeasured)].isNull()) << unmeasured;
}

}  // namespace
