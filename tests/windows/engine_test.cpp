// What only the Windows surface does with real windows, which neither the engine's unit tests
// nor the surface table see: a framed tool window and negative coordinates, no taskbar button,
// topmost, the close box's request, the session's and the display's messages, the scroll's
// pixels, a box cut by one in front, a minimised dialog, the tooltip control's styles and
// Return in a combo box's open list.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/forms/ComboBox.h"
#include "platform/forms/CommandButton.h"
#include "platform/forms/Form.h"
#include "platform/forms/LabelArray.h"
#include "platform/forms/PictureBox.h"
#include "platform/program/Application.h"
#include "platform/win32/Handles.h"
#include "platform/win32/MessageLoop.h"
#include "platform/win32/Win32.h"
#include "platform/win32/Win32Session.h"
#include "platform/win32/Win32Surface.h"
#include "support/TestEngine.h"

using namespace platform;

engine::Engine& TestEngine() {
  static win32::Win32Surface surface;
  static engine::Engine engine{surface};
  return engine;
}

namespace {

// Handles messages until the condition holds or the deadline passes; returns the condition.
bool PumpUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds deadline = std::chrono::seconds(10)) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    win32::PumpWaitingMessages();
  }
  return true;
}

// Handles what is waiting, paints included.
void Settle(HWND hwnd) {
  win32::PumpWaitingMessages();
  RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  win32::PumpWaitingMessages();
}

HWND H(WindowHandle handle) { return reinterpret_cast<HWND>(handle); }

unsigned Dpi(const Form& form) { return win32::DpiOf(H(form.hWnd())); }

// The client pixels of a window, as it shows them.
std::vector<COLORREF> Grab(HWND hwnd) {
  RECT r{};
  GetClientRect(hwnd, &r);
  std::vector<COLORREF> pixels;
  HDC dc = GetDC(hwnd);
  for (int y = 0; y < r.bottom; ++y) {
    for (int x = 0; x < r.right; ++x) pixels.push_back(GetPixel(dc, x, y) & 0xFFFFFF);
  }
  ReleaseDC(hwnd, dc);
  return pixels;
}

const Form::Definition kStrip{.name = "strip",
                              .caption = "strip",
                              .borderStyle = BorderStyle::None,
                              .clientWidth = 8175,
                              .clientHeight = 375,
                              .backColor = RGB(0, 0, 255),
                              .activateOnShow = false};

const Form::Definition kDialog{.name = "dialog",
                               .caption = "dialog",
                               .borderStyle = BorderStyle::FixedToolWindow,
                               .clientWidth = 4680,
                               .clientHeight = 1320,
                               .startUpPosition = StartUpPosition::WindowsDefault};

// A box as wide as the strip with three labels: "One" at 300, "Two" at 1500, "Three" at 3000
// twips, each 900 twips wide.
struct Row {
  Form form{TestEngine(), kStrip};
  PictureBox box{form,
                 {.name = "box",
                  .left = 0,
                  .top = 0,
                  .width = 8175,
                  .height = 375,
                  .backColor = RGB(255, 255, 255)}};
  LabelArray labels{box,
                    {.name = "labels",
                     .element0 = {.left = 300,
                                  .top = 60,
                                  .width = 900,
                                  .height = 225,
                                  .caption = "One",
                                  .foreColor = RGB(0, 0, 0)},
                     .font = {.name = "MS Sans Serif", .size = 8.25f, .bold = true}}};

  Row() {
    const char* captions[] = {"Two", "Three"};
    for (int i = 1; i <= 2; ++i) {
      labels.Load(i);
      labels(i).setCaption(std::string(captions[i - 1]));
      labels(i).setLeft(i == 1 ? 1500 : 3000);
      labels(i).setVisible(true);
    }
  }
};

struct Placement {
  const char* name;
  Form::Definition definition;
  Twips left;
  Twips top;
};

class FormPlacement : public ::testing::TestWithParam<Placement> {};

// The outer frame lands at the position asked; the client area has the size asked, in the
// pixels of the display's real DPI. (A frameless form's place is the surface table's.)
TEST_P(FormPlacement, MapsAtItsPositionAndSize) {
  const Placement& p = GetParam();
  Form form(TestEngine(), p.definition);
  form.Move(p.left, p.top);
  form.Show();
  HWND hwnd = H(form.hWnd());
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(hwnd) != FALSE; }));
  const unsigned dpi = Dpi(form);
  RECT outer{}, client{};
  GetWindowRect(hwnd, &outer);
  GetClientRect(hwnd, &client);
  EXPECT_EQ(outer.left, ToPixels(p.left, dpi));
  EXPECT_EQ(outer.top, ToPixels(p.top, dpi));
  EXPECT_EQ(client.right, ToPixels(p.definition.clientWidth, dpi));
  EXPECT_EQ(client.bottom, ToPixels(p.definition.clientHeight, dpi));
  EXPECT_EQ(ToPixels(form.Width(), dpi), outer.right - outer.left);
  EXPECT_EQ(ToPixels(form.Height(), dpi), outer.bottom - outer.top);
  // No taskbar button for either.
  EXPECT_TRUE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
}

INSTANTIATE_TEST_SUITE_P(
    Win32Engine, FormPlacement,
    ::testing::Values(Placement{"toolWindow", kDialog, 3000, 1500},
                      // A screen to the left of the primary one has negative coordinates.
                      Placement{"negative", kStrip, -300, 600}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Win32Engine, TopmostStripIsAboveOtherWindowsAndTheFrameless) {
  Form form(TestEngine(), kStrip);
  form.SetTopmost(true);
  form.Show();
  HWND hwnd = H(form.hWnd());
  EXPECT_TRUE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_FALSE(GetWindowLongW(hwnd, GWL_STYLE) & WS_CAPTION);
  form.SetTopmost(false);
  EXPECT_FALSE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

// The close box (or Alt+F4) reaches QueryUnload as the window system's own request: refused,
// the window stays; agreed, the form closes and its window goes.
TEST(Win32Engine, TheCloseBoxAsksQueryUnload) {
  Form form(TestEngine(), kStrip);
  std::vector<int> reasons;
  int refuse = 1;
  form.QueryUnload = [&](int& Cancel, int UnloadMode) {
    reasons.push_back(UnloadMode);
    Cancel = refuse;
  };
  form.Show();
  HWND hwnd = H(form.hWnd());
  SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(form.Closed());
  EXPECT_TRUE(IsWindowVisible(hwnd));
  refuse = 0;
  SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(form.Closed());
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_EQ(reasons, (std::vector<int>{vbFormControlMenu, vbFormControlMenu}));
}

// The session hears the system's broadcast on a top-level window of its own: it agrees to the
// session's end, and an end that was cancelled closes nothing.
TEST(Win32Engine, TheSessionHearsTheEndOnAWindowOfItsOwn) {
  win32::Win32Session session{TestEngine()};
  ASSERT_NE(session.handle(), nullptr);
  HWND parent = GetAncestor(session.handle(), GA_PARENT);
  EXPECT_TRUE(parent == nullptr || parent == GetDesktopWindow()) << "a top-level window";
  Form strip(TestEngine(), kStrip);
  strip.Show();
  bool ended = false;
  session.OnEnd([&] { ended = true; });
  EXPECT_EQ(SendMessageW(session.handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
  SendMessageW(session.handle(), WM_ENDSESSION, FALSE, 0);
  EXPECT_FALSE(ended);
  EXPECT_FALSE(strip.Closed());
}

// The session's window hears the lock and the display's power as Windows sends them: nobody
// sees the screen until the session is unlocked and the display on again (a dimmed one is seen).
TEST(Win32Engine, NobodySeesTheScreenWhileTheSessionIsLockedOrTheDisplayOff) {
  win32::Win32Session session{TestEngine()};
  const auto display = [&](DWORD state) {
    POWERBROADCAST_SETTING setting{};
    setting.PowerSetting = {
        0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
    setting.DataLength = sizeof(DWORD);
    std::memcpy(setting.Data, &state, sizeof state);
    SendMessageW(session.handle(), WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE,
                 reinterpret_cast<LPARAM>(&setting));
  };
  SendMessageW(session.handle(), WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0);
  display(0);
  EXPECT_FALSE(TestEngine().seen());
  SendMessageW(session.handle(), WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0);
  EXPECT_FALSE(TestEngine().seen()) << "the display is still off";
  display(2);
  EXPECT_TRUE(TestEngine().seen()) << "dimmed";
  display(0);
  EXPECT_FALSE(TestEngine().seen());
  display(1);
  EXPECT_TRUE(TestEngine().seen());
}

// Moving the box sideways scrolls the pixels already drawn and paints the exposed column:
// what shows is what a full repaint draws.
TEST(Win32Engine, ScrollShowsWhatAFullRepaintDraws) {
  Row row;
  // Wider than the form and starting left of it: the window covers the form's whole width,
  // keeps its place and only its contents move.
  row.box.setWidth(40000);
  row.box.setLeft(-900);
  row.form.Show();
  HWND box = H(row.box.hWnd());
  Settle(box);
  for (int step = 0; step < 20; ++step) {
    row.box.setLeft(row.box.Left() - 30);
    Settle(box);
  }
  const std::vector<COLORREF> scrolled = Grab(box);
  InvalidateRect(box, nullptr, FALSE);
  Settle(box);
  const std::vector<COLORREF> repainted = Grab(box);
  EXPECT_EQ(scrolled, repainted);
  RECT r{};
  GetWindowRect(box, &r);
  POINT topLeft{r.left, r.top};
  ScreenToClient(H(row.form.hWnd()), &topLeft);
  EXPECT_EQ(topLeft.x, 0);
  // "Three" (at 3000 twips) now shows 1500 twips further left.
  int pressed = -1;
  row.labels.MouseDown = [&](int Index, int, int, Twips, Twips) { pressed = Index; };
  const unsigned dpi = Dpi(row.form);
  SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(ToPixels(3000 - 1500 + 450, dpi), 5));
  SendMessageW(box, WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(pressed, 2);
}

// A box covered on its left side by one in front of it shows only to the right of that one.
TEST(Win32Engine, BoxBehindAnotherShowsBesideIt) {
  Form form(TestEngine(), kStrip);
  PictureBox front(form, {.name = "front", .left = 0, .top = 0, .width = 495, .height = 375});
  PictureBox back(form, {.name = "back", .left = 0, .top = 0, .width = 8175, .height = 375});
  form.Show();
  const unsigned dpi = Dpi(form);
  RECT r{};
  GetWindowRect(H(back.hWnd()), &r);
  POINT topLeft{r.left, r.top};
  ScreenToClient(H(form.hWnd()), &topLeft);
  EXPECT_EQ(topLeft.x, ToPixels(495, dpi));
  back.setLeft(10000);  // wholly outside the form
  EXPECT_FALSE(IsWindowVisible(H(back.hWnd())));
}

// The tooltip control shows a label's text as it stands, "&" no access key, whatever window is
// active. (What it shows is the surface table's.)
TEST(Win32Engine, TheTooltipControlTakesTheTextAsItIs) {
  Row row;
  row.labels(1).setToolTipText("Ann & Bob");
  row.form.Show();
  HWND box = H(row.box.hWnd());
  SendMessageW(box, WM_MOUSEMOVE, 0, MAKELPARAM(ToPixels(1800, Dpi(row.form)), 5));
  win32::PumpWaitingMessages();
  HWND tip = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM found) {
        wchar_t name[64] = {};
        GetClassNameW(hwnd, name, 64);
        if (lstrcmpiW(name, TOOLTIPS_CLASSW) == 0) *reinterpret_cast<HWND*>(found) = hwnd;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&tip));
  ASSERT_NE(tip, nullptr);
  const LONG style = GetWindowLongW(tip, GWL_STYLE);
  EXPECT_TRUE(style & TTS_ALWAYSTIP);
  EXPECT_TRUE(style & TTS_NOPREFIX);
}

// A dialog the window manager minimised (Wine reports it as the system command) comes back at
// its next showing; its system menu offers no minimise of its own.
TEST(Win32Engine, MinimisedDialogComesBackAtTheNextShowing) {
  Form dialog(TestEngine(), kDialog);
  dialog.Show();
  HWND hwnd = H(dialog.hWnd());
  SendMessageW(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(IsIconic(hwnd));
  dialog.Show();
  EXPECT_FALSE(IsIconic(hwnd));
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_EQ(GetMenuState(GetSystemMenu(hwnd, FALSE), SC_MINIMIZE, MF_BYCOMMAND), UINT(-1));
}

// The options' field: Down then Return in its open list puts the entry into the field and
// presses the default button at once.
struct Options {
  Form form{TestEngine(), kDialog};
  ComboBox url{form, {.name = "url", .left = 120, .top = 120, .width = 3000, .height = 315}};
  CommandButton ok{form,
                   {.name = "ok",
                    .caption = "OK",
                    .left = 3300,
                    .top = 120,
                    .width = 1000,
                    .height = 375,
                    .tabIndex = 1,
                    .isDefault = true}};
};

TEST(Win32Engine, ReturnInTheOpenListPressesTheDefaultButton) {
  Options options;
  options.url.AddItem("first");
  options.url.AddItem("second");
  std::string applied;
  options.ok.Click = [&] { applied = options.url.Text(); };
  options.form.Show();
  HWND combo = win32::HwndOf(options.url);
  SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
  ASSERT_TRUE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
  HWND field = GetFocus();
  for (const WPARAM key : {WPARAM{VK_DOWN}, WPARAM{VK_RETURN}}) {
    PostMessageW(field, WM_KEYDOWN, key, 1);
    PostMessageW(field, WM_KEYUP, key, 0xC0000001);
  }
  EXPECT_TRUE(PumpUntil([&] { return !applied.empty(); }, std::chrono::seconds(3)));
  EXPECT_EQ(applied, "first");
  EXPECT_FALSE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  platform::InitializeFormEngine();
  return RUN_ALL_TESTS();
}
