// The profile functions against text in memory and real files in a temporary folder.
#include "platform/services/Profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <process.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/program/Application.h"
#include "platform/services/ProfileStorage.h"

namespace fs = std::filesystem;
using platform::FileExists;
using platform::FindPrivateProfileString;
using platform::GetPrivateProfileString;
using platform::ProfileEntry;
using platform::ProfileValue;
using platform::WritePrivateProfileString;
using platform::WritePrivateProfileStrings;

namespace {

// Test names from the cases' labels.
template <typename Case>
std::string LabelOf(const testing::TestParamInfo<Case>& info) {
  std::string name = info.param.label;
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder() {
    std::random_device random;
    path_ = fs::temp_directory_path() /
            ("profile_test_" + std::to_string(getpid()) + "_" + std::to_string(random()));
    fs::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(path_, ignored)) {
      if (entry.is_directory(ignored))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(path_, ignored);
  }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(File(name), std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(File(name), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_)) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

#ifndef _WIN32
// Root ignores permission bits: a folder it cannot write to cannot be made with chmod.
bool PermissionsBind(const TempFolder& folder) {
  const fs::path probe = folder.path() / "probe";
  fs::create_directory(probe);
  fs::permissions(probe, fs::perms::owner_read | fs::perms::owner_exec);
  const bool created = static_cast<bool>(std::ofstream(probe / "x"));
  fs::permissions(probe, fs::perms::owner_all);
  fs::remove_all(probe);
  return !created;
}
#endif

struct ReadCase {
  const char* label;
  std::string text;
  const char* section;
  const char* key;
  const char* expected;  // "<default>" when the key must not be found
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.label; }

class ProfileValueTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ProfileValueTest, FindsTheValue) {
  const ReadCase& c = GetParam();
  EXPECT_EQ(ProfileValue(c.text, c.section, c.key, "<default>"), c.expected) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileValueTest,
    testing::Values(
        ReadCase{"plain", "[Options]\nWindowX=12\n", "Options", "WindowX", "12"},
        // names match without regard to ASCII case, on both sides
        ReadCase{"key case", "[Options]\nwindowx=12\n", "Options", "WINDOWX", "12"},
        ReadCase{"section case", "[OPTIONS]\nWindowX=12\n", "options", "WindowX", "12"},
        // blanks around names and values, in the file and in the query
        ReadCase{"spacing", "  [ Options ]  \n \t Default URL  =  \thttp://a/b \t\n", " Options",
                 "Default URL ", "http://a/b"},
        ReadCase{"inner blanks kept", "[Options]\nk = a  b\n", "Options", "k", "a  b"},
        // quotes: matching pairs are removed, anything else is kept
        ReadCase{"double quotes", "[Options]\nk=\" x \"\n", "Options", "k", " x "},
        ReadCase{"single quotes", "[Options]\nk='x'\n", "Options", "k", "x"},
        ReadCase{"mixed quotes", "[Options]\nk=\"x'\n", "Options", "k", "\"x'"},
        ReadCase{"lone quote", "[Options]\nk=\"\n", "Options", "k", "\""},
        ReadCase{"empty quotes", "[Options]\nk=\"\"\n", "Options", "k", ""},
        // the first "=" ends the key; the value may hold more
        ReadCase{"equals in value", "[Options]\nk=a=b==c\n", "Options", "k", "a=b==c"},
        ReadCase{"empty value is not missing", "[Options]\nk=\n", "Options", "k", ""},
        // line breaks: CRLF and a last line without one
        ReadCase{"crlf", "[Options]\r\nk=v\r\nj=w\r\n", "Options", "k", "v"},
        ReadCase{"no final break", "[Options]\nk=v", "Options", "k", "v"},
        ReadCase{"utf-8 mark", "\xEF\xBB\xBF[Options]\nk=v\n", "Options", "k", "v"},
        // the first of duplicate keys wins, also across duplicate sections
        ReadCase{"duplicate key", "[Options]\nk=1\nK=2\n", "Options", "k", "1"},
        ReadCase{"duplicate section", "[Options]\na=1\n[Other]\nk=x\n[options]\nk=2\n", "Options",
                 "k", "2"},
        // lines that never match
        ReadCase{"comment", "[Options]\n;k=1\n  ; k=2\n", "Options", "k", "<default>"},
        ReadCase{"no equals", "[Options]\nk\n", "Options", "k", "<default>"},
        ReadCase{"before any section", "k=1\n[Options]\n", "Options", "k", "<default>"},
        ReadCase{"other section", "[Other]\nk=1\n[Options]\nj=2\n", "Options", "k", "<default>"},
        ReadCase{"key prefix", "[Options]\nWindowX2=5\n", "Options", "WindowX", "<default>"},
        ReadCase{"section prefix", "[Options2]\nk=5\n", "Options", "k", "<default>"},
        ReadCase{"missing section", "", "Options", "k", "<default>"},
        ReadCase{"empty key asked", "[Options]\n=5\n", "Options", "", "<default>"},
        // 8-bit text is compared byte for byte
        ReadCase{"utf-8 names", "[Größe]\nKöln=Dom\n", "Größe", "Köln", "Dom"}),
    LabelOf<ReadCase>);

// A value longer than any fixed buffer comes back whole.
TEST(ProfileFile, LongValueComesBackWhole) {
  TempFolder folder;
  const std::string url = "http://www.example.test/" + std::string(5000, 'q');
  folder.Write("s.ini", "[Options]\nDefault URL=" + url + "\n");
  EXPECT_EQ(GetPrivateProfileString("Options", "Default URL", "", folder.File("s.ini")), url);
}

// Everything that is not a readable settings file reads as missing keys, and a write to
// it fails without touching it.
TEST(ProfileFile, BadFilesReadAsDefaultAndRefuseWrites) {
  TempFolder folder;
  std::mt19937 random(7);
  std::string noise(4096, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  noise += "\n[Options]\nk=1\n";
  folder.Write("noise.ini", noise);
  std::string huge = "[Options]\nk=1\n";
  huge += std::string((1 << 20) + 1, 'x');
  folder.Write("huge.ini", huge);
  fs::create_directory(folder.File("folder.ini"));
  std::vector<std::string> names = {"noise.ini", "huge.ini", "folder.ini"};
#ifndef _WIN32
  ASSERT_EQ(::mkfifo(folder.File("fifo.ini").c_str(), 0600), 0);
  names.push_back("fifo.ini");
#endif

  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const std::string path = folder.File(name);
    EXPECT_EQ(GetPrivateProfileString("Options", "k", "dflt", path), "dflt");
    EXPECT_FALSE(WritePrivateProfileString("Options", "k", "2", path));
  }
  EXPECT_EQ(folder.Read("noise.ini"), noise);
  EXPECT_EQ(folder.Read("huge.ini"), huge);
  EXPECT_TRUE(fs::is_directory(folder.File("folder.ini")));
  EXPECT_TRUE(fs::is_empty(folder.File("folder.ini")));
#ifndef _WIN32
  EXPECT_TRUE(fs::is_fifo(folder.File("fifo.ini")));
#endif
}

TEST(ProfileFile, MissingFileReadsAsDefault) {
  TempFolder folder;
  EXPECT_EQ(GetPrivateProfileString("Options", "k", "dflt", folder.File("none.ini")), "dflt");
  EXPECT_EQ(GetPrivateProfileString("Options", "k", "dflt", folder.File("none/x.ini")), "dflt");
}

// A write whose folder cannot hold the file fails; the parent being a file makes that
// certain even for root.
TEST(ProfileFile, WriteIntoImpossibleFolderFails) {
  TempFolder folder;
  folder.Write("plain", "not a folder");
  EXPECT_FALSE(WritePrivateProfileString("Options", "k", "v", folder.File("plain/s.ini")));
  EXPECT_FALSE(WritePrivateProfileString("Options", "k", "v", folder.File("missing/s.ini")));
  EXPECT_EQ(folder.Read("plain"), "not a folder");
}

#ifndef _WIN32
// Runs check where permission bits are in force: directly for an ordinary user; for root,
// which ignores them, in a child process that takes the unprivileged "nobody" ids.
bool WithPermissionsInForce(const TempFolder& folder, const std::function<bool()>& check) {
  if (PermissionsBind(folder)) return check();
  fs::permissions(folder.path(), fs::perms::all);
  const pid_t child = fork();
  if (child == 0) {
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
    _exit(check() ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

constexpr fs::perms kReadOnlyFolder = fs::perms::owner_read | fs::perms::owner_exec |
                                      fs::perms::group_read | fs::perms::group_exec |
                                      fs::perms::others_read | fs::perms::others_exec;

TEST(ProfileFile, ReadOnlyFolderKeepsAReadOnlyFile) {
  TempFolder folder;
  fs::create_directory(folder.File("ro"));
  const std::string path = folder.File("ro/s.ini");
  const std::string old = "[Options]\nk=old\n";
  std::ofstream(path) << old;
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  fs::permissions(folder.File("ro"), kReadOnlyFolder);
  EXPECT_TRUE(WithPermissionsInForce(folder, [&] {
    const ProfileEntry entry{"k", "new"};
    std::string why;
    return !WritePrivateProfileStrings("Options", std::span(&entry, 1), path, &why) &&
           why == "Permission denied" && GetPrivateProfileString("Options", "k", "", path) == "old";
  }));
  EXPECT_EQ(folder.Read("ro/s.ini"), old);
}

// A writable file in a folder that takes no new files is rewritten where it is: the same
// file, whole, shorter or longer than before, with everything else in it kept.
TEST(ProfileFile, ReadOnlyFolderRewritesAWritableFileInPlace) {
  TempFolder folder;
  fs::create_directory(folder.File("ro"));
  const std::string path = folder.File("ro/s.ini");
  std::ofstream(path) << "; kept\n[Options]\nDefault URL=http://a-rather-long-old-value/\n"
                         "WindowX=1\n[Other]\nkeep=me\n";
  // Writable by whoever runs the check, the unprivileged user included.
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                            fs::perms::group_write | fs::perms::others_read |
                            fs::perms::others_write);
  fs::permissions(folder.File("ro"), kReadOnlyFolder);
  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  EXPECT_TRUE(WithPermissionsInForce(folder, [&] {
    const std::vector<ProfileEntry> shorter = {
        {"Default URL", "http://b/"}, {"WindowX", "2"}, {"WindowY", "3"}};
    const std::string longUrl = "http://" + std::string(300, 'c');
    const std::vector<ProfileEntry> longer = {{"Default URL", longUrl}};
    std::string why;
    return WritePrivateProfileStrings("Options", shorter, path, &why) && why.empty() &&
           GetPrivateProfileString("Options", "WindowY", "", path) == "3" &&
           WritePrivateProfileStrings("Options", longer, path, &why);
  }));
  EXPECT_EQ(folder.Read("ro/s.ini"), "; kept\n[Options]\nDefault URL=http://" +
                                         std::string(300, 'c') +
                                         "\nWindowX=2\nWindowY=3\n[Other]\nkeep=me\n");
  struct stat after {};
  ASSERT_EQ(::stat(path.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino) << "the file was replaced, not rewritten";
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.File("ro")), fs::directory_iterator()), 1)
      << "a file was left beside the settings";
}

// A read-only folder without the file: nothing can be created, and the reason says so.
TEST(ProfileFile, ReadOnlyFolderWithoutTheFileFailsWithTheReason) {
  TempFolder folder;
  fs::create_directory(folder.File("ro"));
  fs::permissions(folder.File("ro"), kReadOnlyFolder);
  const std::string path = folder.File("ro/s.ini");
  EXPECT_TRUE(WithPermissionsInForce(folder, [&] {
    const ProfileEntry entry{"k", "v"};
    std::string why;
    return !WritePrivateProfileStrings("Options", std::span(&entry, 1), path, &why) &&
           why == "Permission denied";
  }));
  EXPECT_FALSE(fs::exists(path));
}

#endif  // permission bits

// Every failed write gives a reason a person can act on.
TEST(ProfileFile, FailedWritesSayWhy) {
  TempFolder folder;
  fs::create_directory(folder.File("dir.ini"));
  std::string huge = "[Options]\nk=1\n";
  huge += std::string((1 << 20) + 1, 'x');
  folder.Write("huge.ini", huge);
  folder.Write("binary.ini", std::string("[Options]\n\0k=1\n", 15));
  folder.Write("plain", "x");
  // The system's own texts for its errors differ between systems; Windows' are only checked
  // for being there.
  const struct {
    std::string path;
    std::string section;
    std::string why;
    bool fromSystem = false;
  } cases[] = {
      {folder.File("dir.ini"), "Options", "a folder has the settings file's name"},
      {folder.File("huge.ini"), "Options", "too large to be a settings file"},
      {folder.File("binary.ini"), "Options", "not a text file"},
      {folder.File("plain/s.ini"), "Options", "Not a directory", true},
      {folder.File("missing/s.ini"), "Options", "No such file or directory", true},
      {folder.File("s.ini"), "Opt]ions", "invalid section name"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const ProfileEntry entry{"k", "v"};
    std::string why = "stale";
    EXPECT_FALSE(WritePrivateProfileStrings(c.section, std::span(&entry, 1), c.path, &why));
#ifdef _WIN32
    if (c.fromSystem) {
      EXPECT_NE(why, "stale");
      EXPECT_FALSE(why.empty());
      continue;
    }
#endif
    EXPECT_EQ(why, c.why);
  }
  const ProfileEntry entry{"k", "v"};
  std::string why = "stale";
  EXPECT_TRUE(
      WritePrivateProfileStrings("Options", std::span(&entry, 1), folder.File("s.ini"), &why));
  EXPECT_EQ(why, "");
}

// Finding a key tells an empty value from a missing key, file or section.
TEST(ProfileFile, FindTellsEmptyFromMissing) {
  TempFolder folder;
  folder.Write("s.ini", "[Options]\nempty=\nfull = \"x\" \n");
  EXPECT_EQ(FindPrivateProfileString("Options", "empty", folder.File("s.ini")), "");
  EXPECT_EQ(FindPrivateProfileString("options", "FULL", folder.File("s.ini")), "x");
  EXPECT_EQ(FindPrivateProfileString("Options", "none", folder.File("s.ini")), std::nullopt);
  EXPECT_EQ(FindPrivateProfileString("Other", "full", folder.File("s.ini")), std::nullopt);
  EXPECT_EQ(FindPrivateProfileString("Options", "full", folder.File("none.ini")), std::nullopt);
}

#ifndef _WIN32
TEST(ProfileFile, UnreadableOrReadOnlyFileIsLeftAlone) {
  TempFolder folder;
  const std::string old = "[Options]\nk=old\n";
  folder.Write("locked.ini", old);
  fs::permissions(folder.File("locked.ini"), fs::perms::none);
  folder.Write("ro.ini", old);
  fs::permissions(folder.File("ro.ini"),
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_TRUE(WithPermissionsInForce(folder, [&] {
    return GetPrivateProfileString("Options", "k", "dflt", folder.File("locked.ini")) == "dflt" &&
           !WritePrivateProfileString("Options", "k", "new", folder.File("locked.ini")) &&
           !WritePrivateProfileString("Options", "k", "new", folder.File("ro.ini"));
  }));
  fs::permissions(folder.File("locked.ini"), fs::perms::owner_read);
  EXPECT_EQ(folder.Read("locked.ini"), old);
  EXPECT_EQ(folder.Read("ro.ini"), old);
}
#endif

TEST(ProfileFile, FileExistsOnlyForRegularFiles) {
  TempFolder folder;
  folder.Write("s.ini", "");
  fs::create_directory(folder.File("dir.ini"));
  EXPECT_TRUE(FileExists(folder.File("s.ini")));
#ifndef _WIN32
  fs::create_symlink(folder.File("s.ini"), folder.File("link.ini"));
  EXPECT_TRUE(FileExists(folder.File("link.ini")));
#endif
  EXPECT_FALSE(FileExists(folder.File("dir.ini")));
  EXPECT_FALSE(FileExists(folder.File("none.ini")));
  EXPECT_FALSE(FileExists(""));
}

struct WriteCase {
  const char* label;
  std::string before;  // "<none>": no file
  const char* section;
  const char* key;
  std::string value;
  std::string after;
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.label; }

class ProfileWriteTest : public testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWriteTest, ProducesTheFile) {
  const WriteCase& c = GetParam();
  TempFolder folder;
  if (c.before != "<none>") folder.Write("s.ini", c.before);
  ASSERT_TRUE(WritePrivateProfileString(c.section, c.key, c.value, folder.File("s.ini")))
      << c.label;
  EXPECT_EQ(folder.Read("s.ini"), c.after) << c.label;
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"s.ini"}) << "temporary file left over";
}

const std::string kHandWritten =
    "; settings\n"
    "[Other]\n"
    "k = other's\n"
    "\n"
    "  [ options ]  \n"
    "  Default URL =  \"http://old\"  \n"
    "; keep me\n"
    "windowx=1\n"
    "WindowX=2\n"
    "\n"
    "\n"
    "[Last]\n"
    "z=\t9";

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileWriteTest,
    testing::Values(
        // new file: the section, then the keys in the order written, LF
        WriteCase{"fresh", "<none>", "Options", "Default URL", "http://x",
                  "[Options]\nDefault URL=http://x\n"},
        WriteCase{"empty file", "", "Options", "k", "v", "[Options]\nk=v\n"},
        // replacing keeps the key's spelling, the blanks before the value and every other byte
        WriteCase{"replace in place", kHandWritten, "OPTIONS", "default url", "http://new",
                  "; settings\n[Other]\nk = other's\n\n  [ options ]  \n  Default URL =  "
                  "http://new\n; keep me\nwindowx=1\nWindowX=2\n\n\n[Last]\nz=\t9"},
        // the first of duplicate keys is the one replaced
        WriteCase{"duplicate key", kHandWritten, "Options", "WINDOWX", "-7",
                  "; settings\n[Other]\nk = other's\n\n  [ options ]  \n  Default URL =  "
                  "\"http://old\"  \n; keep me\nwindowx=-7\nWindowX=2\n\n\n[Last]\nz=\t9"},
        // a new key goes after the last key line, before the blank lines
        WriteCase{
            "new key", kHandWritten, "Options", "WindowY", "3",
            "; settings\n[Other]\nk = other's\n\n  [ options ]  \n  Default URL =  "
            "\"http://old\"  \n; keep me\nwindowx=1\nWindowX=2\nWindowY=3\n\n\n[Last]\nz=\t9"},
        // a new section is appended, after a line break for a file that lacks a final one
        WriteCase{"new section", kHandWritten, "New", "a", "b", kHandWritten + "\n[New]\na=b\n"},
        WriteCase{"new key at open end", "[Options]\nk=1", "Options", "j", "2",
                  "[Options]\nk=1\nj=2"},
        WriteCase{"first of duplicate sections", "[Options]\na=1\n[B]\n[Options]\nb=2\n", "Options",
                  "k", "3", "[Options]\na=1\nk=3\n[B]\n[Options]\nb=2\n"},
        WriteCase{"header only", "[Options]\n", "Options", "j", "2", "[Options]\nj=2\n"},
        // CRLF files stay CRLF
        WriteCase{"crlf new key", "[Options]\r\nk=1\r\n", "Options", "j", "2",
                  "[Options]\r\nk=1\r\nj=2\r\n"},
        WriteCase{"crlf replace", "[Options]\r\nk=1\r\n[B]\r\n", "Options", "k", "22",
                  "[Options]\r\nk=22\r\n[B]\r\n"},
        WriteCase{"crlf new section", "[A]\r\nk=1", "Options", "j", "2",
                  "[A]\r\nk=1\r\n[Options]\r\nj=2\r\n"},
        // comments never match, even when they look like the key; with no key line in the
        // section, a new key goes right after its header
        WriteCase{"comment", "[Options]\n;k=1\n", "Options", "k", "2", "[Options]\nk=2\n;k=1\n"},
        // values: line breaks become blanks; values that would change when read are quoted
        WriteCase{"line breaks", "<none>", "Options", "k", "a\r\nb\nc\rd",
                  "[Options]\nk=a  b c d\n"},
        WriteCase{"nul", "<none>", "Options", "k", std::string("x\0y", 3), "[Options]\nk=x y\n"},
        WriteCase{"outer blanks", "<none>", "Options", "k", " x ", "[Options]\nk=\" x \"\n"},
        WriteCase{"quoted value", "<none>", "Options", "k", "'x'", "[Options]\nk=\"'x'\"\n"},
        WriteCase{"equals", "<none>", "Options", "k", "a=b", "[Options]\nk=a=b\n"},
        WriteCase{"empty", "[Options]\nk=1\n", "Options", "k", "", "[Options]\nk=\n"}),
    LabelOf<WriteCase>);

// Values with anything in them read back as written (line breaks as blanks), and create no
// other key or section.
TEST(ProfileFile, HostileValueRoundTripsWithoutNewKeys) {
  TempFolder folder;
  const std::string path = folder.File("s.ini");
  std::string value;
  while (value.size() < 10000) value += "x[Evil]\nInjected=1\r\n=;[Options]\n\"q'\t";
  value.resize(10000);
  ASSERT_TRUE(WritePrivateProfileString("Options", "Default URL", value, path));
  ASSERT_TRUE(WritePrivateProfileString("Options", "WindowX", "5", path));

  std::string expected = value;
  for (char& c : expected) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  EXPECT_EQ(GetPrivateProfileString("Options", "Default URL", "", path), expected);
  EXPECT_EQ(GetPrivateProfileString("Evil", "Injected", "none", path), "none");
  EXPECT_EQ(GetPrivateProfileString("Options", "Injected", "none", path), "none");
  EXPECT_EQ(GetPrivateProfileString("Options", "WindowX", "", path), "5");
  EXPECT_EQ(folder.Read("s.ini").find('\r'), std::string::npos);
  const std::string file = folder.Read("s.ini");
  EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 3) << "one header and two keys";
}

// Names that would split a line or read as another section or key are refused.
TEST(ProfileFile, UnsafeNamesAreRefused) {
  TempFolder folder;
  const std::string path = folder.File("s.ini");
  folder.Write("s.ini", "[Options]\nk=1\n");
  const std::vector<std::pair<std::string, std::string>> names = {
      {"Options]\n[Evil", "k"},
      {"Opt\rions", "k"},
      {"[Options", "k"},
      {"", "k"},
      {"  ", "k"},
      {"Options", "a=b"},
      {"Options", "a\nb"},
      {"Options", "[Evil]"},
      {"Options", ";k"},
      {"Options", ""},
      {"Options", std::string("a\0b", 3)}};
  for (const auto& [section, key] : names) {
    EXPECT_FALSE(WritePrivateProfileString(section, key, "v", path)) << section << "/" << key;
  }
  EXPECT_EQ(folder.Read("s.ini"), "[Options]\nk=1\n");
}

#ifndef _WIN32
TEST(ProfileFile, WriteKeepsPermissionBitsAndLinks) {
  TempFolder folder;
  folder.Write("s.ini", "[Options]\nk=1\n");
  fs::permissions(folder.File("s.ini"),
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink(folder.File("s.ini"), folder.File("link.ini"));
  ASSERT_TRUE(WritePrivateProfileString("Options", "k", "2", folder.File("link.ini")));
  EXPECT_TRUE(fs::is_symlink(folder.File("link.ini")));
  EXPECT_EQ(folder.Read("s.ini"), "[Options]\nk=2\n");
  EXPECT_EQ(fs::status(folder.File("s.ini")).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}
#endif

// Several processes save complete, different files at the same moment, many times, while
// another reads: every read and the final file are one whole version, and no temporary
// file is left behind.
// Runs work(0) … work(count - 1) at the same moment, each in a child process of its own;
// true when every one of them returned true.
#ifdef _WIN32
// Windows has no fork: threads of this process stand in for the processes. Writers take turns
// through a named mutex that serves threads and processes alike.
bool InChildProcesses(int count, const std::function<bool(int index)>& work) {
  std::vector<char> results(static_cast<std::size_t>(count), 0);
  std::vector<std::thread> threads;
  for (int index = 0; index < count; ++index) {
    threads.emplace_back([&, index] { results[static_cast<std::size_t>(index)] = work(index); });
  }
  for (std::thread& thread : threads) thread.join();
  return std::all_of(results.begin(), results.end(), [](char ok) { return ok != 0; });
}
#else
bool InChildProcesses(int count, const std::function<bool(int index)>& work) {
  std::vector<pid_t> children;
  for (int index = 0; index < count; ++index) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(work(index) ? 0 : 1);
    if (pid > 0) children.push_back(pid);
  }
  bool all = static_cast<int>(children.size()) == count;
  for (pid_t pid : children) {
    int status = 0;
    all = ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0 && all;
  }
  return all;
}
#endif

TEST(ProfileFile, ConcurrentWritersNeverMixOrTruncate) {
  TempFolder folder;
  const std::string path = folder.File("s.ini");
  const std::string other = "[Other]\nkeep=me\n";
  folder.Write("s.ini", other);
  constexpr int kWriters = 4;
  constexpr int kRounds = 40;
  auto valueOf = [](int writer) { return std::string(200000, static_cast<char>('a' + writer)); };

  EXPECT_TRUE(InChildProcesses(kWriters + 1, [&](int writer) {
    int failures = 0;
    if (writer == kWriters) {  // the reader
      for (int round = 0; round < kRounds * 4; ++round) {
        const std::string value = GetPrivateProfileString("Options", "Data", "", path);
        bool whole = value.empty();  // before the first save lands
        for (int w = 0; w < kWriters; ++w) whole = whole || value == valueOf(w);
        if (!whole || GetPrivateProfileString("Other", "keep", "", path) != "me") ++failures;
      }
    } else {
      for (int round = 0; round < kRounds; ++round) {
        if (!WritePrivateProfileString("Options", "Data", valueOf(writer), path)) ++failures;
      }
    }
    return failures == 0;
  }));

  const std::string file = folder.Read("s.ini");
  std::set<std::string> versions;
  for (int w = 0; w < kWriters; ++w)
    versions.insert(other + "[Options]\nData=" + valueOf(w) + "\n");
  EXPECT_EQ(versions.count(file), 1u) << "file of " << file.size() << " bytes is no whole version";
  EXPECT_EQ(GetPrivateProfileString("Other", "keep", "", path), "me");
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"s.ini"});
}

// Writers of different keys at the same moment do not lose each other's keys.
TEST(ProfileFile, ConcurrentWritersOfDifferentKeysKeepAll) {
  TempFolder folder;
  const std::string path = folder.File("s.ini");
  constexpr int kWriters = 4;
  EXPECT_TRUE(InChildProcesses(kWriters, [&](int writer) {
    bool ok = true;
    for (int round = 0; round < 25; ++round) {
      ok = WritePrivateProfileString("Options",
                                     "Key" + std::to_string(writer) + "_" + std::to_string(round),
                                     std::to_string(round), path) &&
           ok;
    }
    return ok;
  }));
  for (int writer = 0; writer < kWriters; ++writer) {
    for (int round = 0; round < 25; ++round) {
      EXPECT_EQ(
          GetPrivateProfileString(
              "Options", "Key" + std::to_string(writer) + "_" + std::to_string(round), "", path),
          std::to_string(round));
    }
  }
}

struct MultiWriteCase {
  const char* label;
  std::string before;  // "<none>": no file
  std::vector<std::pair<std::string, std::string>> entries;
  std::string after;
};

void PrintTo(const MultiWriteCase& c, std::ostream* os) { *os << c.label; }

class ProfileMultiWriteTest : public testing::TestWithParam<MultiWriteCase> {};

std::vector<ProfileEntry> EntriesOf(const std::vector<std::pair<std::string, std::string>>& list) {
  std::vector<ProfileEntry> entries;
  for (const auto& [key, value] : list) entries.push_back({key, value});
  return entries;
}

// The keys written at once give the file that writing them one by one gives.
TEST_P(ProfileMultiWriteTest, EqualsWritingTheKeysInTurn) {
  const MultiWriteCase& c = GetParam();
  TempFolder folder;
  if (c.before != "<none>") {
    folder.Write("at-once.ini", c.before);
    folder.Write("in-turn.ini", c.before);
  }
  ASSERT_TRUE(
      WritePrivateProfileStrings("Options", EntriesOf(c.entries), folder.File("at-once.ini")));
  for (const auto& [key, value] : c.entries)
    ASSERT_TRUE(WritePrivateProfileString("Options", key, value, folder.File("in-turn.ini")));
  EXPECT_EQ(folder.Read("at-once.ini"), c.after);
  EXPECT_EQ(folder.Read("in-turn.ini"), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileMultiWriteTest,
    testing::Values(
        // a fresh file holds the section, then the keys in the order given
        MultiWriteCase{"fresh",
                       "<none>",
                       {{"Default URL", "http://x"}, {"WindowX", "-15"}, {"WindowY", "12.5"}},
                       "[Options]\nDefault URL=http://x\nWindowX=-15\nWindowY=12.5\n"},
        // existing keys are replaced in place, a missing one goes right after the section's
        // last key line (before comments and blank lines), other sections stay as they were
        MultiWriteCase{"mixed",
                       "[A]\nk=1\n[options]\nwindowy=9\n; note\n\n[B]\nz=2\n",
                       {{"Default URL", "u"}, {"WindowX", "1"}, {"WindowY", "2"}},
                       "[A]\nk=1\n[options]\nwindowy=2\nDefault URL=u\nWindowX=1\n; note\n\n[B]"
                       "\nz=2\n"},
        // the same key twice: the later value wins, as it would written in turn
        MultiWriteCase{"repeated key", "<none>", {{"k", "1"}, {"K", "2"}}, "[Options]\nk=2\n"},
        // values are written as one key's write writes them, line style kept
        MultiWriteCase{"crlf and hostile values",
                       "[Options]\r\nk=1\r\n",
                       {{"k", "a\nb"}, {"j", "[Evil]"}, {"q", " x "}},
                       "[Options]\r\nk=a b\r\nj=[Evil]\r\nq=\" x \"\r\n"}),
    LabelOf<MultiWriteCase>);

// One refused name, or nothing to write, writes nothing at all: not even the valid keys.
TEST(ProfileFile, MultiWriteWithARefusedNameWritesNothing) {
  TempFolder folder;
  const std::string old = "[Options]\nk=1\n";
  folder.Write("s.ini", old);
  const std::vector<ProfileEntry> entries = {{"k", "2"}, {"a=b", "3"}};
  EXPECT_FALSE(WritePrivateProfileStrings("Options", entries, folder.File("s.ini")));
  EXPECT_FALSE(WritePrivateProfileStrings("Opt]ions", std::vector<ProfileEntry>{{"k", "2"}},
                                          folder.File("s.ini")));
  EXPECT_FALSE(WritePrivateProfileStrings("Options", {}, folder.File("s.ini")));
  EXPECT_FALSE(WritePrivateProfileStrings("Options", entries, folder.File("new.ini")));
  EXPECT_EQ(folder.Read("s.ini"), old);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"s.ini"});
}

// Several processes save their own URL and position as one change, many times, while another
// reads the file: every read and the final file hold the three keys of one writer, never one
// writer's URL with another's position.
TEST(ProfileFile, ConcurrentMultiWritersNeverMixKeys) {
  TempFolder folder;
  const std::string path = folder.File("s.ini");
  const std::string other = "[Other]\nkeep=me\n";
  folder.Write("s.ini", other);
  constexpr int kWriters = 4;
  constexpr int kRounds = 60;

  EXPECT_TRUE(InChildProcesses(kWriters + 1, [&](int writer) {
    int failures = 0;
    if (writer == kWriters) {  // the reader: one read of the file per look
      for (int round = 0; round < kRounds * 20; ++round) {
        // Read as the program reads: on Windows a reader that does not let the file be
        // replaced while it holds it would hold the writers up.
        std::string text;
        platform::profile_storage::Read(path, text);
        const std::string url = ProfileValue(text, "Options", "Default URL", "");
        const std::string x = ProfileValue(text, "Options", "WindowX", "");
        const std::string y = ProfileValue(text, "Options", "WindowY", "");
        const bool none = url.empty() && x.empty() && y.empty();  // before the first save
        const bool one = !url.empty() && url == "http://w" + x && x == y;
        if (!(none || one) || ProfileValue(text, "Other", "keep", "") != "me") ++failures;
      }
    } else {
      const std::string id = std::to_string(writer);
      const std::string url = "http://w" + id;
      const std::vector<ProfileEntry> entries = {
          {"Default URL", url}, {"WindowX", id}, {"WindowY", id}};
      for (int round = 0; round < kRounds; ++round) {
        if (!WritePrivateProfileStrings("Options", entries, path)) ++failures;
      }
    }
    return failures == 0;
  }));
  const std::string x = GetPrivateProfileString("Options", "WindowX", "", path);
  EXPECT_EQ(GetPrivateProfileString("Options", "Default URL", "", path), "http://w" + x);
  EXPECT_EQ(GetPrivateProfileString("Options", "WindowY", "", path), x);
  EXPECT_EQ(GetPrivateProfileString("Other", "keep", "", path), "me");
}

// Names outside ASCII reach the file system as they are: UTF-8 here, UTF-16 on Windows.
TEST(ProfileFile, NonAsciiPathsRoundTrip) {
  TempFolder folder;
  const std::string sub = "Z\xC3\xBCrich \xE6\x97\xA5\xE6\x9C\xAC";
  const std::u8string subWide(sub.begin(), sub.end());
  fs::create_directory(folder.path() / fs::path(subWide));
  const std::string path = folder.path().string() + platform::PathSeparator() + sub +
                           platform::PathSeparator() + "caf\xC3\xA9.ini";
  ASSERT_TRUE(WritePrivateProfileString("Options", "k", "v", path));
  EXPECT_EQ(GetPrivateProfileString("Options", "k", "", path), "v");
  EXPECT_TRUE(FileExists(path));
  EXPECT_TRUE(fs::is_regular_file(folder.path() / fs::path(subWide) / fs::path(u8"caf\u00e9.ini")));
}

#ifdef _WIN32
// The read-only attribute is Windows' "not writable": such a file is read, never replaced,
// and the write says why.
TEST(ProfileFile, ReadOnlyAttributeKeepsTheFile) {
  TempFolder folder;
  const std::string old = "[Options]\nk=old\n";
  folder.Write("ro.ini", old);
  const fs::perms writable =
      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  fs::permissions(folder.File("ro.ini"), writable, fs::perm_options::remove);
  const ProfileEntry entry{"k", "new"};
  std::string why;
  EXPECT_FALSE(
      WritePrivateProfileStrings("Options", std::span(&entry, 1), folder.File("ro.ini"), &why));
  EXPECT_FALSE(why.empty());
  EXPECT_EQ(GetPrivateProfileString("Options", "k", "", folder.File("ro.ini")), "old");
  fs::permissions(folder.File("ro.ini"), writable, fs::perm_options::add);
  EXPECT_EQ(folder.Read("ro.ini"), old);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"ro.ini"});
}
#endif

// A writer killed between creating its temporary file and the rename leaves that file; the
// next write removes it, and nothing that merely looks similar.
TEST(ProfileFile, WriteRemovesTemporaryFilesOfKilledWriters) {
  TempFolder folder;
  folder.Write("s.ini", "[Options]\nk=1\n");
  folder.Write(".s.ini.4242.0.123456", "[Options]\nk=half");
  folder.Write(".s.ini.4242.1.999", "");
  const std::vector<std::string> kept = {".s.ini.notes", ".s.ini.1.2", ".t.ini.4242.0.1",
                                         "s.ini.4242.0.1", ".s.ini.1.2.3.4"};
  for (const std::string& name : kept) folder.Write(name, "x");
  ASSERT_TRUE(WritePrivateProfileString("Options", "k", "2", folder.File("s.ini")));
  std::vector<std::string> expected = kept;
  expected.push_back("s.ini");
  std::vector<std::string> names = folder.Names();
  std::sort(expected.begin(), expected.end());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, expected);
  EXPECT_EQ(folder.Read("s.ini"), "[Options]\nk=2\n");
}

}  // namespace
