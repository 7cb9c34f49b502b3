#include "ui/TFDialog.h"

#include <QPainter>

#include "platform/Cp1250.h"
#include "platform/MessageBox.h"
#include "ui/Skin.h"
#include "ui/SkinFonts.h"
#include "ui/SkinRecolourable.h"
#include "ui/TNapisButon.h"
#include "ui/Tint.h"

namespace {

const std::string kCaptionWarning = T("Ważny komunikat");
const std::string kCaptionQuestion = T("Pytanie do użytkownika");
const std::string kCaptionNotice = T("Informacja");
const std::string kTak = T("Tak");
const std::string kNie = T("Nie");
const std::string kRozumiem = T("Rozumiem");

constexpr int kLabelWidth = 265;
constexpr int kExtraHeight = 80;
constexpr int kButtonsFromBottom = 36;  // 25 high, 11 above the bottom edge

struct Glyph {
  const char* text;
  uint32_t colour;
  int points;
};

// By the window's tag (kind + 1); anything else gets the last entry.
Glyph glyphFor(int tag) {
  switch (tag) {
    case 1: return {"!", 0x0000F0, 36};
    case 2: return {"?", 0x00E0E0, 36};
    case 3: return {"ok", 0xF00000, 24};
    default: return {"$", 0xC0DCC0, 36};
  }
}

TNapisButon* captionButton(QWidget* parent, const char* name, const std::string& napis, int modal, int left) {
  auto* b = new TNapisButon(parent);
  b->setObjectName(QString::fromLatin1(name));
  b->SetNapis(napis);
  b->SetModal(modal);
  b->setGeometry(left, 66, 81, 25);
  return b;
}

}  // namespace

TFDialog::TFDialog(QWidget* parent) : TSkinnedForm(parent) {
  setObjectName(QStringLiteral("FDialog"));
  setWindowTitle(cp1250::toQString(kCaptionWarning));
  setFocusPolicy(Qt::StrongFocus);
  TreS = new QLabel(this);
  TreS->setObjectName(QStringLiteral("TreS"));
  TreS->setTextFormat(Qt::PlainText);  // messages quote server and file texts
  TreS->setWordWrap(true);
  TreS->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  TreS->setFont(SansSerifFont());
  TreS->setGeometry(56, 30, kLabelWidth, 13);
  SetTag(TreS, 1);  // keeps the text colour given below
  NapisTak = captionButton(this, "NapisTak", kTak, kMrYes, 152);
  NapisNie = captionButton(this, "NapisNie", kNie, kMrNo, 240);
  NapisOk = captionButton(this, "NapisOk", kRozumiem, kMrOk, 240);
  NapisTak->hide();
  NapisNie->hide();
  // Enter acknowledges a warning or a notice; a question is answered on
  // purpose, with a click or a button reached by Tab (Esc says "Nie").
  SetDefaultButton(NapisOk);
  setFixedSize(332, 102);
}

void TFDialog::Prepare(const std::string& text, int kind) {
  if (kind == kPytanie) {
    SetDefaultButton(nullptr);
    NapisOk->hide();
    NapisTak->show();
    NapisNie->show();
    setWindowTitle(cp1250::toQString(kCaptionQuestion));
  } else if (kind == kInformacja) {
    setWindowTitle(cp1250::toQString(kCaptionNotice));
  }
  TreS->setText(cp1250::toQString(text));
  const int labelHeight = qMax(TreS->heightForWidth(kLabelWidth), TreS->fontMetrics().height());
  TreS->setGeometry(56, 30, kLabelWidth, labelHeight);
  tag_ = kind + 1;
  setFixedSize(332, labelHeight + kExtraHeight);
  placeButtons();  // a hidden window gets its resize event only when shown
}

void TFDialog::ApplyColours() {
  TSkinnedForm::ApplyColours();
  QPalette pal = TreS->palette();
  pal.setColor(QPalette::WindowText, Kolor(Skin::get().scheme().tekst));
  TreS->setPalette(pal);
}

void TFDialog::resizeEvent(QResizeEvent* e) {
  TSkinnedForm::resizeEvent(e);
  placeButtons();
}

// The buttons keep to the bottom right corner: 11 pixels above the bottom.
void TFDialog::placeButtons() {
  const int top = height() - kButtonsFromBottom;
  NapisTak->move(152, top);
  NapisNie->move(240, top);
  NapisOk->move(240, top);
}

void TFDialog::paintEvent(QPaintEvent*) {
  QPainter p(this);
  PaintSkinnedForm(p, *this);
  const Glyph g = glyphFor(tag_);
  static const QFont big = TahomaFont(36);
  static const QFont small = TahomaFont(24);
  const QFont& font = g.points == 24 ? small : big;
  const QFontMetrics metrics(font);
  const QString text = QString::fromLatin1(g.text);
  p.setFont(font);
  const int x = 30 - metrics.horizontalAdvance(text) / 2;
  // Darker copies first, each one pixel higher; the plain colour ends on top.
  for (int n = 8; n >= 0; --n) {
    p.setPen(Kolor((g.colour & 0xFFFFFF) >> n));
    p.drawText(x, 20 + n + metrics.ascent(), text);
  }
}

bool ShowSkinnedMessageBox(const std::string& text, int kind) {
  TFDialog box;
  box.Prepare(text, kind);
  CentreOnScreen(box, TSkinnedForm::DialogOwner());
  box.setFocus();
  return box.ShowModal() == kMrYes;
}

void InstallSkinnedMessageBox() { SetMessageBoxHandler(&ShowSkinnedMessageBox); }
