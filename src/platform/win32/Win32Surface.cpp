#include "platform/win32/Win32Surface.h"

#include <map>

#include "platform/program/Application.h"
#include "platform/win32/Fonts.h"
#include "platform/win32/FormWindow.h"
#include "platform/win32/HiddenWindow.h"
#include "platform/win32/MessageLoop.h"
#include "platform/win32/NativeControls.h"
#include "platform/win32/PictureBoxWindow.h"
#include "platform/win32/Pictures.h"

namespace platform::win32 {

namespace {

constexpr const wchar_t* kSurfaceClass = L"TickerSurface";
constexpr UINT kRunPosted = WM_APP + 3;

// A thread timer: its ticks arrive as WM_TIMER through whatever message loop runs (the
// program's, a message box's, a download's wait).
class ThreadTimer final : public engine::NativeTimer {
 public:
  explicit ThreadTimer(std::function<void()> tick) : tick_(std::move(tick)) {}
  ~ThreadTimer() override { stop(); }

  void start(int milliseconds) override {
    stop();
    id_ = SetTimer(nullptr, 0, static_cast<UINT>(milliseconds), &OnTick);
    if (id_ != 0) Running()[id_] = this;
  }

  void stop() override {
    if (id_ == 0) return;
    KillTimer(nullptr, id_);
    Running().erase(id_);
    id_ = 0;
  }

 private:
  static std::map<UINT_PTR, ThreadTimer*>& Running() {
    static std::map<UINT_PTR, ThreadTimer*> timers;
    return timers;
  }

  static void CALLBACK OnTick(HWND, UINT, UINT_PTR id, DWORD) {
    auto found = Running().find(id);
    if (found == Running().end()) return;
    // The tick may destroy its own timer: it runs from a copy.
    const std::function<void()> tick = found->second->tick_;
    try {
      tick();
    } catch (...) {
      ReportFailure(std::current_exception());
    }
  }

  std::function<void()> tick_;
  UINT_PTR id_ = 0;
};

}  // namespace

// The posted calls' window.
Win32Surface::Win32Surface()
    : window_(CreateHiddenWindow(HiddenKind::MessageOnly, kSurfaceClass, &Win32Surface::WindowProc,
                                 this)) {}

Win32Surface::~Win32Surface() { DestroyHiddenWindow(window_); }

std::unique_ptr<engine::NativeForm> Win32Surface::makeForm(const Form::Definition& definition,
                                                           engine::FormEvents& events) {
  return std::make_unique<FormWindow>(definition, events);
}

std::unique_ptr<engine::NativeBox> Win32Surface::makeBox(engine::NativeForm& parent,
                                                         const char* name,
                                                         engine::BoxEvents& events,
                                                         engine::AccessibleModel& reader) {
  return std::make_unique<PictureBoxWindow>(static_cast<FormWindow&>(parent), name, events, reader);
}

std::unique_ptr<engine::NativeControl> Win32Surface::makeControl(
    engine::NativeForm& parent, const engine::ControlDefinition& definition,
    engine::ControlEvents& events) {
  return MakeNativeControl(static_cast<FormWindow&>(parent), definition, events);
}

std::unique_ptr<engine::NativeTimer> Win32Surface::makeTimer(std::function<void()> tick) {
  return std::make_unique<ThreadTimer>(std::move(tick));
}

const engine::MeasuringFont& Win32Surface::font(const Font& font, unsigned dpi) {
  return FontOf(font, dpi);
}

engine::Pixels Win32Surface::pictureSize(const StdPicture& picture) {
  HBITMAP bitmap = BitmapOf(picture);
  BITMAP info{};
  if (bitmap == nullptr || GetObjectW(bitmap, sizeof(info), &info) == 0) return {};
  return {0, 0, info.bmWidth, info.bmHeight};
}

void Win32Surface::post(std::function<void()> call) {
  posted_.push_back(std::move(call));
  PostMessageW(window_, kRunPosted, 0, 0);
}

// The calls waiting, in the order they were posted; those they post wait for their own
// message.
void Win32Surface::runPosted() {
  std::deque<std::function<void()>> calls;
  calls.swap(posted_);
  while (!calls.empty()) {
    const std::function<void()> call = std::move(calls.front());
    calls.pop_front();
    call();
  }
}

LRESULT CALLBACK Win32Surface::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = HiddenWindowOwner<Win32Surface>(hwnd, message, lParam);
  if (message != kRunPosted || self == nullptr)
    return DefWindowProcW(hwnd, message, wParam, lParam);
  try {
    self->runPosted();
  } catch (...) {
    ReportFailure(std::current_exception());
  }
  return 0;
}

}  // namespace platform::win32
