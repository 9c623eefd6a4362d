#pragma once
// Pictures of the trend plot in each style, the blood-pressure dialog and the
// electrode status widget, fed from a simulated stress test.

#include "tools/screenshots/Screenshot.h"

void addWidgetScreenshots(ScreenshotList &list);
