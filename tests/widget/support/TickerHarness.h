// The two windows of the program, created for one test in a temporary program folder, with
// the message box replaced by a recorder.
#pragma once

#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "options/frmOptions.h"
#include "ticker/frmTicker.h"

struct RecordedMessage {
  std::string prompt;
  int style = 0;
};

class TickerHarness {
 public:
  TickerHarness();
  ~TickerHarness();
  TickerHarness(const TickerHarness&) = delete;
  TickerHarness& operator=(const TickerHarness&) = delete;

  // The program's folder for this test.
  std::string Folder() const;
  std::string SettingsPath() const;
  void WriteSettings(const std::string& text);
  std::string ReadSettings() const;
  bool SettingsExist() const;
  // The user's configuration folder for this test ($XDG_CONFIG_HOME while the harness lives)
  // and the settings file the program keeps there.
  std::string UserConfigFolder() const;
  std::string UserSettingsPath() const;

  // Creates the two windows as the program does (without showing them).
  void Create();
  // Creates them and shows the strip window, which runs its start-up sequence.
  void Start();
  // Destroys both windows (after a close, or to start again).
  void Destroy();

  frmTicker& ticker() { return *ticker_; }
  frmOptions& options() { return *options_; }

  std::vector<RecordedMessage> messages;
  // Times the program asked to end.
  int programEnds = 0;

 private:
  QTemporaryDir folder_;
  QTemporaryDir userConfig_;
  QByteArray savedConfigHome_;
  bool hadConfigHome_ = false;
  std::unique_ptr<frmOptions> options_;
  std::unique_ptr<frmTicker> ticker_;
};

// A settings file naming url as the feed URL and the given position.
std::string SettingsText(const std::string& url, const std::string& x = "0",
                         const std::string& y = "0");
