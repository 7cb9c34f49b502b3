#pragma once
// The conversation of one chat window: a stack of message boxes, oldest at
// the top, newest on the bottom edge, each with its wrapped text, emoticon
// pictures, underlined links and its time label, and a slim scroll bar of its
// own in the 16-pixel strip on the right.
//
// The layout is kept in a ConversationLayout and is recomputed only when a
// message is added, when LayoutMessage is asked for, or when the width
// changes; painting draws what it holds, and only the boxes in view.

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "conversation/ConversationLayout.h"
#include "ui/SkinRecolourable.h"

class ShellOpen;

class TRozmowa : public QWidget, public TSkinRecolourable {
  Q_OBJECT

 public:
  // shell opens the links that are clicked; programDir holds the ikony
  // folder; timeBias is the program-wide time-zone bias (TimeZoneOffset).
  TRozmowa(ShellOpen& shell, const QString& programDir, int16_t timeBias, QWidget* parent = nullptr);
  ~TRozmowa() override;

  // The creator's partner number; the chat window registry compares it.
  uint32_t Number = 0;

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
  int16_t TimeBias() const { return layout_.TimeBias(); }

  // The local date as a day number; the clock by default. Tests fix it.
  void SetToday(std::function<int32_t()> today);

  // Colours are read at every paint; a new scheme only needs one.
  void Recolour() override { update(); }

  // The path of the picture now in the one-entry cache and the colour it
  // was tinted with (kNoTint: as loaded).
  const QString& CachedPictureName() const { return cachedName_; }
  uint32_t CachedPictureColour() const { return cachedColour_; }
  static constexpr uint32_t kNoTint = 0x1FFFFFFF;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  class Measure;
  // Loads ikony/<name>.bmp into the cache unless it holds that picture with
  // that colour already; tints it unless colour is kNoTint.
  const QImage& LoadPicture(const std::string& name, uint32_t colour);
  QString PicturePath(const std::string& name) const;
  void SyncWidth();

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
};
