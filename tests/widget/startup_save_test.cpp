// Start-up and save of the strip window against real settings files in a temporary program
// folder.
#include <gtest/gtest.h>

#include <unistd.h>

#include <QByteArray>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/NumberText.h"
#include "platform/program/Application.h"
#include "platform/services/Profile.h"
#include "widget/support/TickerHarness.h"

namespace {

// A feed URL inside the home domain that nobody answers (the fake download has nothing put for
// it): the load fails at once.
const std::string kDeadHomeUrl = "http://127.0.0.1:9/tallowmere.example/feed.php";

std::string Key(const TickerHarness& h, const char* key) {
  return platform::GetPrivateProfileString("Options", key, "<missing>", h.SettingsPath());
}

TEST(StartUp, WithoutSettingsFileUsesDefaultsAndTheFirstCloseCreatesTheFile) {
  TickerHarness h;
  h.Start();
  EXPECT_EQ(h.ticker().Width(), 8175);
  EXPECT_EQ(h.ticker().BackColor(), 0xE0E0E0u);
  EXPECT_EQ(h.ticker().strUrl, DEFAULT_FEED_URL);
  ASSERT_EQ(h.options().cboURL.ListCount(), 1);
  EXPECT_EQ(h.options().cboURL.List(0), DEFAULT_FEED_URL);
  EXPECT_EQ(h.ticker().settingsFile(), h.Folder() + "/RSS_settings.ini");
  EXPECT_TRUE(h.ticker().tmrScroll.Enabled());
  EXPECT_FALSE(h.SettingsExist());

  EXPECT_TRUE(h.ticker().Unload());
  EXPECT_EQ(h.programEnds, 1);
  const std::string text = h.ReadSettings();
  const auto section = text.find("[Options]");
  const auto url = text.find("Default URL=");
  const auto x = text.find("WindowX=");
  const auto y = text.find("WindowY=");
  ASSERT_NE(section, std::string::npos) << text;
  EXPECT_LT(section, url);
  EXPECT_LT(url, x);
  EXPECT_LT(x, y);
  // The dialog was never opened: the URL in use is saved, not its empty box.
  EXPECT_EQ(Key(h, "Default URL"), DEFAULT_FEED_URL);
}

TEST(StartUp, HeaderOnlyPutsTheWindowAtTheTopLeftWithTheDefaultUrl) {
  TickerHarness h;
  h.WriteSettings("[Options]\n");
  h.Start();
  EXPECT_EQ(h.ticker().Left(), 0);
  EXPECT_EQ(h.ticker().Top(), 0);
  EXPECT_EQ(h.ticker().strUrl, DEFAULT_FEED_URL);
  EXPECT_EQ(h.options().cboURL.ListCount(), 1);
}

struct SavedUrlCase {
  const char* name;
  std::string saved;
  bool accepted;
};

void PrintTo(const SavedUrlCase& c, std::ostream* os) { *os << c.name; }

class SavedUrl : public testing::TestWithParam<SavedUrlCase> {};

TEST_P(SavedUrl, IsUsedOnlyWhenNotEmptyNotTheDefaultAndInTheHomeDomain) {
  const SavedUrlCase& c = GetParam();
  TickerHarness h;
  h.WriteSettings(SettingsText(c.saved, "30", "45"));
  h.Start();
  EXPECT_TRUE(h.messages.empty()) << "no refusal box at start-up";
  if (c.accepted) {
    ASSERT_EQ(h.options().cboURL.ListCount(), 2);
    EXPECT_EQ(h.options().cboURL.List(1), c.saved);
    EXPECT_EQ(h.ticker().strUrl, c.saved);
  } else {
    EXPECT_EQ(h.options().cboURL.ListCount(), 1);
    EXPECT_EQ(h.ticker().strUrl, DEFAULT_FEED_URL);  // in its built-in letter case
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SavedUrl,
    testing::Values(
        SavedUrlCase{"Empty", "", false},
        SavedUrlCase{"DefaultInOtherCase", "HTTP://WWW.TALLOWMERE.EXAMPLE/RSS.PHP", false},
        SavedUrlCase{"OutsideHomeDomain", "http://127.0.0.1:9/elsewhere.example/rss.php", false},
        SavedUrlCase{"HomeDomainInPath", kDeadHomeUrl, true},
        SavedUrlCase{"HomeDomainInOtherCaseInQuery",
                     "http://127.0.0.1:9/feed.php?site=TALLOWMERE.Example", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Save, KeepsTheAcceptedUrlWhenTheDialogWasNeverOpened) {
  TickerHarness h;
  h.WriteSettings(SettingsText(kDeadHomeUrl));
  h.Start();
  h.ticker().Unload();
  EXPECT_EQ(Key(h, "Default URL"), kDeadHomeUrl);
}

TEST(Save, WritesTheDialogsBoxOnceItWasOpenedEvenWhenEmptied) {
  TickerHarness h;
  h.WriteSettings(SettingsText(kDeadHomeUrl));
  h.Start();
  h.ticker().picTicker.MouseDown(platform::vbRightButton, 0, 100, 100);  // opens the dialog
  ASSERT_TRUE(h.options().Visible());
  h.options().cboURL.setText("");
  h.ticker().Unload();
  EXPECT_EQ(Key(h, "Default URL"), "");
}

TEST(Save, AUrlLongerThan254CharactersComesBackWhole) {
  const std::string url = kDeadHomeUrl + "?q=" + std::string(400, 'x');
  TickerHarness h;
  h.WriteSettings(SettingsText(url));
  h.Start();
  EXPECT_EQ(h.ticker().strUrl, url);
  h.ticker().Unload();
  h.Start();
  EXPECT_EQ(h.ticker().strUrl, url);
}

struct PositionCase {
  const char* name;
  std::string x;
  std::string y;
  float left;
  float top;
};

void PrintTo(const PositionCase& c, std::ostream* os) { *os << c.name; }

class SavedPosition : public testing::TestWithParam<PositionCase> {};

TEST_P(SavedPosition, IsReadLeniently) {
  const PositionCase& c = GetParam();
  TickerHarness h;
  h.WriteSettings(SettingsText(kDeadHomeUrl, c.x, c.y));
  h.Start();
  EXPECT_EQ(h.ticker().Left(), c.left);
  EXPECT_EQ(h.ticker().Top(), c.top);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SavedPosition,
    testing::Values(PositionCase{"Plain", "1500", "3000", 1500, 3000},
                    PositionCase{"Fraction", "12.5", "7.5", 12.5f, 7.5f},
                    PositionCase{"CommaStopsTheNumber", "12,5", "30", 12, 30},
                    PositionCase{"Letters", "abc", "x1", 0, 0},
                    PositionCase{"Blanks", "  1 500", " 45", 1500, 45},
                    // Partly off the left and top edges: the user's choice, kept.
                    PositionCase{"Negative", "-300", "-45", -300, -45}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SavedPosition, WhollyOffEveryScreenComesBackToThePrimaryWorkArea) {
  TickerHarness h;
  h.WriteSettings(SettingsText(kDeadHomeUrl, "-9000000", "9000000"));
  h.fakes.screens.workArea = {1200, 450, 14000, 11000};
  h.Start();
  const auto area = h.fakes.screens.workArea;
  EXPECT_EQ(h.ticker().Left(), area.left);
  EXPECT_EQ(h.ticker().Top(), area.top);
}

// Two screens side by side, a panel along the top of the first: a saved position on either
// screen, even partly off it, is the user's choice; one on neither comes back to the work area.
struct ScreenCase {
  const char* name;
  platform::Twips x, y;
  bool kept;
};

void PrintTo(const ScreenCase& c, std::ostream* os) { *os << c.name; }

class SavedPositionOnScreens : public testing::TestWithParam<ScreenCase> {};

TEST_P(SavedPositionOnScreens, StaysWhenItMeetsAScreen) {
  const ScreenCase& c = GetParam();
  TickerHarness h;
  h.fakes.screens.areas = {{0, 0, 15360, 11520}, {15360, 0, 15360, 11520}};
  h.fakes.screens.workArea = {0, 450, 15360, 11070};
  h.WriteSettings(SettingsText(kDeadHomeUrl, FormatNumber(c.x), FormatNumber(c.y)));
  h.Start();
  EXPECT_EQ(h.ticker().Left(), c.kept ? c.x : 0);
  EXPECT_EQ(h.ticker().Top(), c.kept ? c.y : 450);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SavedPositionOnScreens,
    testing::Values(ScreenCase{"OnTheSecondScreen", 20000, 3000, true},
                    ScreenCase{"PartlyLeftOfTheFirst", -1000, 100, true},
                    // the window's left edge one twip inside the second screen's right edge
                    ScreenCase{"LastTwipOfTheSecond", 30719, 100, true},
                    ScreenCase{"JustRightOfBoth", 30720, 100, false},
                    ScreenCase{"BelowBoth", 100, 11520, false},
                    ScreenCase{"AboveBoth", 100, -5000, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Save, RoundTripsThePositionAndKeepsOtherSectionsAndKeys) {
  TickerHarness h;
  h.WriteSettings("; kept\r\n[Other]\r\nName=Value\r\n[Options]\r\nDefault URL=" + kDeadHomeUrl +
                  "\r\nWindowX=0\r\nWindowY=0\r\nExtra=1\r\n");
  h.Start();
  h.ticker().Move(-300, 1234.5f);
  h.ticker().Unload();
  EXPECT_EQ(Key(h, "WindowX"), "-300");
  EXPECT_EQ(Key(h, "WindowY"), "1234.5");
  EXPECT_EQ(platform::GetPrivateProfileString("Other", "Name", "", h.SettingsPath()), "Value");
  EXPECT_EQ(Key(h, "Extra"), "1");
  EXPECT_NE(h.ReadSettings().find("; kept\r\n"), std::string::npos);

  h.Start();
  EXPECT_EQ(h.ticker().Left(), -300);
  EXPECT_EQ(h.ticker().Top(), 1234.5f);
  EXPECT_EQ(h.ticker().strUrl, kDeadHomeUrl);
}

TEST(StartUp, AProgramFolderAtTheRootGetsASingleSeparator) {
  TickerHarness h;
  platform::SetAppPath("/");
  const bool existed = std::filesystem::exists("/RSS_settings.ini");
  h.Start();
  // Only root may write at the root; anyone else saves in the user's folder.
  EXPECT_EQ(h.ticker().settingsFile(),
            ::access("/", W_OK) == 0 ? "/RSS_settings.ini" : h.UserSettingsPath());
  h.Destroy();  // without a close: nothing is written at the root
  if (!existed) {
    EXPECT_FALSE(std::filesystem::exists("/RSS_settings.ini"));
  }
}

TEST(StartUp, BadSettingsFilesReadAsMissingKeys) {
  TickerHarness h;
  std::filesystem::create_directory(h.SettingsPath());  // a folder with the file's name
  h.Start();
  EXPECT_EQ(h.ticker().strUrl, DEFAULT_FEED_URL);
  testing::internal::CaptureStderr();
  h.ticker().Unload();  // the write fails, and says so in one line
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "ticker: settings not saved to " + h.SettingsPath() +
                ": a folder has the settings file's name\n");
  EXPECT_TRUE(std::filesystem::is_directory(h.SettingsPath()));
  EXPECT_EQ(h.programEnds, 1);
}

// A program folder that takes no files (here: one that is not there at all): the settings go
// to the user's configuration folder, which the first save creates, and come back from it.
TEST(SettingsLocation, AProgramFolderThatTakesNoFilesSavesInTheUsersFolder) {
  TickerHarness h;
  const std::string gone = h.Folder() + "/gone";
  platform::SetAppPath(gone);
  h.Start();
  EXPECT_EQ(h.ticker().settingsFile(), h.UserSettingsPath());
  EXPECT_FALSE(std::filesystem::exists(h.UserConfigFolder() + "/" PRODUCT_NAME));
  h.ticker().strUrl = kDeadHomeUrl;
  h.ticker().Move(-450, 3000);
  testing::internal::CaptureStderr();
  h.ticker().Unload();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(platform::GetPrivateProfileString("Options", "Default URL", "", h.UserSettingsPath()),
            kDeadHomeUrl);
  EXPECT_EQ(platform::GetPrivateProfileString("Options", "WindowX", "", h.UserSettingsPath()),
            "-450");
  EXPECT_FALSE(std::filesystem::exists(gone));

  h.Start();
  EXPECT_EQ(h.ticker().strUrl, kDeadHomeUrl);
  EXPECT_EQ(h.ticker().Left(), -450);
  EXPECT_EQ(h.ticker().Top(), 3000);
}

// Neither the program's folder nor the user's can take the file: one line on standard error
// names the file and the reason, and the program ends as usual.
TEST(SettingsLocation, ASaveThatFailsEverywhereSaysWhereAndWhy) {
  TickerHarness h;
  platform::SetAppPath(h.Folder() + "/gone");
  // The user's configuration folder is a file: nothing can be made inside it.
  const std::string blocked = h.UserConfigFolder() + "/blocked";
  std::ofstream(blocked) << "not a folder";
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(blocked));
  h.Start();
  EXPECT_EQ(h.ticker().settingsFile(), blocked + "/" PRODUCT_NAME "/RSS_settings.ini");
  testing::internal::CaptureStderr();
  h.ticker().Unload();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "ticker: settings not saved to " +
                                                        h.ticker().settingsFile() + ": " + blocked +
                                                        ": Not a directory\n");
  EXPECT_EQ(h.programEnds, 1);
}

TEST(StartUp, BinaryNoiseReadsAsMissingKeys) {
  TickerHarness h;
  std::string noise;
  for (int i = 0; i < 70000; ++i) noise.push_back(static_cast<char>((i * 7919) & 0xFF));
  h.WriteSettings(noise);
  h.Start();
  EXPECT_EQ(h.ticker().strUrl, DEFAULT_FEED_URL);
}

}  // namespace

namespace {

TEST(SavedPosition, AbsurdNumbersNeitherCrashNorHideTheWindow) {
  TickerHarness h;
  h.WriteSettings(SettingsText("http://127.0.0.1:9/tallowmere.example/feed.php",
                               "9" + std::string(400, '9'), "-" + std::string(400, '9')));
  h.fakes.screens.workArea = {1200, 450, 14000, 11000};
  h.Start();
  const auto area = h.fakes.screens.workArea;
  EXPECT_EQ(h.ticker().Left(), area.left);
  EXPECT_EQ(h.ticker().Top(), area.top);
}

}  // namespace
