// The ticker program: creates the application object and the two windows, and runs until the
// strip window closes.
#include <QApplication>
#include <exception>
#include <string>

#include "options/frmOptions.h"
#include "platform/Application.h"
#include "platform/MsgBox.h"
#include "ticker/frmTicker.h"

namespace {

// An error that reaches the event loop is reported once and ends the program.
class TickerApplication final : public QApplication {
 public:
  using QApplication::QApplication;

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
  static void Fail(const std::string& description) {
    if (platform::Ending()) return;
    platform::MsgBox("Run-time error: " + description, platform::vbCritical);
    platform::EndProgram();
  }
};

}  // namespace

int main(int argc, char** argv) {
  TickerApplication application(argc, argv);
  platform::InitializeFormEngine();

  frmOptions options;
  frmTicker ticker(options);
  options.Attach(ticker);
  ticker.OnProgramEnd = [] { platform::EndProgram(); };
  // The end of the desktop session closes the strip window as any close does: it saves.
  platform::OnSessionEnd([&ticker] {
    if (!ticker.Closed()) ticker.Unload();
  });

  ticker.Show();
  if (ticker.Closed() || platform::Ending()) return 0;
  return QApplication::exec();
}
