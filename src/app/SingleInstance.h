#pragma once
// One running copy in charge of a folder of the user's files. The first copy
// listens on a local socket named after that folder (and its user); a copy
// started later with the same folder asks it to show its main window, and
// leaves when it did, before it has read or written a file. A socket left behind by a copy that
// was killed answers nobody: it is removed and taken over.
//
// The conversation is one line each way: "pokaz" and "tak" (shown) or "nie"
// (the running copy does not hold the folder's default identity, so the new
// one may run beside it).

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <functional>

class SingleInstance : public QObject {
 public:
  explicit SingleInstance(const QString& dataDir);
  ~SingleInstance() override;

  static QString ServerName(const QString& dataDir);

  // Asks a running copy of the folder to show itself; true when it did and
  // this copy should end. Otherwise this copy takes the socket, unless a
  // running copy holds it. Waits at most timeoutMs for the answer.
  bool AnotherCopyShown(int timeoutMs = 5000);
  bool Listening() const { return server_.isListening(); }

  // The running copy's side: show the window and say whether it was shown.
  void SetOnShowRequest(std::function<bool()> show) { onShow_ = std::move(show); }

 private:
  void Serve(QLocalSocket* socket);

  QString name_;
  QLocalServer server_;
  std::function<bool()> onShow_;
};
