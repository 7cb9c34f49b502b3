#pragma once
// The tray's balloon, where Qt draws it itself (an XEmbed tray), as a
// notification named by what it says: its title, the sender, and its text;
// its close button is named as the windows' close buttons are. The program
// tells the reader of a message by a notice of its own (NoticeAccessible)
// whether or not a balloon comes, so the balloon's showing is not told again.

#include <QAccessibleWidget>

class BalloonAccessible : public QAccessibleWidget {
 public:
  explicit BalloonAccessible(QWidget* balloon);

  QString text(QAccessible::Text t) const override;

  static QAccessibleInterface* Factory(const QString& className, QObject* object);
};
