// What a link reports it lost: runs of discarded bytes counted once each,
// the bytes themselves, and the longest wait for a packet, the one still
// going on and a reconnection included.

#include "acquisition/LinkStatistics.h"

#include <gtest/gtest.h>

TEST(LinkStatistics, CountsRunsOfDiscardedBytesAndTheLongestWait) {
    std::int64_t now = 1000;
    LinkStatistics statistics([&now] { return now; });
    EXPECT_EQ(statistics.counts().longestGapMs, 0) << "nothing is awaited before the link starts";

    struct Step {
        const char *event;  // "start", "packet", "discard", "wait"
        std::int64_t value;
        std::int64_t packets, resynchronisations, discardedBytes, longestGapMs;
    };
    const Step steps[] = {
        {"start", 0, 0, 0, 0, 0},       {"wait", 300, 0, 0, 0, 300},  // the wait for the first packet counts
        {"packet", 0, 1, 0, 0, 300},    {"wait", 2, 1, 0, 0, 300},
        {"packet", 0, 2, 0, 0, 300},    {"discard", 3, 2, 1, 3, 300},
        {"discard", 1, 2, 1, 4, 300},  // the same run of garbage
        {"discard", 0, 2, 1, 4, 300},   {"packet", 0, 3, 1, 4, 300},
        {"discard", 40, 3, 2, 44, 300},                                  // a new run after a good packet
        {"packet", 0, 4, 2, 44, 300},   {"wait", 5000, 4, 2, 44, 5000},  // silence still going on
        {"discard", 2, 4, 3, 46, 5000}, {"start", 0, 4, 3, 46, 5000},    // reconnected: the wait goes on
        {"discard", 5, 4, 4, 51, 5000}, {"wait", 1000, 4, 4, 51, 6000},
        {"packet", 0, 5, 4, 51, 6000},  {"wait", 10, 5, 4, 51, 6000},
    };
    for (const Step &s : steps) {
        const std::string event = s.event;
        if (event == "start")
            statistics.noteStarted();
        else if (event == "packet")
            statistics.notePacket();
        else if (event == "discard")
            statistics.noteDiscarded(static_cast<int>(s.value));
        else
            now += s.value;
        SCOPED_TRACE(event + " " + std::to_string(s.value) + " at " + std::to_string(now));
        const LinkStatistics::Counts c = statistics.counts();
        EXPECT_EQ(c.packets, s.packets);
        EXPECT_EQ(c.resynchronisations, s.resynchronisations);
        EXPECT_EQ(c.discardedBytes, s.discardedBytes);
        EXPECT_EQ(c.longestGapMs, s.longestGapMs);
    }
}
