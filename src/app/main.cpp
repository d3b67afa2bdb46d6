// The ticker program: creates the application object and the two windows, and runs until the
// strip window closes.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/ProgramSettings.h"
#include "app/RunStrip.h"
#include "platform/program/Application.h"
#include "platform/program/DisplayCheck.h"
#include "platform/program/ProgramIdentity.h"
#include "platform/services/MsgBox.h"
#include "platform/services/RunningCopy.h"
#include "platform/services/SystemServices.h"

namespace {

// An error that reaches the event loop is reported once and ends the program.
class TickerApplication final : public QApplication {
 public:
  using QApplication::QApplication;

  // The services that report the error and end the program; none before they exist.
  const platform::Services* services = nullptr;

  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
      Fail(error.what());
    } catch (...) {
      Fail("unknown error");
    }
    return false;
  }

 private:
  void Fail(const std::string& description) {
    if (services == nullptr) throw;
    if (services->session.Ending()) return;
    services->msgBox.Show("Run-time error: " + description, platform::vbCritical);
    services->session.EndProgram();
  }
};

// Shows the strip and runs until it closes; everything of the program's own is saved and
// closed when this returns, and only the application object is left.
int Run(TickerApplication& application, const platform::LaterStart& request) {
  platform::SetProgramIdentity("ticker", HOME_DOMAIN, TICKER_DESKTOP_ID);
  // One strip per settings file: a start while a copy with the same file runs hands that copy
  // the keyboard (or its options) and ends here, before it has a window or has read any
  // settings.
  const std::unique_ptr<platform::RunningCopy> runningCopy =
      platform::RunningCopy::Claim(ProgramRunningCopyKey(), request);
  if (!runningCopy) return 0;
  platform::InitializeFormEngine();

  platform::SystemServices system;
  const platform::Services services = system.services();
  application.services = &services;
  // The services go before the application object does: errors after that are not theirs.
  struct Detach {
    TickerApplication& application;
    ~Detach() { application.services = nullptr; }
  } detach{application};

  return RunStrip(*runningCopy, services, request, [] { return QApplication::exec(); });
}

}  // namespace

int main(int argc, char** argv) {
  // The command line is read before the toolkit sees it: --help and --version need no display.
  const CommandLine command = ParseCommandLine(argc, argv);
  switch (command.action) {
    case CommandLine::Action::Help:
      std::fputs(HelpText().c_str(), stdout);
      return 0;
    case CommandLine::Action::Version:
      std::fputs(VersionText().c_str(), stdout);
      return 0;
    case CommandLine::Action::Usage:
      std::fputs(UsageText(command.badArgument).c_str(), stderr);
      return 2;
    case CommandLine::Action::Run:
      break;
  }
  if (const std::string problem = platform::DisplayProblem(); !problem.empty()) {
    std::fprintf(stderr, "ticker: cannot open a display: %s\n", problem.c_str());
    return 1;
  }

  platform::LaterStart request;
  if (command.options) request.wants = platform::LaterStart::Wants::Options;
  // The launcher's startup notification id (X11), else its activation token (Wayland), for the
  // running copy when there is one (the toolkit takes it for this process's first window, and
  // from the environment, as it starts). Launchers in Wayland sessions that start X11 programs
  // hand both, the same string.
  for (const char* name : {"DESKTOP_STARTUP_ID", "XDG_ACTIVATION_TOKEN"}) {
    const char* id = std::getenv(name);
    if (id != nullptr && *id != '\0') {
      request.startupId = id;
      break;
    }
  }

  std::vector<char*> arguments = platform::ApplicationArguments(argc, argv);
  int argumentCount = static_cast<int>(arguments.size()) - 1;
  TickerApplication application(argumentCount, arguments.data());
  const int code = Run(application, request);
  if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
    // WORKAROUND: the toolkit's Wayland platform (Qt 6.4) can hang for good while it takes its
    // connection down: its event thread waits on the compositor. Everything is saved and
    // closed by now, so the program ends without that teardown.
    std::fflush(nullptr);
    std::_Exit(code);
  }
  return code;
}
