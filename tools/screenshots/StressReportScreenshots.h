#pragma once
// The stress report's pages for the user guide: the test the review window
// shows, reported with the built-in stress template and rasterised as
// poppler's pdftoppm prints a PDF page, in the language of the windows.

#include "tools/screenshots/Screenshot.h"

void addStressReportScreenshots(ScreenshotList &list);
