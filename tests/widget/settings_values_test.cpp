// URLs that look like settings-file syntax, typed or pasted into the options dialog and saved
// by "&Exit Ticker": they come back as the one value of "Default URL" and never become another
// key or section of the file.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <sstream>

#include "app/modGeneral.h"
#include "platform/qt/Widgets.h"
#include "platform/services/Profile.h"
#include "widget/support/TickerHarness.h"

using platform::qt::WidgetOf;

namespace {

struct ValueCase {
  const char* label;
  std::string text;
  bool pasted;  // keys cannot type a line break into the box: it arrives by a paste
  std::string readBack;
};

void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.label; }

const std::string kHome = "http://www.tallowmere.example/";

std::string LongUrl() {
  std::string url = kHome;
  for (int i = 0; url.size() < 10000; ++i) url += "[Options]=x;" + std::to_string(i) + "&";
  url.resize(10000);
  return url;
}

class SettingsValues : public testing::TestWithParam<ValueCase> {
 protected:
  void SetUp() override {
    h.download.Put(FeedUrl("rss.php"), "<rss><item><title>Feed</title></item></rss>");
    // Partly above the screen's top edge: a place the user may choose, kept as it is.
    h.WriteSettings(SettingsText(FeedUrl("rss.php"), "1500", "-90"));
    h.Start();
  }

  TickerHarness h;
};

TEST_P(SettingsValues, SaveAsOneValueOfOneKey) {
  const ValueCase& c = GetParam();
  h.ticker().picTicker.MouseDown(platform::vbRightButton, 0, 5, 5);
  ASSERT_TRUE(h.options().Visible());
  auto* combo = qobject_cast<QComboBox*>(WidgetOf(h.options().cboURL));
  ASSERT_NE(combo, nullptr);
  QLineEdit* edit = combo->lineEdit();
  edit->selectAll();
  if (c.pasted) {
    edit->insert(QString::fromStdString(c.text));  // what a paste does
  } else {
    QTest::keyClicks(edit, QString::fromStdString(c.text));
  }
  ASSERT_EQ(h.options().cboURL.Text(), c.text) << "the box holds what was typed";
  ASSERT_EQ(h.ticker().strUrl, c.text);

  h.options().cmdExit.Click();
  ASSERT_TRUE(h.ticker().Closed());
  EXPECT_EQ(h.programEnds, 1);

  const std::string path = h.SettingsPath();
  EXPECT_EQ(ReadIni("Options", "Default URL", path), c.readBack);
  EXPECT_EQ(ReadIni("Options", "WindowX", path), "1500");
  EXPECT_EQ(ReadIni("Options", "WindowY", path), "-90");
  for (const char* section : {"Options", "Evil", "options]"}) {
    for (const char* key : {"Injected", "x", "Default URL]", ""}) {
      EXPECT_EQ(platform::GetPrivateProfileString(section, key, "<none>", path), "<none>")
          << section << "/" << key;
    }
  }

  // The raw file: one section header, then exactly the three keys, one line each.
  std::istringstream file(h.ReadSettings());
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 4u) << h.ReadSettings().substr(0, 300);
  EXPECT_EQ(lines[0], "[Options]");
  EXPECT_EQ(lines[1].rfind("Default URL=", 0), 0u);
  EXPECT_EQ(lines[2], "WindowX=1500");
  EXPECT_EQ(lines[3], "WindowY=-90");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsValues,
    testing::Values(
        // a line break would end the key's line; the rest could read as a section or a key
        ValueCase{"line break", kHome + "a\n[Evil]\nInjected=1\r\nx=y", true,
                  kHome + "a [Evil] Injected=1  x=y"},
        // a bracket opening the value, or anywhere in it
        ValueCase{"bracket", "[Evil]" + kHome + "[Options]", false, "[Evil]" + kHome + "[Options]"},
        // the first "=" ends the key name: the value's own "=" stay in the value
        ValueCase{"equals", "=" + kHome + "?Injected=1&x==y", false,
                  "=" + kHome + "?Injected=1&x==y"},
        // a comment sign, blanks that would be trimmed, quotes that would be taken off
        ValueCase{"comment and blanks", " ;" + kHome + " ", false, " ;" + kHome + " "},
        ValueCase{"quotes", "\"" + kHome + "\"", false, "\"" + kHome + "\""},
        // ten thousand characters, far beyond the 255 of a fixed read buffer (pasted: typed
        // key by key they took most of this program's time under the sanitizers)
        ValueCase{"ten thousand characters", LongUrl(), true, LongUrl()}),
    [](const auto& info) {
      std::string name = info.param.label;
      for (char& ch : name) {
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      }
      return name;
    });

}  // namespace
