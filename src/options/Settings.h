// What the program keeps between runs, as one record: read from the settings file at start-up,
// edited in the options dialog, saved when the strip closes. app/SettingsFile.cpp gives each
// field its key in the file.
#pragma once

#include <string>

struct Settings {
  std::string url;    // the feed URL
  float windowX = 0;  // the strip's left and top edges on the screen, in twips
  float windowY = 0;
};
