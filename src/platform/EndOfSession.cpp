#include "platform/EndOfSession.h"

#include <QCoreApplication>
#include <QEvent>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

// The handler may only write a byte; the notifier reads it on the event loop.
int g_pipe[2] = {-1, -1};

void Handler(int) {
  const char b = 1;
  [[maybe_unused]] ssize_t n = ::write(g_pipe[1], &b, 1);
}
}  // namespace

EndOfSession::EndOfSession(std::function<void()> onEnd, QObject* parent)
    : QObject(parent), onEnd_(std::move(onEnd)) {
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_pipe) != 0) return;
  notifier_ = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &EndOfSession::onSignal);
  struct sigaction sa {};
  sa.sa_handler = Handler;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  for (int signal : kSignals) sigaction(signal, &sa, nullptr);
  if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
}

bool EndOfSession::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Quit && watched == QCoreApplication::instance() && onEnd_) onEnd_();
  return false;
}

EndOfSession::~EndOfSession() {
  for (int s : kSignals) signal(s, SIG_DFL);
  delete notifier_;
  for (int& fd : g_pipe) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

void EndOfSession::onSignal() {
  char b;
  [[maybe_unused]] ssize_t n = ::read(g_pipe[0], &b, 1);
  if (onEnd_) onEnd_();
}
