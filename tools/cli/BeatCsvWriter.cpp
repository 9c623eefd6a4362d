#include "tools/cli/BeatCsvWriter.h"

#include <cmath>

namespace {

// Interval columns stay empty while there is no interval yet (the first
// beat), rather than claiming a zero interval.
QString interval(double seconds) { return seconds > 0.0 ? QString::number(seconds, 'f', 4) : QString(); }

}  // namespace

BeatCsvWriter::BeatCsvWriter(QIODevice &out, double inputRate) : out_(out), inputRate_(inputRate) {}

QString BeatCsvWriter::header() { return QStringLiteral("index,sample,time_s,rr_s,avg_rr_s,normal,quality"); }

QString BeatCsvWriter::row(const BeatRecord &beat) const {
    const double time = beat.fiducialTime();
    return QStringList{QString::number(beat.index),
                       QString::number(std::llround(time * inputRate_)),
                       QString::number(time, 'f', 4),
                       interval(beat.rr()),
                       interval(beat.meanRr()),
                       QLatin1String(beat.normal ? "1" : "0"),
                       QString::number(beat.quality(), 'f', 3)}
        .join(QLatin1Char(','));
}

bool BeatCsvWriter::writeHeader() {
    write(header());
    return ok();
}

void BeatCsvWriter::beatEmitted(const BeatRecord &beat) { write(row(beat)); }

void BeatCsvWriter::write(const QString &line) {
    if (!ok()) return;
    const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
    if (out_.write(bytes) != bytes.size())
        error_ = out_.errorString().isEmpty() ? QStringLiteral("write failed") : out_.errorString();
}
