#pragma once

#include <QTest>
#include <QWidget>
#include <cstdint>

// What the window tests share: the number their identity has, and a click
// in the middle of a widget.
inline constexpr uint32_t kOwn = 123456;

inline void Press(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }
