#pragma once
// Shared helpers for the protocol tests.

#include "store/Protocol.h"
#include "store/StandardProtocols.h"

#include <gtest/gtest.h>

inline Protocol standardProtocol(const char *name) {
    for (const Protocol &p : StandardProtocols::all())
        if (p.name == QLatin1String(name)) return p;
    ADD_FAILURE() << "no standard protocol " << name;
    return {};
}

// Phase, duration, label and every parameter, exactly.
inline void expectSameStage(const Stage &actual, const Stage &expected) {
    EXPECT_EQ(actual.phase, expected.phase);
    EXPECT_EQ(actual.duration, expected.duration);
    EXPECT_EQ(actual.label, expected.label);
    EXPECT_EQ(actual.parameters(), expected.parameters());
}

inline void expectSameProtocol(const Protocol &actual, const Protocol &expected) {
    EXPECT_EQ(actual.name, expected.name);
    EXPECT_EQ(actual.type, expected.type);
    ASSERT_EQ(actual.stageCount(), expected.stageCount()) << expected.name.toStdString();
    for (int i = 0; i < expected.stageCount(); ++i) {
        SCOPED_TRACE(i);
        expectSameStage(actual.stage(i), expected.stage(i));
    }
}
