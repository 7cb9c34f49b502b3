#pragma once
// The fonts the windows were designed with ("MS Sans Serif", "Small Fonts",
// "Tahoma", "Arial") do not exist on Linux. InstallFontSubstitutes maps each
// family to DejaVu Sans; the functions below give each use its pixel size, so
// that the fixed layouts stay readable at 96 dpi, Polish letters included.

#include <QFont>

// Called once at start, before the first window is created.
void InstallFontSubstitutes();

// "Small Fonts" 7: window captions, caption buttons and the small labels,
// chosen once for the screens the program starts on.
QFont SmallFont();
// The same for screens of the given device pixel ratio.
QFont SmallFontAt(qreal devicePixelRatio);
// "MS Sans Serif" 8: labels, edits and lists.
QFont SansSerifFont();
// "Tahoma" at the given points (96 dpi: points * 4 / 3 pixels).
QFont TahomaFont(int points);
// "Arial" at the given points.
QFont ArialFont(int points);
