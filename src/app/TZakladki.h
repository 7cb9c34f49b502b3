#pragma once
// The page control of the settings dialog: a row of tabs drawn as buttons
// above one page at a time. The frame of each tab is the control's; its
// caption is drawn by the owner (DrawTab), as the dialog wants it.

#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

class QPainter;

class TZakladki : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kTabHeight = 18;

  // painter, tab index, the tab's rectangle, whether it is the shown one.
  using DrawTab = std::function<void(QPainter&, int, const QRect&, bool)>;

  explicit TZakladki(QWidget* parent = nullptr);

  // The page becomes a child of the control, placed below the tabs.
  int AddPage(QWidget* page, const QString& caption);
  int Count() const { return static_cast<int>(pages_.size()); }
  QWidget* Page(int index) const { return pages_[index].page; }
  QString Caption(int index) const { return pages_[index].caption; }
  QRect TabRect(int index) const;

  int ActivePage() const { return active_; }
  // Shows the page and raises PageShown, also when it was shown already.
  void SetActivePage(int index);

  void SetDrawTab(DrawTab draw) { drawTab_ = std::move(draw); }

 signals:
  void PageShown(int index);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct Entry {
    QWidget* page;
    QString caption;
  };
  std::vector<Entry> pages_;
  int active_ = -1;
  DrawTab drawTab_;
};
