#pragma once
// The resting ECG report's pages, one per trace layout and the measurement
// page, of a resting study made from the demonstration recording's first
// ten seconds; written as PDF and rasterised by pdftoppm (poppler-utils),
// as a reader of the file sees them.

#include "tools/screenshots/Screenshot.h"

void addRestingReportScreenshots(ScreenshotList &list);
