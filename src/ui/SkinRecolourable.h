#pragma once
// A custom control that recolours itself when the colour scheme is applied
// (the image button rebuilds its tinted face, the contact list its colours).
// TSkinnedForm::ApplyColours calls Recolour on every component of a window
// that implements this, instead of the recolouring by class.

#include <QObject>

class TSkinRecolourable {
 public:
  virtual ~TSkinRecolourable() = default;
  virtual void Recolour() = 0;
};

// A label's tag chooses its colour when the scheme is applied: 0 the dimmed
// text colour, 3 the description colour, 4 the message colour, any other
// value leaves it unchanged. Kept as the dynamic property "tag" (0 when unset).
inline constexpr const char* kTagProperty = "tag";
inline void SetTag(QObject* object, int tag) { object->setProperty(kTagProperty, tag); }
inline int Tag(const QObject* object) { return object->property(kTagProperty).toInt(); }
