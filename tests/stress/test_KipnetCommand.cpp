// Kipnet command bytes: value fields, caps, truncation and checksum digits,
// checked against frames worked out by hand.
#include "stress/KipnetCommand.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

enum class Field { Speed, Incline, Workload };

struct ValueCase {
    Field field;
    double value;
    const char *bytes;
};

// Checksum: bytes 1..6 summed modulo 256, tens and units digits.
const ValueCase kValueCases[] = {
    {Field::Speed, 5.0, ";2V005077:"},   // 50+86+48+48+53+48 = 333 -> 77
    {Field::Speed, 45.0, ";2V040076:"},  // capped at 40.0 km/h
    {Field::Speed, 1.69, ";2V001679:"},  // tenths truncated, not rounded
    {Field::Speed, 1.6, ";2V001679:"},      {Field::Speed, 12.3, ";2V012378:"},
    {Field::Speed, 0.0, ";2V000072:"},      {Field::Speed, std::numeric_limits<double>::infinity(), ";2V040076:"},
    {Field::Incline, 25.0, ";2E020057:"},  // capped at 20.0 %
    {Field::Incline, 3.0, ";2E003058:"},    {Field::Incline, 2.0, ";2E002057:"},
    {Field::Workload, 900.0, ";2N080072:"},  // capped at 800 W
    {Field::Workload, 75.9, ";2N007576:"},  {Field::Workload, 1e300, ";2N080072:"},
};

QByteArray build(Field field, double value) {
    switch (field) {
    case Field::Speed: return KipnetCommand::speed(value);
    case Field::Incline: return KipnetCommand::incline(value);
    case Field::Workload: return KipnetCommand::workload(value);
    }
    return {};
}

TEST(KipnetCommand, ValueFramesMatchHandWorkedBytes) {
    for (const ValueCase &c : kValueCases)
        EXPECT_EQ(build(c.field, c.value), QByteArray(c.bytes)) << static_cast<int>(c.field) << " " << c.value;
}

TEST(KipnetCommand, GoAndStopCarryOnlyTheChecksum) {
    EXPECT_EQ(KipnetCommand::go(), QByteArray(";2GO00:"));    // 200 -> "00": the hundreds are dropped
    EXPECT_EQ(KipnetCommand::stop(), QByteArray(";2ST17:"));  // 217 -> "17"
}

TEST(KipnetCommand, FailureNamesTheCommandLetters) {
    const struct {
        QByteArray command;
        const char *name;
    } cases[] = {{KipnetCommand::speed(3), "V"},
                 {KipnetCommand::incline(3), "E"},
                 {KipnetCommand::workload(3), "N"},
                 {KipnetCommand::go(), "GO"},
                 {KipnetCommand::stop(), "ST"}};
    for (const auto &c : cases) EXPECT_EQ(KipnetCommand::name(c.command), QByteArray(c.name)) << c.command.constData();
}

}  // namespace
