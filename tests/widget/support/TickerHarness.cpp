#include "widget/support/TickerHarness.h"

#include <chrono>
#include <fstream>
#include <sstream>

#include "platform/Application.h"
#include "platform/MsgBox.h"
#include "platform/Profile.h"

TickerHarness::TickerHarness() {
  platform::SetAppPath(folder_.path().toStdString());
  platform::SetMsgBoxHook([this](const std::string& prompt, int style) {
    messages.push_back({prompt, style});
    return platform::vbOK;
  });
}

TickerHarness::~TickerHarness() {
  Destroy();
  platform::SetMsgBoxHook({});
}

std::string TickerHarness::Folder() const { return folder_.path().toStdString(); }

std::string TickerHarness::SettingsPath() const { return Folder() + "/RSS_settings.ini"; }

void TickerHarness::WriteSettings(const std::string& text) {
  std::ofstream(SettingsPath(), std::ios::binary) << text;
}

std::string TickerHarness::ReadSettings() const {
  std::ifstream in(SettingsPath(), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool TickerHarness::SettingsExist() const { return platform::FileExists(SettingsPath()); }

void TickerHarness::Create() {
  Destroy();
  options_ = std::make_unique<frmOptions>();
  ticker_ = std::make_unique<frmTicker>(*options_);
  options_->Attach(*ticker_);
  ticker_->OnProgramEnd = [this] { ++programEnds; };
  // A dead address must not hold a test for a minute.
  ticker_->Inet1.setRequestTimeout(std::chrono::seconds(5));
}

void TickerHarness::Start() {
  Create();
  ticker_->Show();
}

void TickerHarness::Destroy() {
  ticker_.reset();
  options_.reset();
}

std::string SettingsText(const std::string& url, const std::string& x, const std::string& y) {
  return "[Options]\nDefault URL=" + url + "\nWindowX=" + x + "\nWindowY=" + y + "\n";
}
