#include "conversation/view/TFCzat.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextCursor>

#include "conversation/EmojiEmoticons.h"
#include "conversation/view/TFEmoty.h"
#include "conversation/view/TRozmowa.h"
#include "platform/Cp1250.h"
#include "ui/Anchors.h"
#include "ui/InputFitter.h"
#include "ui/Skin.h"
#include "ui/SkinFonts.h"
#include "ui/TButon.h"
#include "ui/TFRozm.h"

namespace {

// The client size the component places are given for.
constexpr QSize kDesign(377, 290);
constexpr Place kRozmowaPlace{8, 24, 369, 175, kAll};
constexpr Place kBZamknijPlace{3, 3, 16, 16, kLeftTop};
constexpr Place kButon1Place{356, 3, 16, 16, kRightTop};
constexpr Place kButon3Place{338, 3, 16, 16, kRightTop};
constexpr Place kButon2Place{350, 208, 20, 20, kRightBottom};
constexpr Place kMemo1Place{8, 208, 340, 73, kLeftRightBottom};

TButon* Button(QWidget* parent, const char* name, const TImageList& list, uint8_t picture,
               const char* hint) {
  auto* b = new TButon(parent);
  b->setObjectName(QString::fromLatin1(name));
  b->SetIL(&list);
  b->SetNumer(picture);
  if (hint) b->setToolTip(QString::fromUtf8(hint));
  return b;
}

}  // namespace

TFCzat::TFCzat(uint32_t number, ShellOpen& shell, const QString& programDir, Outgoing& outgoing)
    : TSkinnedForm(nullptr, Qt::WindowStaysOnTopHint), programDir_(programDir), outgoing_(outgoing) {
  setObjectName(QStringLiteral("FCzat"));
  Rozmowa = new TRozmowa(shell, programDir, this);
  Rozmowa->setObjectName(QStringLiteral("Rozmowa"));
  Rozmowa->Number = number;
  connect(Rozmowa, &TRozmowa::SelectionChanged, this, [this] { viewSelectedLast_ = Rozmowa->HasSelection(); });

  setFixedSize(kDesign);
  PlaceComponents();
}

TFCzat::~TFCzat() = default;

void TFCzat::BuildComponents() {
  if (Memo1) return;
  const Skin& skin = Skin::get();
  BZamknij = Button(this, "BZamknij", skin.IL(), 6, nullptr);
  Buton1 = Button(this, "Buton1", skin.IL(), 7, nullptr);
  Buton3 = Button(this, "Buton3", skin.IL(), 8, "Zmień rozmiar okna");
  Buton2 = Button(this, "Buton2", skin.ILDuze(), 7, nullptr);
  // Without a hint of their own, named for screen readers.
  BZamknij->setAccessibleName(QString::fromUtf8("Zamknij rozmowę"));
  Buton1->setAccessibleName(QString::fromUtf8("Ukryj okno"));
  Buton2->setAccessibleName(QString::fromUtf8("Wstaw emotikonę"));
  connect(BZamknij, &TButon::OnClick, this, [this] { BZamknijClick(); });
  connect(Buton1, &TButon::OnClick, this, [this] { Buton1Click(); });
  connect(Buton2, &TButon::OnClick, this, [this] { Buton2Click(); });
  connect(Buton3, &TButon::OnClick, this, [this] { Buton3Click(); });

  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setAccessibleName(QString::fromUtf8("Twoja wiadomość"));
  Memo1->setFrameShape(QFrame::NoFrame);
  Memo1->setFont(SansSerifFont());
  Memo1->setTabChangesFocus(true);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Memo1->installEventFilter(this);
  // An emoji with a picture of its own goes as that picture's text, which
  // the partner's program draws as the picture.
  Memo1Fitter = new InputFitter(Memo1, TextFitter(TextFitter::Forms::kPlain, EmojiAsEmoticons()), kMaxMessage);
  // Asked at each change: the session may change while the window is open.
  Memo1Fitter->SetWhole([this] { return outgoing_.Today(); });
  connect(Memo1, &QPlainTextEdit::selectionChanged, this, [this] {
    if (Memo1->textCursor().hasSelection()) viewSelectedLast_ = false;
  });

  // What the user types goes to the entry, not to the first button.
  Memo1->setFocus();
  PlaceComponents();
  ApplyColours();  // the window may have taken the scheme's colours before
}

void TFCzat::setVisible(bool visible) {
  if (visible) BuildComponents();
  TSkinnedForm::setVisible(visible);
}

uint32_t TFCzat::Number() const { return Rozmowa->Number; }

void TFCzat::SetNowy(bool nowy) {
  nowy_ = nowy;
  emit NowyChanged();
}

void TFCzat::PlaceComponents() {
  const int w = width(), h = height();
  PlaceAt(Rozmowa, kRozmowaPlace, kDesign, w, h);
  if (!Memo1) return;
  PlaceAt(BZamknij, kBZamknijPlace, kDesign, w, h);
  PlaceAt(Buton1, kButon1Place, kDesign, w, h);
  PlaceAt(Buton3, kButon3Place, kDesign, w, h);
  PlaceAt(Buton2, kButon2Place, kDesign, w, h);
  PlaceAt(Memo1, kMemo1Place, kDesign, w, h);
}

void TFCzat::resizeEvent(QResizeEvent*) { PlaceComponents(); }

// Shown minimised, the window is still unseen: the new message keeps its
// mark until the window is restored.
void TFCzat::showEvent(QShowEvent* event) {
  TSkinnedForm::showEvent(event);
  if (!isMinimized()) SetNowy(false);
}

void TFCzat::changeEvent(QEvent* event) {
  TSkinnedForm::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && nowy_ && isVisible() && !isMinimized()) SetNowy(false);
}

void TFCzat::Buton1Click() {
  if (!CanHide || CanHide())
    hide();
  else
    showMinimized();
}

void TFCzat::closeEvent(QCloseEvent* event) {
  TSkinnedForm::closeEvent(event);
  if (event->isAccepted()) emit Closed(this);
}

std::string TFCzat::EntryText() const {
  if (!Memo1) return {};
  QString text = Memo1->toPlainText();
  text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return outgoing_.Today() ? cp1250::fromQStringWide(text) : cp1250::fromQString(text);
}

bool TFCzat::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Memo1 && event->type() == QEvent::KeyPress &&
      Memo1KeyDown(static_cast<QKeyEvent*>(event)))
    return true;
  return TSkinnedForm::eventFilter(watched, event);
}

// Enter never breaks the line by itself: with Shift it inserts a line break,
// without it it sends. The keys that read the conversation go to the view:
// Page Up and Page Down, Ctrl+Home and Ctrl+End; Ctrl+C copies what was
// selected last, in the view or in the entry.
bool TFCzat::Memo1KeyDown(QKeyEvent* key) {
  if (key->matches(QKeySequence::Copy)) {
    const bool entry = Memo1->textCursor().hasSelection();
    if (!Rozmowa->HasSelection() || (entry && !viewSelectedLast_)) return false;
    Rozmowa->CopySelection();
    return true;
  }
  struct Reading {
    Qt::KeyboardModifiers mods;
    int key;
    void (TRozmowa::*scroll)();
  };
  static const Reading kReading[] = {{Qt::NoModifier, Qt::Key_PageUp, &TRozmowa::PageUp},
                                     {Qt::NoModifier, Qt::Key_PageDown, &TRozmowa::PageDown},
                                     {Qt::ControlModifier, Qt::Key_Home, &TRozmowa::ScrollToOldest},
                                     {Qt::ControlModifier, Qt::Key_End, &TRozmowa::ScrollToNewest}};
  const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
  for (const Reading& r : kReading)
    if (mods == r.mods && key->key() == r.key) {
      (Rozmowa->*r.scroll)();
      return true;
    }
  if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
  if (key->modifiers() & Qt::ShiftModifier) {
    QTextCursor c = Memo1->textCursor();
    c.insertText(QStringLiteral("\n"));  // replaces the selection
    Memo1->setTextCursor(c);
    Memo1->ensureCursorVisible();
    return true;
  }
  // While not connected nothing happens and the text stays.
  const std::string text = EntryText();
  if (!text.empty() && outgoing_.Connected()) {
    outgoing_.SendChatMessage(Number(), text);
    Memo1->clear();
  }
  return true;
}

void TFCzat::Release() {
  hide();
  release_.Release();
}

void TFCzat::Buton2Click() {
  BuildComponents();
  DeferredRelease::Busy busy(release_);
  TFEmoty picker(programDir_);
  const std::string_view token = TFEmoty::InsertedText(picker.Choose(this));
  if (token.empty() || release_.Released()) return;
  QTextCursor c = Memo1->textCursor();
  c.insertText(cp1250::toQString(token));
  Memo1->setTextCursor(c);
  Memo1->setFocus();
}

void TFCzat::Buton3Click() {
  DeferredRelease::Busy busy(release_);
  int w = width(), h = height();
  if (AskWindowSize(w, h) && !release_.Released()) SetClientSize(w, h);
}

void TFCzat::SetClientSize(int width, int height) {
  setFixedSize(width, height);
  PlaceComponents();  // also for a hidden window, whose resize event waits
  update();
}
