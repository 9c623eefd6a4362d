#pragma once
// The ECG displays for the user guide: the live display in every colour
// scheme with its insets, the browse display with beat marks, a cursor and
// an event, and the beat display, all fed from the demonstration recording
// through the real monitoring engine and review chain.

#include "tools/screenshots/Screenshot.h"

void addDisplayScreenshots(ScreenshotList &list);
