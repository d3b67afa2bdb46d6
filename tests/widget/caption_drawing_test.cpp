// Captions as a label shows them: on one line, each line break and tab a blank, measured
// exactly as drawn; and a caption of any script and any length measured whole and drawn only
// where it shows.
#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QTest>
#include <QTextItem>
#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/engine/CaptionPieces.h"
#include "platform/forms/Form.h"
#include "platform/forms/LabelArray.h"
#include "platform/forms/PictureBox.h"
#include "platform/qt/Fonts.h"
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

// A surface that draws nothing and counts the characters handed to it as text.
class TextCounter final : public QPaintDevice {
 public:
  explicit TextCounter(QSize size) : size_(size) {}
  QPaintEngine* paintEngine() const override { return &engine_; }
  long long characters() const { return engine_.characters; }

 protected:
  int metric(PaintDeviceMetric metric) const override {
    switch (metric) {
      case PdmWidth:
        return size_.width();
      case PdmHeight:
        return size_.height();
      case PdmDepth:
        return 32;
      case PdmDpiX:
      case PdmDpiY:
      case PdmPhysicalDpiX:
      case PdmPhysicalDpiY:
        return 96;
      case PdmDevicePixelRatio:
        return 1;
      case PdmDevicePixelRatioScaled:
        return static_cast<int>(devicePixelRatioFScale());
      default:
        return 1;
    }
  }

 private:
  class Engine final : public QPaintEngine {
   public:
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawTextItem(const QPointF&, const QTextItem& item) override {
      characters += item.text().size();
    }
    void drawRects(const QRectF*, int) override {}
    void drawRects(const QRect*, int) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    Type type() const override { return User; }
    long long characters = 0;
  };
  QSize size_;
  mutable Engine engine_;
};

class Captions : public testing::Test {
 protected:
  Form form{TestEngine(), StripDefinition()};
  PictureBox picTicker{form, StripBoxDefinition(0)};
  LabelArray lblItem{picTicker, {"lblItem", Template(), {"MS Sans Serif", 8.25f, true}, {}}};

  void SetUp() override {
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(WidgetOf(form)));
  }

  void SetCaption(const std::string& caption) {
    auto label = lblItem(0);
    label.setVisible(true);
    label.setLeft(150);
    label.setCaption(caption);
    label.setWidth(picTicker.TextWidth(caption));
    picTicker.setWidth(label.Width() + 390);
  }

  // The form painted afresh with the strip scrolled left by `pixels`.
  QImage At(int pixels) {
    picTicker.setLeft(static_cast<Twips>(-pixels) * 15);
    QApplication::processEvents();
    return WidgetOf(form)->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }

  // Characters handed to the toolkit to draw the whole visible strip at `pixels`.
  long long DrawnAt(int pixels) {
    picTicker.setLeft(static_cast<Twips>(-pixels) * 15);
    QApplication::processEvents();
    TextCounter counter(WidgetOf(picTicker)->size());
    WidgetOf(picTicker)->render(&counter);
    return counter.characters();
  }
};

// --- Line breaks and tabs ----------------------------------------------------------------

struct BreakCase {
  const char* name;
  std::string caption;
  std::string asDrawn;  // the same with each line break and tab as a blank
};

void PrintTo(const BreakCase& c, std::ostream* out) { *out << c.name; }

class LineBreaks : public Captions, public testing::WithParamInterface<BreakCase> {};

TEST_P(LineBreaks, AreBlanksOnOneLineMeasuredAsDrawn) {
  const BreakCase& c = GetParam();
  SetCaption(c.asDrawn);
  const Twips width = lblItem(0).Width();
  const QImage expected = At(0);
  SetCaption(c.caption);
  EXPECT_EQ(lblItem(0).Width(), width) << c.name;
  EXPECT_EQ(At(0), expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Captions, LineBreaks,
    testing::Values(
        // A pretty-printed title: the first line is the widest only after the indent.
        BreakCase{"pretty printed", "\n    Council approves budget\n  ",
                  "     Council approves budget   "},
        BreakCase{"tabs", "\t\tHarbour\treopens\t", "  Harbour reopens "},
        BreakCase{"windows line breaks", "\r\n  Ferries late\r\n", "    Ferries late  "},
        BreakCase{"a long second line", "Short\nA much longer second line of the title",
                  "Short A much longer second line of the title"},
        BreakCase{"unicode line separators",
                  "One\xE2\x80\xA8Two\xE2\x80\xA9Three\xC2\x85"
                  "Four\x0B"
                  "Five\x0C",
                  "One Two Three Four Five "},
        BreakCase{"beyond Latin", "\n  \xD0\x9C\xD0\xB8\xD1\x80\n\t\xE4\xB8\xAD\xE6\x96\x87\n",
                  "   \xD0\x9C\xD0\xB8\xD1\x80  \xE4\xB8\xAD\xE6\x96\x87 "}),
    [](const testing::TestParamInfo<BreakCase>& info) {
      std::string name = info.param.name;
      for (char& ch : name) {
        if (ch == ' ') ch = '_';
      }
      return name;
    });

// --- Pieces of a long caption -----------------------------------------------------------

char32_t FirstCodePoint(const std::string& utf8, std::size_t at) {
  const QString text = QString::fromUtf8(
      utf8.data() + at, static_cast<qsizetype>(std::min<std::size_t>(4, utf8.size() - at)));
  return text.isEmpty() ? 0 : text.toUcs4().value(0);
}

// Pieces cover the caption in order, none longer than the limit, each after a blank where
// there is one; a cut never falls inside a character, before a mark, a joiner or a variation
// selector, nor after a joiner.
TEST(CaptionPieces, NeverSplitACharacterOrWhatClingsToIt) {
  const FontEntry& font = FontOf({"MS Sans Serif", 8.25f, true});
  const std::string clusters[] = {
      "e\xCC\x81\xCC\xA3",                             // e with two combining marks
      "\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x92\xBB",  // woman, joiner, laptop
      "\xE2\x9D\xA4\xEF\xB8\x8F",                      // heart, variation selector
      "\xE1\x84\x80\xE1\x85\xA1\xE1\x86\xA8",          // conjoining Hangul jamo
      "\xF0\xA0\x80\x80",                              // a four-byte Han character
      "\xD8\xA8\xD9\x90"};                             // Arabic letter with a vowel mark
  for (const std::string& cluster : clusters) {
    for (const bool blanks : {false, true}) {
      std::string caption;
      while (caption.size() < 3 * engine::kWholeLimit) caption += cluster + (blanks ? " " : "");
      std::size_t begin = 0;
      while (begin < caption.size()) {
        const std::size_t end = engine::PieceEnd(caption, begin, font);
        ASSERT_GT(end, begin);
        ASSERT_LE(end - begin, engine::kPieceMax);
        if (end < caption.size()) {
          const auto byte = static_cast<unsigned char>(caption[end]);
          ASSERT_NE(byte & 0xC0, 0x80) << "a cut inside a character";
          const char32_t next = FirstCodePoint(caption, end);
          const auto category = QChar::category(next);
          EXPECT_TRUE(category != QChar::Mark_NonSpacing &&
                      category != QChar::Mark_SpacingCombining && next != 0x200D &&
                      next != 0xFE0F && !(next >= 0x1160 && next <= 0x11FF))
              << "a cut before U+" << std::hex << static_cast<unsigned>(next);
          if (blanks) {
            EXPECT_EQ(caption[end - 1], ' ') << "a cut after a blank";
          }
          EXPECT_FALSE(end >= 3 && caption.compare(end - 3, 3, "\xE2\x80\x8D") == 0)
              << "a cut after a joiner";
        }
        begin = end;
      }
    }
  }
}

// --- Long captions of any script ---------------------------------------------------------

// Text of any script, mixed at random, measures as the toolkit lays it out shaped and not
// kerned: text of the scripts measured from cached advances (letters, digits, punctuation and
// symbols of scripts that need no shaping) as well as any other.
TEST_F(Captions, MeasuringRandomTextOfManyScriptsAgreesWithTheToolkit) {
  QFont font("MS Sans Serif");
  font.setPointSizeF(8.25);
  font.setBold(true);
  font.setKerning(false);
  const QFontMetrics metrics(font);
  const char32_t ranges[][2] = {
      {0x20, 0x7E},     {0xA0, 0x2FF},    {0x370, 0x3FF},   {0x400, 0x52F},   {0x2000, 0x206F},
      {0x20A0, 0x20C0}, {0x2190, 0x22FF}, {0x3000, 0x30FF}, {0x4E00, 0x9FFF}, {0xAC00, 0xD7A3},
      {0x0300, 0x036F}, {0x0590, 0x06FF}, {0x0900, 0x097F}, {0xFE00, 0xFE0F}, {0x1F600, 0x1F64F}};
  std::uint32_t seed = 2026;
  const auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  for (int n = 0; n < 3000; ++n) {
    QString text;
    const int length = 1 + static_cast<int>(next() % 40);
    // Most strings from the cached scripts only; every fourth one with any range.
    const std::size_t choices = n % 4 == 0 ? std::size(ranges) : 10;
    for (int i = 0; i < length; ++i) {
      const auto& range = ranges[(next() >> 8) % choices];
      const char32_t c = range[0] + (next() >> 8) % (range[1] - range[0] + 1);
      text += QString::fromUcs4(&c, 1);
    }
    const std::string utf8 = text.toStdString();
    // Line and paragraph separators are line breaks: blanks.
    text.replace(QChar(0x2028), QLatin1Char(' ')).replace(QChar(0x2029), QLatin1Char(' '));
    ASSERT_EQ(picTicker.TextWidth(utf8), metrics.horizontalAdvance(text) * 15.0f) << utf8;
  }
}

struct ScriptCase {
  const char* name;
  std::string words;  // a phrase ending in a blank, repeated to make the caption
};

void PrintTo(const ScriptCase& c, std::ostream* out) { *out << c.name; }

std::string Repeat(const std::string& words, std::size_t bytes) {
  std::string text;
  text.reserve(bytes + words.size());
  while (text.size() < bytes) text += words;
  return text;
}

const ScriptCase kLatin{"Latin", "Council approves budget for roads & lighting. "};
const ScriptCase kCyrillic{"Cyrillic",
                           "\xD0\xA1\xD0\xBE\xD0\xB2\xD0\xB5\xD1\x82 \xD0\xBE\xD0\xB4\xD0\xBE"
                           "\xD0\xB1\xD1\x80\xD0\xB8\xD0\xBB \xD0\xB1\xD1\x8E\xD0\xB4\xD0\xB6"
                           "\xD0\xB5\xD1\x82. "};
const ScriptCase kCjk{"CJK",
                      "\xE5\xB8\x82\xE8\xAE\xAE\xE4\xBC\x9A\xE6\x89\xB9\xE5\x87\x86\xE9\xA2"
                      "\x84\xE7\xAE\x97\xE3\x80\x82"};
const ScriptCase kMixed{"mixed",
                        "Budget \xD0\xB1\xD1\x8E\xD0\xB4\xD0\xB6\xD0\xB5\xD1\x82 \xE9\xA2\x84"
                        "\xE7\xAE\x97 \xCE\xA0\xCF\x81\xCF\x8C\xCE\xB3\xCF\x81\xCE\xB1\xCE\xBC"
                        "\xCE\xBC\xCE\xB1 "};
const ScriptCase kArabic{"Arabic",
                         "\xD8\xA7\xD9\x84\xD9\x85\xD8\xAC\xD9\x84\xD8\xB3 \xD9\x8A\xD9\x88"
                         "\xD8\xA7\xD9\x81\xD9\x82 \xD8\xB9\xD9\x84\xD9\x89 \xD8\xA7\xD9\x84"
                         "\xD9\x85\xD9\x8A\xD8\xB2\xD8\xA7\xD9\x86\xD9\x8A\xD8\xA9 "};
const ScriptCase kMarks{"combining marks", "Cafe\xCC\x81 na\xC3\xAF\x76\x65 e\xCC\x81\xCC\x81 "};

class LongCaptions : public Captions, public testing::WithParamInterface<ScriptCase> {};

// A megabyte caption measures as its phrases add up, and twelve megabytes twelve times that:
// never 0, whatever the script.
TEST_P(LongCaptions, AreMeasuredWhole) {
  const ScriptCase& c = GetParam();
  const double phrase = picTicker.TextWidth(c.words);
  ASSERT_GT(phrase, 0) << c.name;
  const std::string megabyte = Repeat(c.words, 1 << 20);
  const double phrases = static_cast<double>(megabyte.size() / c.words.size());
  const double width = picTicker.TextWidth(megabyte);
  EXPECT_NEAR(width / (phrases * phrase), 1.0, 0.01) << c.name;
  const std::string twelve = Repeat(c.words, 12 << 20);
  EXPECT_NEAR(picTicker.TextWidth(twelve) / (12 * width), 1.0, 0.01) << c.name;
}

// However long the caption, a paint hands the toolkit no more text than shows, give or take
// a few pieces around it.
TEST_P(LongCaptions, AreDrawnOnlyWhereTheyShow) {
  const ScriptCase& c = GetParam();
  SetCaption(Repeat(c.words, 1 << 20));
  const int width = static_cast<int>(lblItem(0).Width() / 15);
  for (const int at : {0, 5000, width / 2, width - 300}) {
    EXPECT_LT(DrawnAt(at), 2000) << c.name << " at " << at << " px";
  }
  EXPECT_GT(DrawnAt(width / 2), 0) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Scripts, LongCaptions,
                         testing::Values(kLatin, kCyrillic, kCjk, kMixed, kArabic, kMarks),
                         [](const testing::TestParamInfo<ScriptCase>& info) {
                           std::string name = info.param.name;
                           for (char& ch : name) {
                             if (ch == ' ') ch = '_';
                           }
                           return name;
                         });

// What shows of a long left-to-right caption is exactly what drawing its beginning alone
// shows (the beginning is short enough to be drawn whole).
class LongCaptionPixels : public Captions, public testing::WithParamInterface<ScriptCase> {};

TEST_P(LongCaptionPixels, ShowWhatTheWholeCaptionShows) {
  const ScriptCase& c = GetParam();
  const std::string head = Repeat(c.words, 3000);
  ASSERT_LE(head.size(), engine::kWholeLimit);
  SetCaption(head);
  // Offsets at which the head alone fills the form: the start, odd ones that cut glyphs, and
  // the last one before the head ends.
  const int headPixels = static_cast<int>(lblItem(0).Width() / 15) + 10;
  ASSERT_GT(headPixels, 1200) << c.name;
  const int offsets[] = {0, 1, 7, 333, headPixels - 546};
  std::vector<QImage> whole;
  for (const int offset : offsets) whole.push_back(At(offset));
  SetCaption(head + Repeat(c.words, 256 * 1024));
  for (std::size_t i = 0; i < std::size(offsets); ++i) {
    EXPECT_EQ(At(offsets[i]), whole[i]) << c.name << ", scrolled by " << offsets[i] << " px";
  }
}

INSTANTIATE_TEST_SUITE_P(Scripts, LongCaptionPixels,
                         testing::Values(kLatin, kCyrillic, kCjk, kMixed, kMarks),
                         [](const testing::TestParamInfo<ScriptCase>& info) {
                           std::string name = info.param.name;
                           for (char& ch : name) {
                             if (ch == ' ') ch = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace platform
