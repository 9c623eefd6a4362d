#pragma once
// Writes one CSV row per beat as the analysis emits it, with the beat's
// position in the input file's own sample numbering and rate.

#include "analysis/BeatListener.h"

#include <QIODevice>
#include <QString>

class BeatCsvWriter : public BeatListener {
public:
    // `inputRate` is the input file's samples/s, whatever rate the analysis ran at.
    BeatCsvWriter(QIODevice &out, double inputRate);

    static QString header();
    // The row of one beat, without the line end.
    QString row(const BeatRecord &beat) const;

    bool writeHeader();
    void beatEmitted(const BeatRecord &beat) override;
    // False once any write failed; the message says why.
    bool ok() const { return error_.isEmpty(); }
    QString errorString() const { return error_; }

private:
    void write(const QString &line);

    QIODevice &out_;
    double inputRate_;
    QString error_;
};
