#pragma once
// Components of the fixed window layouts are given at the window's design
// size; their anchors decide how they follow a resized window. An edge that
// is anchored keeps its distance from the window's edge on that side.

#include <QSize>

class QWidget;

// kAll keeps all four edges: the component grows and shrinks with the
// window; kLeftRightBottom grows only in width and keeps to the bottom.
enum Anchor { kLeftTop, kRightTop, kLeftBottom, kRightBottom, kAll, kLeftRightBottom };

struct Place {
  int x, y, w, h;
  Anchor anchor;
};

// Places w for a window now width x height whose layout is given for design.
void PlaceAt(QWidget* w, const Place& p, QSize design, int width, int height);
