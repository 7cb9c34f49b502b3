#pragma once
// The base of every window of the program: borderless, painted by
// PaintSkinnedForm (background, texture, title strip, bevelled border,
// caption), dragged by its top 20 pixels where no button is (by the program
// where the window system lets it place windows, else by the compositor),
// recoloured with the colour scheme, and able to run modally until a modal
// result is set.
//
// A window's size is the program's (the design's, or the size dialog's):
// windows give it with setFixedSize, so that the window manager offers no
// resize and a tiling compositor floats them at that size.
//
// A window derives from TSkinnedForm, builds its components as children and,
// when it paints more than the frame, overrides paintEvent and calls
// PaintSkinnedForm first. The caption is the window title. A component named
// "BZamknij" (the close button at the left of the title strip) moves the
// caption right.
//
// Modal windows: ShowModal() shows the window modal to the application and
// returns when SetModalResult is given a value other than 0 (a TNapisButon
// with Modal != 0 does that on click), or when the window is closed
// (result kMrCancel). The window is hidden, not destroyed, on return.
//
// A modal window is a dialog of the window it belongs to (its parent, or
// else the window the user works in, else the main window): the window
// manager keeps it above that one, also when that one stays on top, and
// gives it no task bar entry of its own. From the keyboard, Esc closes it as
// its cancel and Enter presses its default button, if it has one.

#include <QPoint>
#include <QWidget>

class QEventLoop;
class QPainter;
class TNapisButon;

// Modal results, the values of the framework the program was designed with.
enum ModalResult : int { kMrNone = 0, kMrOk = 1, kMrCancel = 2, kMrYes = 6, kMrNo = 7 };

// Paints the frame of a skinned window onto painter, which paints on form.
void PaintSkinnedForm(QPainter& painter, QWidget& form);

class TSkinnedForm : public QWidget {
  Q_OBJECT
 public:
  explicit TSkinnedForm(QWidget* parent = nullptr, Qt::WindowFlags extraFlags = {});
  ~TSkinnedForm() override;

  // Gives the window and its components the colours of the current scheme:
  // the window's colour the background; TSkinRecolourable components
  // recolour themselves; line edits, list and item views, text edits: frame
  // shade 0 behind the text colour, the views' and text edits' scroll bars
  // skinned (SkinScrollBars); labels by their tag (SetTag), labels of edits
  // (buddies) the dimmed text colour; check boxes the dimmed text colour,
  // their box as an edit's. Windows with more to recolour override it and call it first.
  virtual void ApplyColours();

  int ShowModal();
  void SetModalResult(int result);
  int modalResult() const { return modalResult_; }
  bool inModalLoop() const { return modalLoop_ != nullptr; }

  // Enter anywhere in the window presses it (while it is shown and enabled);
  // none by default.
  void SetDefaultButton(TNapisButon* button) { defaultButton_ = button; }
  TNapisButon* DefaultButton() const { return defaultButton_; }

  // The program's main window: the owner of the boxes that come when the
  // user works in no window of the program.
  static void SetMainWindow(QWidget* main);
  // Whom a dialog opened now belongs to: the modal window in front, else
  // the active window, else the main window (null without one).
  static QWidget* DialogOwner(const QWidget* except = nullptr);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void takeColoursIfStale();
  bool OnStripButton(QPoint at) const;
  // Makes the window a dialog of its owner before it is shown modally.
  void BelongTo(QWidget* owner);

  bool dragging_ = false;
  QPoint dragStart_;
  int modalResult_ = kMrNone;
  QEventLoop* modalLoop_ = nullptr;
  unsigned coloursGeneration_ = ~0u;
  TNapisButon* defaultButton_ = nullptr;
};

// Puts the window in the middle of the available area of the screen that
// `near` is on (the primary screen when near is null or on none).
void CentreOnScreen(QWidget& window, const QWidget* near);
