// The values of a resting ECG report from what the study stores: units,
// rounding, and what is left blank because it was never measured.

#include "reports/ReportKind.h"
#include "reports/ReportTemplate.h"
#include "reports/RestingReportData.h"
#include "store/Protocol.h"
#include "store/Study.h"

#include <gtest/gtest.h>
#include <memory>
#include <optional>

TEST(RestingReportData, MeasurementsInTheirPrintedUnits) {
    struct Case {
        Result stored;
        double value;
        const char *field;
        const char *printed;
    };
    const Case cases[] = {
        {Result::GlobalPr, 0.1604, "prInterval", "160"},
        {Result::GlobalPr, 0.1606, "prInterval", "161"},
        {Result::GlobalPr, 0.0, "prInterval", ""},  // not found
        {Result::GlobalPDuration, 0.098, "pDuration", "98"},
        {Result::GlobalQrsDuration, 0.0915, "qrsDuration", "92"},
        {Result::GlobalQt, 0.388, "qtInterval", "388"},
        {Result::GlobalQtcBazett, 0.4123, "qtcBazett", "412"},
        {Result::GlobalQtcFridericia, 0.401, "qtcFridericia", "401"},
        {Result::GlobalHeartRate, 71.6, "heartRate", "72"},
        {Result::GlobalHeartRate, 0.0, "heartRate", ""},
        {Result::GlobalQrsAxis, -30.4, "qrsAxis", "-30"},
        {Result::GlobalQrsAxis, 0.0, "qrsAxis", "0"},  // a measured axis of 0°
        {Result::GlobalQrsAxis, -999.0, "qrsAxis", ""},
        {Result::GlobalPAxis, 59.5, "pAxis", "60"},
        {Result::GlobalTAxis, -999.0, "tAxis", ""},
    };
    for (const Case &c : cases) {
        Study study;
        study.results().setScalar(c.stored, c.value);
        const ReportData data = RestingReportData::fill(study, ReportSettings());
        EXPECT_EQ(data.field(QLatin1String(c.field)), QLatin1String(c.printed)) << c.field << " " << c.value;
    }
    // A study that was never measured prints nothing, not zeros or -999.
    Study unmeasured;
    const ReportData data = RestingReportData::fill(unmeasured, ReportSettings());
    for (const char *field : {"heartRate", "prInterval", "qrsDuration", "qtcBazett", "pAxis", "qrsAxis", "tAxis"}) {
        QString value;
        EXPECT_TRUE(data.field(QLatin1String(field), &value)) << field;
        EXPECT_EQ(value, QString()) << field;
    }
}

TEST(RestingReportData, TraceLayoutFlagsSelectOneLayout) {
    for (const char *layout : {"12by1", "6by2", "4by3"}) {
        ReportSettings settings;
        settings.traceLayout = QLatin1String(layout);
        Study study;
        const ReportData data = RestingReportData::fill(study, settings);
        for (const char *other : {"12by1", "6by2", "4by3"})
            EXPECT_EQ(data.field(QStringLiteral("layout") + QLatin1String(other)),
                      QLatin1String(qstrcmp(layout, other) == 0 ? "1" : ""))
                << layout << " " << other;
    }
}

TEST(ReportKind, StudyKindChoosesTemplate) {
    struct Case {
        const char *studyType;
        const char *protocolName;
        std::optional<ProtocolType> protocol;
        const char *layout;
        const char *expected;
    };
    const Case cases[] = {
        {"ECG", "", std::nullopt, "12by1", ":/res/ecgreport1.xml"},
        {"ECG", "", std::nullopt, "6by2", ":/res/ecgreport2.xml"},
        {"ECG", "", std::nullopt, "4by3", ":/res/ecgreport3.xml"},
        {"ECG", "", std::nullopt, "nonsense", ":/res/ecgreport1.xml"},
        {"stress", "Tilt test", std::nullopt, "12by1", ":/res/tilttestreport1.xml"},
        {"stress", "My tilt", ProtocolType::TiltTest, "12by1", ":/res/tilttestreport1.xml"},
        {"stress", "Bruce", ProtocolType::Treadmill, "4by3", ":/res/stressreport1.xml"},
        {"Stress test", "", std::nullopt, "12by1", ":/res/stressreport1.xml"},
    };
    for (const Case &c : cases) {
        Study study;
        study.setProperty("studyType", c.studyType);
        study.setProperty("protocolName", c.protocolName);
        if (c.protocol) {
            auto protocol = std::make_unique<Protocol>();
            protocol->type = *c.protocol;
            study.setProtocol(std::move(protocol));
        }
        const QString chosen = ReportKind::templateFor(ReportKind::of(study), QLatin1String(c.layout));
        EXPECT_EQ(chosen, QLatin1String(c.expected)) << c.studyType << " " << c.protocolName << " " << c.layout;
        EXPECT_NO_THROW(ReportTemplate::load(chosen)) << c.expected;
    }
}
