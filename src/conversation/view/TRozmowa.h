#pragma once
// The conversation of one chat window: a stack of message boxes, oldest at
// the top, newest on the bottom edge, each with its wrapped text, emoticon
// pictures, underlined links and its time label, and a slim scroll bar of its
// own in the 16-pixel strip on the right.
//
// The layout is kept in a ConversationLayout and is recomputed only when a
// message is added, when LayoutMessage is asked for, or when the width
// changes; painting draws what it holds, and only the boxes in view.
//
// As on any desktop, the wheel and the touchpad scroll it, text is selected
// with the mouse (a drag, a double click for a word, a third click for the
// whole message, Shift+click to extend) and copied with Ctrl+C or the
// context menu's "Kopiuj"; a link opens on a click that selects nothing. The
// view takes no focus: the chat window's entry field keeps it and hands the
// view its keys.

#include <QElapsedTimer>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "conversation/ConversationLayout.h"
#include "ui/SkinRecolourable.h"

class QAction;
class QMenu;
class ShellOpen;

class TRozmowa : public QWidget, public TSkinRecolourable {
  Q_OBJECT

 public:
  // shell opens the links that are clicked; programDir holds the ikony
  // folder. Times are shown on the machine's clock (LocalWallSeconds).
  TRozmowa(ShellOpen& shell, const QString& programDir, QWidget* parent = nullptr);
  ~TRozmowa() override;

  // The creator's partner number; the chat window registry compares it.
  uint32_t Number = 0;
  // Who the received messages are from, as a screen reader names the
  // sender: the contact's display name or "Nieznajomy" (Windows-1250).
  std::string Partner;

  void AddMessage(const std::string& text, uint32_t time, uint8_t kind);
  void LayoutMessage(std::size_t index);
  const std::vector<Wiersz>& Messages() const { return layout_.Messages(); }
  // The layout as of the last message added, LayoutMessage, paint or resize.
  const ConversationLayout& Layout() const { return layout_; }
  int TextAreaWidth() const { return width() - kScrollStrip; }
  int64_t ScrollOffset() const { return layout_.ScrollOffset(); }
  void SetScrollOffset(int64_t offset);
  bool ScrollBarVisible() const { return layout_.ScrollBarVisible(); }
  bool Dragging() const { return layout_.Dragging(); }

  // The local date as a day number; the clock by default. Tests fix it.
  void SetToday(std::function<int32_t()> today);

  // Colours are read at every paint; a new scheme only needs one.
  void Recolour() override { update(); }

  // The selection (ConversationLayout::SelectedText) as Unicode text.
  QString SelectedText() const;
  bool HasSelection() const { return layout_.HasSelection(); }
  void SelectAll();
  void ClearSelection();
  // Puts the selection on the clipboard; false when nothing is selected.
  bool CopySelection();

  // Scrolling as the wheel and the keys do it: pixels up (toward the oldest)
  // when positive; a page is the view's height less a line.
  void ScrollBy(int64_t pixels);
  void PageUp();
  void PageDown();
  void ScrollToOldest();
  void ScrollToNewest();

  // Where message box `message` is now, in the view's coordinates.
  QRect MessageRect(std::size_t message) const;
  // Opens link `link` of message `message` as a click on it does.
  void OpenLink(std::size_t message, std::size_t link);

  // The context menu, made when first shown: "Kopiuj" and "Zaznacz wszystko".
  QMenu* ContextMenu() const { return menu_; }
  QAction* Kopiuj = nullptr;
  QAction* ZaznaczWszystko = nullptr;
  // Opens the context menu at a global position, as a right click does.
  void ShowContextMenu(const QPoint& globalPos);

  // The path of the picture now in the one-entry cache and the colour it
  // was tinted with (kNoTint: as loaded).
  const QString& CachedPictureName() const { return cachedName_; }
  uint32_t CachedPictureColour() const { return cachedColour_; }
  static constexpr uint32_t kNoTint = 0x1FFFFFFF;

 signals:
  // The selection was made, changed or dropped.
  void SelectionChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  class Measure;
  // Loads ikony/<name>.bmp into the cache unless it holds that picture with
  // that colour already; tints it unless colour is kNoTint.
  const QImage& LoadPicture(const std::string& name, uint32_t colour);
  QString PicturePath(const std::string& name) const;
  void SyncWidth();
  void Select(TextPosition anchor, TextPosition focus);
  // The selection follows the pointer held down at pos.
  void ExtendTo(QPoint pos);
  void AutoScroll();
  void UpdateCursor(QPoint pos);
  void OfferPrimary();

  ShellOpen& shell_;
  QString programDir_;
  std::function<int32_t()> today_;
  QFont textFont_;
  QFont linkFont_;
  QFont labelFont_;
  QFontMetrics textMetrics_;
  QFontMetrics labelMetrics_;
  std::unique_ptr<Measure> measure_;
  ConversationLayout layout_;
  QImage pictureCache_;
  QString cachedName_;
  uint32_t cachedColour_ = kNoTint;

  // A left button held on the text: where, what link it was on, and
  // whether it has moved far enough to be a drag.
  bool selecting_ = false;
  bool moved_ = false;
  QPoint pressAt_;
  QPoint pointer_;
  std::string pressUrl_;
  QTimer autoScroll_;
  // A double click starts it: a third click soon after selects the message.
  QElapsedTimer doubleClick_;
  QPoint doubleClickAt_;
  // The part of a wheel's turn not scrolled yet (a fine wheel sends less
  // than a notch at a time).
  double wheelRest_ = 0;
  QMenu* menu_ = nullptr;
};
