// Feeds arbitrary bytes to the settings-file reader as the file's text. The first two bytes
// choose the section and key asked for; with the top bit of the first set, the names come
// from the input instead (up to the first NUL, section and key split at the first '=').
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/NumberText.h"
#include "platform/services/Profile.h"

namespace {

constexpr std::string_view kSections[] = {"Options", "options", " Options\t", "Other", "", "Ö"};
constexpr std::string_view kKeys[] = {"Default URL", "WindowX", "windowy", "k", "", " k ", "="};
constexpr std::string_view kDefault =
    "\x01"
    "default"
    "\x01";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  std::string_view section = kSections[data[0] % std::size(kSections)];
  std::string_view key = kKeys[data[1] % std::size(kKeys)];
  std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);
  if (data[0] & 0x80) {
    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos) {
      const std::string_view names = text.substr(0, nul);
      const std::size_t eq = names.find('=');
      section = names.substr(0, eq);
      key = eq == std::string_view::npos ? std::string_view() : names.substr(eq + 1);
      text.remove_prefix(nul + 1);
    }
  }

  const std::string value = platform::ProfileValue(text, section, key, kDefault);
  // A value is always a piece of one line of the text.
  if (value != kDefault && text.find(value) == std::string_view::npos) __builtin_trap();
  if (value.find('\n') != std::string::npos) __builtin_trap();
  volatile double number = ReadNumber(value);
  (void)number;
  return 0;
}
