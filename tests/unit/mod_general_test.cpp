// The settings-file functions of modGeneral as start-up and the save use them.
#include "app/modGeneral.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "app/NumberText.h"
#include "platform/program/Application.h"

namespace fs = std::filesystem;

namespace {

class ModGeneralTest : public testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    folder_ = fs::temp_directory_path() /
              ("mod_general_test_" + std::to_string(getpid()) + "_" + std::to_string(random()));
    fs::create_directories(folder_);
    ini_ = AddBackslash(folder_.string()) + "RSS_settings.ini";
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  std::string Contents() const {
    std::ifstream in(ini_, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

  fs::path folder_;
  std::string ini_;
};

// The save sequence on a first close creates the file with the three keys in order.
TEST_F(ModGeneralTest, FirstSaveCreatesTheFile) {
  EXPECT_EQ(ReadIni("Options", "Default URL", ini_), "");
  EXPECT_EQ(WriteIni("Options", "Default URL", "http://www.home.test/rss.php", ini_), 1);
  EXPECT_EQ(WriteIni("Options", "WindowX", FormatNumber(-1500.0f), ini_), 1);
  EXPECT_EQ(WriteIni("Options", "WindowY", FormatNumber(12.5f), ini_), 1);
  EXPECT_EQ(Contents(),
            "[Options]\nDefault URL=http://www.home.test/rss.php\nWindowX=-1500\nWindowY=12.5\n");
  EXPECT_EQ(ReadIni("options", "default url", ini_), "http://www.home.test/rss.php");
}

TEST_F(ModGeneralTest, FailedWriteReportsZero) {
  fs::create_directory(ini_);
  EXPECT_EQ(WriteIni("Options", "WindowX", "1", ini_), 0);
  EXPECT_EQ(WriteIni("Options", "WindowX", "1", (folder_ / "none" / "s.ini").string()), 0);
}

// A URL far beyond 254 characters is read back whole.
TEST_F(ModGeneralTest, LongUrlIsNotCut) {
  const std::string url = "http://www.home.test/rss.php?q=" + std::string(1000, 'z');
  ASSERT_EQ(WriteIni("Options", "Default URL", url, ini_), 1);
  EXPECT_EQ(ReadIni("Options", "Default URL", ini_), url);
}

// Positions written and read back: negative, fractional, large, and the edge values.
TEST_F(ModGeneralTest, PositionsRoundTrip) {
  for (float position : {0.0f, -1500.0f, 12.5f, -0.5f, 8175.0f, 1e10f, -30720.25f, 1234567.0f}) {
    ASSERT_EQ(WriteIni("Options", "WindowX", FormatNumber(position), ini_), 1);
    EXPECT_EQ(static_cast<float>(ReadNumber(ReadIni("Options", "WindowX", ini_))), position)
        << ReadIni("Options", "WindowX", ini_);
  }
}

// Hand-edited positions read leniently.
TEST_F(ModGeneralTest, HandWrittenPositions) {
  std::ofstream(ini_) << "[Options]\r\nWindowX = 12,5\r\nWindowY=  -300\r\n";
  EXPECT_DOUBLE_EQ(ReadNumber(ReadIni("Options", "WindowX", ini_)), 12.0);
  EXPECT_DOUBLE_EQ(ReadNumber(ReadIni("Options", "WindowY", ini_)), -300.0);
  EXPECT_DOUBLE_EQ(ReadNumber(ReadIni("Options", "Missing", ini_)), 0.0);
}

// In the cases, '|' stands for the platform's separator and '~' for the other one ('/' or
// '\\'), which this platform does not count as a separator here.
struct SeparatorCase {
  const char* path;
  const char* expected;
};

void PrintTo(const SeparatorCase& c, std::ostream* os) { *os << c.path; }

std::string ForThisPlatform(std::string path) {
  const char separator = platform::PathSeparator();
  for (char& c : path) {
    if (c == '|') c = separator;
    if (c == '~') c = separator == '/' ? '\\' : '/';
  }
  return path;
}

class AddBackslashTest : public testing::TestWithParam<SeparatorCase> {};

TEST_P(AddBackslashTest, EndsInOneSeparator) {
  EXPECT_EQ(AddBackslash(ForThisPlatform(GetParam().path)), ForThisPlatform(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, AddBackslashTest,
                         testing::Values(
                             // the root and the empty path
                             SeparatorCase{"|", "|"}, SeparatorCase{"", "|"},
                             // with and without the separator already at the end
                             SeparatorCase{"|opt|ticker", "|opt|ticker|"},
                             SeparatorCase{"|opt|ticker|", "|opt|ticker|"},
                             // only the last character counts; the other one is no separator
                             SeparatorCase{"|opt||", "|opt||"},
                             SeparatorCase{"C:~ticker~", "C:~ticker~|"}));

}  // namespace
