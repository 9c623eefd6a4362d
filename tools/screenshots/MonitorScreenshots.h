#pragma once
// The stress monitor window for the user guide: at rest before Start, in
// exercise with the stage table filled, and with the blood-pressure prompt
// open, and the resting monitor with a take's measurements, fed from the
// demonstration recording through the real session, engine and run control.

#include "tools/screenshots/Screenshot.h"

void addMonitorScreenshots(ScreenshotList &list);
