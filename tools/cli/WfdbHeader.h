#pragma once
// The parsed .hea header of a single-segment WFDB record: the record line and
// one description per signal (file, storage format, scaling, lead name).

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

struct WfdbSignalLine {
    QString fileName;             // relative to the header's folder
    int format = 0;               // 16 or 212 are read
    std::int64_t byteOffset = 0;  // bytes to skip at the start of the file
    double gain = 200.0;          // ADC units per physical unit
    double baseline = 0.0;        // ADC value of 0 physical units
    QString units = QStringLiteral("mV");
    int adcResolution = 0;  // bits, 0 when not given
    int adcZero = 0;
    std::optional<int> initialValue;
    std::optional<int> checksum;  // 16-bit sum of all samples
    QString description;          // the lead name for ECG signals
};

struct WfdbHeader {
    QString recordName;
    double samplingRate = 250.0;              // frames per second
    std::optional<std::int64_t> sampleCount;  // per signal; absent: taken from the files
    std::vector<WfdbSignalLine> signalLines;

    // Parses the text of a header; on failure returns false with a message
    // naming the line.
    static bool parse(const QString &text, WfdbHeader *header, QString *error);
};
