#include "widget/support/TickerHarness.h"

#include <QFile>
#include <fstream>
#include <sstream>

#include "platform/program/Application.h"
#include "platform/services/Profile.h"

TickerHarness::TickerHarness() {
  platform::SetAppPath(folder_.path().toStdString());
  // No test writes into the real user's configuration folder.
  hadConfigHome_ = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
  savedConfigHome_ = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(userConfig_.path()));
}

TickerHarness::~TickerHarness() {
  Destroy();
  if (hadConfigHome_) {
    qputenv("XDG_CONFIG_HOME", savedConfigHome_);
  } else {
    qunsetenv("XDG_CONFIG_HOME");
  }
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

std::string TickerHarness::UserConfigFolder() const { return userConfig_.path().toStdString(); }

std::string TickerHarness::UserSettingsPath() const {
  return UserConfigFolder() + "/" PRODUCT_NAME "/RSS_settings.ini";
}

void TickerHarness::Create() {
  Destroy();
  const platform::Services fake = fakes.services();
  const platform::Services services{.engine = fake.engine,
                                    .download = fake.download,
                                    .opener = fake.opener,
                                    .msgBox = fake.msgBox,
                                    .clock = fake.clock,
                                    .cursor = fake.cursor,
                                    .screens = fake.screens,
                                    .session = session_ != nullptr ? *session_ : fake.session};
  options_ = std::make_unique<frmOptions>(services);
  ticker_ = std::make_unique<frmTicker>(*options_, services);
  options_->Attach(*ticker_);
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
