#include "support/Desktop.h"

#include "support/DesktopProcesses.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <QElapsedTimer>
#include <QPainter>
#include <QRegularExpression>
#include <QtEndian>
#include <functional>

namespace {

using desktop_support::StopProcess;
using desktop_support::Until;

}  // namespace

Desktop::~Desktop() { Stop(); }

void Desktop::Stop() {
  StopProcess(trayHost_);
  StopProcess(windowManager_);
  StopProcess(xvfb_);
  display_.clear();
}

QProcessEnvironment Desktop::Environment() const {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("DISPLAY", display_);
  env.insert("QT_QPA_PLATFORM", "xcb");
  env.insert("DBUS_SESSION_BUS_ADDRESS", "disabled:");
  env.remove("WAYLAND_DISPLAY");
  return env;
}

bool Desktop::Start(const Options& options) {
  QStringList args{"-displayfd", "1", "-nolisten", "tcp", "-noreset"};
  if (options.screens.size() > 1) args << "+xinerama";
  for (size_t i = 0; i < options.screens.size(); ++i)
    args << "-screen" << QString::number(i)
         << QStringLiteral("%1x%2x24").arg(options.screens[i].width()).arg(options.screens[i].height());
  xvfb_ = std::make_unique<QProcess>();
  xvfb_->setProcessChannelMode(QProcess::SeparateChannels);
  xvfb_->start("Xvfb", args);
  if (!xvfb_->waitForStarted(5000)) {
    problem_ = "Xvfb does not start (is the xvfb package installed?)";
    return false;
  }
  // The server writes its display number once it accepts clients.
  QByteArray number;
  if (!Until(
          [&] {
            xvfb_->waitForReadyRead(50);
            number += xvfb_->readAllStandardOutput();
            return number.contains('\n') || xvfb_->state() == QProcess::NotRunning;
          },
          10000) ||
      !number.contains('\n')) {
    problem_ = "Xvfb gave no display: " + QString::fromLocal8Bit(xvfb_->readAllStandardError());
    return false;
  }
  display_ = ":" + QString::fromLatin1(number.trimmed());

  if (options.windowManager) {
    if (!StartClient(windowManager_, "openbox", {"--sm-disable"})) return false;
    // A window manager says it runs by a property of the root window.
    if (!Until([&] { return Run("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}).value_or("").contains("window id"); },
               10000)) {
      problem_ = "openbox did not take the display";
      return false;
    }
  }
  if (options.trayHost) {
    if (!StartClient(trayHost_, "trayer",
                     {"--edge", "bottom", "--align", "right", "--widthtype", "pixel", "--width", "120",
                      "--heighttype", "pixel", "--height", "24", "--transparent", "false", "--tint",
                      "0x303030"}))
      return false;
    if (!Until([&] { return !Windows("", false).empty() && Run("xdotool", {"search", "--class", "trayer"}).has_value(); },
               10000)) {
      problem_ = "trayer did not come up";
      return false;
    }
  }
  return true;
}

bool Desktop::StartClient(std::unique_ptr<QProcess>& p, const QString& program, const QStringList& args) {
  p = std::make_unique<QProcess>();
  p->setProcessEnvironment(Environment());
  p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  p->setStandardOutputFile(QProcess::nullDevice());
  p->start(program, args);
  if (p->waitForStarted(5000)) return true;
  problem_ = program + " does not start (is its package installed?)";
  return false;
}

std::optional<QByteArray> Desktop::Run(const QString& program, const QStringList& args, int ms) const {
  QProcess p;
  p.setProcessEnvironment(Environment());
  p.start(program, args);
  if (!p.waitForStarted(5000) || !p.waitForFinished(ms) || p.exitStatus() != QProcess::NormalExit ||
      p.exitCode() != 0)
    return std::nullopt;
  return p.readAllStandardOutput();
}

std::vector<unsigned long> Desktop::Windows(const QString& titlePattern, bool onlyVisible) const {
  QStringList args{"search"};
  if (onlyVisible) args << "--onlyvisible";
  args << "--name" << (titlePattern.isEmpty() ? QStringLiteral(".") : titlePattern);
  std::vector<unsigned long> found;
  for (const QByteArray& line : Run("xdotool", args).value_or("").split('\n'))
    if (!line.trimmed().isEmpty()) found.push_back(line.trimmed().toULong());
  return found;
}

std::optional<unsigned long> Desktop::WaitForWindow(const QString& titlePattern, int ms) const {
  std::optional<unsigned long> window;
  Until(
      [&] {
        const auto found = Windows(titlePattern);
        if (!found.empty()) window = found.back();
        return window.has_value();
      },
      ms);
  return window;
}

bool Desktop::WaitSettled(const std::vector<qint64>& programs, int ms) const {
  std::vector<qint64> pids = programs;
  for (const auto* p : {&xvfb_, &windowManager_, &trayHost_})
    if (*p && (*p)->state() == QProcess::Running) pids.push_back((*p)->processId());
  return desktop_support::WaitQuiet(pids, ms);
}

bool Desktop::WaitForNoWindow(const QString& titlePattern, int ms) const {
  return Until([&] { return Windows(titlePattern).empty(); }, ms);
}

std::optional<QRect> Desktop::Geometry(unsigned long window) const {
  const auto out = Run("xdotool", {"getwindowgeometry", "--shell", QString::number(window)});
  if (!out) return std::nullopt;
  QRect r;
  for (const QByteArray& line : out->split('\n')) {
    const QList<QByteArray> kv = line.split('=');
    if (kv.size() != 2) continue;
    const int v = kv[1].trimmed().toInt();
    if (kv[0] == "X") r.moveLeft(v);
    if (kv[0] == "Y") r.moveTop(v);
    if (kv[0] == "WIDTH") r.setWidth(v);
    if (kv[0] == "HEIGHT") r.setHeight(v);
  }
  return r;
}

bool Desktop::Click(QPoint at, int button, int repeat) const {
  // Not "--sync": it waits for a movement, and the pointer may be there.
  return Run("xdotool", {"mousemove", QString::number(at.x()), QString::number(at.y()), "sleep", "0.2", "click",
                         "--repeat", QString::number(repeat), "--delay", "80", QString::number(button)})
      .has_value();
}

bool Desktop::Drag(QPoint from, QPoint to) const {
  const QPoint middle = (from + to) / 2;
  return Run("xdotool", {"mousemove", QString::number(from.x()), QString::number(from.y()), "sleep", "0.2",
                         "mousedown", "1", "sleep", "0.2", "mousemove", QString::number(middle.x()),
                         QString::number(middle.y()), "sleep", "0.2", "mousemove", QString::number(to.x()),
                         QString::number(to.y()), "sleep", "0.2", "mouseup", "1"})
      .has_value();
}

bool Desktop::Key(const QString& keys) const { return Run("xdotool", {"key", "--delay", "40", keys}).has_value(); }

bool Desktop::Type(const QString& text) const {
  return Run("xdotool", {"type", "--delay", "40", text}, 60000).has_value();
}

namespace {

// xwd's format: a header of big-endian 32-bit fields, the window's name,
// the colour map, then the pixels.
QImage FromXwd(const QByteArray& xwd) {
  if (xwd.size() < 100) return {};
  const auto field = [&](int i) { return qFromBigEndian<quint32>(xwd.constData() + 4 * i); };
  const quint32 headerSize = field(0), width = field(4), height = field(5), byteOrder = field(7),
                bitsPerPixel = field(11), bytesPerLine = field(12), colours = field(19);
  const qsizetype start = qsizetype(headerSize) + qsizetype(colours) * 12;
  // Four bytes a pixel as a rule; three when a window of a 32-bit visual
  // (a tray icon's) is on the screen, its rows then padded as for four.
  const quint32 step = bitsPerPixel == 32 ? 4 : bitsPerPixel == 24 ? 3 : 0;
  if (step == 0 || bytesPerLine < step * width || xwd.size() < start + qsizetype(bytesPerLine) * height) return {};
  QImage image(int(width), int(height), QImage::Format_RGB32);
  for (quint32 y = 0; y < height; ++y) {
    const uchar* row = reinterpret_cast<const uchar*>(xwd.constData() + start + qsizetype(y) * bytesPerLine);
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(int(y)));
    for (quint32 x = 0; x < width; ++x) {
      const uchar* p = row + step * x;
      const quint32 pixel = byteOrder == 0 ? (p[0] | p[1] << 8 | p[2] << 16) : (p[step - 1] | p[step - 2] << 8 | p[step - 3] << 16);
      out[x] = 0xFF000000u | pixel;
    }
  }
  return image;
}

}  // namespace

// Popup menus are override-redirect windows saved under: Xvfb gives the
// root's picture without them (black where they stand), so each is read by
// itself and laid over it.
QImage Desktop::Screenshot() const {
  QImage screen = FromXwd(Run("xwd", {"-root", "-silent"}).value_or(QByteArray()));
  if (screen.isNull()) return screen;
  const QByteArray tree = Run("xwininfo", {"-root", "-children"}).value_or(QByteArray());
  static const QRegularExpression child("^\\s+(0x[0-9a-f]+) ", QRegularExpression::MultilineOption);
  QPainter painter(&screen);
  for (auto it = child.globalMatch(QString::fromLatin1(tree)); it.hasNext();) {
    const QString id = it.next().captured(1);
    const QString info = QString::fromLatin1(Run("xwininfo", {"-id", id}).value_or(QByteArray()));
    if (!info.contains("Override Redirect State: yes") || !info.contains("Map State: IsViewable")) continue;
    const auto number = [&](const char* label) {
      const QRegularExpression re(QString::fromLatin1(label) + ":\\s+(-?\\d+)");
      return re.match(info).captured(1).toInt();
    };
    if (number("Width") < 4 || number("Height") < 4) continue;
    const QImage window = FromXwd(Run("xwd", {"-id", id, "-silent"}).value_or(QByteArray()));
    if (!window.isNull())
      painter.drawImage(QPoint(number("Absolute upper-left X"), number("Absolute upper-left Y")), window);
  }
  return screen;
}
