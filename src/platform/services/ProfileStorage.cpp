// The change of the settings file, the same on every system over each one's steps
// (ProfileFile), and the names of the temporary files that its writers leave behind.
#include "platform/services/ProfileStorage.h"

#include <algorithm>
#include <cstring>

#include "platform/services/ProfileFile.h"

namespace platform::profile_storage {

bool Update(const std::string& path,
            const std::function<bool(std::string& text, std::string* why)>& edit,
            std::string* why) {
  const std::unique_ptr<ProfileFile> file = ProfileFileAt(path, why);
  if (file == nullptr) return false;
  // Writers of this program take turns on the folder, so that two saves at the same moment do
  // not lose each other's keys; writers create temporary files only while holding it, so that
  // whoever holds it knows every one left in the folder is dead.
  if (file->lockFolder()) file->removeLeftovers();

  std::string old;
  const FileState state = file->read(old, why);
  if (state == FileState::Unusable) return false;
  if (state == FileState::Text && !file->writable(why)) return false;

  std::string text = state == FileState::Text ? old : std::string();
  if (!edit(text, why)) return false;
  if (state == FileState::Text && text == old) return true;
  bool noRoom = false;
  std::string replaceWhy;
  if (file->replace(text, noRoom, &replaceWhy)) return true;
  // The folder refuses new files but the file itself may be written.
  if (noRoom && state == FileState::Text) return file->rewriteInPlace(text, why);
  Explain(why, replaceWhy);
  return false;
}

FileState ReadSettingsText(
    unsigned long long size,
    const std::function<long long(char* buffer, std::size_t capacity)>& readSome, std::string& text,
    std::string* why) {
  if (size > kMaxFileSize) {
    Explain(why, "too large to be a settings file");
    return FileState::Unusable;
  }
  text.clear();
  char buffer[16384];
  for (;;) {
    const long long n = readSome(buffer, sizeof buffer);
    if (n < 0) return FileState::Unusable;
    if (n == 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
    if (text.size() > kMaxFileSize) {  // grew while being read
      Explain(why, "too large to be a settings file");
      return FileState::Unusable;
    }
  }
  if (std::memchr(text.data(), '\0', text.size()) != nullptr) {
    Explain(why, "not a text file");
    return FileState::Unusable;
  }
  return FileState::Text;
}

void Explain(std::string* why, std::string_view reason) {
  if (why != nullptr && why->empty()) *why = std::string(reason);
}

std::string TemporaryName(std::string_view name, unsigned long long process, unsigned counter,
                          unsigned long long ticks) {
  return "." + std::string(name) + "." + std::to_string(process) + "." + std::to_string(counter) +
         "." + std::to_string(ticks % 1000000007);
}

bool IsTemporaryName(std::string_view file, std::string_view name) {
  const std::string prefix = "." + std::string(name) + ".";
  if (file.size() <= prefix.size() || file.substr(0, prefix.size()) != prefix) return false;
  const std::string_view rest = file.substr(prefix.size());
  return rest.find_first_not_of("0123456789.") == std::string_view::npos &&
         std::count(rest.begin(), rest.end(), '.') == 2;
}

}  // namespace platform::profile_storage
