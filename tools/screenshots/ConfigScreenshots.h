#pragma once
// Pictures of the configuration dialog, one per page, filled as a practice
// would have it, and of the study browser over a small store.

#include "tools/screenshots/Screenshot.h"

void addConfigScreenshots(ScreenshotList &list);
