#include "ui/Skin.h"

#include <QFile>
#include <algorithm>

#include "ui/TSkinnedForm.h"
#include "ui/Tint.h"

#ifdef WM_HAVE_OBRAZKI
static void initPictureResources() { Q_INIT_RESOURCE(obrazki); }
#else
static void initPictureResources() {}
#endif

Skin& Skin::get() {
  static Skin skin;
  return skin;
}

// The derived colours are valid from the start, so that a window painted
// before the first ApplyColourScheme shows the default scheme.
Skin::Skin() : colours_(RecomputeDerivedColours(scheme_)) {}

void Skin::SetTexture(const QImage& texture) {
  texture_ = texture.isNull() ? QImage() : texture.convertToFormat(QImage::Format_RGB32);
  tileValid_ = false;
}

const QImage& Skin::textureOnBackground() const {
  if (texture_.isNull()) {
    tile_ = QImage();
    return tile_;
  }
  if (!tileValid_ || tileBackground_ != scheme_.tlo) {
    tile_ = texture_.copy();
    const QRgb bg = Kolor(scheme_.tlo).rgb() & 0x00FFFFFFu;
    for (int y = 0; y < tile_.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(tile_.scanLine(y));
      for (int x = 0; x < tile_.width(); ++x) line[x] = 0xFF000000u | ((line[x] ^ bg) & 0x00FFFFFFu);
    }
    tileBackground_ = scheme_.tlo;
    tileValid_ = true;
  }
  return tile_;
}

void Skin::SetImageLists(TImageList il, TImageList ilDuze) {
  il_ = std::move(il);
  ilDuze_ = std::move(ilDuze);
}

void Skin::LoadPictures() {
  initPictureResources();
  QImage texture(QStringLiteral(":/obrazki/tekstura.png"));
  if (!texture.isNull()) SetTexture(texture);
  QImage il(QStringLiteral(":/obrazki/IL.png"));
  QImage ilDuze(QStringLiteral(":/obrazki/ILDuze.png"));
  SetImageLists(TImageList(il, 16), TImageList(ilDuze, 32));
  cycle_.clear();
  for (int i = 0;; ++i) {
    QImage frame(QStringLiteral(":/obrazki/tray%1.png").arg(i));
    if (frame.isNull()) break;
    cycle_.push_back(frame);
  }
}

void Skin::SetScheme(const ColourScheme& scheme) {
  scheme_ = scheme;
  colours_ = RecomputeDerivedColours(scheme_);
  ++generation_;
}

void Skin::Register(TSkinnedForm* form) { forms_.push_back(form); }

void Skin::Unregister(TSkinnedForm* form) { forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end()); }

void ApplyColourScheme(const ColourScheme& scheme) {
  Skin& skin = Skin::get();
  skin.SetScheme(scheme);
  // A window's recolouring may open or close others; walk a copy and skip the
  // ones gone meanwhile.
  const std::vector<TSkinnedForm*> forms = skin.forms();
  for (TSkinnedForm* form : forms) {
    const auto& now = skin.forms();
    if (std::find(now.begin(), now.end(), form) == now.end()) continue;
    form->ApplyColours();
    form->update();
  }
}
