#include "platform/TerminationSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <utility>

namespace platform {

namespace {

constexpr std::array kSignals{SIGTERM, SIGINT, SIGHUP};

// [0] is written by the signal handler, [1] is watched by the event loop.
int channel[2] = {-1, -1};

std::function<void()>& Handler() {
  static std::function<void()> handler;
  return handler;
}

// Runs inside the signal: only async-signal-safe calls. One byte tells the event loop; a
// full channel already holds a byte that will wake it.
extern "C" void NoteSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(channel[0], &byte, 1);
  errno = saved;
}

void Drain(int fd) {
  char bytes[64];
  while (::read(fd, bytes, sizeof bytes) > 0) {
  }
}

bool OpenChannel() {
  if (channel[0] >= 0) return true;
  int fds[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds) != 0) {
    return false;
  }
  channel[0] = fds[0];
  channel[1] = fds[1];
  auto* notifier = new QSocketNotifier(channel[1], QSocketNotifier::Read, qApp);
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
    Drain(channel[1]);
    if (std::function<void()> handler = Handler()) handler();
  });
  return true;
}

bool Catch(int signal) {
  struct sigaction previous {};
  if (::sigaction(signal, nullptr, &previous) != 0) return false;
  if (previous.sa_handler == SIG_IGN) return true;
  struct sigaction action {};
  action.sa_handler = NoteSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  return ::sigaction(signal, &action, nullptr) == 0;
}

}  // namespace

bool OnTerminationSignal(std::function<void()> handler) {
  Handler() = std::move(handler);
  if (!OpenChannel()) return false;
  bool caught = true;
  for (const int signal : kSignals) caught = Catch(signal) && caught;
  return caught;
}

}  // namespace platform
