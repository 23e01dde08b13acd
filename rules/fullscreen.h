// The test behind the "FULLSCREEN_PROGRAM" rule: does a window cover the
// monitor it sits on?
#pragma once

#include <string_view>

#include "rules/desktop.h"

// True when every edge of the window's client area (or, when that cannot be
// read, of the window rectangle) lies within 8 pixels inside or 30 pixels
// outside the matching edge of the monitor nearest to its centre; the top may
// lie up to 110 pixels above. The file name only goes into the error line
// logged when the monitor cannot be queried.
bool IsFullscreenWindow(Desktop& desktop, WindowId window, std::u16string_view fileName);
