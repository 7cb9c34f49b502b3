#pragma once

#include <QString>

// Plays the demo's cast to the program for a quarter of a minute and writes
// what the user sees then to path. False when that fails.
bool demoScreenshot(const QString& path);
