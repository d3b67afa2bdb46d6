#include "platform/services/Profile.h"

#include <algorithm>

#include "platform/services/ProfileStorage.h"
#include "text/Ascii.h"

namespace platform {
namespace {

namespace storage = profile_storage;
using storage::Explain;
using storage::kMaxFileSize;

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

using text::IsBlank;
using text::Trim;

bool IsQuoted(std::string_view value) {
  return value.size() >= 2 && value.front() == value.back() &&
         (value.front() == '"' || value.front() == '\'');
}

std::string_view Unquote(std::string_view value) {
  return IsQuoted(value) ? value.substr(1, value.size() - 2) : value;
}

enum class Kind { Blank, Comment, Section, Key, Other };

// One line of the text: its kind and, as views into the text, its name and raw value.
struct Entry {
  Kind kind = Kind::Blank;
  std::string_view name;
  std::string_view value;
};

Entry ParseLine(std::string_view content) {
  const std::string_view t = Trim(content);
  if (t.empty()) return {Kind::Blank, {}, {}};
  if (t.front() == ';') return {Kind::Comment, {}, {}};
  if (t.front() == '[') {
    const std::string_view inner = t.substr(1);
    return {Kind::Section, Trim(inner.substr(0, inner.find(']'))), {}};
  }
  const std::size_t eq = t.find('=');
  if (eq == std::string_view::npos) return {Kind::Other, t, {}};
  return {Kind::Key, Trim(t.substr(0, eq)), Trim(t.substr(eq + 1))};
}

// Where the key is, or where it would go: the one scan shared by reading and writing.
struct Location {
  bool sectionFound = false;
  bool keyFound = false;
  std::string_view rawValue;         // the key's value as written, quotes included
  std::size_t valueBegin = 0;        // offset of the value in the text
  std::size_t lineEnd = 0;           // offset of the end of the key's line, before its line break
  std::size_t insertAt = 0;          // a new key goes here: after the section's last key line
  bool insertAfterOpenLine = false;  // insertAt ends a last line that has no line break
};

// Duplicate sections are read as one; the first of duplicate keys wins, and a new key goes
// into the first of the sections.
Location Locate(std::string_view text, std::string_view section, std::string_view key) {
  Location loc;
  std::size_t pos = text.substr(0, kUtf8Bom.size()) == kUtf8Bom ? kUtf8Bom.size() : 0;
  bool inSection = false;
  bool inFirstSection = false;
  while (pos < text.size()) {
    const std::size_t newline = text.find('\n', pos);
    const bool terminated = newline != std::string_view::npos;
    const std::size_t next = terminated ? newline + 1 : text.size();
    std::size_t end = terminated ? newline : text.size();
    if (end > pos && text[end - 1] == '\r') --end;
    const Entry entry = ParseLine(text.substr(pos, end - pos));

    if (entry.kind == Kind::Section) {
      inSection = text::EqualsNoCase(entry.name, section);
      inFirstSection = inSection && !loc.sectionFound;
      if (inFirstSection) {
        loc.sectionFound = true;
        loc.insertAt = next;
        loc.insertAfterOpenLine = !terminated;
      }
    } else if (inSection && (entry.kind == Kind::Key || entry.kind == Kind::Other)) {
      if (entry.kind == Kind::Key && text::EqualsNoCase(entry.name, key)) {
        loc.keyFound = true;
        loc.rawValue = entry.value;
        loc.valueBegin = static_cast<std::size_t>(entry.value.data() - text.data());
        loc.lineEnd = end;
        return loc;
      }
      if (inFirstSection) {
        loc.insertAt = next;
        loc.insertAfterOpenLine = !terminated;
      }
    }
    pos = next;
  }
  return loc;
}

// A file keeps the line break style of its first line; a file without one gets LF.
std::string_view LineBreakOf(std::string_view text) {
  const std::size_t newline = text.find('\n');
  return (newline != std::string_view::npos && newline > 0 && text[newline - 1] == '\r') ? "\r\n"
                                                                                         : "\n";
}

// Line breaks (and NUL, which would make the file binary) are written as blanks; a value
// that would lose its outer blanks or quotes when read back is written in double quotes.
std::string EncodeValue(std::string_view value) {
  std::string out(value);
  for (char& c : out) {
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  }
  if (!out.empty() && (IsBlank(out.front()) || IsBlank(out.back()) || IsQuoted(out))) {
    out = '"' + out + '"';
  }
  return out;
}

// Names that could split a line or read as another section or key are refused, not mended.
bool ValidSection(std::string_view name) {
  return !name.empty() && name.find_first_of(std::string_view("\r\n\0[]", 5)) == name.npos;
}

bool ValidKey(std::string_view name) {
  return !name.empty() && name.front() != ';' &&
         name.find_first_of(std::string_view("\r\n\0[]=", 6)) == name.npos;
}

std::string EditedText(std::string_view text, std::string_view section, std::string_view key,
                       std::string_view value) {
  const std::string_view eol = LineBreakOf(text);
  const Location loc = Locate(text, section, key);
  std::string out;
  out.reserve(text.size() + section.size() + key.size() + value.size() + 8);
  if (loc.keyFound) {
    out.append(text.substr(0, loc.valueBegin)).append(value).append(text.substr(loc.lineEnd));
  } else if (loc.sectionFound) {
    out.append(text.substr(0, loc.insertAt));
    if (loc.insertAfterOpenLine) out.append(eol);
    out.append(key).append("=").append(value);
    if (!loc.insertAfterOpenLine) out.append(eol);
    out.append(text.substr(loc.insertAt));
  } else {
    out.append(text);
    if (!text.empty() && text != kUtf8Bom && text.back() != '\n') out.append(eol);
    out.append("[").append(section).append("]").append(eol);
    out.append(key).append("=").append(value).append(eol);
  }
  return out;
}

}  // namespace

std::string ProfileValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view defaultValue) {
  section = Trim(section);
  key = Trim(key);
  if (section.empty() || key.empty()) return std::string(defaultValue);
  const Location loc = Locate(text, section, key);
  return std::string(loc.keyFound ? Unquote(loc.rawValue) : defaultValue);
}

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, const std::string& path) {
  std::string text;
  if (storage::Read(path, text) != storage::FileState::Text) return std::string(defaultValue);
  return ProfileValue(text, section, key, defaultValue);
}

std::optional<std::string> FindPrivateProfileString(std::string_view section, std::string_view key,
                                                    const std::string& path) {
  section = Trim(section);
  key = Trim(key);
  std::string text;
  if (section.empty() || key.empty() || storage::Read(path, text) != storage::FileState::Text) {
    return std::nullopt;
  }
  const Location loc = Locate(text, section, key);
  if (!loc.keyFound) return std::nullopt;
  return std::string(Unquote(loc.rawValue));
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& path) {
  const ProfileEntry entry{key, value};
  return WritePrivateProfileStrings(section, std::span<const ProfileEntry>(&entry, 1), path);
}

bool WritePrivateProfileStrings(std::string_view section, std::span<const ProfileEntry> entries,
                                const std::string& path, std::string* why) {
  if (why != nullptr) why->clear();
  section = Trim(section);
  if (entries.empty() || path.empty()) {
    Explain(why, "nothing to write");
    return false;
  }
  if (!ValidSection(section)) {
    Explain(why, "invalid section name");
    return false;
  }
  for (const ProfileEntry& entry : entries) {
    if (!ValidKey(Trim(entry.key))) {
      Explain(why, "invalid key name");
      return false;
    }
  }
  return storage::Update(
      path,
      [&](std::string& text, std::string* reason) {
        for (const ProfileEntry& entry : entries) {
          text = EditedText(text, section, Trim(entry.key), EncodeValue(entry.value));
          if (text.size() > kMaxFileSize) {
            Explain(reason, "too large to be a settings file");
            return false;
          }
        }
        return true;
      },
      why);
}

bool FileExists(const std::string& path) { return storage::IsRegularFile(path); }

}  // namespace platform
