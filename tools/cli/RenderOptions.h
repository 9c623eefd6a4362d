#pragma once
// The command line of `tarvelin-ecg-cli render`: one input (as for `beats`),
// the page to draw from it and the file to draw it into.

#include "tools/cli/BeatsOptions.h"
#include "ui/EcgPage.h"

#include <QString>
#include <QStringList>

struct RenderOptions {
    enum class Format { Png, Pdf };

    BeatsOptions input;  // the input part only; its outputs are unused
    QString outPath;
    Format format = Format::Png;
    double from = 0.0;      // seconds
    double seconds = 10.0;  // span drawn
    EcgPage::Layout layout = EcgPage::Layout::TwelveByOne;
    double speed = 25.0;  // mm/s
    double gain = 10.0;   // mm/mV
    bool notch = true, muscle = true, baseline = true;
    bool filtered = true;  // false for --filters none: the recording as stored
    QString scheme = QStringLiteral("Light");
    double dpi = 300.0;  // PNG only
    bool helpRequested = false;
    QString error;

    static RenderOptions parse(const QStringList &arguments);
    static QString helpText();
};
