// What every surface must do for the form engine, one table of cases run against each real
// window system: a window at the asked place and size, text drawn as wide as it was measured,
// pointer events in order with the pointer kept by a pressed label, double-clicks, plain
// tooltips, only the dialog taking the keyboard, its controls focused, selected and pressed,
// readers told the same, the title picture drawn for the display's scale, and timers that tick
// until stopped.
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/forms/ComboBox.h"
#include "platform/forms/CommandButton.h"
#include "platform/forms/Form.h"
#include "platform/forms/LabelArray.h"
#include "platform/forms/PictureBox.h"
#include "platform/forms/Timer.h"
#include "support/TestEngine.h"
#include "surface/SurfaceProbe.h"

namespace platform::surface_test {
namespace {

using Pointer = engine::FormEvents::Pointer;
constexpr Color kBlack = 0x000000;
constexpr Color kWhite = 0xFFFFFF;

// The strip at client pixel (100, 100): the title picture and a row with two labels.
struct Strip {
  Form form{
      TestEngine(),
      {.name = "frmStrip", .clientWidth = 8175, .clientHeight = 240, .activateOnShow = false}};
  PictureBox title{form, {"picTitle", 0, 0, 495, 240, 0x0080FF, vbWindowText, {}, "Title", {}}};
  PictureBox row{form, {"picRow", 495, 0, 7680, 240, kBlack, vbWindowText, {}, "", {}}};
  LabelArray labels{row, {"lblItem", {.top = 0, .height = 240, .foreColor = kWhite}, {}, {}}};
  std::vector<std::string> events;

  Strip() {
    form.Move(1500, 1500);
    labels.MouseDown = [this](int i, int b, int, Twips, Twips) { Add("LD", i, b); };
    labels.MouseMove = [this](int i, int b, int, Twips, Twips) { Add("LM", i, b); };
    labels.MouseUp = [this](int i, int b, int, Twips, Twips) { Add("LU", i, b); };
    row.MouseDown = [this](int b, int, Twips, Twips) { Add("BD", -1, b); };
    row.MouseUp = [this](int b, int, Twips, Twips) { Add("BU", -1, b); };
    row.DblClick = [this] { events.push_back("BC"); };
  }
  void Add(const char* kind, int index, int button) {
    events.push_back(std::string(kind) + (index >= 0 ? std::to_string(index) : "") + ":" +
                     std::to_string(button));
  }
  // Label i at row pixel left, as wide as its caption measures.
  void Label(int i, int left, const std::string& caption, const std::string& tip = "") {
    if (!labels.IsLoaded(i)) labels.Load(i);
    labels(i).setCaption(caption);
    labels(i).setToolTipText(tip);
    labels(i).setLeft(static_cast<Twips>(left * 15));
    labels(i).setWidth(row.TextWidth(caption));
    labels(i).setVisible(true);
  }
  void Show() {
    form.Show();
    // In the display's own pixels where the surface counts in those (Win32 at 192 dpi).
    const int scaled = static_cast<int>(100 * Probe().scale(form.hWnd()) + 0.5);
    Probe().waitFor([&] {
      const int left = Probe().clientOnScreen(form.hWnd()).left;
      return left == 100 || left == scaled;
    });
  }
};

struct SurfaceCase {
  const char* name;
  void (*run)(Strip& strip);
};

void WindowsStandWhereAsked(Strip& s) {
  s.Show();
  EXPECT_EQ(Probe().clientOnScreen(s.form.hWnd()), (engine::Pixels{100, 100, 545, 16}));
  EXPECT_EQ(Probe().clientOnScreen(s.title.hWnd()), (engine::Pixels{100, 100, 33, 16}));
  s.form.Move(3000, 450);
  EXPECT_TRUE(Probe().waitFor([&] { return Probe().clientOnScreen(s.form.hWnd()).left == 200; }));
  EXPECT_EQ(Probe().clientOnScreen(s.form.hWnd()).top, 30);
}

// Whatever the window system's text drawing, a label as wide as its measured caption shows all
// of it, in its own colour, and nothing beyond; a tab and a line break measure as blanks.
void TextIsDrawnAsWideAsMeasured(Strip& s) {
  s.Label(1, 10, "WWWW mmmm");
  s.labels(1).setForeColor(0x0000FF);
  s.Show();
  const int width = static_cast<int>(s.labels(1).Width() / 15);
  ASSERT_GT(width, 20);
  auto inked = [&](int from, int to) {
    for (int x = from; x < to; ++x) {
      for (int y = 0; y < 16; ++y) {
        if (Probe().pixel(s.row.hWnd(), x, y) != kBlack) return true;
      }
    }
    return false;
  };
  EXPECT_TRUE(Probe().waitFor([&] { return inked(10, 10 + 4); })) << "the first letter shows";
  EXPECT_TRUE(inked(10 + width - 6, 10 + width)) << "the last letter shows";
  EXPECT_FALSE(inked(10 + width + 1, 10 + width + 40)) << "nothing beyond the width";
  // Red, however the edges of the letters are smoothed.
  bool red = false;
  for (int x = 10; x < 10 + width && !red; ++x) {
    for (int y = 0; y < 16 && !red; ++y) {
      const Color c = Probe().pixel(s.row.hWnd(), x, y);
      red = (c & 0xFF) > 0x80 && ((c >> 8) & 0xFF) < 0x40 && ((c >> 16) & 0xFF) < 0x40;
    }
  }
  EXPECT_TRUE(red) << "in the label's colour";
  EXPECT_EQ(s.row.TextWidth("WW\tmm\nx"), s.row.TextWidth("WW mm x"));
}

void EventsArriveInOrderAndAPressedLabelKeepsThePointer(Strip& s) {
  s.Label(1, 10, "First");
  s.Label(2, 200, "Second");
  s.Show();
  const WindowHandle row = s.row.hWnd();
  Probe().mouse(row, Pointer::Move, 0, 0, 15, 8);
  Probe().mouse(row, Pointer::Down, 1, 1, 15, 8);
  Probe().mouse(row, Pointer::Move, 0, 1, 210, 8);   // over label 2, still label 1's
  Probe().mouse(row, Pointer::Move, 0, 1, -50, 30);  // off the window
  Probe().mouse(row, Pointer::Up, 1, 0, -50, 30);
  Probe().mouse(row, Pointer::Move, 0, 0, 210, 8);
  Probe().mouse(row, Pointer::Down, 4, 4, 150, 8);
  Probe().mouse(row, Pointer::Up, 4, 0, 150, 8);
  Probe().waitFor([&] { return s.events.size() >= 8; });
  EXPECT_EQ(s.events, (std::vector<std::string>{"LM1:0", "LD1:1", "LM1:1", "LM1:1", "LU1:1",
                                                "LM2:0", "BD:4", "BU:4"}));
}

void ADoubleClickIsOnePressOnALabelAndADblClickOnTheRow(Strip& s) {
  s.Label(1, 10, "First");
  s.Show();
  for (const int x : {15, 150}) {
    Probe().mouse(s.row.hWnd(), Pointer::Down, 1, 1, x, 8);
    Probe().mouse(s.row.hWnd(), Pointer::Up, 1, 0, x, 8);
    Probe().mouse(s.row.hWnd(), Pointer::Down, 1, 1, x, 8, true);
    Probe().mouse(s.row.hWnd(), Pointer::Up, 1, 0, x, 8);
  }
  Probe().waitFor([&] { return s.events.size() >= 8; });
  EXPECT_EQ(s.events, (std::vector<std::string>{"LD1:1", "LU1:1", "LU1:1", "BD:1", "BU:1", "BD:1",
                                                "BC", "BU:1"}));
}

// A tooltip shows its text as it stands, never as markup, on the label it belongs to; the
// title picture's own elsewhere.
void TooltipsShowPlainText(Strip& s) {
  s.Label(1, 10, "First", "<b>Ann</b> & <i>Bob</i>");
  s.Show();
  EXPECT_EQ(Probe().toolTipAt(s.row.hWnd(), 15, 8), "<b>Ann</b> & <i>Bob</i>");
  EXPECT_EQ(Probe().toolTipAt(s.title.hWnd(), 10, 8), "Title");
}

void OnlyTheDialogTakesTheKeyboard(Strip& s) {
  s.Show();
  EXPECT_FALSE(Probe().active(s.form.hWnd()));
  Form dialog{TestEngine(),
              {.name = "frmDialog",
               .caption = "Dialog",
               .borderStyle = BorderStyle::FixedToolWindow,
               .clientWidth = 4680,
               .clientHeight = 1320}};
  dialog.Show();
  EXPECT_TRUE(Probe().waitFor([&] { return Probe().active(dialog.hWnd()); }));
  EXPECT_FALSE(Probe().active(s.form.hWnd()));
}

// What the engine asks of a dialog's controls shows: the field focused with its whole text
// selected, the focus moved to the button, the button pressed.
void DialogControlsAreFocusedSelectedAndPressed(Strip&) {
  Form dialog{TestEngine(),
              {.name = "frmDialog",
               .caption = "Dialog",
               .borderStyle = BorderStyle::FixedToolWindow,
               .clientWidth = 4680,
               .clientHeight = 1320}};
  ComboBox url{dialog, {.name = "url", .left = 120, .top = 360, .width = 4455, .height = 315}};
  CommandButton ok{dialog, {"ok", "&OK", 120, 840, 1575, 375, 1}};
  int presses = 0;
  ok.Click = [&] { ++presses; };
  url.setText("http://example/feed");
  dialog.Show();
  EXPECT_TRUE(Probe().waitFor([&] { return Probe().active(dialog.hWnd()); }));
  EXPECT_EQ(Probe().focusedText(dialog.hWnd()), "http://example/feed");
  EXPECT_EQ(Probe().selectedText(dialog.hWnd()), "http://example/feed");
  Probe().key(dialog.hWnd(), engine::Key::Tab);
  EXPECT_EQ(Probe().focusedText(dialog.hWnd()), "&OK");
  Probe().key(dialog.hWnd(), engine::Key::Return);
  EXPECT_TRUE(Probe().waitFor([&] { return presses == 1; }));
}

// A reader is told the same of the row on every system: each label with its role, name,
// tooltip, states, action and place, and the focus as the keys move it.
void ReadersAreToldTheSame(Strip& s) {
  s.Label(1, 10, "First", "Ann");
  s.labels(1).setMousePointer(vbCustom);
  s.Label(2, 200, "Second");
  s.Show();
  const auto width = [&](int i) {
    return std::to_string(static_cast<int>(s.labels(i).Width() / 15));
  };
  const std::vector<std::string> before{
      "pane|", "link|First|Ann|link showing focusable|Jump|10,0," + width(1) + ",16",
      "text|Second||showing focusable||200,0," + width(2) + ",16"};
  EXPECT_EQ(Probe().readerView(s.row.hWnd()), before);
  EXPECT_EQ(Probe().readerView(s.title.hWnd()), (std::vector<std::string>{"graphic|Title"}));
  Probe().key(s.form.hWnd(), engine::Key::Tab);
  Probe().key(s.form.hWnd(), engine::Key::Right);
  EXPECT_EQ(Probe().readerView(s.row.hWnd())[2],
            "text|Second||showing focusable focused||200,0," + width(2) + ",16");
}

// On a display that scales by two the title picture is its own drawing at twice the size, not
// each pixel doubled, which would make every 2 x 2 cell of its lettering one colour.
void TitlePictureForTheScale(Strip& s) {
  s.title.setPicture({":/images/normal.gif"});
  s.Show();
  const auto at = [&](int x, int y) { return Probe().pixel(s.title.hWnd(), x, y); };
  ASSERT_TRUE(Probe().waitFor([&] { return at(0, 0) != s.title.BackColor(); }));
  const int scale = static_cast<int>(Probe().scale(s.title.hWnd()) + 0.5);
  int lettering = 0, uniform = 0;
  for (int y = 0; y + 1 < 16 * scale; y += 2) {
    for (int x = 0; x + 1 < 33 * scale; x += 2) {
      const Color cell[] = {at(x, y), at(x + 1, y), at(x, y + 1), at(x + 1, y + 1)};
      const bool lettered = std::ranges::count(cell, at(0, 0)) < 4;
      lettering += lettered;
      uniform += lettered && std::ranges::count(cell, cell[0]) == 4;
    }
  }
  EXPECT_GT(lettering, 30) << "the lettering shows";
  EXPECT_TRUE(scale < 2 || uniform * 4 < lettering * 3) << uniform << " of " << lettering;
}

// The window system's timer ticks again and again until it is stopped, and may be destroyed by
// its own tick.
void TimersTickUntilStopped(Strip& s) {
  Timer first(s.form, {.name = "tmrFirst", .interval = 10, .enabled = true});
  int ticks = 0;
  first.Tick = [&] { ++ticks; };
  ASSERT_TRUE(Probe().waitFor([&] { return ticks >= 3; }));
  first.setEnabled(false);
  const int stopped = ticks;
  // A timer of the same interval started after the stop measures out several of its intervals.
  Timer clock(s.form, {.name = "tmrClock", .interval = 10, .enabled = true});
  int clockTicks = 0;
  clock.Tick = [&] { ++clockTicks; };
  ASSERT_TRUE(Probe().waitFor([&] { return clockTicks >= 5; }));
  EXPECT_EQ(ticks, stopped);
  auto last = std::make_unique<Timer>(
      s.form, Timer::Definition{.name = "tmrLast", .interval = 10, .enabled = true});
  last->Tick = [&] { last.reset(); };
  EXPECT_TRUE(Probe().waitFor([&] { return last == nullptr; }));
}

// --- Captions in every script --------------------------------------------------------------

struct ScriptCase {
  const char* name;
  const char* caption;
};

void PrintTo(const ScriptCase& c, std::ostream* out) { *out << c.name; }

constexpr ScriptCase kScripts[] = {
    {"ArabicJoined", "\u0633\u0644\u0633\u0644\u0629 \u0633\u0644\u0633\u0644\u0629"},
    // Read from the right end, its brackets mirrored.
    {"HebrewBrackets", "\u05E9\u05DC\u05D5\u05DD (\u05E2\u05D5\u05DC\u05DD)"},
    // Left to right from its first letter, the Hebrew words right to left inside it.
    {"LatinWithHebrew", "Report: \u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD (2026) update"},
    // A vowel sign drawn before its consonant, and a conjunct.
    {"Devanagari", "\u0939\u093F\u0928\u094D\u0926\u0940 \u0938\u092E\u093E\u091A\u093E\u0930"},
    {"Thai", "\u0E02\u0E48\u0E32\u0E27\u0E27\u0E31\u0E19\u0E19\u0E35\u0E49"},
    {"Chinese", "\u4ECA\u65E5\u65B0\u95FB"},
    {"Japanese", "\u6771\u4EAC\u306E\u30CB\u30E5\u30FC\u30B9"},
    // Woman, joiner, laptop: one picture.
    {"EmojiWithJoiner", "\U0001F469\u200D\U0001F4BB news"},
    {"CombiningAccents", "Cafe\u0301 nai\u0308ve"},
};

// Pixels that stand out from the background colour.
bool Inked(Color c, Color back = kBlack) {
  int most = 0;
  for (const int shift : {0, 8, 16}) {
    most = std::max(most, std::abs(static_cast<int>((c >> shift) & 0xFF) -
                                   static_cast<int>((back >> shift) & 0xFF)));
  }
  return most > 100;
}

// How much of the ink of the window's pixels from left, top differs from the reference's, at
// the best of a few small shifts (a fallback font's glyphs may sit a pixel or two higher or
// lower): the pixels inked in only one of the two, over those inked in either; 0 is the same.
// With near, ink within a pixel of the other's ink is the same (text placed at a fraction).
double Mismatch(WindowHandle window, int left, int top, const Picture& reference, int across = 1,
                int down = 3, Color back = kBlack, int near = 0) {
  const engine::Pixels area = Probe().clientOnScreen(window);
  const auto inked = [&](bool drawn, int x, int y, int reach) {
    for (int ny = y - reach; ny <= y + reach; ++ny) {
      for (int nx = x - reach; nx <= x + reach; ++nx) {
        if (drawn ? nx >= 0 && ny >= 0 && nx < area.width && ny < area.height &&
                        Inked(Probe().pixel(window, nx, ny), back)
                  : nx >= 0 && ny >= 0 && nx < reference.width && ny < reference.height &&
                        Inked(reference.at(nx, ny), back)) {
          return true;
        }
      }
    }
    return false;
  };
  double best = 1;
  for (int dy = -down; dy <= down; ++dy) {
    for (int dx = -across; dx <= across; ++dx) {
      int either = 0, one = 0;
      for (int y = 0; y < reference.height; ++y) {
        for (int x = -1; x <= reference.width; ++x) {
          const int wx = left + dx + x, wy = top + dy + y;
          const bool drawn = inked(true, wx, wy, 0), wanted = inked(false, x, y, 0);
          either += drawn || wanted;
          one += (drawn && !inked(false, x, y, near)) || (wanted && !inked(true, wx, wy, near));
        }
      }
      if (either > 0) best = std::min(best, static_cast<double>(one) / either);
    }
  }
  return best;
}

class Scripts : public testing::TestWithParam<ScriptCase> {};

// A caption shows as the system's own text engine draws it (shaped, in bidirectional order,
// characters the font lacks from a font that has them) and as wide as it was measured.
TEST_P(Scripts, ShowAsTheSystemDrawsThem) {
  const ScriptCase& c = GetParam();
  Strip s;
  s.Label(1, 10, c.caption);
  s.Show();
  const int width = static_cast<int>(s.labels(1).Width() / 15);
  const Picture reference = Probe().referenceText(c.caption, s.labels.font(), 16);
  ASSERT_GT(reference.width, 0);
  EXPECT_NEAR(width, reference.width, 1) << "measured as the system measures it";
  const auto mismatch = [&] { return Mismatch(s.row.hWnd(), 10, 0, reference); };
  EXPECT_TRUE(Probe().waitFor([&] { return mismatch() < 0.02; })) << mismatch();
}

// A tooltip of two lines (as the engine breaks a long one) shows each as the system's own text
// engine draws it in the tooltip's font.
TEST_P(Scripts, ShowInTooltips) {
  const std::string line = GetParam().caption;
  Strip s;
  s.Label(1, 10, "Tip", line + "\n" + line);
  s.Show();
  const WindowHandle tip = Probe().toolTipWindow(s.row.hWnd(), 15, 8);
  ASSERT_NE(tip, 0u);
  const engine::Pixels area = Probe().clientOnScreen(tip);
  const Picture reference = Probe().referenceToolTipText(s.row.hWnd(), line, (area.height - 4) / 2);
  ASSERT_GT(reference.width, 0);
  const Color back = reference.at(0, 0);
  EXPECT_LT(Mismatch(tip, 8, 6, reference, 8, 6, back, 1), 0.05) << "the first line";
  EXPECT_LT(Mismatch(tip, 8, 6 + reference.height, reference, 8, 6, back, 1), 0.05) << "the second";
}

INSTANTIATE_TEST_SUITE_P(Captions, Scripts, testing::ValuesIn(kScripts),
                         [](const auto& info) { return std::string(info.param.name); });

class Surface : public testing::TestWithParam<SurfaceCase> {};

TEST_P(Surface, DoesWhatTheEngineAsks) {
  Strip strip;
  GetParam().run(strip);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Surface,
    testing::Values(SurfaceCase{"WindowsStandWhereAsked", WindowsStandWhereAsked},
                    SurfaceCase{"TextIsDrawnAsWideAsMeasured", TextIsDrawnAsWideAsMeasured},
                    SurfaceCase{"EventsInOrderWithCapture",
                                EventsArriveInOrderAndAPressedLabelKeepsThePointer},
                    SurfaceCase{"DoubleClicks", ADoubleClickIsOnePressOnALabelAndADblClickOnTheRow},
                    SurfaceCase{"TooltipsShowPlainText", TooltipsShowPlainText},
                    SurfaceCase{"OnlyTheDialogTakesTheKeyboard", OnlyTheDialogTakesTheKeyboard},
                    SurfaceCase{"DialogControls", DialogControlsAreFocusedSelectedAndPressed},
                    SurfaceCase{"ReadersAreToldTheSame", ReadersAreToldTheSame},
                    SurfaceCase{"TitlePictureForTheScale", TitlePictureForTheScale},
                    SurfaceCase{"TimersTickUntilStopped", TimersTickUntilStopped}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace platform::surface_test
