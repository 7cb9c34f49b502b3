#pragma once
// The tray icon's popup menu, drawn by the program in the colour scheme: one
// item per chat window, the newest first, then the separator and the fixed
// items "Resetuj okno", "Zmień status..." (with the own status's picture)
// and "Zakończ". A chat item shows its contact's status picture, none for a
// stranger, and is bold while its window holds a new message.
//
// Every item carries a tag (SetTag): 0 for the fixed items, the chat's
// registry index + 1 for a chat item.

#include <QMenu>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Tray.h"

class QStyle;

class TPupa : public QMenu {
  Q_OBJECT
 public:
  explicit TPupa(QWidget* parent = nullptr);
  ~TPupa() override;

  // Replaces the chat items; chats are in registry order.
  void SetChats(const std::vector<Tray::ChatItem>& chats);
  void SetOwnStatus(uint8_t statusIndex);
  // The IL picture drawn at an item's left; -1 for none.
  int Picture(const QAction* item) const;

  QAction* Przerwa;
  QAction* ResetOkno;
  QAction* ZmienStatus;
  QAction* Zakoncz;

 signals:
  void ChatChosen(int chat);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void DrawItem(QPainter& p, const QAction* item, const QRect& r, bool highlighted) const;

  std::unique_ptr<QStyle> style_;
  uint8_t ownStatus_ = 0;
};
