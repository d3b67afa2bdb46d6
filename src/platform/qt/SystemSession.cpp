#include "platform/qt/SystemSession.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <utility>

namespace platform {

namespace {

constexpr std::array kSignals{SIGTERM, SIGINT, SIGHUP};

// The one global of the session: a signal handler can reach nothing else. [0] is written by
// the handler, [1] is watched by the event loop of the session that catches the signals. It
// is opened once and stays open for the life of the process.
int gSignalChannel[2] = {-1, -1};

// Runs inside the signal: only async-signal-safe calls. One byte tells the event loop; a
// full channel already holds a byte that will wake it.
extern "C" void NoteSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(gSignalChannel[0], &byte, 1);
  errno = saved;
}

bool OpenChannel() {
  if (gSignalChannel[0] >= 0) return true;
  int fds[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds) != 0) {
    return false;
  }
  gSignalChannel[0] = fds[0];
  gSignalChannel[1] = fds[1];
  return true;
}

void Drain(int fd) {
  char bytes[64];
  while (::read(fd, bytes, sizeof bytes) > 0) {
  }
}

}  // namespace

SystemSession::SystemSession(engine::Engine& engine) : EndOfSession(engine) {
  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    // The session manager is never asked to let us talk to the user: the forms close with
    // the session's reason and the program's handler runs, once.
    commitData_ = QObject::connect(
        app, &QGuiApplication::commitDataRequest, app,
        [this](QSessionManager& manager) {
          manager.setRestartHint(QSessionManager::RestartNever);
          EndSession();
        },
        Qt::DirectConnection);
  }
}

SystemSession::~SystemSession() {
  QObject::disconnect(commitData_);
  for (std::size_t i = 0; i < kSignals.size(); ++i) {
    if (replaced_[i]) ::sigaction(kSignals[i], &previous_[i], nullptr);
  }
  notifier_.reset();
}

void SystemSession::OnEnd(std::function<void()> handler) {
  EndOfSession::OnEnd(std::move(handler));
  if (HasHandler() && !catching_) CatchSignals();
}

void SystemSession::CatchSignals() {
  catching_ = true;
  if (!OpenChannel()) {
    std::cerr << "ticker: termination signals cannot be caught: " << std::strerror(errno) << '\n';
    return;
  }
  notifier_ = std::make_unique<QSocketNotifier>(gSignalChannel[1], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                   [this] { Signalled(); });
  for (std::size_t i = 0; i < kSignals.size(); ++i) {
    struct sigaction previous {};
    if (::sigaction(kSignals[i], nullptr, &previous) != 0) continue;
    if (previous.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = NoteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (::sigaction(kSignals[i], &action, nullptr) == 0) {
      previous_[i] = previous;
      replaced_[i] = true;
    } else {
      std::cerr << "ticker: signal " << kSignals[i] << " cannot be caught\n";
    }
  }
}

void SystemSession::Signalled() {
  Drain(gSignalChannel[1]);
  RunHandler();
}

void SystemSession::ExitEventLoops() { QCoreApplication::exit(0); }

}  // namespace platform
