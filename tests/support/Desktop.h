#pragma once
// A desktop of a test's own: an X server (Xvfb) on a display nobody else
// uses, and, where the test asks, a window manager (openbox) and a tray
// host (trayer), each started here and stopped with the object, never
// assumed to be running. The user is played through xdotool (XTEST), and
// the screen is read back as a picture.

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

class Desktop {
 public:
  struct Options {
    // One X screen per size; with more than one they are joined into one
    // desktop side by side (Xinerama).
    std::vector<QSize> screens{QSize(1280, 1024)};
    bool windowManager = false;
    bool trayHost = false;
  };

  Desktop() = default;
  ~Desktop();
  Desktop(const Desktop&) = delete;
  Desktop& operator=(const Desktop&) = delete;

  // False, with Problem() saying why, when a part could not be started.
  bool Start(const Options& options);
  // Stops everything it started; Start may follow again.
  void Stop();
  const QString& Problem() const { return problem_; }
  QString Display() const { return display_; }
  // What a program needs to run on it: the display, Qt's X11 platform, and
  // no session bus (nothing of the tester's own desktop may be reached).
  QProcessEnvironment Environment() const;

  // Runs a client of the display; its standard output, or nothing when it
  // failed.
  std::optional<QByteArray> Run(const QString& program, const QStringList& args, int ms = 10000) const;

  // The top-level windows whose title matches the pattern (xdotool's
  // regular expression), in stacking order, and where one is.
  std::vector<unsigned long> Windows(const QString& titlePattern, bool onlyVisible = true) const;
  std::optional<unsigned long> WaitForWindow(const QString& titlePattern, int ms = 20000) const;
  bool WaitForNoWindow(const QString& titlePattern, int ms = 20000) const;
  std::optional<QRect> Geometry(unsigned long window) const;
  // Until the programs (process ids), the X server and the desktop's own
  // programs have settled, having done what they were given: nothing of
  // theirs runs and they use no processor time for a while. False when that
  // does not come within the time.
  bool WaitSettled(const std::vector<qint64>& programs, int ms = 60000) const;

  // The pointer and the keyboard, as the user works them.
  bool Click(QPoint at, int button = 1, int repeat = 1) const;
  // Presses the left button at one point, moves and lets go at the other.
  bool Drag(QPoint from, QPoint to) const;
  bool Key(const QString& keys) const;  // xdotool key names: "Return", "ctrl+c"
  bool Type(const QString& text) const;

  // The whole screen as it is shown now.
  QImage Screenshot() const;

 private:
  bool StartClient(std::unique_ptr<QProcess>& p, const QString& program, const QStringList& args);

  QString display_;
  QString problem_;
  std::unique_ptr<QProcess> xvfb_, windowManager_, trayHost_;
};
