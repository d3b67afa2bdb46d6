// The program's command line: it takes no arguments apart from --options, --help and
// --version.
#pragma once

#include <string>

struct CommandLine {
  enum class Action { Run, Help, Version, Usage };
  Action action = Action::Run;
  bool options = false;     // --options: the options dialog, of the running copy or a new one
  std::string badArgument;  // the first argument not understood, for Usage
};

// Reads the arguments after the program's name. Anything but --options, --help (-h) and
// --version asks for the usage line.
CommandLine ParseCommandLine(int argc, const char* const* argv);

// The texts printed for each action; each ends with a newline.
std::string HelpText();
std::string VersionText();
std::string UsageText(const std::string& badArgument);
