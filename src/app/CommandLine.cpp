#include "app/CommandLine.h"

#include <string_view>

CommandLine ParseCommandLine(int argc, const char* const* argv) {
  CommandLine result;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i] != nullptr ? argv[i] : "";
    if (argument == "--help" || argument == "-h") {
      result.action = CommandLine::Action::Help;
    } else if (argument == "--options") {
      result.options = true;
    } else if (argument == "--version") {
      // --help wins when both are given.
      if (result.action == CommandLine::Action::Run) result.action = CommandLine::Action::Version;
    } else {
      return {.action = CommandLine::Action::Usage, .badArgument = std::string(argument)};
    }
  }
  return result;
}

std::string HelpText() {
  return "Usage: ticker [--options] [--help] [--version]\n"
         "Scrolls the headlines of the " HOME_SITE_NAME
         " news feed across a strip on the desktop.\n"
         "Started again while it runs, it gives the running strip the keyboard.\n"
         "\n"
         "      --options  open the options of the running strip (or start one with them open)\n"
         "  -h, --help     print this help and exit\n"
         "      --version  print the version and exit\n"
         "\n"
         "Right-click the strip to choose the feed URL (it must contain " HOME_DOMAIN
         ") or to exit.\n"
         "The feed URL and the strip's place are kept in RSS_settings.ini, beside the program\n"
         "when its folder is writable, otherwise in the user's configuration folder\n"
         "($XDG_CONFIG_HOME, by default ~/.config). The strip needs an X11 display.\n";
}

std::string VersionText() { return "ticker (" APP_DISPLAY_NAME ") " TICKER_VERSION "\n"; }

std::string UsageText(const std::string& badArgument) {
  return "ticker: unknown option '" + badArgument +
         "'; usage: ticker [--options] [--help] [--version]\n";
}
