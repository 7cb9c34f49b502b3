#pragma once
// A list of pictures of equal size, cut from one horizontal strip image, as
// the program's image lists IL (16 x 16) and ILDuze (32 x 32).

#include <QImage>
#include <QPainter>
#include <QSize>
#include <vector>

class TImageList {
 public:
  TImageList() = default;
  // Cuts the strip into pictures of the given width (the strip's height is
  // theirs). A strip whose width is not a multiple gives the whole pictures only.
  TImageList(const QImage& strip, int pictureWidth);

  int count() const { return static_cast<int>(pictures_.size()); }
  QSize size() const { return size_; }
  bool isEmpty() const { return pictures_.empty(); }
  // The picture, or a null image for a number past the end.
  QImage picture(int index) const;
  // Draws picture index with its transparency at (x, y); nothing for a number
  // past the end.
  void Draw(QPainter& painter, int x, int y, int index) const;

 private:
  std::vector<QImage> pictures_;
  QSize size_;
};
