// Picture boxes as the form engine lays them out and draws them: only the part inside the form
// is a window, cut where a box in front covers it, scrolled rather than repainted; a changed
// label repaints only where it was and is; a caption of any length costs the same to draw;
// tooltips are plain text, cut; timers keep their countdown as the forms' timers do.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/engine/BoxCore.h"
#include "platform/engine/CaptionPieces.h"
#include "platform/engine/ToolTipText.h"
#include "platform/forms/Form.h"
#include "platform/forms/LabelArray.h"
#include "platform/forms/PictureBox.h"
#include "platform/forms/Timer.h"
#include "unit/support/FakeSurface.h"

namespace platform::engine::fake {
namespace {

class Strip : public EngineTest {
 protected:
  Form form{engine, {.clientWidth = 8175, .clientHeight = 240}};  // 545 x 16 pixels
  PictureBox picTitle{form, {"picTitle", 0, 0, 495, 240, 0, 0, {}, "", {}}};
  PictureBox picTicker{form, {"picTicker", 0, 0, 30000, 240, 0, 0, {}, "", {}}};
  LabelArray lblItem{picTicker, {"lblItem", {.top = 0, .height = 240}, {}, {}}};
  FakeBox& ticker = surface.nativeOf(picTicker);

  void AddLabel(int i, Twips left, const std::string& caption) {
    if (!lblItem.IsLoaded(i)) lblItem.Load(i);
    auto label = lblItem(i);
    label.setCaption(caption);
    label.setLeft(left);
    label.setWidth(picTicker.TextWidth(caption));
    label.setVisible(true);
  }
};

// The title picture in front covers the row's left end: the row's window starts beside it,
// and moving the row only scrolls the pixels already drawn.
TEST_F(Strip, OnlyTheUncoveredPartIsAWindowAndMovingItScrolls) {
  EXPECT_EQ(ticker.part, (Pixels{33, 0, 512, 16}));
  ticker.invalidated.clear();
  picTicker.setLeft(-30);
  picTicker.setLeft(-60);
  EXPECT_EQ(ticker.part, (Pixels{33, 0, 512, 16}));
  EXPECT_EQ(ticker.scrolled, (std::vector<std::pair<int, int>>{{-2, 0}, {-2, 0}}));
  EXPECT_TRUE(ticker.invalidated.empty());
  picTicker.setLeft(8175 + 15);  // beyond the form's right edge: no window at all
  EXPECT_TRUE(ticker.part.empty());
  picTicker.setLeft(8175 - 150);
  EXPECT_EQ(ticker.part, (Pixels{535, 0, 10, 16}));
}

TEST_F(Strip, AChangedLabelRepaintsOnlyWhereItWasAndIsAndNothingOutsideTheWindow) {
  AddLabel(1, 1500, "Headline");  // pixels 100..156 of the row, 67.. of its window
  ticker.invalidated.clear();
  lblItem(1).setCaption(std::string("Headlines"));
  ASSERT_EQ(ticker.invalidated.size(), 1u);
  EXPECT_EQ(ticker.invalidated[0], (Pixels{100 - 33 - 1, 0, 56 + 3, 16}));
  ticker.invalidated.clear();
  AddLabel(2, 15000, "Far away");  // row pixel 1000: not in the window
  EXPECT_TRUE(ticker.invalidated.empty());
}

// A caption of megabytes is measured whole and, when drawn, only its pieces near the painted
// columns are handed to the window system, each where it stands in the whole line.
TEST_F(Strip, ALongCaptionIsMeasuredWholeAndDrawnOnlyWhereItShows) {
  const std::string caption(2'000'000, 'x');
  AddLabel(1, 495, caption);
  EXPECT_EQ(lblItem(1).Width(), 2'000'000 * 7 * 15);
  picTicker.setLeft(-7000 * 15);  // the window shows row pixels 7033 ..
  RecordingPainter painter;
  CoreOf(picTicker).paint(painter, {500, 0, 12, 16});
  int texts = 0;
  for (const Drawn& d : painter.drawn) {
    if (d.what != "text") continue;
    ++texts;
    EXPECT_LE(d.x64 / 64, 500 + 64);
    EXPECT_GE(d.x64 / 64 + static_cast<long long>(d.text.size()) * 7, 500 - 64);
  }
  EXPECT_GE(texts, 1);
  EXPECT_LE(texts, 3);
}

// Each caption is drawn in the direction of its own first letter.
TEST_F(Strip, ACaptionIsDrawnInTheDirectionOfItsFirstLetter) {
  AddLabel(1, 600, "1. \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D news");
  AddLabel(2, 3000, "1. News \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D");
  RecordingPainter painter;
  CoreOf(picTicker).paint(painter, {0, 0, 512, 16});
  std::vector<bool> directions;
  for (const Drawn& d : painter.drawn) {
    if (d.what == "text") directions.push_back(d.rightToLeft);
  }
  EXPECT_EQ(directions, (std::vector<bool>{true, false}));
}

TEST_F(Strip, TextHeightIsALineOfTheFontForEachLine) {
  EXPECT_EQ(picTicker.TextHeight("a"), 13 * 15);
  EXPECT_EQ(picTicker.TextHeight("a\nb"), 2 * picTicker.TextHeight("a"));
}

TEST(CaptionPieces, NeverSplitACharacterOrWhatClingsToIt) {
  const FakeFont font;
  // "e" with an acute accent that clings to it, then a two-byte letter; no blank anywhere.
  std::string text;
  while (text.size() < 20'000) text += "e\xCC\x81\xC3\xA9";
  std::vector<Piece> pieces;
  LayOut(text, font, pieces);
  ASSERT_GT(pieces.size(), 10u);
  for (const Piece& piece : pieces) {
    EXPECT_LE(piece.end - piece.begin, kPieceMax);
    if (piece.begin == 0) continue;
    // Each piece starts with a letter: never with the accent (CC 81) or a continuation byte.
    const auto first = static_cast<unsigned char>(text[piece.begin]);
    EXPECT_TRUE(first == 'e' || first == 0xC3) << piece.begin;
  }
  EXPECT_EQ(pieces.back().end, text.size());
}

// A right-to-left caption reads from its right end: its first piece stands at the right, each
// next one to the left of the one before, all drawn right to left and cut where the font
// allows a break.
TEST(CaptionPieces, ARightToLeftCaptionStartsAtItsRightEnd) {
  const FakeFont font;
  std::string text;
  while (text.size() < 3 * kWholeLimit)
    text += "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D ";  // a word, a blank
  std::vector<Piece> pieces;
  const long long width64 = LayOut(text, font, pieces);
  ASSERT_GT(pieces.size(), 10u);
  EXPECT_EQ(pieces.back().begin, 0u) << "the text's first piece is the rightmost";
  EXPECT_EQ(pieces.front().x64, 0);
  long long right64 = width64;
  for (auto piece = pieces.rbegin(); piece != pieces.rend(); ++piece) {
    EXPECT_TRUE(piece->rightToLeft);
    EXPECT_EQ(text[piece->end - 1], ' ') << "cut after a blank";
    right64 -= font.advance64(
        std::string_view(text).substr(piece->begin, piece->end - piece->begin), true);
    EXPECT_EQ(piece->x64, right64);
  }
  EXPECT_EQ(right64, 0);
}

struct TipCase {
  const char* name;
  std::string text;
  std::string shown;
};

class TooltipText : public testing::TestWithParam<TipCase> {};

TEST_P(TooltipText, IsPlainCutAndWrapped) {
  EXPECT_EQ(ToolTipText(GetParam().text), GetParam().shown);
}

std::string Repeat(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TooltipText,
    testing::Values(TipCase{"Empty", "", ""},
                    TipCase{"Markup", "<b>x</b> & <img src=a>", "<b>x</b> & <img src=a>"},
                    TipCase{"LineEnds", "a\r\nb\rc\nd", "a\nb\nc\nd"},
                    // Exactly a hundred characters on a line: no break.
                    TipCase{"HundredCharacters", Repeat("\xC3\xA9", 100), Repeat("\xC3\xA9", 100)},
                    TipCase{"HundredAndOne", Repeat("a", 101), Repeat("a", 100) + "\na"},
                    // Cut after the last blank of the line's second half; one in the first half is
                    // too early, and the line is cut at the limit.
                    TipCase{"LongLine", Repeat("word ", 30),
                            Repeat("word ", 20) + "\n" + Repeat("word ", 10)},
                    TipCase{"BlankTooEarly", Repeat("a", 10) + " " + Repeat("b", 120),
                            Repeat("a", 10) + " " + Repeat("b", 89) + "\n" + Repeat("b", 31)},
                    // A character of four bytes is one character, at a line's end and at the cut.
                    TipCase{"EmojiAtLineLimit", Repeat("a", 99) + "\xF0\x9F\x98\x80z",
                            Repeat("a", 99) + "\xF0\x9F\x98\x80\nz"},
                    TipCase{"EmojiAtTheCut", Repeat("x", 498) + "\xF0\x9F\x98\x80yy",
                            Repeat(Repeat("x", 100) + "\n", 4) + Repeat("x", 98) +
                                "\xF0\x9F\x98\x80\xE2\x80\xA6"},
                    // At most 500 characters, the last of them the ellipsis.
                    TipCase{"FiveHundredOne", Repeat("x", 501),
                            Repeat(Repeat("x", 100) + "\n", 4) + Repeat("x", 99) + "\xE2\x80\xA6"},
                    TipCase{"FiveHundred", Repeat("\xC3\xA9", 500),
                            Repeat(Repeat("\xC3\xA9", 100) + "\n", 4) + Repeat("\xC3\xA9", 100)}),
    [](const auto& info) { return std::string(info.param.name); });

// The forms' timers: enabling a running timer keeps its countdown; a new interval restarts it
// but starts no disabled timer; no ticks without an interval or while disabled; a timer
// enabled in its definition runs at once; a tick without a handler is skipped.
TEST_F(Strip, TimersKeepOrRestartTheirCountdownAsTheFormsDo) {
  Timer timer(form, {"tmrScroll", 100, false});
  ASSERT_EQ(surface.timers.size(), 1u);
  FakeTimer& native = *surface.timers[0];
  timer.setInterval(200);
  EXPECT_EQ(native.starts, 0);
  timer.setInterval(100);
  timer.setEnabled(true);
  timer.setEnabled(true);
  EXPECT_EQ(native.starts, 1);
  timer.setInterval(500);
  EXPECT_EQ(native.starts, 2);
  EXPECT_EQ(native.interval, 500);
  timer.setInterval(0);
  EXPECT_EQ(native.interval, 0);
  timer.setInterval(100);
  EXPECT_EQ(native.interval, 100);
  timer.setEnabled(false);
  EXPECT_EQ(native.interval, 0);
  native.tick();
  int ticks = 0;
  timer.Tick = [&] { ++ticks; };
  native.tick();
  EXPECT_EQ(ticks, 1);
  Timer running(form, {"tmrMouse", 500, true});
  EXPECT_EQ(surface.timers[1]->interval, 500);
}

// While nobody can see the screen, for any reason and until every reason has ended, every timer
// rests whatever the program asks of it meanwhile; then each goes on with a new countdown.
TEST_F(Strip, TimersRestWhileNobodyCanSeeTheScreen) {
  Timer scroll(form, {"tmrScroll", 30, true});
  Timer poll(form, {"tmrMouse", 100, false});
  FakeTimer& scrolling = *surface.timers[0];
  FakeTimer& polling = *surface.timers[1];
  engine.noteUnseen(Unseen::ScreenSaver, true);
  engine.noteUnseen(Unseen::Locked, true);
  EXPECT_FALSE(engine.seen());
  EXPECT_EQ(scrolling.interval, 0);
  poll.setEnabled(true);
  scroll.setInterval(40);
  EXPECT_EQ(polling.interval, 0);
  EXPECT_EQ(scrolling.interval, 0);
  engine.noteUnseen(Unseen::ScreenSaver, false);
  EXPECT_EQ(scrolling.interval, 0) << "still locked";
  engine.noteUnseen(Unseen::Locked, false);
  EXPECT_EQ(scrolling.interval, 40);
  EXPECT_EQ(polling.interval, 100);
  poll.setEnabled(false);
  engine.noteUnseen(Unseen::DisplayOff, true);
  engine.noteUnseen(Unseen::DisplayOff, false);
  EXPECT_EQ(polling.interval, 0) << "a disabled timer stays stopped";
  EXPECT_EQ(scrolling.starts, 3);
}

}  // namespace
}  // namespace platform::engine::fake
