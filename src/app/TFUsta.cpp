// The settings dialog's frame: the window, its tabs and background image,
// showing it and recolouring it. The tabs' own controls and handlers are in
// TFUsta<Tab>.cpp.

#include "app/TFUsta.h"

#include <QColorDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QShowEvent>
#include <algorithm>

#include "app/PasswordBlock.h"
#include "app/TFMain.h"
#include "app/TZakladki.h"
#include "platform/Cp1250.h"
#include "ui/Skin.h"
#include "ui/SkinFonts.h"
#include "ui/TButon.h"
#include "ui/TFBoks.h"
#include "ui/Tint.h"

namespace {

constexpr int kTile = 200;
const QRect kKontrollPlace(6, 24, 288, 268);

IdentityActions::Answer AskInTFBoks(QWidget* over, const std::string& caption, const std::string& label,
                                    bool masked, const std::string& text) {
  TFBoks boks(over);
  boks.Prepare(caption, label, masked, text);
  if (masked) boks.Et->setMaxLength(static_cast<int>(kMaxHaslo));  // no more than the identity file keeps
  CentreOnScreen(boks, over);
  boks.Et->setFocus();
  const int result = boks.ShowModal();
  return {result == kMrOk, boks.Text()};
}

std::optional<uint32_t> PickInQColorDialog(QWidget* over, uint32_t initial) {
  // Opaque colours only: the scheme has no alpha.
  const QColor chosen = QColorDialog::getColor(Kolor(initial), over);
  if (!chosen.isValid()) return std::nullopt;
  return FromQRgb(chosen.rgb());
}

}  // namespace

TFUsta::TFUsta(TFMain& main, QWidget* parent)
    : TSkinnedForm(parent),
      main_(main),
      programPath_(main.Folders().Command()),
      identities_(main.Identities(), main,
                  [this](const std::string& c, const std::string& l, bool masked, const std::string& t) {
                    return prompt_(c, l, masked, t);
                  }),
      serverList_(*this) {
  setObjectName(QStringLiteral("FUsta"));
  setWindowTitle(QStringLiteral("Ustawienia"));
  setFixedSize(kClientWidth, kClientHeight);
  prompt_ = [this](const std::string& c, const std::string& l, bool masked, const std::string& t) {
    return AskInTFBoks(this, c, l, masked, t);
  };
  picker_ = [this](uint32_t initial) { return PickInQColorDialog(this, initial); };

  BZamknij = new TButon(this);
  BZamknij->setObjectName(QStringLiteral("BZamknij"));
  BZamknij->SetIL(&Skin::get().IL());
  BZamknij->SetNumer(6);
  BZamknij->setGeometry(3, 3, 16, 16);
  BZamknij->setAccessibleName(QString::fromUtf8("Zamknij"));
  connect(BZamknij, &TButon::OnClick, this, [this] { BZamknijClick(); });

  Kontroll = new TZakladki(this);
  Kontroll->setObjectName(QStringLiteral("Kontroll"));
  Kontroll->setGeometry(kKontrollPlace);
  Kontroll->SetDrawTab([this](QPainter& p, int i, const QRect& r, bool active) { KontrollDrawTab(p, i, r, active); });
  connect(Kontroll, &TZakladki::PageShown, this, [this](int) { Tab1Show(); });
  auto page = [this](const char* name, const char* caption) {
    auto* w = new QWidget;
    w->setObjectName(QString::fromLatin1(name));
    Kontroll->AddPage(w, QString::fromUtf8(caption));
    return w;
  };
  Tab1 = page("Tab1", "Tożsamości");
  Tab2 = page("Tab2", "Lista kontaktów");
  Tab3 = page("Tab3", "Systemowe");
  TabSheet1 = page("TabSheet1", "Kolory");

  ImaBak = new QLabel(Tab1);
  ImaBak->setObjectName(QStringLiteral("ImaBak"));
  ImaBak->setGeometry(Tab1->rect());

  BuildTab1();
  BuildTab2();
  BuildTab3();
  BuildTabSheet1();
  PaintImaBak();
  ShowColourSwatches();

  CentreOnScreen(*this, parent ? parent : TSkinnedForm::DialogOwner());
}

TFUsta::~TFUsta() = default;

void TFUsta::showEvent(QShowEvent* e) {
  TSkinnedForm::showEvent(e);
  // The window system's own show events (a restored window) and the re-show
  // after a colour change keep the tab.
  if (!e->spontaneous() && !reshowing_) FormShow();
}

void TFUsta::FormShow() { Kontroll->SetActivePage(0); }

void TFUsta::Tab1Show() {
  // Before the first showing no tab is chosen yet; the first is the one.
  QWidget* shown = Kontroll->Page(std::max(0, Kontroll->ActivePage()));
  ImaBak->setParent(shown);
  ImaBak->setGeometry(shown->rect());
  ImaBak->lower();
  ImaBak->show();
  RefreshAutostartTab();
  RefreshServerListTab();
}

void TFUsta::KontrollDrawTab(QPainter& p, int index, const QRect& rect, bool) {
  static const QFont font = SmallFont();
  static const int ascent = QFontMetrics(font).ascent();
  p.setFont(font);
  p.setPen(Kolor(Skin::get().colours().dimmedText));
  p.setBackgroundMode(Qt::TransparentMode);
  p.drawText(rect.left() + 3 + 3, rect.top() + 2 + ascent + 1, Kontroll->Caption(index));
}

// The background colour, and the texture over it in tiles from the image's
// top left corner, as a window is painted.
void TFUsta::PaintImaBak() {
  const Skin& skin = Skin::get();
  QPixmap picture(ImaBak->size());
  picture.fill(Kolor(skin.scheme().tlo));
  if (skin.scheme().tekstura) {
    const QImage& tile = skin.textureOnBackground();
    if (!tile.isNull()) {
      QPainter p(&picture);
      const QRect source(0, 0, qMin(kTile, tile.width()), qMin(kTile, tile.height()));
      for (int row = 0; row <= picture.height(); row += kTile)
        for (int col = 0; col <= picture.width(); col += kTile) p.drawImage(QPoint(col, row), tile, source);
    }
  }
  ImaBak->setPixmap(picture);
}

void TFUsta::ApplyColours() {
  TSkinnedForm::ApplyColours();
  PaintImaBak();
  if (lRegInTextColour_) {
    QPalette pal = LReg->palette();
    pal.setColor(QPalette::WindowText, Kolor(Skin::get().scheme().tekst));
    LReg->setPalette(pal);
  }
  Kontroll->update();
}

void TFUsta::AfterColourScheme() {
  if (!isVisible()) return;
  reshowing_ = true;
  hide();
  show();
  reshowing_ = false;
}

void TFUsta::BZamknijClick() { SetModalResult(kMrCancel); }
