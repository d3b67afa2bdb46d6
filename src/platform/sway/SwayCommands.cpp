#include "platform/sway/SwayCommands.h"

#include <charconv>

namespace platform {

namespace {

std::string Criteria(std::uint32_t window, long pid) {
  return "[id=" + std::to_string(window) + " pid=" + std::to_string(pid) + "]";
}

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// A whole number, sign allowed ("-1" means no minimum); false for anything else.
bool ReadNumber(std::string_view text, int& number) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, number);
  return error == std::errc() && stop == end;
}

}  // namespace

std::string KeepFromFocusCommand(std::uint32_t window, long pid) {
  return "no_focus " + Criteria(window, pid);
}

std::string PlaceCommand(std::uint32_t window, long pid, int x, int y, int width, int height,
                         std::string_view minimumSize) {
  // WORKAROUND: sway 1.7 makes a floating window at least floating_minimum_size (75 x 50 by
  // default) whatever its own fixed size hints say: the minimum is lifted for this window's
  // resize alone. sway runs one message's commands together, so no other window sees it, and
  // the last command runs even when the window is not found.
  return "floating_minimum_size -1 x -1; " + Criteria(window, pid) + " resize set width " +
         std::to_string(width) + " px height " + std::to_string(height) +
         " px, move absolute position " + std::to_string(x) + " " + std::to_string(y) +
         "; floating_minimum_size " + std::string(minimumSize);
}

std::string MinimumSizeIn(std::string_view config) {
  constexpr std::string_view kCommand = "floating_minimum_size";
  std::string found = "0 x 0";
  while (!config.empty()) {
    const auto end = config.find('\n');
    std::string_view line = Trimmed(config.substr(0, end));
    config = end == std::string_view::npos ? std::string_view() : config.substr(end + 1);
    if (!line.starts_with(kCommand)) continue;
    line = Trimmed(line.substr(kCommand.size()));
    const auto x = line.find(" x ");
    int width = 0;
    int height = 0;
    if (x != std::string_view::npos && ReadNumber(Trimmed(line.substr(0, x)), width) &&
        ReadNumber(Trimmed(line.substr(x + 3)), height)) {
      found = std::to_string(width) + " x " + std::to_string(height);
    }
  }
  return found;
}

}  // namespace platform
