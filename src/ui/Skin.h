#pragma once
// The one place the windows read their colours from: the current colour
// scheme, the colours derived from it, the texture and the shared image lists
// IL and ILDuze. It also keeps the registry of open skinned windows, which
// ApplyColourScheme walks to recolour them.
//
// Every TSkinnedForm registers itself on creation and unregisters on
// destruction; nothing else needs to be done for a window to be recoloured.

#include <QImage>
#include <cstdint>
#include <vector>

#include "ui/ColourScheme.h"
#include "ui/TImageList.h"
#include "ui/UNaForm.h"

class TSkinnedForm;

class Skin {
 public:
  static Skin& get();

  const ColourScheme& scheme() const { return scheme_; }
  const DerivedColours& colours() const { return colours_; }
  // Incremented by every ApplyColourScheme; a window that took the colours of
  // an older generation takes them again before it is shown.
  unsigned generation() const { return generation_; }

  // The 200 x 200 texture, null when none is loaded.
  const QImage& texture() const { return texture_; }
  void SetTexture(const QImage& texture);
  // The texture combined by exclusive or with a plain fill of the background
  // colour: what a texture tile looks like on a freshly filled window. Built
  // once per background colour. Null when there is no texture.
  const QImage& textureOnBackground() const;

  const TImageList& IL() const { return il_; }
  const TImageList& ILDuze() const { return ilDuze_; }
  void SetImageLists(TImageList il, TImageList ilDuze);

  // The tray icon's pictures: 0 at rest, all of them in turn while a new
  // message waits. Empty when none are loaded.
  const std::vector<QImage>& Cycle() const { return cycle_; }

  // Loads the texture, the image lists and the tray pictures from the program's pictures
  // (:/obrazki/...); called once at start. Missing pictures leave them empty.
  void LoadPictures();

  // Stores the scheme and recomputes the derived colours without touching the
  // windows (the first step of ApplyColourScheme).
  void SetScheme(const ColourScheme& scheme);

  // The open skinned windows, in order of creation.
  const std::vector<TSkinnedForm*>& forms() const { return forms_; }

 private:
  friend class TSkinnedForm;
  Skin();
  void Register(TSkinnedForm* form);
  void Unregister(TSkinnedForm* form);

  ColourScheme scheme_;
  DerivedColours colours_;
  unsigned generation_ = 0;
  QImage texture_;
  mutable QImage tile_;
  mutable uint32_t tileBackground_ = 0;
  mutable bool tileValid_ = false;
  TImageList il_;
  TImageList ilDuze_;
  std::vector<QImage> cycle_;
  std::vector<TSkinnedForm*> forms_;
};

// Recomputes the derived colours of the scheme, then recolours every open
// skinned window and its components (TSkinnedForm::ApplyColours) and repaints
// them. Windows created later take the colours before they are first shown.
void ApplyColourScheme(const ColourScheme& scheme);
