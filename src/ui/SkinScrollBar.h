#pragma once
// Scroll bars in the colour scheme: the track in frame shade 0, the thumb in
// the text colour, no arrows. The desktop's own light bar would stand out of
// every dark window. Called again whenever the scheme is applied.

class QAbstractScrollArea;

void SkinScrollBars(QAbstractScrollArea* area);
