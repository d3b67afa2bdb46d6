// A label whose caption runs to megabytes is drawn in part, only near the columns being
// painted; what shows must be exactly what drawing the whole caption shows.
#include <QApplication>
#include <QImage>
#include <QTest>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/forms/Form.h"
#include "platform/forms/LabelArray.h"
#include "platform/forms/PictureBox.h"
#include "platform/qt/Widgets.h"
#include "support/TestEngine.h"
#include "widget/support/StripDefinition.h"

using platform::qt::WidgetOf;

namespace platform {
namespace {

LabelState Template() {
  LabelState s;
  s.top = 10;
  s.height = 255;
  s.foreColor = RGB(51, 51, 152);
  return s;
}

// The first 900 bytes or so of every caption below (whole words, under the length from which
// captions are drawn in part): about 6,000 pixels of text, so every offset tested shows only
// this part.
std::string Head(const std::string& words) {
  std::string head;
  while (head.size() < 900) head += words;
  return head;
}

struct Case {
  const char* name;
  std::string head;
  std::size_t tailBytes;  // appended after the head; over 4 KiB in all makes the caption long
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class LongCaption : public testing::TestWithParam<Case> {
 protected:
  Form form{TestEngine(), StripDefinition()};
  PictureBox picTicker{form, StripBoxDefinition(0)};
  LabelArray lblItem{picTicker, {"lblItem", Template(), {"MS Sans Serif", 8.25f, true}}};

  void SetUp() override {
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(WidgetOf(form)));
  }

  void SetCaption(const std::string& caption) {
    auto label = lblItem(0);
    label.setVisible(true);
    label.setLeft(0);
    label.setCaption(caption);
    label.setWidth(picTicker.TextWidth(caption));
    picTicker.setWidth(label.Width() + 240);
  }

  // The form painted afresh with the strip scrolled left by `pixels`.
  QImage At(int pixels) {
    picTicker.setLeft(static_cast<Twips>(-pixels) * 15);
    QApplication::processEvents();
    return WidgetOf(form)->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }
};

TEST_P(LongCaption, ShowsWhatTheWholeCaptionShows) {
  const Case& c = GetParam();
  std::string tail;
  while (tail.size() < c.tailBytes) tail += " and the story goes on";
  // Offsets: the start, inside the first words, odd ones that cut glyphs, deep in the head.
  const int offsets[] = {0, 1, 7, 333, 1001, 2719, 3000};

  SetCaption(c.head);
  // The head alone reaches past the form at every offset.
  ASSERT_GT(lblItem(0).Width() / 15, offsets[std::size(offsets) - 1] + 545) << c.name;
  std::vector<QImage> whole;
  for (const int offset : offsets) whole.push_back(At(offset));

  SetCaption(c.head + tail);
  for (std::size_t i = 0; i < std::size(offsets); ++i) {
    EXPECT_EQ(At(offsets[i]), whole[i]) << c.name << ", scrolled by " << offsets[i] << " px";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Captions, LongCaption,
    testing::Values(
        // Just over the length from which captions are drawn in part.
        Case{"just long", Head("Harbour footbridge reopens after winter repairs. "), 3400},
        Case{"five megabytes", Head("Council approves budget for roads & lighting; "),
             5 * 1024 * 1024},
        // Latin letters beyond ASCII are two bytes each and still measured one by one.
        Case{"accented", Head("Caf\xC3\xA9 M\xC3\xBCller marks fifty years on the Quay. "),
             64 * 1024},
        // A character laid out by the toolkit's own rules: the whole caption is drawn.
        Case{"arrows", Head("Tides \xE2\x86\x92 rising, ferries \xE2\x86\x90 late. "), 16 * 1024}),
    [](const testing::TestParamInfo<Case>& info) {
      std::string name = info.param.name;
      for (char& ch : name) {
        if (ch == ' ') ch = '_';
      }
      return name;
    });

}  // namespace
}  // namespace platform
