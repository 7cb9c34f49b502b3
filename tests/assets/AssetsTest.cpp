#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QXmlStreamReader>
#include <QtEndian>
#include <algorithm>

#include "ui/Skin.h"

namespace {

const QString kAssets = WM_ASSETS_DIR;

// The picture names of the emoticon table, in its order; written out here
// rather than taken from the generator so that a renamed drawing is caught.
const char* const kEmoticonNames[45] = {
    "usmiech", "mruga", "z jezorem", "szczerzy", "lol", "rotfl", "zly", "smutny",
    "kwasny", "niewyrazny", "ke", "chytry", "diabelek", "wykrzyknik", "pytajnik",
    "spadaj", "placze", "auu", "chory", "aniolek", "boje sie", "niemamnie",
    "wstydnis", "urwanie glowy", "spiacy", "gwizdze", "bokiem", "co jest",
    "cwaniak", "wow", "calus", "serce", "serduszka", "kwiatek", "alien",
    "czarodziej", "killer", "mikolaj", "okularnik", "pirat", "zorro",
    "koniczynka", "kot", "stop", "strzalka"};

int maxChannel(QRgb p) { return std::max({qRed(p), qGreen(p), qBlue(p)}); }

// The tint keeps pixels whose largest channel is 85 or more; a picture with
// none of them would vanish into the window colour.
int survivingPixels(const QImage& img, const QRect& r) {
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) n += maxChannel(img.pixel(x, y)) >= 85;
  return n;
}

// Each picture of a strip stands on black at its four corners and shows
// something that survives the tint.
void expectStripOnBlack(const QImage& strip, int size, int count) {
  ASSERT_EQ(strip.width(), size * count);
  ASSERT_EQ(strip.height(), size);
  for (int i = 0; i < count; ++i) {
    const QRect r(i * size, 0, size, size);
    for (QPoint c : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()})
      EXPECT_EQ(strip.pixel(c) & 0xFFFFFF, 0u) << "picture " << i << " corner " << c.x() << "," << c.y();
    EXPECT_GT(survivingPixels(strip, r), size * size / 10) << "picture " << i;
  }
}

TEST(AssetsTest, ImageListsHaveTheirSizesAndStandOnBlack) {
  const QImage il(kAssets + "/obrazki/IL.png");
  ASSERT_FALSE(il.isNull());
  expectStripOnBlack(il, 16, 16);

  const QImage large(kAssets + "/obrazki/ILDuze.png");
  ASSERT_FALSE(large.isNull());
  EXPECT_EQ(large.width(), 256);
  EXPECT_EQ(large.height(), 32);
  expectStripOnBlack(large, 32, 8);
  // The settings button is 16 wide: its gear must lie in the left half.
  EXPECT_EQ(survivingPixels(large, QRect(6 * 32 + 16, 0, 16, 32)), 0);
  // The emoticon button of the chat window is 20 square: its face must lie
  // in the top left.
  EXPECT_EQ(survivingPixels(large, QRect(7 * 32 + 20, 0, 12, 32)) +
                survivingPixels(large, QRect(7 * 32, 20, 20, 12)),
            0);
}

TEST(AssetsTest, StatusPicturesDifferFromEachOther) {
  // Status icons must be told apart: no two of 0..6 may be the same picture.
  const QImage il(kAssets + "/obrazki/IL.png");
  ASSERT_FALSE(il.isNull());
  for (int a = 0; a < 7; ++a)
    for (int b = a + 1; b < 7; ++b)
      EXPECT_NE(il.copy(a * 16, 0, 16, 16), il.copy(b * 16, 0, 16, 16)) << a << " and " << b;
}

TEST(AssetsTest, TextureIsSparseStarsOnBlack) {
  const QImage t(kAssets + "/obrazki/tekstura.png");
  ASSERT_FALSE(t.isNull());
  ASSERT_EQ(t.size(), QSize(200, 200));
  int lit = 0, bright = 0;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 200; ++x) {
      const int m = maxChannel(t.pixel(x, y));
      lit += m > 0;
      bright += m >= 150;
    }
  EXPECT_GE(lit, 200);
  EXPECT_LE(lit, 2000);  // at most 5 % of the ground
  EXPECT_GT(bright, 5);
}

TEST(AssetsTest, TrayFramesShareOneSize) {
  const QImage first(kAssets + "/obrazki/tray0.png");
  ASSERT_FALSE(first.isNull());
  int frames = 1;
  while (QFileInfo::exists(kAssets + QString("/obrazki/tray%1.png").arg(frames))) {
    const QImage f(kAssets + QString("/obrazki/tray%1.png").arg(frames));
    EXPECT_EQ(f.size(), first.size()) << "frame " << frames;
    EXPECT_NE(f, first) << "frame " << frames;
    ++frames;
  }
  EXPECT_GE(frames, 2);  // an animation needs a second picture
  EXPECT_TRUE(first.size() == QSize(16, 16) || first.size() == QSize(22, 22));
}

TEST(AssetsTest, EveryEmoticonHasA24BitBitmapOnBlack) {
  for (const char* name : kEmoticonNames) {
    SCOPED_TRACE(name);
    const QString path = kAssets + "/ikony/" + name + ".bmp";
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray head = f.read(30);
    ASSERT_EQ(head.size(), 30);
    EXPECT_EQ(head.left(2), QByteArray("BM"));
    EXPECT_EQ(qFromLittleEndian<quint16>(head.constData() + 28), 24);  // bits per pixel

    const QImage img(path);
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.size(), QSize(20, 20));
    for (QPoint c : {QPoint(0, 0), QPoint(19, 0), QPoint(0, 19), QPoint(19, 19)})
      EXPECT_EQ(img.pixel(c) & 0xFFFFFF, 0u);
    EXPECT_GT(survivingPixels(img, img.rect()), 40);  // the faint "niemamnie" has about 57
  }
}

TEST(AssetsTest, EmoticonPicturesAreAllDifferent) {
  std::vector<QImage> all;
  for (const char* name : kEmoticonNames) all.emplace_back(kAssets + "/ikony/" + name + ".bmp");
  for (size_t a = 0; a < all.size(); ++a)
    for (size_t b = a + 1; b < all.size(); ++b)
      EXPECT_NE(all[a], all[b]) << kEmoticonNames[a] << " and " << kEmoticonNames[b];
}

TEST(AssetsTest, ResourceFileListsExistingPicturesUnderTheirPaths) {
  QFile qrc(kAssets + "/obrazki.qrc");
  ASSERT_TRUE(qrc.open(QIODevice::ReadOnly));
  QXmlStreamReader xml(&qrc);
  QStringList aliases;
  Skin::get().LoadPictures();  // registers the compiled-in pictures, as the program does
  QString prefix;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == QLatin1String("qresource")) prefix = xml.attributes().value("prefix").toString();
    if (xml.name() != QLatin1String("file")) continue;
    const QString alias = xml.attributes().value("alias").toString();
    const QString file = xml.readElementText();
    SCOPED_TRACE(file.toStdString());
    EXPECT_EQ(prefix, "/");
    EXPECT_TRUE(QFileInfo::exists(kAssets + "/" + file));
    aliases << alias;
    // As the program loads it, from the compiled-in resource.
    EXPECT_FALSE(QImage(":/" + alias).isNull());
  }
  ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  for (const char* needed : {"obrazki/IL.png", "obrazki/ILDuze.png", "obrazki/tekstura.png", "obrazki/tray0.png"})
    EXPECT_TRUE(aliases.contains(needed)) << needed;
}

TEST(AssetsTest, ChimeIsShortMonoPcm) {
  QFile f(kAssets + "/notify.wav");
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray w = f.readAll();
  ASSERT_GE(w.size(), 44);
  const char* d = w.constData();
  EXPECT_EQ(w.left(4), QByteArray("RIFF"));
  EXPECT_EQ(qFromLittleEndian<quint32>(d + 4), static_cast<quint32>(w.size() - 8));
  EXPECT_EQ(w.mid(8, 8), QByteArray("WAVEfmt "));
  EXPECT_EQ(qFromLittleEndian<quint16>(d + 20), 1);       // PCM
  EXPECT_EQ(qFromLittleEndian<quint16>(d + 22), 1);       // mono
  EXPECT_EQ(qFromLittleEndian<quint32>(d + 24), 22050u);
  EXPECT_EQ(qFromLittleEndian<quint16>(d + 34), 16);
  EXPECT_EQ(w.mid(36, 4), QByteArray("data"));
  const quint32 bytes = qFromLittleEndian<quint32>(d + 40);
  ASSERT_EQ(bytes, static_cast<quint32>(w.size() - 44));
  EXPECT_LT(bytes / 2, 22050u);  // under a second
  int peak = 0;
  for (quint32 i = 0; i < bytes / 2; ++i)
    peak = std::max(peak, std::abs(static_cast<int>(qFromLittleEndian<qint16>(d + 44 + 2 * i))));
  EXPECT_GT(peak, 8000);   // audible
  EXPECT_LT(peak, 32767);  // not clipped
}

}  // namespace
