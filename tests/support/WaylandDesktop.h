#pragma once
// A Wayland desktop of a test's own: sway on its headless backend, with no
// input devices and no Xwayland, so that a program started on it runs on
// Qt's Wayland platform or not at all. The user's mouse is a virtual
// pointer (tools/wskaznik), the windows are read from sway's tree,
// the screen is read with grim. Sway will not run as root: under root it
// runs as the user nobody, and the program under test reaches it by the
// socket's full path.

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QTemporaryDir>
#include <memory>
#include <optional>

class WaylandDesktop {
 public:
  struct Window {
    QString title;
    QRect content;  // where its surface is, on the output
    QRect outer;    // with what the compositor draws around it
    bool floating = false;
  };

  WaylandDesktop() = default;
  ~WaylandDesktop();
  WaylandDesktop(const WaylandDesktop&) = delete;
  WaylandDesktop& operator=(const WaylandDesktop&) = delete;

  // False, with Problem() saying why, when sway or the pointer could not
  // be had on this machine.
  bool Start(const QString& virtualPointer, QSize output = QSize(1280, 1024));
  void Stop();
  const QString& Problem() const { return problem_; }

  // What a program needs to run there: Qt's Wayland platform, the socket,
  // a runtime folder of its own, no X display, no session bus.
  QProcessEnvironment Environment() const;

  // The windows whose title matches the pattern (a regular expression).
  std::optional<Window> Find(const QString& titlePattern) const;
  std::optional<Window> WaitForWindow(const QString& titlePattern, int ms = 20000) const;
  bool WaitForNoWindow(const QString& titlePattern, int ms = 20000) const;
  // Until the programs (process ids), sway and the pointer have settled,
  // having done what they were given: a window just shown has then its
  // place and size.
  bool WaitSettled(const std::vector<qint64>& programs, int ms = 60000) const;

  // The pointer: to a point of the output, and the left button.
  bool MoveTo(QPoint at);
  bool Press();
  bool Release();
  bool Click(QPoint at);

  QImage Screenshot() const;

 private:
  bool Pointer(const QByteArray& line);
  std::optional<QByteArray> Sway(const QStringList& args) const;

  QString problem_;
  QTemporaryDir swayRuntime_, clientRuntime_;
  QString socket_, ipc_;
  std::unique_ptr<QProcess> sway_, pointer_;
};
