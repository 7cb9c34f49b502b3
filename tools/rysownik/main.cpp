// rysownik: draws every picture and sound of Wirmelak into assets/.
//
// The build does not run it; the files it writes are committed. When a
// picture changes, from the top of the source tree:
//
//   cmake --build build -j2 --target rysownik
//   QT_QPA_PLATFORM=offscreen build/tools/rysownik/rysownik [assets-folder] [--preview folder]
//
// The assets folder defaults to the source tree's assets/. With --preview the
// pictures are also written 8 times enlarged into the given folder, for
// looking at them (do not commit those). Then check the changes
// (git diff --stat assets) and commit them. Every run draws exactly the same
// files, so an unchanged drawing gives no diff.
//
// Every picture is drawn on a black ground: the program tints black to the
// window colour and keeps pixels whose largest channel is 85 or more.

#include "Chime.h"
#include "Drawing.h"
#include "Emoticons.h"
#include "Texture.h"
#include "UiPictures.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

using namespace rysownik;

namespace {

QString previewDir;  // empty: no previews

bool writePicture(const QImage& image, const QString& folder, const QString& name) {
  if (!previewDir.isEmpty() && !savePng(enlarged(image), previewDir + "/" + name + ".png"))
    return false;
  return savePng(image, folder + "/" + name + ".png");
}

bool writeUiPictures(const QString& assets) {
  const QString dir = assets + "/obrazki";
  QDir().mkpath(dir);
  bool ok = writePicture(strip(smallList()), dir, "IL");
  ok = writePicture(strip(largeList()), dir, "ILDuze") && ok;
  ok = writePicture(starTexture(), dir, "tekstura") && ok;
  ok = writePicture(logo(), dir, "logo") && ok;
  ok = writePicture(appIcon(), assets, "wirmelak") && ok;
  // The package's icon in the sizes the desktops' icon theme looks for.
  for (const int size : {16, 32, 48, 64, 128, 256}) {
    const QString folder = QString("%1/hicolor/%2x%2/apps").arg(assets).arg(size);
    QDir().mkpath(folder);
    ok = savePng(appIcon(size), folder + "/wirmelak.png") && ok;
  }
  const std::vector<QImage> tray = trayFrames();
  for (size_t i = 0; i < tray.size(); ++i)
    ok = writePicture(tray[i], dir, QString("tray%1").arg(i)) && ok;
  if (!previewDir.isEmpty()) {
    ok = savePng(enlarged(strip(tray)), previewDir + "/tray.png") && ok;
    ok = savePng(enlarged(tinted(strip(smallList()), QColor(236, 236, 244))), previewDir + "/IL-jasne.png") && ok;
    ok = savePng(enlarged(tinted(strip(largeList()), QColor(60, 64, 160))), previewDir + "/ILDuze-niebieskie.png") && ok;
  }
  return ok;
}

bool writeEmoticons(const QString& assets) {
  const QString dir = assets + "/ikony";
  QDir().mkpath(dir);
  bool ok = true;
  std::vector<QImage> all;
  for (const Emoticon& e : emoticons()) {
    const QImage img = e.draw();
    all.push_back(img);
    ok = saveBmp24(img, dir + "/" + e.name + ".bmp") && ok;
  }
  if (!previewDir.isEmpty()) {
    // Nine a row, as the picker shows them.
    const int w = all.front().width(), h = all.front().height();
    const int rows = (static_cast<int>(all.size()) + 8) / 9;
    QImage sheet = blackImage(9 * (w + 4), rows * (h + 4));
    QPainter p(&sheet);
    for (size_t i = 0; i < all.size(); ++i)
      p.drawImage(static_cast<int>(i % 9) * (w + 4) + 2, static_cast<int>(i / 9) * (h + 4) + 2, all[i]);
    p.end();
    ok = savePng(enlarged(sheet, 5), previewDir + "/ikony.png") && ok;
    ok = savePng(enlarged(tinted(sheet, QColor(236, 236, 244)), 5), previewDir + "/ikony-jasne.png") && ok;
  }
  return ok;
}

bool writeSound(const QString& assets) {
  QFile f(assets + "/notify.wav");
  if (!f.open(QIODevice::WriteOnly) || f.write(chimeWav()) < 0) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(f.fileName()));
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);

  QString assets = RYSOWNIK_ASSETS_DIR;
  const QStringList args = app.arguments();
  for (int i = 1; i < args.size(); ++i) {
    if (args[i] == "--preview" && i + 1 < args.size()) {
      previewDir = args[++i];
      QDir().mkpath(previewDir);
    } else {
      assets = args[i];
    }
  }

  bool ok = writeUiPictures(assets);
  ok = writeEmoticons(assets) && ok;
  ok = writeSound(assets) && ok;
  std::printf("%s: %s\n", ok ? "written" : "FAILED", qPrintable(QDir(assets).absolutePath()));
  return ok ? 0 : 1;
}
