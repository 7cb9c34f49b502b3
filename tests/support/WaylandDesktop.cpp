#include "support/WaylandDesktop.h"

#include "support/DesktopProcesses.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <functional>

namespace {

using desktop_support::StopProcess;
using desktop_support::Until;

QRect RectOf(const QJsonValue& v) {
  const QJsonObject o = v.toObject();
  return QRect(o["x"].toInt(), o["y"].toInt(), o["width"].toInt(), o["height"].toInt());
}

// Depth first through the tiled and the floating containers.
std::optional<WaylandDesktop::Window> Search(const QJsonObject& node, const QRegularExpression& title, bool floating) {
  if (node["pid"].toInt() > 0 && title.match(node["name"].toString()).hasMatch()) {
    const QRect outer = RectOf(node["rect"]);
    const QRect inner = RectOf(node["window_rect"]);
    return WaylandDesktop::Window{node["name"].toString(), inner.translated(outer.topLeft()), outer, floating};
  }
  for (const char* key : {"nodes", "floating_nodes"})
    for (const QJsonValue& child : node[key].toArray())
      if (auto w = Search(child.toObject(), title, floating || QLatin1String(key) == "floating_nodes")) return w;
  return std::nullopt;
}

}  // namespace

WaylandDesktop::~WaylandDesktop() { Stop(); }

void WaylandDesktop::Stop() {
  StopProcess(pointer_);
  StopProcess(sway_);
}

bool WaylandDesktop::Start(const QString& virtualPointer, QSize output) {
  for (const char* tool : {"sway", "swaymsg", "grim"})
    if (QStandardPaths::findExecutable(tool).isEmpty()) {
      problem_ = QStringLiteral("%1 is not installed").arg(tool);
      return false;
    }
  if (!swayRuntime_.isValid() || !clientRuntime_.isValid()) {
    problem_ = "no temporary folder";
    return false;
  }
  const bool root = ::geteuid() == 0;
  QFile config(swayRuntime_.filePath("config"));
  if (!config.open(QIODevice::WriteOnly)) {
    problem_ = "cannot write sway's configuration";
    return false;
  }
  config.write(QStringLiteral("output HEADLESS-1 resolution %1x%2 position 0 0\nxwayland disable\n")
                   .arg(output.width())
                   .arg(output.height())
                   .toLatin1());
  config.close();
  if (root && (::chown(qPrintable(swayRuntime_.path()), 65534, 65534) != 0 ||
               ::chown(qPrintable(config.fileName()), 65534, 65534) != 0)) {
    problem_ = "cannot give the runtime folder to nobody";
    return false;
  }

  QProcessEnvironment env;
  env.insert("PATH", qEnvironmentVariable("PATH"));
  env.insert("HOME", swayRuntime_.path());
  env.insert("XDG_RUNTIME_DIR", swayRuntime_.path());
  env.insert("WLR_BACKENDS", "headless");
  env.insert("WLR_LIBINPUT_NO_DEVICES", "1");
  env.insert("WLR_RENDERER", "pixman");  // no GPU needed
  sway_ = std::make_unique<QProcess>();
  sway_->setProcessEnvironment(env);
  sway_->setProcessChannelMode(QProcess::MergedChannels);
  const QStringList args{"-c", config.fileName()};
  if (root)  // sway refuses to start as root
    sway_->start("setpriv", QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", "sway"} + args);
  else
    sway_->start("sway", args);
  if (!sway_->waitForStarted(5000)) {
    problem_ = "sway does not start";
    return false;
  }
  const QDir folder(swayRuntime_.path());
  const bool up = Until(
      [&] {
        const QStringList sockets = folder.entryList({"wayland-*"}, QDir::System).filter(QRegularExpression("^wayland-\\d+$"));
        const QStringList ipc = folder.entryList({"sway-ipc.*.sock"}, QDir::System);
        if (sockets.isEmpty() || ipc.isEmpty()) return sway_->state() == QProcess::NotRunning;
        socket_ = folder.filePath(sockets.first());
        ipc_ = folder.filePath(ipc.first());
        return true;
      },
      10000);
  if (!up || socket_.isEmpty()) {
    problem_ = "sway did not come up: " + QString::fromLocal8Bit(sway_->readAll());
    return false;
  }

  pointer_ = std::make_unique<QProcess>();
  pointer_->setProcessEnvironment(Environment());
  pointer_->start(virtualPointer, {QString::number(output.width()), QString::number(output.height())});
  if (!pointer_->waitForStarted(5000) ||
      !Until([&] { return pointer_->canReadLine() || pointer_->state() == QProcess::NotRunning; }, 5000) ||
      pointer_->readLine().trimmed() != "ok") {
    problem_ = "no virtual pointer: " + QString::fromLocal8Bit(pointer_->readAllStandardError());
    return false;
  }
  return true;
}

QProcessEnvironment WaylandDesktop::Environment() const {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "wayland");
  env.insert("WAYLAND_DISPLAY", socket_);
  env.insert("XDG_RUNTIME_DIR", clientRuntime_.path());
  env.insert("DBUS_SESSION_BUS_ADDRESS", "disabled:");
  env.remove("DISPLAY");
  return env;
}

std::optional<QByteArray> WaylandDesktop::Sway(const QStringList& args) const {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("SWAYSOCK", ipc_);
  p.setProcessEnvironment(env);
  p.start("swaymsg", args);
  if (!p.waitForFinished(10000) || p.exitCode() != 0) return std::nullopt;
  return p.readAllStandardOutput();
}

std::optional<WaylandDesktop::Window> WaylandDesktop::Find(const QString& titlePattern) const {
  const auto tree = Sway({"-r", "-t", "get_tree"});
  if (!tree) return std::nullopt;
  return Search(QJsonDocument::fromJson(*tree).object(), QRegularExpression(titlePattern), false);
}

std::optional<WaylandDesktop::Window> WaylandDesktop::WaitForWindow(const QString& titlePattern, int ms) const {
  std::optional<Window> w;
  Until([&] { return (w = Find(titlePattern)).has_value(); }, ms);
  return w;
}

bool WaylandDesktop::WaitForNoWindow(const QString& titlePattern, int ms) const {
  return Until([&] { return !Find(titlePattern); }, ms);
}

bool WaylandDesktop::WaitSettled(const std::vector<qint64>& programs, int ms) const {
  std::vector<qint64> pids = programs;
  for (const auto* p : {&sway_, &pointer_})
    if (*p && (*p)->state() == QProcess::Running) pids.push_back((*p)->processId());
  return desktop_support::WaitQuiet(pids, ms);
}

bool WaylandDesktop::Pointer(const QByteArray& line) {
  if (!pointer_ || pointer_->state() != QProcess::Running) return false;
  pointer_->write(line + '\n');
  return Until([&] { return pointer_->canReadLine(); }, 5000) && pointer_->readLine().trimmed() == "ok";
}

bool WaylandDesktop::MoveTo(QPoint at) { return Pointer(QStringLiteral("move %1 %2").arg(at.x()).arg(at.y()).toLatin1()); }
bool WaylandDesktop::Press() { return Pointer("press"); }
bool WaylandDesktop::Release() { return Pointer("release"); }
bool WaylandDesktop::Click(QPoint at) { return MoveTo(at) && Press() && Release(); }

QImage WaylandDesktop::Screenshot() const {
  QProcess p;
  p.setProcessEnvironment(Environment());
  p.start("grim", {"-t", "png", "-"});
  if (!p.waitForFinished(10000) || p.exitCode() != 0) return {};
  return QImage::fromData(p.readAllStandardOutput(), "PNG");
}
