// The settings-file and path functions of the program.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The value of the key, whole, or "" when the file, the section or the key does not exist.
std::string ReadIni(const std::string& section, const std::string& key, const std::string& path);

// Writes the key; non-zero on success, 0 on failure.
std::int16_t WriteIni(const std::string& section, const std::string& key, const std::string& value,
                      const std::string& path);

// Writes several keys of the section as one change of the file, in the order given: another
// program writing the same file at the same moment sees all of them or none. Non-zero on
// success, 0 on failure (nothing written; why, when given, receives the reason).
std::int16_t WriteIniKeys(const std::string& section,
                          const std::vector<std::pair<std::string, std::string>>& keys,
                          const std::string& path, std::string* why = nullptr);

// The path with the platform's separator appended unless it already ends in one.
std::string AddBackslash(std::string path);
