#pragma once
// A filled circle with an outline: the connection-state indicator and the
// automatic-reconnection marker of the main window.

#include <QWidget>
#include <cstdint>
#include <functional>

class TShape : public QWidget {
  Q_OBJECT
 public:
  explicit TShape(QWidget* parent);

  // Colours are 0x00BBGGRR.
  void SetColours(uint32_t pen, uint32_t brush);
  uint32_t Pen() const { return pen_; }
  uint32_t Brush() const { return brush_; }

  std::function<void(Qt::MouseButton)> OnMouseDown;

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;

 private:
  uint32_t pen_ = 0;
  uint32_t brush_ = 0xFFFFFF;
};
