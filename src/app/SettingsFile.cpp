#include "app/SettingsFile.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "app/NumberText.h"
#include "app/SettingsLocation.h"
#include "app/modGeneral.h"

namespace {

constexpr const char* kSection = "Options";

// A position as the file gives it, kept within what a window position can be.
float WindowPosition(const std::string& text) {
  constexpr double kLimit = 1e9;
  const double value = ReadNumber(text);
  if (std::isnan(value)) return 0;
  return static_cast<float>(std::clamp(value, -kLimit, kLimit));
}

struct Field {
  const char* key;
  std::string (*write)(const Settings&);
  void (*read)(Settings&, const std::string&);
};

// IMPORTANT: a new setting is a field of Settings, a row here, and its control in the dialog.
const Field kFields[] = {
    {"Default URL", [](const Settings& s) { return s.url; },
     [](Settings& s, const std::string& text) { s.url = text; }},
    {"WindowX", [](const Settings& s) { return FormatNumber(s.windowX); },
     [](Settings& s, const std::string& text) { s.windowX = WindowPosition(text); }},
    {"WindowY", [](const Settings& s) { return FormatNumber(s.windowY); },
     [](Settings& s, const std::string& text) { s.windowY = WindowPosition(text); }},
};

}  // namespace

Settings ReadSettings(const std::vector<std::string>& files) {
  Settings settings;
  for (const Field& field : kFields)
    field.read(settings, ReadSettingsKey(files, kSection, field.key));
  return settings;
}

bool SaveSettings(const Settings& settings, const std::string& file, std::string& why) {
  std::vector<std::pair<std::string, std::string>> keys;
  for (const Field& field : kFields) keys.emplace_back(field.key, field.write(settings));
  return CreateFolders(FolderOf(file), why) && WriteIniKeys(kSection, keys, file, &why) != 0;
}
