// Detection accuracy on MIT-BIH Arrhythmia Database records (both leads)
// against the cardiologists' reference annotations, matched beat by beat
// within 150 ms.

#include "BeatMatching.h"
#include "CliTestSupport.h"
#include "tools/cli/AnnotationReader.h"
#include "tools/cli/BeatsRun.h"
#include "tools/cli/InputLoader.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <ostream>

namespace {

struct CollectingListener : BeatListener {
    std::vector<BeatRecord> beats;
    void beatEmitted(const BeatRecord &beat) override { beats.push_back(beat); }
};

// Analyses `record` (path without extension) as `tarvelin-ecg-cli beats`
// does and scores it against its annotations.
BeatMatch scoreRecord(const QString &record, const QStringList &leads, std::size_t referenceBeats) {
    BeatsOptions options = BeatsOptions::parse({"--wfdb", record});
    EXPECT_TRUE(options.error.isEmpty()) << options.error.toStdString();
    LoadedInput input;
    QString error;
    if (!InputLoader::load(options, &input, &error)) {
        ADD_FAILURE() << error.toStdString();
        return {};
    }
    EXPECT_EQ(input.recording.presentChannels(), leads);

    CollectingListener listener;
    RestingMeasurements average;
    runBeatAnalysis(input.recording, listener, average);

    std::vector<Annotation> annotations;
    EXPECT_TRUE(AnnotationReader::read(record + ".atr", &annotations, &error)) << error.toStdString();
    std::vector<std::int64_t> reference;
    for (const Annotation &a : annotations)
        if (AnnotationReader::isBeatCode(a.code)) reference.push_back(a.sample);
    EXPECT_EQ(reference.size(), referenceBeats);

    const double inputRate = input.recording.inputRate;
    std::vector<std::int64_t> detected;
    for (const BeatRecord &beat : listener.beats) detected.push_back(std::llround(beat.fiducialTime() * inputRate));
    const BeatMatch m = matchBeats(reference, detected, std::llround(0.150 * inputRate));
    std::printf("record %s: %zu reference beats, %zu detected, TP %d FP %d FN %d, Se %.2f %% +P %.2f %%\n",
                qPrintable(record.section('/', -1)), reference.size(), detected.size(), m.truePositives,
                m.falsePositives, m.falseNegatives, 100 * m.sensitivity(), 100 * m.positivePredictivity());
    return m;
}

}  // namespace

TEST(BeatsAccuracy, MitBihRecord100MatchesTheReferenceBeats) {
    const QString header = CliTest::sharedData("mitdb/100.hea");
    CLI_SKIP_WITHOUT(header);
    const BeatMatch m = scoreRecord(header.left(header.size() - 4), {"II", "V5"}, 2273u);
    EXPECT_GE(m.sensitivity(), 0.995);
    EXPECT_GE(m.positivePredictivity(), 0.995);
    // The input's end hands on the beats still held: the record's last beat,
    // 0.4 s before its end, is reported.
    ASSERT_FALSE(m.referenceMatchedBy.empty());
    EXPECT_GE(m.referenceMatchedBy.back(), 0) << "the last reference beat is not reported";
}

// Records that are each hard in their own way: noise and baseline shifts
// (105), tall P waves with small QRS complexes (108), ventricular bigeminy
// with large T waves (119), long pauses (232).
struct HardRecord {
    const char *name;
    std::size_t referenceBeats;
    double minimumSensitivity;
    double minimumPredictivity;
};

void PrintTo(const HardRecord &r, std::ostream *os) { *os << "record " << r.name; }

class BeatsAccuracyHardRecords : public ::testing::TestWithParam<HardRecord> {};

TEST_P(BeatsAccuracyHardRecords, FindTheReferenceBeatsWithFewFalseOnes) {
    const HardRecord &r = GetParam();
    const QString header = CliTest::sharedData(QStringLiteral("mitdb/%1.hea").arg(r.name));
    CLI_SKIP_WITHOUT(header);
    const BeatMatch m = scoreRecord(header.left(header.size() - 4), {"II", "V1"}, r.referenceBeats);
    EXPECT_GE(m.sensitivity(), r.minimumSensitivity);
    EXPECT_GE(m.positivePredictivity(), r.minimumPredictivity);
}

INSTANTIATE_TEST_SUITE_P(
    MitBih, BeatsAccuracyHardRecords,
    // 119: 99.95 % as rounded, at most one of its 1987 beats missed.
    ::testing::Values(HardRecord{"105", 2572u, 0.9922, 0.985}, HardRecord{"108", 1763u, 0.9824, 0.968},
                      HardRecord{"119", 1987u, 0.99945, 0.997}, HardRecord{"232", 1780u, 0.9988, 0.996}),
    [](const ::testing::TestParamInfo<HardRecord> &info) { return std::string("Record") + info.param.name; });
