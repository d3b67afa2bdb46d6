// Picture boxes on a strip form: stacking, the window under a point, the clipped real window
// of a box far wider than any window, scrolling that keeps the drawn pixels, painting of
// the labels, text measuring, tooltips and pointer shapes, and the box's own pointer events.
#include <QApplication>
#include <QHelpEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QScreen>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>
#include <cstdint>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "platform/forms/Form.h"
#include "platform/forms/LabelArray.h"
#include "platform/forms/PictureBox.h"
#include "platform/qt/SystemServiceClasses.h"
#include "platform/qt/Widgets.h"
#include "support/TestEngine.h"
#include "widget/support/StripDefinition.h"

using platform::qt::WidgetOf;

namespace platform {
namespace {

constexpr Color kBlue = 0x00FF0000;

LabelState Template() {
  LabelState s;
  s.top = 10;
  s.height = 255;
  s.caption = "TWgjp";
  s.foreColor = 0;
  return s;
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
  QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, buttons,
                    Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

// Records the rectangles a widget repaints.
class PaintRecorder : public QObject {
 public:
  explicit PaintRecorder(QWidget* widget) { widget->installEventFilter(this); }
  QRegion painted;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(event)->region();
    return false;
  }
};

class Strip : public testing::Test {
 protected:
  Form form{TestEngine(), StripDefinition()};
  PictureBox picTitle{form,
                      {"picTitle",
                       0,
                       0,
                       495,
                       375,
                       0x000080FF,
                       vbWindowText,
                       {":/images/normal.gif"},
                       "Title tip",
                       {}}};
  PictureBox picTicker{form, StripBoxDefinition(960)};
  LabelArray lblItem{
      picTicker, {"lblItem", Template(), {"MS Sans Serif", 8.25f, true}, {":/images/hand.png"}}};

  void SetUp() override {
    form.Move(1500, 1500);  // client area at 100, 100 pixels
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(WidgetOf(form)));
  }

  // A visible label at left with its measured width.
  void AddLabel(int i, Twips left, const std::string& caption, Color color = 0,
                const std::string& tip = "", int pointer = vbDefault) {
    if (i > 0) lblItem.Load(i);
    auto label = lblItem(i);
    label.setVisible(true);
    label.setLeft(left);
    label.setCaption(caption);
    label.setForeColor(color);
    label.setToolTipText(tip);
    label.setMousePointer(pointer);
    label.setWidth(picTicker.TextWidth(caption));
  }

  QPoint Global(int x, int y) const { return WidgetOf(form)->mapToGlobal(QPoint(x, y)); }

  // What the screen shows of the form (the window's pixels as last flushed).
  QImage Screen() {
    QApplication::processEvents();
    return QGuiApplication::primaryScreen()
        ->grabWindow(WidgetOf(form)->winId())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
  }
  // The same, painted afresh.
  QImage Fresh() { return WidgetOf(form)->grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

bool HasColorIn(const QImage& image, QRect area, QColor color) {
  for (int x = area.left(); x <= area.right(); ++x) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
      if (image.pixelColor(x, y) == color) return true;
    }
  }
  return false;
}

// --- Stacking and the window under a point -----------------------------------------------

TEST_F(Strip, TheWindowUnderAPointTellsStripBoxesAndElsewhereApart) {
  AddLabel(0, 1500, "Label");  // box pixels 100..; form pixels 164..
  const QPoint title = Global(10, 5), gap = Global(40, 5), ticker = Global(70, 5),
               label = Global(170, 8);
  EXPECT_EQ(PointerCursor(TestEngine()).WindowFromPoint({title.x(), title.y()}), picTitle.hWnd());
  EXPECT_EQ(PointerCursor(TestEngine()).WindowFromPoint({gap.x(), gap.y()}), form.hWnd());
  EXPECT_EQ(PointerCursor(TestEngine()).WindowFromPoint({ticker.x(), ticker.y()}),
            picTicker.hWnd());
  // Labels own no window: the box that draws them answers.
  EXPECT_EQ(PointerCursor(TestEngine()).WindowFromPoint({label.x(), label.y()}), picTicker.hWnd());
  EXPECT_EQ(PointerCursor(TestEngine()).WindowFromPoint({5, 5}), 0u);

  Form::Definition other;
  other.clientWidth = 1500;
  other.clientHeight = 1500;
  Form dialog(TestEngine(), other);
  dialog.Move(9000, 6000);
  dialog.Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(WidgetOf(dialog)));
  const QPoint onDialog = WidgetOf(dialog)->mapToGlobal(QPoint(5, 5));
  EXPECT_EQ(PointerCursor(TestEngine()).WindowFromPoint({onDialog.x(), onDialog.y()}),
            dialog.hWnd());
}

// --- The real window is the visible part of the logical box ------------------------------

TEST_F(Strip, AHugeBoxKeepsItsLogicalSizeAndIsClippedToTheForm) {
  picTicker.setWidth(3e8f);
  EXPECT_EQ(picTicker.Width(), 3e8f);
  const QRect real = WidgetOf(picTicker)->geometry();
  EXPECT_EQ(real, QRect(64, 0, 545 - 64, 25));
  picTicker.setLeft(-16'000'020);  // exact in single precision
  EXPECT_EQ(picTicker.Left(), -16'000'020.0f);
  picTicker.setLeft(picTicker.Left() - 30);
  EXPECT_EQ(picTicker.Left(), -16'000'050.0f);
  // Cut where the title picture covers its whole height.
  EXPECT_EQ(WidgetOf(picTicker)->geometry(), QRect(33, 0, 545 - 33, 25));
}

TEST_F(Strip, ABoxOutsideTheFormHasNoRealWindow) {
  picTicker.setLeft(9000);
  EXPECT_FALSE(WidgetOf(picTicker)->isVisible());
  picTicker.setLeft(8100);
  EXPECT_TRUE(WidgetOf(picTicker)->isVisible());
  EXPECT_EQ(WidgetOf(picTicker)->geometry(), QRect(540, 0, 5, 25));
}

TEST_F(Strip, TheMiddleOfAHundredThousandLabelRowIsDrawnInPlace) {
  for (int i = 0; i < 100'000; ++i) {
    if (i > 0) lblItem.Load(i);
    auto label = lblItem(i);
    label.setVisible(true);
    label.setLeft(static_cast<Twips>(i) * 3000);
    label.setWidth(2000);
    label.setCaption("Item " + std::to_string(i));
    label.setForeColor(kBlue);
  }
  picTicker.setWidth(3e8f);
  picTicker.setLeft(960 - 150'000'000.0f);  // label 50000 at form pixel 64
  ASSERT_EQ(picTicker.Left(), 960 - 150'000'000.0f);
  const QImage shot = Screen();
  const QColor blue(0, 0, 255);
  EXPECT_TRUE(HasColorIn(shot, QRect(64, 0, 133, 25), blue));
  EXPECT_FALSE(HasColorIn(shot, QRect(33, 0, 31, 25), blue));  // the gap before it
  EXPECT_EQ(shot, Fresh());
}

// --- Scrolling ---------------------------------------------------------------------------

TEST_F(Strip, ScrollingRepaintsOnlyTheUncoveredColumnAndShowsTheSameAsAFreshPaint) {
  for (int i = 0; i < 40; ++i) AddLabel(i, 220.0f + i * 1500, "Item " + std::to_string(i));
  picTicker.setWidth(61000);
  picTicker.setLeft(-3000);
  Screen();
  PaintRecorder recorder(WidgetOf(picTicker));
  for (int step = 0; step < 25; ++step) {
    recorder.painted = QRegion();
    picTicker.setLeft(picTicker.Left() - 30);
    QApplication::processEvents();
    // Two pixels per step: only the column that came into view is painted.
    EXPECT_LE(recorder.painted.boundingRect().width(), 3) << "step " << step;
  }
  EXPECT_EQ(Screen(), Fresh());
}

// --- Text measuring and drawing ----------------------------------------------------------

// The label font as the toolkit lays text out for a caption: shaped, not kerned.
QFont LabelFont() {
  QFont font("MS Sans Serif");
  font.setPointSizeF(8.25);
  font.setBold(true);
  font.setKerning(false);
  return font;
}

class Measuring : public Strip, public testing::WithParamInterface<const char*> {};

// Whole pixels of the box's font; an "&" is a character like any other, a tab a blank.
TEST_P(Measuring, TextWidthIsTheToolkitsAdvanceInWholePixels) {
  const int advance =
      QFontMetrics(LabelFont()).horizontalAdvance(QString::fromUtf8(GetParam()).replace('\t', ' '));
  EXPECT_EQ(picTicker.TextWidth(GetParam()), advance * 15.0f);
}

INSTANTIATE_TEST_SUITE_P(Captions, Measuring,
                         testing::Values("", "&", "&&", "A&B", "Tom & Jerry",
                                         "AVAWATo Ty.",                    // kerning pairs
                                         "Caf\xC3\xA9 \xE2\x80\x94 news",  // beyond Latin
                                         "e\xCC\x81 combined", "tab\there", "soft\xC2\xADhyphen",
                                         "\xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80",
                                         "bad \xFF\xC3 bytes", "WTQjpg"));

// The fast sum of cached advances must agree with the toolkit for any Latin text.
TEST_F(Strip, MeasuringRandomLatinTextAgreesWithTheToolkit) {
  const QFontMetrics metrics(LabelFont());
  std::uint32_t seed = 12345;
  const auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  for (int n = 0; n < 2000; ++n) {
    QString text;
    const int length = 1 + static_cast<int>(next() % 60);
    for (int i = 0; i < length; ++i) {
      // Mostly ASCII, some Latin-1 and Latin Extended, a few spaces.
      const std::uint32_t r = next() >> 8;
      const char32_t c = r % 4 == 0 ? 0xA0 + (r / 4) % (0x300 - 0xA0) : 0x20 + (r / 4) % 0x5F;
      if (c == 0xAD) continue;
      text += QString::fromUcs4(&c, 1);
    }
    const std::string utf8 = text.toStdString();
    ASSERT_EQ(picTicker.TextWidth(utf8), metrics.horizontalAdvance(text) * 15.0f) << utf8;
  }
}

TEST_F(Strip, TextWidthFollowsTheFaceSizeAndWeight) {
  const Twips bold = picTicker.TextWidth("Wide Words");
  picTicker.setFontBold(false);
  const Twips regular = picTicker.TextWidth("Wide Words");
  EXPECT_GT(bold, regular);
  picTicker.setFontSize(16);
  EXPECT_GT(picTicker.TextWidth("Wide Words"), regular);
  EXPECT_GT(picTicker.TextHeight("WTQjpg"), 0);
  EXPECT_GT(picTicker.TextWidth("A&B"), picTicker.TextWidth("AB"));
}

TEST_F(Strip, TextHeightIsTheFontsLineHeight) {
  const QFont font = LabelFont();
  EXPECT_EQ(picTicker.TextHeight("WTQjpg"), QFontMetrics(font).height() * 15.0f);
  EXPECT_EQ(picTicker.TextHeight("one\ntwo"), 2 * QFontMetrics(font).height() * 15.0f);
}

bool HasInkIn(const QImage& image, QRect area) {
  for (int x = area.left(); x <= area.right(); ++x) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
      if (image.pixelColor(x, y) != QColor(224, 224, 224)) return true;
    }
  }
  return false;
}

TEST_F(Strip, TheMeasuredWidthIsWhereTheDrawnTextEnds) {
  const std::string caption = "Q&A: Tom & Jerry";
  AddLabel(0, 150, caption);
  const int right = 64 + 10 + static_cast<int>(picTicker.TextWidth(caption) / 15);
  lblItem(0).setWidth(picTicker.TextWidth(caption) + 1500);  // room to spare
  const QImage wide = Screen();
  // The glyphs end at the measured width (a glyph may overhang its advance by a pixel)...
  EXPECT_TRUE(HasInkIn(wide, QRect(right - 4, 0, 4, 25)));
  EXPECT_FALSE(HasInkIn(wide, QRect(right + 1, 0, 40, 25)));
  // ... and, at the measured width, the label draws nothing beyond it.
  lblItem(0).setWidth(picTicker.TextWidth(caption));
  EXPECT_FALSE(HasInkIn(Screen(), QRect(right, 0, 40, 25)));
}

TEST_F(Strip, AnAmpersandIsDrawnAsItStands) {
  AddLabel(0, 150, "&");
  const int width = static_cast<int>(picTicker.TextWidth("&") / 15);
  EXPECT_TRUE(HasColorIn(Screen(), QRect(64 + 10, 0, width, 25), QColor(0, 0, 0)));
}

TEST_F(Strip, AChangedLabelRepaintsOnlyWhereItWasAndIs) {
  AddLabel(0, 150, "First");
  AddLabel(1, 3000, "Second");
  Screen();
  PaintRecorder recorder(WidgetOf(picTicker));
  lblItem(1).setCaption("Changed");
  lblItem(1).setLeft(3150);
  QApplication::processEvents();
  const QRect painted = recorder.painted.boundingRect();
  EXPECT_GE(painted.left(), 200 - 2);                      // label 1 starts at box pixel 200
  EXPECT_FALSE(painted.intersects(QRect(10, 0, 30, 25)));  // label 0 untouched
}

// --- Pictures and colours ----------------------------------------------------------------

TEST_F(Strip, ThePictureIsDrawnAtTheTopLeftOverTheBackColour) {
  const QImage normal(":/images/normal.gif");
  const QImage busy(":/images/downloading.gif");
  QImage shot = Screen();
  EXPECT_EQ(shot.pixelColor(0, 0), normal.pixelColor(0, 0));
  EXPECT_EQ(shot.pixelColor(20, 10), normal.pixelColor(20, 10));
  EXPECT_EQ(shot.pixelColor(10, 20), QColor(255, 128, 0));  // below the 16-pixel picture
  EXPECT_EQ(shot.pixelColor(100, 20), QColor(224, 224, 224));
  picTitle.setPicture({":/images/downloading.gif"});
  picTitle.setBackColor(0x00FFFFFF);
  shot = Screen();
  EXPECT_EQ(shot.pixelColor(20, 10), busy.pixelColor(20, 10));
  EXPECT_EQ(shot.pixelColor(10, 20), QColor(255, 255, 255));
  EXPECT_EQ(picTitle.Picture().resource, ":/images/downloading.gif");
}

// --- Tooltips and pointer shapes ---------------------------------------------------------

TEST_F(Strip, TheHandShowsOverLabelsWithTheCustomPointerOnly) {
  AddLabel(0, 150, "Linked", 0, "", vbCustom);
  AddLabel(1, 3000, "Plain", 0, "", vbDefault);
  QWidget* box = WidgetOf(picTicker);
  SendMouse(box, QEvent::MouseMove, {15, 8}, Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(box->cursor().shape(), Qt::BitmapCursor);
  EXPECT_EQ(box->cursor().hotSpot(), QPoint(15, 10));
  SendMouse(box, QEvent::MouseMove, {205, 8}, Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(box->cursor().shape(), Qt::ArrowCursor);
  SendMouse(box, QEvent::MouseMove, {15, 8}, Qt::NoButton, Qt::NoButton);
  SendMouse(box, QEvent::MouseMove, {120, 8}, Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(box->cursor().shape(), Qt::ArrowCursor);
}

// --- The box's own pointer events --------------------------------------------------------

TEST_F(Strip, PointerPositionsAreInTheBoxsOwnTwipsWhereverItIsScrolled) {
  picTicker.setWidth(3e5f);
  picTicker.setLeft(-3000);  // box pixel 200 at form pixel 0
  std::vector<std::tuple<int, Twips, Twips>> downs;
  picTicker.MouseDown = [&](int b, int, Twips x, Twips y) { downs.emplace_back(b, x, y); };
  QWidget* box = WidgetOf(picTicker);
  const QPoint local = box->mapFrom(WidgetOf(form), QPoint(100, 7));
  SendMouse(box, QEvent::MouseButtonPress, local, Qt::RightButton, Qt::RightButton);
  SendMouse(box, QEvent::MouseButtonRelease, local, Qt::RightButton, Qt::NoButton);
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(downs[0], std::make_tuple(2, Twips(300 * 15), Twips(7 * 15)));
}

// Controls are members declared after their form and go first; the other order must not
// touch freed memory either.
TEST(PictureBoxLifetime, AFormMayGoBeforeItsControls) {
  auto form = std::make_unique<Form>(TestEngine(), StripDefinition());
  auto first = std::make_unique<PictureBox>(*form, PictureBox::Definition{"a", 0, 0, 600, 300});
  auto second = std::make_unique<PictureBox>(*form, PictureBox::Definition{"b", 0, 0, 900, 300});
  auto labels = std::make_unique<LabelArray>(
      *second, LabelArray::Definition{
                   "lbl", Template(), {"MS Sans Serif", 8.25f, true}, {":/images/hand.png"}});
  labels.reset();
  form.reset();
  EXPECT_EQ(WidgetOf(*first), nullptr);
  first.reset();
  second.reset();
}

}  // namespace
}  // namespace platform
