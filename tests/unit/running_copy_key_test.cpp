// The running-copy key of a settings file: paths that name one file give one key whatever their
// spelling (relative, with "." and "..", "/" or "\", letter case on Windows, a linked folder on
// other systems); paths to different files give different keys.
#include "platform/services/RunningCopyKey.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <filesystem>
#include <regex>
#include <string>

#include "platform/services/FileSystem.h"

namespace {

using platform::NormalisedPath;
using enum platform::PathStyle;

struct PathCase {
  platform::PathStyle style;
  const char* path;
  const char* currentFolder;
  const char* normalised;
};

void PrintTo(const PathCase& c, std::ostream* os) { *os << c.path << " in " << c.currentFolder; }

class NormalisedPaths : public testing::TestWithParam<PathCase> {};

TEST_P(NormalisedPaths, SpellOneFileOneWay) {
  const PathCase& c = GetParam();
  EXPECT_EQ(NormalisedPath(c.path, c.currentFolder, c.style), c.normalised);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NormalisedPaths,
    testing::Values(
        PathCase{Posix, "/opt/t/RSS_settings.ini", "/home/u", "/opt/t/RSS_settings.ini"},
        PathCase{Posix, "RSS_settings.ini", "/home/u", "/home/u/RSS_settings.ini"},
        PathCase{Posix, "./a/../b//c/.", "/home/u/", "/home/u/b/c"},
        // ".." at the root stays there; "//" at the start is the root on Linux.
        PathCase{Posix, "/../a", "/", "/a"}, PathCase{Posix, "//a", "/", "/a"},
        // Letter case counts, and "\" is part of a name.
        PathCase{Posix, "/", "/x", "/"}, PathCase{Posix, "/Opt/a\\b", "/", "/Opt/a\\b"},
        PathCase{Windows, "C:\\Program Files\\T\\RSS_settings.ini", "D:\\",
                 "c:\\program files\\t\\rss_settings.ini"},
        PathCase{Windows, "c:/PROGRAM FILES//t/./x/../RSS_SETTINGS.INI", "D:\\",
                 "c:\\program files\\t\\rss_settings.ini"},
        PathCase{Windows, "C:\\..\\f.ini", "D:\\", "c:\\f.ini"},
        PathCase{Windows, "C:", "D:\\", "c:\\"},
        PathCase{Windows, "f.ini", "D:\\Work", "d:\\work\\f.ini"},
        // Rooted without a drive: the current folder's drive or share.
        PathCase{Windows, "\\f.ini", "D:\\Work", "d:\\f.ini"},
        PathCase{Windows, "/f.ini", "\\\\Srv\\Share\\Work", "\\\\srv\\share\\f.ini"},
        // A drive without a separator: the current folder on that drive, else its root.
        PathCase{Windows, "d:f.ini", "D:\\Work", "d:\\work\\f.ini"},
        PathCase{Windows, "E:f.ini", "D:\\Work", "e:\\f.ini"},
        // ".." never climbs above a share.
        PathCase{Windows, "\\\\Srv\\Share\\..\\F.ini", "C:\\", "\\\\srv\\share\\f.ini"},
        PathCase{Windows, "//srv//share", "C:\\", "\\\\srv\\share\\"},
        // Letters beyond ASCII are the system's to fold (ResolvedPath); their bytes stay.
        PathCase{Windows, "C:\\\xC3\x9C\\A", "C:\\", "c:\\\xC3\x9C\\a"}));

TEST(RunningCopyKey, IsShortPlainAndTellsPathsApart) {
  const std::string key = platform::RunningCopyKey("/home/u/RSS_settings.ini");
  EXPECT_TRUE(std::regex_match(key, std::regex("ticker-[0-9a-f]{16}"))) << key;
  EXPECT_EQ(platform::RunningCopyKey("/home/u/RSS_settings.ini"), key);
  EXPECT_NE(platform::RunningCopyKey("/home/v/RSS_settings.ini"), key);
  EXPECT_NE(platform::RunningCopyKey("/home/u/RSS_settings.ini2"), key);
}

#ifndef _WIN32
// A folder reached through a link is the folder itself, whether the file exists yet or not.
TEST(ResolvedPath, FollowsLinksInTheExistingPart) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / ("running-copy-" + std::to_string(getpid()));
  fs::create_directories(root / "real");
  fs::create_directory_symlink(root / "real", root / "link");
  const std::string real = fs::canonical(root / "real").string();
  EXPECT_EQ(platform::ResolvedPath((root / "link/RSS_settings.ini").string()),
            real + "/RSS_settings.ini");
  EXPECT_EQ(platform::ResolvedPath((root / "link/new/../f").string()), real + "/f");
  fs::remove_all(root);
}
#else
TEST(ResolvedPath, IsFullLongAndInLowerCase) {
  EXPECT_EQ(platform::ResolvedPath("C:/WINDOWS/System32/../New.ini"), "c:\\windows\\new.ini");
}
#endif

}  // namespace
