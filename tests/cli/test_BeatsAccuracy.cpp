// Detection accuracy on the MIT-BIH Arrhythmia Database record 100 (both
// leads) against the cardiologists' reference annotations.

#include "BeatMatching.h"
#include "CliTestSupport.h"
#include "tools/cli/AnnotationReader.h"
#include "tools/cli/BeatsRun.h"
#include "tools/cli/InputLoader.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

struct CollectingListener : BeatListener {
    std::vector<BeatRecord> beats;
    void beatEmitted(const BeatRecord &beat) override { beats.push_back(beat); }
};

}  // namespace

TEST(BeatsAccuracy, MitBihRecord100MatchesTheReferenceBeats) {
    const QString header = CliTest::sharedData("mitdb/100.hea");
    CLI_SKIP_WITHOUT(header);
    const QString record = header.left(header.size() - 4);

    BeatsOptions options = BeatsOptions::parse({"--wfdb", record});
    ASSERT_TRUE(options.error.isEmpty()) << options.error.toStdString();
    LoadedInput input;
    QString error;
    ASSERT_TRUE(InputLoader::load(options, &input, &error)) << error.toStdString();
    ASSERT_EQ(input.recording.presentChannels(), (QStringList{"II", "V5"}));

    CollectingListener listener;
    RestingMeasurements average;
    runBeatAnalysis(input.recording, listener, average);

    std::vector<Annotation> annotations;
    ASSERT_TRUE(AnnotationReader::read(record + ".atr", &annotations, &error)) << error.toStdString();
    std::vector<std::int64_t> reference;
    for (const Annotation &a : annotations)
        if (AnnotationReader::isBeatCode(a.code)) reference.push_back(a.sample);
    ASSERT_EQ(reference.size(), 2273u);

    const double inputRate = input.recording.inputRate;
    std::vector<std::int64_t> detected;
    for (const BeatRecord &beat : listener.beats) detected.push_back(std::llround(beat.fiducialTime() * inputRate));
    const BeatMatch m = matchBeats(reference, detected, std::llround(0.150 * inputRate));

    std::printf("record 100: %zu reference beats, %zu detected, TP %d FP %d FN %d, Se %.2f %% +P %.2f %%\n",
                reference.size(), detected.size(), m.truePositives, m.falsePositives, m.falseNegatives,
                100 * m.sensitivity(), 100 * m.positivePredictivity());
    EXPECT_GE(m.sensitivity(), 0.995);
    EXPECT_GE(m.positivePredictivity(), 0.995);
    // The input's end hands on the beats still held: the record's last beat,
    // 0.4 s before its end, is reported.
    EXPECT_GE(m.referenceMatchedBy.back(), 0) << "last reference beat at sample " << reference.back();
}
