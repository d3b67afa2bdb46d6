// The settings-file and path functions of the program.
#pragma once

#include <cstdint>
#include <string>

// The value of the key, whole, or "" when the file, the section or the key does not exist.
std::string ReadIni(const std::string& section, const std::string& key, const std::string& path);

// Writes the key; non-zero on success, 0 on failure.
std::int16_t WriteIni(const std::string& section, const std::string& key, const std::string& value,
                      const std::string& path);

// The path with the platform's separator appended unless it already ends in one.
std::string AddBackslash(std::string path);
