// Lead fusion on hand-made queues: the refractory drop, the wait for leads
// yet to report, late leads left out with unset points, the median fiducial.

#include "QrsTestSupport.h"
#include "analysis/LeadFusion.h"

#include <gtest/gtest.h>

using namespace qrstest;

namespace {

LeadDetection at(std::int64_t fiducial) {
    LeadDetection d;
    d.fiducial = fiducial;
    d.rPeak = fiducial + 1;
    d.qrsPolarity = 1;
    return d;
}

TEST(LeadFusion, MedianIsTheUpperMiddleOfTheSortedFiducials) {
    const std::pair<std::vector<std::int64_t>, std::int64_t> cases[] = {
        {{100, 102, 104, 110}, 104}, {{110, 100, 104, 102}, 104}, {{7}, 7}, {{3, 1, 2}, 2}};
    for (auto c : cases) EXPECT_EQ(LeadFusion::median(c.first), c.second);
}

TEST(LeadFusion, FewReportingLeadsWaitAtMostTwoRunsThenDecideWithThem) {
    const struct {
        int leads, reporting, waits;
    } cases[] = {{12, 5, 2}, {12, 6, 2}, {12, 7, 0}, {5, 2, 2}, {5, 3, 0}, {4, 1, 0}};
    for (const auto &c : cases) {
        LeadFusion fusion(c.leads, kRate);
        RecordingSink sink;
        for (int k = 0; k < c.reporting; ++k) fusion.queue(k).push_back(at(1000 + k));
        EXPECT_EQ(fusion.run(sink), 0) << "nothing before a lead holds two";
        fusion.queue(0).push_back(at(1200));
        for (int run = 0; run < c.waits; ++run) EXPECT_EQ(fusion.run(sink), 0);
        ASSERT_EQ(fusion.run(sink), 1) << c.reporting << " of " << c.leads;
        EXPECT_EQ(fusion.waitCount(), 0);
        EXPECT_EQ(sink.beats[0].presentCount(), c.reporting);
        EXPECT_EQ(sink.beats[0].fiducial, 1000 + c.reporting / 2);
    }
}

TEST(LeadFusion, LeadsMoreThan75msAfterTheEarliestAreLeftOutWithUnsetPoints) {
    // Lead 0 is 100 ms late, lead 3 one sample past the limit; lead 2 is the earliest.
    LeadFusion fusion(4, kRate);
    RecordingSink sink;
    const std::int64_t fiducials[] = {1025, 1018, 1000, 1019};
    for (int k = 0; k < 4; ++k) fusion.queue(k).push_back(at(fiducials[k]));
    fusion.queue(1).push_back(at(1250));
    ASSERT_EQ(fusion.run(sink), 1);
    const FusedBeat &beat = sink.beats[0];
    EXPECT_EQ(beat.present, (std::vector<bool>{false, true, true, false}));
    EXPECT_EQ(beat.fiducial, 1018);
    for (const LeadDetection &d : beat.leads) EXPECT_EQ(d.fiducial, 1018);
    EXPECT_EQ(beat.leads[1].rPeak, 1019);  // a present lead keeps its own points
    const LeadDetection &absent = beat.leads[0];
    for (std::int64_t p : {absent.pPeak, absent.qPoint, absent.rPeak, absent.sPoint, absent.tPeak, absent.qrsOnset,
                           absent.qrsOffset, absent.tOnset, absent.tOffset})
        EXPECT_EQ(p, LeadDetection::kUnset);
    EXPECT_EQ(absent.qrsPolarity + absent.pPolarity + absent.tPolarity, 0);
    // The late detections lie within 0.2 s of the beat: they never make one.
    EXPECT_TRUE(fusion.queue(0).empty() && fusion.queue(3).empty());
}

TEST(LeadFusion, DetectionsWithin200msAfterTheAcceptedBeatAreDropped) {
    // Previous beat at sample 1000 (4 s): the limit is sample 1050.
    for (std::int64_t f : {1020, 1049, 1050, 1300}) {
        LeadFusion fusion(2, kRate);
        RecordingSink sink;
        sink.beats.push_back({1000, {}, {}});
        for (std::int64_t g : {f, std::int64_t{1400}, std::int64_t{1700}}) fusion.queue(0).push_back(at(g));
        fusion.queue(1).push_back(at(1400));
        fusion.run(sink);
        ASSERT_GE(sink.beats.size(), 2u);
        EXPECT_EQ(sink.beats[1].fiducial, f >= 1050 ? f : 1400) << f;
    }
}

}  // namespace
