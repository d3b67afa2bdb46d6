// The two windows of the program, created for one test in a temporary program folder and
// handed fake services: downloads answer from a script, links and messages are recorded,
// the clock, the pointer and the screens are the test's.
#pragma once

#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "options/frmOptions.h"
#include "support/TestEngine.h"
#include "support/fakes/FakeServices.h"
#include "ticker/frmTicker.h"

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

  // The windows created from now on end through session instead of the fake one (which
  // still counts nothing then); session is made on fakes.engine, the windows' own.
  void UseSession(platform::Session& session) { session_ = &session; }

  // Creates the two windows as the program does (without showing them).
  void Create();
  // Creates them and shows the strip window, which runs its start-up sequence.
  void Start();
  // Destroys both windows (after a close, or to start again).
  void Destroy();

  frmTicker& ticker() { return *ticker_; }
  frmOptions& options() { return *options_; }

  FakeServices fakes{TestEngine().surface()};
  FakeDownload& download = fakes.download;
  // The messages shown, in order.
  std::vector<RecordedMessage>& messages = fakes.msgBox.shown;
  // Times the program was ended.
  const int& programEnds = fakes.session.endProgramCalls;

 private:
  QTemporaryDir folder_;
  QTemporaryDir userConfig_;
  QByteArray savedConfigHome_;
  bool hadConfigHome_ = false;
  platform::Session* session_ = nullptr;
  std::unique_ptr<frmOptions> options_;
  std::unique_ptr<frmTicker> ticker_;
};

// The address of a file on the home site (what the fake download answers is put for it).
inline std::string FeedUrl(const std::string& path) {
  return "http://feeds.tallowmere.example/" + path;
}

// A settings file naming url as the feed URL and the given position.
std::string SettingsText(const std::string& url, const std::string& x = "0",
                         const std::string& y = "0");
