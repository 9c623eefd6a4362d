// The JSON form of single protocols.
#include "ProtocolTestSupport.h"
#include "store/ProtocolJson.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

namespace {

QByteArray compact(const Protocol &p) { return QJsonDocument(ProtocolJson::toJson(p)).toJson(QJsonDocument::Compact); }

Protocol parse(const char *json) { return ProtocolJson::fromJson(QJsonDocument::fromJson(QByteArray(json)).object()); }

// One stage carrying every kind of load, so each type shows which members it
// writes; durations are truncated, never rounded.
struct WriteCase {
    ProtocolType type;
    double duration;
    const char *json;
};

const WriteCase kWriteCases[] = {
    {ProtocolType::Treadmill, 90.7,
     R"({"name":"x","stages":[{"duration":90,"incline":3,"phase":"exercise","speed":16}],"type":"treadmill"})"},
    {ProtocolType::Ergometer, 179.999,
     R"({"name":"x","stages":[{"duration":179,"phase":"exercise","workload":100}],"type":"ergometer"})"},
    {ProtocolType::RestingEcg, 0.99, R"({"name":"x","stages":[{"duration":0,"phase":"exercise"}],"type":"ecg"})"},
    {ProtocolType::TiltTest, 60.0, R"({"name":"x","stages":[{"duration":60,"phase":"exercise"}],"type":"tiltTest"})"},
    {ProtocolType::Pharmacologic, 60.0,
     R"({"name":"x","stages":[{"dose":2.5,"duration":60,"phase":"exercise"}],"type":"pharmacologic"})"},
};

class ProtocolWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ProtocolWrite, WritesWholeSecondsAndTheLoadsOfTheType) {
    const WriteCase &c = GetParam();
    Protocol p;
    p.name = QStringLiteral("x");
    p.type = c.type;
    Stage &s = p.insertStage(0);
    s.phase = StagePhase::Exercise;
    s.duration = c.duration;
    s.setParameter(QStringLiteral("speed"), 10.0, QStringLiteral("mph"));
    s.setParameter(QStringLiteral("incline"), 3.0, QStringLiteral("%"));
    s.setParameter(QStringLiteral("workload"), 600.0, QStringLiteral("kgm/min"));
    s.setParameter(QStringLiteral("dose"), 2.5, QString());
    s.label = "not in the file";
    EXPECT_EQ(compact(p), QByteArray(c.json));
}

INSTANTIATE_TEST_SUITE_P(Types, ProtocolWrite, ::testing::ValuesIn(kWriteCases));

TEST(ProtocolRead, NamesMatchExactlyAndUnknownOnesFallBack) {
    const struct {
        const char *json;
        ProtocolType type;
        StagePhase phase;
    } cases[] = {
        {R"({"type":"ergometer","stages":[{"phase":"recovery"}]})", ProtocolType::Ergometer, StagePhase::Recovery},
        {R"({"type":"ecg","stages":[{"phase":"exercise"}]})", ProtocolType::RestingEcg, StagePhase::Exercise},
        {R"({"type":"tiltTest","stages":[{"phase":"rest"}]})", ProtocolType::TiltTest, StagePhase::Rest},
        {R"({"type":"pharmacologic","stages":[{}]})", ProtocolType::Pharmacologic, StagePhase::Rest},
        {R"({"type":"Ergometer","stages":[{"phase":"Recovery"}]})", ProtocolType::Treadmill, StagePhase::Rest},
        {R"({"type":"tilttest","stages":[{"phase":"cooldown"}]})", ProtocolType::Treadmill, StagePhase::Rest},
    };
    for (const auto &c : cases) {
        const Protocol p = parse(c.json);
        EXPECT_EQ(p.type, c.type) << c.json;
        ASSERT_EQ(p.stageCount(), 1);
        EXPECT_EQ(p.stage(0).phase, c.phase) << c.json;
    }
}

TEST(ProtocolRead, TakesOnlyTheLoadsOfTheTypeAndMissingOnesAsZero) {
    const Protocol p = parse(R"({"type":"treadmill","stages":[{"duration":120,"speed":4,"workload":75}]})");
    ASSERT_EQ(p.stageCount(), 1);
    EXPECT_EQ(p.stage(0).duration, 120.0);
    EXPECT_EQ(p.stage(0).parameter(QStringLiteral("speed"), QStringLiteral("km/h")), 4.0);
    EXPECT_EQ(p.stage(0).parameter(QStringLiteral("incline"), QStringLiteral("%")), 0.0);
    EXPECT_FALSE(p.stage(0).hasParameter(QStringLiteral("workload")));
}

Protocol sample(ProtocolType type, const char *loadName, double step) {
    Protocol p;
    p.name = QStringLiteral("Sample \u00e9");
    p.type = type;
    for (int i = 0; i < 3; ++i) {
        Stage s;
        s.phase = static_cast<StagePhase>(i);
        s.duration = 60.0 * (i + 1);
        if (loadName) s.setParameter(QString::fromLatin1(loadName), step * i, QString());
        if (type == ProtocolType::Treadmill) s.setParameter(QStringLiteral("incline"), 2.5 * i, QStringLiteral("%"));
        p.appendStage(s);
    }
    return p;
}

TEST(ProtocolRead, EveryTypeSurvivesARoundTrip) {
    const Protocol protocols[] = {
        sample(ProtocolType::Treadmill, "speed", 3.3),      sample(ProtocolType::Ergometer, "workload", 25.0),
        sample(ProtocolType::RestingEcg, nullptr, 0.0),     sample(ProtocolType::TiltTest, nullptr, 0.0),
        sample(ProtocolType::Pharmacologic, "dose", 0.125),
    };
    for (const Protocol &p : protocols) {
        SCOPED_TRACE(static_cast<int>(p.type));
        expectSameProtocol(parse(compact(p).constData()), p);
    }
}

}  // namespace
