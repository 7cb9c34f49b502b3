#include "ui/TImageList.h"

TImageList::TImageList(const QImage& strip, int pictureWidth) {
  if (strip.isNull() || pictureWidth <= 0) return;
  size_ = QSize(pictureWidth, strip.height());
  const QImage argb = strip.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  for (int x = 0; x + pictureWidth <= argb.width(); x += pictureWidth)
    pictures_.push_back(argb.copy(x, 0, pictureWidth, argb.height()));
}

QImage TImageList::picture(int index) const {
  if (index < 0 || index >= count()) return {};
  return pictures_[index];
}

void TImageList::Draw(QPainter& painter, int x, int y, int index) const {
  if (index < 0 || index >= count()) return;
  painter.drawImage(x, y, pictures_[index]);
}
