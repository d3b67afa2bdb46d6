#include "app/modGeneral.h"

#include "platform/program/Application.h"
#include "platform/services/Profile.h"

std::string ReadIni(const std::string& section, const std::string& key, const std::string& path) {
  return platform::GetPrivateProfileString(section, key, "", path);
}

std::int16_t WriteIni(const std::string& section, const std::string& key, const std::string& value,
                      const std::string& path) {
  return platform::WritePrivateProfileString(section, key, value, path) ? 1 : 0;
}

std::int16_t WriteIniKeys(const std::string& section,
                          const std::vector<std::pair<std::string, std::string>>& keys,
                          const std::string& path, std::string* why) {
  std::vector<platform::ProfileEntry> entries;
  entries.reserve(keys.size());
  for (const auto& [key, value] : keys) entries.push_back({key, value});
  return platform::WritePrivateProfileStrings(section, entries, path, why) ? 1 : 0;
}

std::string AddBackslash(std::string path) {
  const char separator = platform::PathSeparator();
  if (path.empty() || path.back() != separator) path += separator;
  return path;
}
