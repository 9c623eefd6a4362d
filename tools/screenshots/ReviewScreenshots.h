#pragma once
// The stress review window for the user guide: a test run through the real
// engine on the demonstration recording (rest, three exercise stages with
// their pressures, recovery), stored, then reviewed at the end of the last
// exercise stage with the trends and the stage table; and the resting review
// window on the first 10 s of the demonstration recording stored as a
// resting ECG, with the beat display and the measurements.

#include "tools/screenshots/Screenshot.h"

class DemoSession;

void addReviewScreenshots(ScreenshotList &list);

// The test the review window shows, recorded into `session`'s study and
// stopped; the stress report pages are made from the same test.
void recordDemoStressTest(DemoSession &session);
