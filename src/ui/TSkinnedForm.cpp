#include "ui/TSkinnedForm.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>
#include <QWindow>

#include "ui/Skin.h"
#include "platform/desktop/WindowPlace.h"
#include "ui/SkinFonts.h"
#include "ui/SkinRecolourable.h"
#include "ui/SkinScrollBar.h"
#include "ui/TButon.h"
#include "ui/TNapisButon.h"
#include "ui/Tint.h"

namespace {

constexpr int kTitleHeight = 20;
constexpr int kTile = 200;

// An unfilled one-pixel rectangle over the pixels left..right-1, top..bottom-1,
// as a GDI Rectangle(left, top, right, bottom) with a solid pen draws it.
void frameRect(QPainter& p, int left, int top, int right, int bottom, const QColor& c) {
  const int w = right - left, h = bottom - top;
  if (w <= 0 || h <= 0) return;
  p.fillRect(left, top, w, 1, c);
  p.fillRect(left, bottom - 1, w, 1, c);
  p.fillRect(left, top, 1, h, c);
  p.fillRect(right - 1, top, 1, h, c);
}

void setColours(QWidget* w, QPalette::ColorRole back, uint32_t backColour, QPalette::ColorRole fore, uint32_t foreColour) {
  QPalette pal = w->palette();
  pal.setColor(back, Kolor(backColour));
  pal.setColor(fore, Kolor(foreColour));
  w->setPalette(pal);
}

void setForeground(QWidget* w, uint32_t colour) {
  QPalette pal = w->palette();
  pal.setColor(QPalette::WindowText, Kolor(colour));
  w->setPalette(pal);
}

// Recolours the components of one window by their class. Nested skinned
// windows are registered themselves; a self-recolouring control looks after
// its own inner widgets.
void recolourChildren(QWidget* parent) {
  const ColourScheme& s = Skin::get().scheme();
  const DerivedColours& d = Skin::get().colours();
  for (QObject* o : parent->children()) {
    auto* w = qobject_cast<QWidget*>(o);
    if (!w || qobject_cast<TSkinnedForm*>(w)) continue;
    if (auto* r = dynamic_cast<TSkinRecolourable*>(w)) {
      r->Recolour();
      continue;
    }
    if (qobject_cast<QLineEdit*>(w)) {
      setColours(w, QPalette::Base, d.frameShade[0], QPalette::Text, s.tekst);
      continue;
    }
    if (qobject_cast<QAbstractItemView*>(w) || qobject_cast<QTextEdit*>(w) || qobject_cast<QPlainTextEdit*>(w)) {
      setColours(w, QPalette::Base, d.frameShade[0], QPalette::Text, s.tekst);
      SkinScrollBars(static_cast<QAbstractScrollArea*>(w));
      continue;
    }
    if (auto* label = qobject_cast<QLabel*>(w)) {
      if (qobject_cast<QLineEdit*>(label->buddy())) {
        setForeground(label, d.dimmedText);  // the label of a labelled edit
      } else {
        switch (Tag(label)) {
          case 0: setForeground(label, d.dimmedText); break;
          case 3: setForeground(label, s.opis); break;
          case 4: setForeground(label, s.komunikat); break;
          default: break;
        }
      }
      continue;
    }
    if (qobject_cast<QCheckBox*>(w)) {
      // The box itself as an edit box, its tick in the text colour.
      setColours(w, QPalette::Base, d.frameShade[0], QPalette::Text, s.tekst);
      setForeground(w, d.dimmedText);
      continue;
    }
    recolourChildren(w);  // plain containers: frames, pages
  }
}

}  // namespace

void PaintSkinnedForm(QPainter& p, QWidget& form) {
  const Skin& skin = Skin::get();
  const ColourScheme& s = skin.scheme();
  const DerivedColours& d = skin.colours();
  const int W = form.width(), H = form.height();
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);

  p.fillRect(0, 0, W, H, Kolor(s.tlo));
  if (s.tekstura) {
    // The tiles are laid by exclusive or over a plain fill of the background,
    // so the combined tile is the same everywhere and comes ready-made.
    const QImage& tile = skin.textureOnBackground();
    if (!tile.isNull()) {
      const QRect source(0, 0, qMin(kTile, tile.width()), qMin(kTile, tile.height()));
      for (int row = 0; row <= H; row += kTile)
        for (int col = 0; col <= W; col += kTile) p.drawImage(QPoint(col, row), tile, source);
    }
  }
  p.fillRect(0, 0, W, kTitleHeight, Kolor(d.frameShade[0]));
  for (int a = 0; a < 3; ++a) frameRect(p, a, a, W - a, H - a, Kolor(d.frameShade[2 - a]));

  const QString caption = form.windowTitle();
  if (!caption.isEmpty()) {
    static const QFont font = SmallFont();
    static const int ascent = QFontMetrics(font).ascent();
    p.setFont(font);
    const int x0 = form.findChild<QObject*>(QStringLiteral("BZamknij")) ? 20 : 5;
    p.setPen(Kolor(s.tekst ^ 0xFFFFFF));
    p.drawText(x0 + 2, 6 + ascent, caption);
    p.setPen(Kolor(d.dimmedText));
    p.drawText(x0 + 1, 5 + ascent, caption);
  }
  p.restore();
}

TSkinnedForm::TSkinnedForm(QWidget* parent, Qt::WindowFlags extraFlags)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | extraFlags) {
  Skin::get().Register(this);
}

TSkinnedForm::~TSkinnedForm() {
  Skin::get().Unregister(this);
  if (modalLoop_) modalLoop_->quit();
}

void TSkinnedForm::ApplyColours() {
  coloursGeneration_ = Skin::get().generation();
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Kolor(Skin::get().scheme().tlo));
  setPalette(pal);
  recolourChildren(this);
}

void TSkinnedForm::takeColoursIfStale() {
  if (coloursGeneration_ != Skin::get().generation()) ApplyColours();
}

bool TSkinnedForm::event(QEvent* e) {
  // A window created after the last ApplyColourScheme takes the colours when
  // it is first polished, that is before it is first shown or rendered.
  const bool handled = QWidget::event(e);
  if (e->type() == QEvent::Polish || e->type() == QEvent::Show) takeColoursIfStale();
  return handled;
}

void TSkinnedForm::paintEvent(QPaintEvent*) {
  QPainter p(this);
  PaintSkinnedForm(p, *this);
}

// A press on a button of the strip is the button's: the window must not
// take it for a drag (a compositor that moves the window takes the pointer,
// and the button would never see its release).
bool TSkinnedForm::OnStripButton(QPoint at) const {
  for (QWidget* w = childAt(at); w && w != this; w = w->parentWidget())
    if (qobject_cast<TButon*>(w) || qobject_cast<TNapisButon*>(w)) return true;
  return false;
}

void TSkinnedForm::mousePressEvent(QMouseEvent* e) {
  const QPoint at = e->position().toPoint();
  if (e->button() == Qt::LeftButton && at.y() < kTitleHeight && !OnStripButton(at)) {
    dragging_ = true;
    dragStart_ = at;
    return;
  }
  QWidget::mousePressEvent(e);
}

void TSkinnedForm::mouseMoveEvent(QMouseEvent* e) {
  if (!dragging_) {
    QWidget::mouseMoveEvent(e);
    return;
  }
  const QPoint at = e->position().toPoint();
  if (!PlatformTellsWindowPlace()) {
    // Only the compositor moves a window here, and it takes the pointer
    // until the button is let go: not before the user has really begun to
    // drag, so that a click on the strip stays a click.
    if ((at - dragStart_).manhattanLength() < QApplication::startDragDistance()) return;
    dragging_ = false;
    if (QWindow* window = windowHandle()) window->startSystemMove();
    return;
  }
  // The window moves under the pointer, so the pointer comes back to the
  // point where the drag began: the delta is always from that point.
  move(pos() + at - dragStart_);
}

void TSkinnedForm::mouseReleaseEvent(QMouseEvent* e) {
  dragging_ = false;
  QWidget::mouseReleaseEvent(e);
}

void TSkinnedForm::closeEvent(QCloseEvent* e) {
  if (modalLoop_ && modalResult_ == kMrNone) SetModalResult(kMrCancel);
  QWidget::closeEvent(e);
}

namespace {
QPointer<QWidget>& MainWindow() {
  static QPointer<QWidget> main;
  return main;
}
}  // namespace

void TSkinnedForm::SetMainWindow(QWidget* main) { MainWindow() = main; }

QWidget* TSkinnedForm::DialogOwner(const QWidget* except) {
  for (QWidget* w : {QApplication::activeModalWidget(), QApplication::activeWindow()})
    if (w && w != except && w->isVisible()) return w->window();
  QWidget* main = MainWindow();
  return main != except ? main : nullptr;
}

void CentreOnScreen(QWidget& window, const QWidget* near) {
  QScreen* screen = near ? near->screen() : nullptr;
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (screen) window.move(screen->availableGeometry().center() - window.rect().center());
}

void TSkinnedForm::BelongTo(QWidget* owner) {
  Qt::WindowFlags flags = (windowFlags() & ~Qt::WindowType_Mask) | Qt::Dialog;
  // A window manager keeps a dialog above its owner within the owner's
  // layer; above an owner that stays on top only when it stays on top too.
  flags.setFlag(Qt::WindowStaysOnTopHint, owner && (owner->windowFlags() & Qt::WindowStaysOnTopHint));
  if (flags != windowFlags()) setWindowFlags(flags);  // hides it until it is shown below
  if (!owner || parentWidget()) return;  // a parent is the owner already
  create();
  if (QWindow* self = windowHandle(); self && owner->windowHandle())
    self->setTransientParent(owner->windowHandle());
}

void TSkinnedForm::keyPressEvent(QKeyEvent* e) {
  const bool plain = (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (e->key() == Qt::Key_Escape && plain && modalLoop_) {
    SetModalResult(kMrCancel);
    return;
  }
  if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && plain && defaultButton_ &&
      defaultButton_->isVisible() && defaultButton_->isEnabled()) {
    defaultButton_->Click();
    return;
  }
  QWidget::keyPressEvent(e);
}

int TSkinnedForm::ShowModal() {
  if (modalLoop_) return kMrCancel;  // already running modally
  modalResult_ = kMrNone;
  BelongTo(parentWidget() ? parentWidget()->window() : DialogOwner(this));
  setWindowModality(Qt::ApplicationModal);
  show();
  raise();
  activateWindow();
  QEventLoop loop;
  modalLoop_ = &loop;
  QPointer<TSkinnedForm> self(this);
  loop.exec(QEventLoop::DialogExec);
  if (!self) return kMrCancel;  // destroyed while shown
  modalLoop_ = nullptr;
  const int result = modalResult_ == kMrNone ? kMrCancel : modalResult_;
  hide();
  setWindowModality(Qt::NonModal);
  return result;
}

void TSkinnedForm::SetModalResult(int result) {
  modalResult_ = result;
  if (result != kMrNone && modalLoop_) modalLoop_->quit();
}
