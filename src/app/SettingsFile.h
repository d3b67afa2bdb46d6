// The settings record in the settings file: each field's key, named once, read from the files
// start-up finds and saved to the one the close writes.
#pragma once

#include <string>
#include <vector>

#include "options/Settings.h"

// The record as the files give it, each key from the first file that holds it: a missing key
// is "" or 0, a position that is no number 0, one beyond any screen kept within reach.
Settings ReadSettings(const std::vector<std::string>& files);

// Writes every field of the record into file, in one replacement of the file (two copies
// closing at the same moment leave one copy's record, never a mix), making its folder first.
// False, with the reason in why, when it cannot.
bool SaveSettings(const Settings& settings, const std::string& file, std::string& why);
