#pragma once
// The desktop's "open": a file or address handed to the program the user
// chose for it. Logic takes the interface so tests can see the call; the
// program passes a DesktopShellOpen.

#include <QString>

class ShellOpen {
 public:
  virtual ~ShellOpen() = default;
  // path: a local file or a URL; workingDir: the folder it belongs to (the
  // desktop launcher may ignore it). True when the desktop accepted it.
  virtual bool Open(const QString& path, const QString& workingDir) = 0;
};

class DesktopShellOpen : public ShellOpen {
 public:
  bool Open(const QString& path, const QString& workingDir) override;
};
