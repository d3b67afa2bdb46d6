// Forms on real toolkit windows: twips geometry as a model over rounded pixels, colours,
// the load handler, close requests from every source, window flags and placement, pointer
// events of the form's own surface, images and icons.
#include <QApplication>
#include <QCloseEvent>
#include <QImage>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/forms/Form.h"
#include "platform/forms/Image.h"
#include "platform/program/Application.h"
#include "platform/qt/Colors.h"
#include "platform/qt/Widgets.h"
#include "support/TestEngine.h"
#include "widget/support/SessionForTest.h"
#include "widget/support/WaitFor.h"

using platform::qt::WidgetOf;

namespace platform {
namespace {

Form::Definition Strip() {
  Form::Definition d;
  d.name = "frmStrip";
  d.caption = "Form2";
  d.clientWidth = 8175;
  d.clientHeight = 375;
  d.icons = {{":/images/icon32.png"}, {":/images/icon16.png"}};
  d.backColor = RGB(224, 224, 224);
  return d;
}

Form::Definition Dialog() {
  Form::Definition d;
  d.name = "frmDialog";
  d.caption = "Ticker : Options";
  d.borderStyle = BorderStyle::FixedToolWindow;
  d.clientWidth = 4680;
  d.clientHeight = 1320;
  d.startUpPosition = StartUpPosition::CenterScreen;
  return d;
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, buttons,
                    modifiers);
  QApplication::sendEvent(widget, &event);
}

// --- Twips and pixels --------------------------------------------------------------------

struct PositionCase {
  Twips twips;
  int pixels;
};

void PrintTo(const PositionCase& c, std::ostream* os) { *os << c.twips << " twips"; }

class FormPosition : public testing::TestWithParam<PositionCase> {};

// The value set is kept as it is; the window stands at the nearest pixel, halves rounding up.
TEST_P(FormPosition, KeepsTheValueAndRoundsThePixel) {
  Form form(TestEngine(), Strip());
  form.Move(GetParam().twips, GetParam().twips);
  EXPECT_EQ(form.Left(), GetParam().twips);
  EXPECT_EQ(form.Top(), GetParam().twips);
  EXPECT_EQ(WidgetOf(form)->pos(), QPoint(GetParam().pixels, GetParam().pixels));
}

INSTANTIATE_TEST_SUITE_P(Values, FormPosition,
                         testing::Values(PositionCase{0, 0}, PositionCase{1234.5f, 82},  // 82.3 px
                                         PositionCase{22.5f, 2},       // exactly half: up
                                         PositionCase{22.4f, 1},       // just under half
                                         PositionCase{-22.5f, -1},     // negative half: up too
                                         PositionCase{-3000, -200}));  // off the screen

TEST(FormGeometry, EdgesMoveSeparatelyAndSizeIsTheClientArea) {
  Form form(TestEngine(), Strip());
  form.setLeft(1500);
  form.setTop(300);
  EXPECT_EQ(WidgetOf(form)->pos(), QPoint(100, 20));
  form.setWidth(8175);
  form.setHeight(435.5f);
  EXPECT_EQ(form.Width(), 8175);
  EXPECT_EQ(form.Height(), 435.5f);
  EXPECT_EQ(WidgetOf(form)->size(), QSize(545, 29));
}

TEST(FormGeometry, AMoveByTheUserBecomesThePosition) {
  Form form(TestEngine(), Strip());  // placed by the window system: no position of the program's
  form.Show();
  WidgetOf(form)->move(40, 30);
  EXPECT_TRUE(WaitFor([&] { return form.Left() == 600 && form.Top() == 450; }));
}

TEST(FormGeometry, ThePositionSetBeforeTheFirstShowSurvivesAnEarlyPlacement) {
  Form form(TestEngine(), Strip());
  form.Move(3000, 1500);
  form.Show();
  // A window manager placing the new window elsewhere before it is mapped.
  WidgetOf(form)->move(0, 0);
  EXPECT_EQ(form.Left(), 3000);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(WidgetOf(form)));
  EXPECT_EQ(WidgetOf(form)->pos(), QPoint(200, 100));
  EXPECT_EQ(form.Left(), 3000);
  EXPECT_EQ(form.Top(), 1500);
}

// Placed by the program, then moved by the user or the window manager once it is on the
// screen, at once or later, at its first showing or a later one: each move is kept.
TEST(FormGeometry, AMoveAfterTheWindowIsMappedIsKept) {
  Form form(TestEngine(), Strip());
  form.Move(3000, 1500);
  for (const QPoint moved : {QPoint(40, 30), QPoint(-20, 60)}) {
    SCOPED_TRACE(moved.x());
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(WidgetOf(form)));
    WidgetOf(form)->move(moved);
    EXPECT_TRUE(WaitFor([&] { return form.Left() == moved.x() * 15; }));
    EXPECT_EQ(form.Top(), moved.y() * 15);
    // Whatever was still on its way has arrived: the window stays where it was put.
    QCoreApplication::processEvents();
    EXPECT_EQ(WidgetOf(form)->pos(), moved);
    form.Hide();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !WidgetOf(form)->windowHandle()->isExposed(); }));
  }
}

// The window system confirms each of the program's moves later, in order. During a drag the
// program asks for several moves before the first is confirmed: those confirmations are not
// moves by the user, and the window does not take their position.
TEST(FormGeometry, LateConfirmationsOfTheProgramsOwnMovesAreNotTheUsers) {
  Form form(TestEngine(), Strip());
  form.Move(1500, 1500);
  form.Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(WidgetOf(form)));
  for (int step = 1; step <= 3; ++step) form.Move(1500 + 150 * step, 1500);
  // The window system reports the window at each asked-for place in turn.
  for (const int x : {110, 120, 130}) {
    SCOPED_TRACE(x);
    WidgetOf(form)->move(x, 100);
    EXPECT_EQ(form.Left(), 1950);
  }
  // A move after the last confirmation is the user's.
  WidgetOf(form)->move(110, 100);
  EXPECT_TRUE(WaitFor([&] { return form.Left() == 1650; }));
}

TEST(FormGeometry, HandlesAreNonZeroAndDistinct) {
  Form a(TestEngine(), Strip());
  Form b(TestEngine(), Dialog());
  EXPECT_NE(a.hWnd(), 0u);
  EXPECT_NE(a.hWnd(), b.hWnd());
}

// --- Colours -----------------------------------------------------------------------------

struct ColorCase {
  const char* what;
  Color value;
  std::function<QColor()> expected;
};

void PrintTo(const ColorCase& c, std::ostream* os) { *os << c.what; }

class ColorMapping : public testing::TestWithParam<ColorCase> {};

TEST_P(ColorMapping, GivesTheToolkitColour) {
  EXPECT_EQ(ToQColor(GetParam().value).rgb(), GetParam().expected().rgb()) << GetParam().what;
}

QColor Role(QPalette::ColorRole role) { return QApplication::palette().color(role); }

INSTANTIATE_TEST_SUITE_P(
    Values, ColorMapping,
    testing::Values(
        // &H00BBGGRR: red is the low byte
        ColorCase{"link blue", RGB(51, 51, 152), [] { return QColor(51, 51, 152); }},
        ColorCase{"orange", 0x000080FF, [] { return QColor(255, 128, 0); }},
        ColorCase{"black", 0, [] { return QColor(0, 0, 0); }},
        ColorCase{"white", 0x00FFFFFF, [] { return QColor(255, 255, 255); }},
        // the top bit names a colour of the desktop scheme
        ColorCase{"window text", vbWindowText, [] { return Role(QPalette::WindowText); }},
        ColorCase{"button face", vbButtonFace, [] { return Role(QPalette::Button); }},
        ColorCase{"button text", 0x80000012, [] { return Role(QPalette::ButtonText); }},
        ColorCase{"window background", 0x80000005, [] { return Role(QPalette::Base); }},
        ColorCase{"highlight", 0x8000000D, [] { return Role(QPalette::Highlight); }},
        ColorCase{"tooltip background", 0x80000018, [] { return Role(QPalette::ToolTipBase); }},
        // past the last scheme index
        ColorCase{"unknown scheme index", 0x80000040, [] { return QColor(0, 0, 0); }}));

TEST(FormPainting, BackColourAndImagesAreDrawn) {
  Form form(TestEngine(), Strip());
  form.setBackColor(RGB(255, 128, 0));
  Image image(form, {"imgNormal", 150, 75, 495, 240, {":/images/normal.gif"}});
  const QImage shot = WidgetOf(form)->grab().toImage();
  EXPECT_EQ(shot.pixelColor(300, 5), QColor(255, 128, 0));
  const QImage picture(":/images/normal.gif");
  ASSERT_FALSE(picture.isNull());
  EXPECT_EQ(shot.pixelColor(10, 5), picture.pixelColor(0, 0));
  EXPECT_EQ(shot.pixelColor(10 + 32, 5 + 15), picture.pixelColor(32, 15));
}

TEST(FormWindow, IconsCarryBothSizes) {
  Form form(TestEngine(), Strip());
  const QList<QSize> sizes = WidgetOf(form)->windowIcon().availableSizes();
  EXPECT_TRUE(sizes.contains(QSize(32, 32)));
  EXPECT_TRUE(sizes.contains(QSize(16, 16)));
  EXPECT_TRUE(sizes.contains(QSize(64, 64))) << "the 32 drawn at twice the size";
  EXPECT_EQ(WidgetOf(form)->windowTitle(), "Form2");
}

// --- Load and show -----------------------------------------------------------------------

// --- Close requests ----------------------------------------------------------------------

struct CloseCase {
  const char* source;
  int expectedMode;
  std::function<void(Form&)> request;
};

class CloseRequest : public testing::TestWithParam<std::tuple<CloseCase, bool>> {};

// Every source reaches QueryUnload exactly once; a non-zero Cancel refuses the close.
TEST_P(CloseRequest, PassesQueryUnloadOnce) {
  const auto& [source, refuse] = GetParam();
  const bool cancel = refuse;  // Clang 14's lambdas cannot capture a structured binding
  Form form(TestEngine(), Strip());
  form.Show();
  std::vector<int> modes;
  form.QueryUnload = [&](int& Cancel, int UnloadMode) {
    modes.push_back(UnloadMode);
    Cancel = cancel ? 1 : 0;
  };
  source.request(form);
  QApplication::processEvents();
  ASSERT_EQ(modes.size(), 1u) << source.source;
  EXPECT_EQ(modes[0], source.expectedMode) << source.source;
  EXPECT_EQ(form.Visible(), cancel) << source.source;
  EXPECT_EQ(form.Closed(), !cancel) << source.source;
  EXPECT_NE(WidgetOf(form), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, CloseRequest,
    testing::Combine(testing::Values(CloseCase{"QWidget::close", vbFormControlMenu,
                                               [](Form& f) { WidgetOf(f)->close(); }},
                                     CloseCase{
                                         "window system close", vbFormControlMenu,
                                         [](Form& f) { WidgetOf(f)->windowHandle()->close(); }},
                                     CloseCase{"Unload", vbFormCode, [](Form& f) { f.Unload(); }}),
                     testing::Bool()));

TEST(CloseRequest, AHiddenFormStillAsksQueryUnload) {
  Form form(TestEngine(), Dialog());
  form.EnsureLoaded();
  int calls = 0;
  form.QueryUnload = [&](int& Cancel, int) {
    ++calls;
    Cancel = 1;
  };
  WidgetOf(form)->close();
  EXPECT_EQ(calls, 1);
}

TEST(CloseRequest, ClosingTheLastWindowDoesNotEndTheProgram) {
  EXPECT_FALSE(QApplication::quitOnLastWindowClosed());
}

// The session end: every open form is asked with vbAppWindows, then the program's handler
// runs, and only once.
TEST(CloseRequest, SessionEndAsksEveryFormThenTheHandler) {
  engine::Engine engine{TestEngine().surface()};
  Form strip(engine, Strip());
  Form dialog(engine, Dialog());
  strip.Show();
  std::vector<std::string> calls;
  strip.QueryUnload = [&](int&, int mode) { calls.push_back("strip " + std::to_string(mode)); };
  dialog.QueryUnload = [&](int& Cancel, int mode) {
    calls.push_back("dialog " + std::to_string(mode));
    Cancel = 1;
  };
  SessionForTest session{engine};
  session.OnEnd([&] { calls.push_back("handler"); });
  session.EndSession();
  session.EndSession();
  const std::vector<std::string> expected = {"strip 2", "dialog 2", "handler"};
  EXPECT_EQ(calls, expected);
  EXPECT_TRUE(strip.Closed());
  EXPECT_FALSE(dialog.Closed());
  EXPECT_EQ(session.exits, 0) << "the handler, not the session's end, ends the program";
}

// --- Window kinds and the topmost band ---------------------------------------------------

TEST(FormWindow, TheStripIsAFramelessNormalTopLevel) {
  Form form(TestEngine(), Strip());
  const Qt::WindowFlags flags = WidgetOf(form)->windowFlags();
  EXPECT_TRUE(flags & Qt::FramelessWindowHint);
  EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Window);
  EXPECT_FALSE(flags & Qt::WindowStaysOnTopHint);
}

TEST(FormWindow, TopmostTogglesAndKeepsTheWindowInPlace) {
  Form form(TestEngine(), Strip());
  form.Move(1500, 3000);
  form.Show();
  form.SetTopmost(true);
  EXPECT_TRUE(WidgetOf(form)->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(form.Visible());
  EXPECT_TRUE(WidgetOf(form)->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(WaitFor([&] { return WidgetOf(form)->pos() == QPoint(100, 200); }));
  form.SetTopmost(false);
  EXPECT_FALSE(WidgetOf(form)->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(form.Visible());
  EXPECT_TRUE(WaitFor([&] { return WidgetOf(form)->pos() == QPoint(100, 200); }));
  EXPECT_EQ(form.Left(), 1500);
}

TEST(FormWindow, TopmostBeforeTheFirstShowHoldsAtTheShow) {
  Form form(TestEngine(), Strip());
  form.SetTopmost(true);
  EXPECT_FALSE(form.Visible());
  form.Show();
  EXPECT_TRUE(WidgetOf(form)->windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST(FormWindow, TheDialogIsAFixedToolWindowWithOnlyACloseBox) {
  Form form(TestEngine(), Dialog());
  QWidget* w = WidgetOf(form);
  const Qt::WindowFlags flags = w->windowFlags();
  EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(w->minimumSize(), QSize(312, 88));
  EXPECT_EQ(w->maximumSize(), QSize(312, 88));
  EXPECT_EQ(w->windowTitle(), "Ticker : Options");
}

TEST(FormWindow, CentredAtTheFirstShowThenKeptWhereTheUserLeftIt) {
  Form form(TestEngine(), Dialog());
  form.Show();
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  const QRect frame = WidgetOf(form)->frameGeometry();
  EXPECT_LE(std::abs(frame.center().x() - area.center().x()), 1);
  EXPECT_LE(std::abs(frame.center().y() - area.center().y()), 1);
  // Moved by the user once the window is on the screen.
  ASSERT_TRUE(QTest::qWaitForWindowExposed(WidgetOf(form)));
  const QPoint moved(frame.x() + 37, frame.y() + 21);
  WidgetOf(form)->move(moved);
  EXPECT_TRUE(WaitFor([&] { return form.Left() == moved.x() * 15; }));
  form.Hide();
  form.Show();
  EXPECT_TRUE(WaitFor([&] { return WidgetOf(form)->pos() == moved; }));
}

// --- Pointer events on the form's own surface --------------------------------------------

TEST(FormPointer, ButtonsShiftAndTwipsOfTheClientArea) {
  Form form(TestEngine(), Strip());
  form.Show();
  std::vector<std::tuple<char, int, int, Twips, Twips>> events;
  form.MouseDown = [&](int b, int s, Twips x, Twips y) { events.emplace_back('D', b, s, x, y); };
  form.MouseMove = [&](int b, int s, Twips x, Twips y) { events.emplace_back('M', b, s, x, y); };
  form.MouseUp = [&](int b, int s, Twips x, Twips y) { events.emplace_back('U', b, s, x, y); };
  QWidget* w = WidgetOf(form);
  SendMouse(w, QEvent::MouseButtonPress, {10, 4}, Qt::RightButton, Qt::RightButton,
            Qt::ShiftModifier | Qt::AltModifier);
  SendMouse(w, QEvent::MouseMove, {12, 5}, Qt::NoButton, Qt::RightButton | Qt::MiddleButton,
            Qt::ControlModifier);
  SendMouse(w, QEvent::MouseButtonRelease, {12, 5}, Qt::MiddleButton, Qt::RightButton);
  using E = std::tuple<char, int, int, Twips, Twips>;
  const std::vector<E> expected = {E{'D', 2, 5, 150, 60}, E{'M', 6, 2, 180, 75},
                                   E{'U', 4, 0, 180, 75}};
  EXPECT_EQ(events, expected);
}

TEST(FormPointer, EmptyHandlersAreSkipped) {
  Form form(TestEngine(), Strip());
  SendMouse(WidgetOf(form), QEvent::MouseButtonPress, {1, 1}, Qt::LeftButton, Qt::LeftButton);
  SendMouse(WidgetOf(form), QEvent::MouseButtonRelease, {1, 1}, Qt::LeftButton, Qt::NoButton);
  SUCCEED();
}

}  // namespace
}  // namespace platform
