#pragma once
// A context menu in the colours of the scheme, drawn as the tray's menu is:
// the window background, a frame, the item under the pointer in the frame's
// first shade, a disabled item in the frame's colour. An item's text may carry
// its shortcut after a tab ("Kopiuj\tCtrl+C"), drawn at the right.

#include <QMenu>
#include <memory>

class QStyle;

class TPodreczne : public QMenu {
 public:
  explicit TPodreczne(QWidget* parent = nullptr);
  ~TPodreczne() override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::unique_ptr<QStyle> style_;
};
