#include "ui/SkinFonts.h"

#include <QLabel>
#include <QPainter>
#include <string>
#include <vector>

#include "UiTestSupport.h"

namespace {

// The blank column runs between the first and the last inked column of a
// label showing text in the small font, light on black, as the windows draw
// their captions and labels.
std::vector<int> Gaps(const QString& text, qreal zoom) {
  QLabel label;
  label.setFont(SmallFontAt(zoom));
  label.setAutoFillBackground(true);
  QPalette pal = label.palette();
  pal.setColor(QPalette::Window, Qt::black);
  pal.setColor(QPalette::WindowText, QColor(217, 217, 217));
  label.setPalette(pal);
  label.setText(text);
  label.resize(label.sizeHint() + QSize(8, 4));
  QImage img(label.size() * zoom, QImage::Format_RGB32);
  img.setDevicePixelRatio(zoom);
  img.fill(Qt::black);
  label.render(&img);
  std::vector<bool> ink;
  for (int x = 0; x < img.width(); ++x) {
    bool any = false;
    for (int y = 0; y < img.height() && !any; ++y) any = qGray(img.pixel(x, y)) > 60;
    ink.push_back(any);
  }
  std::vector<int> gaps;
  int run = -1;  // -1 until the first ink
  for (bool on : ink) {
    if (on) {
      if (run > 0) gaps.push_back(run);
      run = 0;
    } else if (run >= 0) {
      ++run;
    }
  }
  return gaps;
}

std::string Show(const std::vector<int>& gaps) {
  std::string s;
  for (int g : gaps) s += std::to_string(g) + " ";
  return s;
}

}  // namespace

using SmallCaptions = SkinTest;

// Every letter stands apart, the gaps inside a word differ by a pixel at
// most, and the space is wider than any of them and at least two columns.
TEST_F(SmallCaptions, LettersEvenlySpacedAndSpacesShow) {
  InstallFontSubstitutes();
  for (qreal zoom : {1.0, 2.0}) {
    SCOPED_TRACE(zoom);
    const std::vector<int> word = Gaps(QString::fromUtf8("połączony"), zoom);
    ASSERT_EQ(word.size(), 8u) << "letters run together: " << Show(word);
    const auto [narrow, wide] = std::minmax_element(word.begin(), word.end());
    EXPECT_LE(*wide - *narrow, zoom) << Show(word);

    const std::vector<int> two = Gaps(QString::fromUtf8("zaraz wracam"), zoom);
    ASSERT_EQ(two.size(), 10u) << "letters run together: " << Show(two);
    const int space = two[4];
    std::vector<int> inWords(two);
    inWords.erase(inWords.begin() + 4);
    const auto [n, w] = std::minmax_element(inWords.begin(), inWords.end());
    EXPECT_LE(*w - *n, zoom) << Show(two);
    EXPECT_GE(space, 2 * zoom) << Show(two);
    EXPECT_GT(space, *w) << Show(two);
  }
}
