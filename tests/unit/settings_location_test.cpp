// Where the settings file is read and written: the decision from the facts, the facts from
// real folders (as an unprivileged user where the test runs as root), reading a key from the
// first file that holds it, and the creation of the user's folder.
#include "app/SettingsFile.h"
#include "app/SettingsLocation.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <process.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "app/modGeneral.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kProgram = "/opt/ticker/RSS_settings.ini";
constexpr const char* kUser = "/home/u/.config/TallowmereTicker/RSS_settings.ini";

struct DecisionCase {
  const char* label;
  bool fileExists;
  bool fileWritable;
  bool folderWritable;
  const char* userFile;
  std::string writeTo;
  std::vector<std::string> readOrder;
};

void PrintTo(const DecisionCase& c, std::ostream* os) { *os << c.label; }

class SettingsDecision : public testing::TestWithParam<DecisionCase> {};

TEST_P(SettingsDecision, ChoosesTheFiles) {
  const DecisionCase& c = GetParam();
  const SettingsFiles files =
      ChooseSettingsFiles({kProgram, c.fileExists, c.fileWritable, c.folderWritable, c.userFile});
  EXPECT_EQ(files.writeTo, c.writeTo);
  EXPECT_EQ(files.readOrder, c.readOrder);
}

std::string LabelOf(const testing::TestParamInfo<DecisionCase>& info) {
  std::string name = info.param.label;
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsDecision,
    testing::Values(
        // A copy in a folder of the user's own: the settings travel with it.
        DecisionCase{"writable folder, no file", false, false, true, kUser, kProgram, {kProgram}},
        DecisionCase{"writable folder and file", true, true, true, kUser, kProgram, {kProgram}},
        // Installed: the folder takes no files, the user's folder does.
        DecisionCase{
            "read-only folder, no file", false, false, false, kUser, kUser, {kUser, kProgram}},
        // A writable file is the one written, wherever it lies.
        DecisionCase{
            "read-only folder, writable file", true, true, false, kUser, kProgram, {kProgram}},
        // A file the user cannot write holds defaults: read under the user's own values.
        DecisionCase{
            "read-only folder and file", true, false, false, kUser, kUser, {kUser, kProgram}},
        DecisionCase{
            "writable folder, read-only file", true, false, true, kUser, kUser, {kUser, kProgram}},
        // Without a user folder the program's folder is all there is.
        DecisionCase{"no user folder", false, false, false, "", kProgram, {kProgram}},
        DecisionCase{
            "no user folder, read-only file", true, false, false, "", kProgram, {kProgram}}),
    LabelOf);

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder() {
    std::random_device random;
    path_ = fs::temp_directory_path() /
            ("settings_location_test_" + std::to_string(getpid()) + "_" + std::to_string(random()));
    fs::create_directories(path_);
    fs::permissions(path_, fs::perms::all);
  }
  ~TempFolder() {
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(path_, ignored)) {
      if (entry.is_directory(ignored))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(path_, ignored);
  }
  std::string Path(const std::string& name) const { return (path_ / name).string(); }
  void Write(const std::string& name, const std::string& text) const {
    std::ofstream(Path(name), std::ios::binary) << text;
  }

 private:
  fs::path path_;
};

#ifndef _WIN32
// Runs check with permission bits in force: as is for an ordinary user, as "nobody" in a
// child process under root, which ignores them.
bool Unprivileged(const std::function<bool()>& check) {
  if (::geteuid() != 0) return check();
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
    ::_exit(check() ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

constexpr fs::perms kReadOnlyFolder = fs::perms::owner_read | fs::perms::owner_exec |
                                      fs::perms::group_read | fs::perms::group_exec |
                                      fs::perms::others_read | fs::perms::others_exec;
constexpr fs::perms kWritableByAll = fs::perms::owner_read | fs::perms::owner_write |
                                     fs::perms::group_read | fs::perms::group_write |
                                     fs::perms::others_read | fs::perms::others_write;

// The facts as the file system gives them, to a user whom the permission bits bind.
TEST(SettingsPlacesOnDisk, FindsWhatTheUserMayWrite) {
  TempFolder folder;
  for (const char* name : {"open", "ro", "ro-writable", "ro-readonly", "ro-folder"}) {
    fs::create_directory(folder.Path(name));
  }
  fs::permissions(folder.Path("open"), fs::perms::all);
  folder.Write("ro-writable/s.ini", "[Options]\n");
  fs::permissions(folder.Path("ro-writable/s.ini"), kWritableByAll);
  folder.Write("ro-readonly/s.ini", "[Options]\n");
  fs::permissions(folder.Path("ro-readonly/s.ini"), fs::perms::owner_read | fs::perms::others_read);
  fs::create_directory(folder.Path("ro-folder/s.ini"));
  for (const char* name : {"ro", "ro-writable", "ro-readonly", "ro-folder"}) {
    fs::permissions(folder.Path(name), kReadOnlyFolder);
  }
  const std::string user = folder.Path("config/TallowmereTicker");

  EXPECT_TRUE(Unprivileged([&] {
    const auto open = FindSettingsPlaces(folder.Path("open"), user, "s.ini");
    const auto ro = FindSettingsPlaces(folder.Path("ro"), user, "s.ini");
    const auto writable = FindSettingsPlaces(folder.Path("ro-writable"), user, "s.ini");
    const auto readOnly = FindSettingsPlaces(folder.Path("ro-readonly"), user, "s.ini");
    const auto aFolder = FindSettingsPlaces(folder.Path("ro-folder"), user, "s.ini");
    const auto noUser = FindSettingsPlaces(folder.Path("ro") + "/", "", "s.ini");
    return open.programFile == folder.Path("open/s.ini") && !open.programFileExists &&
           open.programFolderWritable && open.userFile == user + "/s.ini" &&
           !ro.programFileExists && !ro.programFolderWritable && writable.programFileExists &&
           writable.programFileWritable && !writable.programFolderWritable &&
           readOnly.programFileExists && !readOnly.programFileWritable &&
           aFolder.programFileExists && !aFolder.programFileWritable &&
           noUser.programFile == folder.Path("ro/s.ini") && noUser.userFile.empty();
  }));
}

#endif  // permission bits

TEST(SettingsRead, TakesEachKeyFromTheFirstFileThatHoldsIt) {
  TempFolder folder;
  folder.Write("user.ini", "[Options]\nWindowX=10\nDefault URL=\n");
  folder.Write("defaults.ini", "[Options]\nWindowX=1\nWindowY=2\nDefault URL=http://d/\n");
  const std::vector<std::string> files = {folder.Path("user.ini"), folder.Path("defaults.ini")};
  EXPECT_EQ(ReadSettingsKey(files, "Options", "WindowX"), "10");
  EXPECT_EQ(ReadSettingsKey(files, "Options", "WindowY"), "2");
  // Present but empty in the user's file: the user's choice, not a gap.
  EXPECT_EQ(ReadSettingsKey(files, "Options", "Default URL"), "");
  EXPECT_EQ(ReadSettingsKey(files, "Options", "Other"), "");
  EXPECT_EQ(ReadSettingsKey({folder.Path("none.ini"), folder.Path("defaults.ini")}, "Options",
                            "Default URL"),
            "http://d/");
  EXPECT_EQ(ReadSettingsKey({}, "Options", "WindowX"), "");
}

// The record under its keys: saved whole (its folder made first) and read back; a position
// that is no number is 0, one beyond any screen kept within reach.
TEST(SettingsRecord, IsSavedUnderItsKeysAndReadBack) {
  TempFolder folder;
  const std::string file = folder.Path("sub/RSS_settings.ini");
  std::string why;
  ASSERT_TRUE(SaveSettings({"http://x.example/rss.php", -1500, 12.5f}, file, why)) << why;
  EXPECT_EQ(ReadSettingsKey({file}, "Options", "Default URL"), "http://x.example/rss.php");
  EXPECT_EQ(ReadSettingsKey({file}, "Options", "WindowX"), "-1500");
  const Settings read = ReadSettings({file});
  EXPECT_EQ(read.url, "http://x.example/rss.php");
  EXPECT_EQ(read.windowX, -1500);
  EXPECT_EQ(read.windowY, 12.5f);
  folder.Write("odd.ini", "[Options]\nWindowX=abc\nWindowY=99999999999\n");
  const Settings odd = ReadSettings({folder.Path("odd.ini")});
  EXPECT_EQ(odd.url, "");
  EXPECT_EQ(odd.windowX, 0);
  EXPECT_EQ(odd.windowY, 1e9f);
}

TEST(SettingsFolder, FolderOfAFile) {
  EXPECT_EQ(FolderOf("/home/u/.config/T/RSS_settings.ini"), "/home/u/.config/T");
  EXPECT_EQ(FolderOf("/RSS_settings.ini"), "/");
  EXPECT_EQ(FolderOf("RSS_settings.ini"), ".");
  EXPECT_EQ(FolderOf("rel/RSS_settings.ini"), "rel");
}

TEST(SettingsFolder, CreatesTheMissingFoldersForTheUserAlone) {
  TempFolder folder;
  fs::create_directory(folder.Path("home"));
  std::string why;
  ASSERT_TRUE(CreateFolders(folder.Path("home/.config/TallowmereTicker"), why)) << why;
  EXPECT_TRUE(fs::is_directory(folder.Path("home/.config/TallowmereTicker")));
#ifndef _WIN32
  for (const char* created : {"home/.config", "home/.config/TallowmereTicker"}) {
    EXPECT_EQ(fs::status(folder.Path(created)).permissions(), fs::perms::owner_all) << created;
  }
#endif
  // Folders that exist are left as they are; doing it again is no failure.
  EXPECT_TRUE(CreateFolders(folder.Path("home/.config/TallowmereTicker"), why));
  EXPECT_TRUE(CreateFolders(folder.Path("home") + "/", why));
}

TEST(SettingsFolder, SaysWhyAFolderCannotBeMade) {
  TempFolder folder;
  folder.Write("file", "x");
  std::string why;
  EXPECT_FALSE(CreateFolders(folder.Path("file/sub"), why));
  EXPECT_EQ(why, folder.Path("file") + ": Not a directory");
#ifndef _WIN32
  fs::create_directory(folder.Path("ro"));
  fs::permissions(folder.Path("ro"), kReadOnlyFolder);
  EXPECT_TRUE(Unprivileged([&] {
    std::string reason;
    return !CreateFolders(folder.Path("ro/a/b"), reason) &&
           reason == folder.Path("ro/a") + ": Permission denied";
  }));
  EXPECT_FALSE(fs::exists(folder.Path("ro/a")));
#endif
  EXPECT_FALSE(CreateFolders("", why));
}

}  // namespace

#ifndef _WIN32
// Root can write /usr/bin, but a copy installed there must not keep one settings file for
// every user: shared program folders only ever hold read-only defaults.
TEST(SettingsPlacesFound, SharedProgramFoldersTakeNoFilesEvenForTheAdministrator) {
  for (const char* shared : {"/usr/bin", "/usr/bin/", "/bin", "/usr/local/bin"}) {
    SCOPED_TRACE(shared);
    EXPECT_TRUE(IsSharedProgramFolder(shared));
    const auto places = FindSettingsPlaces(shared, "/home/u/.config/TallowmereTicker", "s.ini");
    EXPECT_FALSE(places.programFolderWritable);
    EXPECT_FALSE(places.programFileWritable);
    EXPECT_EQ(ChooseSettingsFiles(places).writeTo, "/home/u/.config/TallowmereTicker/s.ini");
  }
  TempFolder folder;
  EXPECT_FALSE(IsSharedProgramFolder(folder.Path("")));
  EXPECT_FALSE(IsSharedProgramFolder("/usr"));
  EXPECT_FALSE(IsSharedProgramFolder("/no/such/folder"));
}
#endif

#ifdef _WIN32
// On Windows a file's read-only attribute is what makes it the user's defaults.
TEST(SettingsPlacesOnDisk, AReadOnlyFileIsNotWritable) {
  TempFolder folder;
  folder.Write("s.ini", "[Options]\n");
  fs::permissions(folder.Path("s.ini"), fs::perms::owner_write, fs::perm_options::remove);
  const std::string user = folder.Path("user");
  const auto places = FindSettingsPlaces(folder.Path(""), user, "s.ini");
  EXPECT_TRUE(places.programFileExists);
  EXPECT_FALSE(places.programFileWritable);
  EXPECT_TRUE(places.programFolderWritable);
  EXPECT_EQ(ChooseSettingsFiles(places).writeTo, user + "\\s.ini");
  fs::permissions(folder.Path("s.ini"), fs::perms::owner_write, fs::perm_options::add);
  const auto again = FindSettingsPlaces(folder.Path(""), user, "s.ini");
  EXPECT_TRUE(again.programFileWritable);
  EXPECT_EQ(ChooseSettingsFiles(again).writeTo, AddBackslash(folder.Path("")) + "s.ini");
}

TEST(SettingsFolder, FolderOfAWindowsPath) {
  EXPECT_EQ(FolderOf("C:\\Users\\u\\AppData\\Roaming\\T\\RSS_settings.ini"),
            "C:\\Users\\u\\AppData\\Roaming\\T");
  EXPECT_EQ(FolderOf("C:\\RSS_settings.ini"), "C:\\");
  EXPECT_EQ(FolderOf("C:/T/RSS_settings.ini"), "C:/T");
}

TEST(SettingsFolder, CreatesFoldersAlongABackslashPath) {
  TempFolder folder;
  std::string why;
  const std::string path = folder.Path("") + "\\a\\b\\TallowmereTicker";
  ASSERT_TRUE(CreateFolders(path, why)) << why;
  EXPECT_TRUE(fs::is_directory(path));
  EXPECT_TRUE(CreateFolders(path, why));
}

// A copy under Program Files holds defaults only: its settings go to the user's folder.
TEST(SettingsPlacesFound, ProgramFilesTakeNoFiles) {
  const char* programFiles = std::getenv("ProgramFiles");
  ASSERT_NE(programFiles, nullptr);
  EXPECT_TRUE(IsSharedProgramFolder(programFiles));
  const std::string inside = std::string(programFiles) + "\\TickerTest";
  fs::create_directory(inside);
  EXPECT_TRUE(IsSharedProgramFolder(inside));
  EXPECT_FALSE(FindSettingsPlaces(inside, "C:\\user", "s.ini").programFolderWritable);
  fs::remove(inside);
  TempFolder folder;
  EXPECT_FALSE(IsSharedProgramFolder(folder.Path("")));
  EXPECT_FALSE(IsSharedProgramFolder(std::string(programFiles) + " Extra"));
}
#endif
