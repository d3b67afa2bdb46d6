#include "app/ProgramSettings.h"

#include <filesystem>
#include <system_error>

#include "app/modGeneral.h"
#include "platform/program/Application.h"
#include "platform/services/FileSystem.h"
#include "platform/services/RunningCopyKey.h"
#include "platform/services/UserFolders.h"

namespace {

constexpr const char* kSettingsFileName = "RSS_settings.ini";
// The folder in the user's configuration folder that holds the program's settings.
constexpr const char* kUserSettingsFolderName = PRODUCT_NAME;

std::string UserSettingsFolder() {
  const std::string config = platform::UserConfigFolder();
  return config.empty() ? std::string() : AddBackslash(config) + kUserSettingsFolderName;
}

// As UTF-8, which the platform's path functions take.
std::string CurrentFolder() {
  std::error_code error;
  const std::u8string folder = std::filesystem::current_path(error).u8string();
  return error ? std::string() : std::string(folder.begin(), folder.end());
}

}  // namespace

SettingsFiles ProgramSettingsFiles() {
  return ChooseSettingsFiles(
      FindSettingsPlaces(platform::AppPath(), UserSettingsFolder(), kSettingsFileName));
}

std::string ProgramRunningCopyKey() {
  const std::string file = platform::ResolvedPath(ProgramSettingsFiles().writeTo);
  return platform::RunningCopyKey(
      platform::NormalisedPath(file, CurrentFolder(), platform::SystemPathStyle()));
}
