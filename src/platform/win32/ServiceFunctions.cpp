// The services as the free functions and the download control that the windows call directly
// (Cursor.h, Screens.h, MsgBox.h, Shell.h, Inet.h), over the Windows service classes.
#include <utility>

#include "platform/Cursor.h"
#include "platform/Inet.h"
#include "platform/MsgBox.h"
#include "platform/Screens.h"
#include "platform/Shell.h"
#include "platform/win32/Win32Cursor.h"
#include "platform/win32/Win32LinkOpener.h"
#include "platform/win32/Win32MsgBox.h"
#include "platform/win32/Win32Screens.h"
#include "platform/win32/WinInetDownload.h"

namespace platform {

namespace {

std::function<int(const std::string&, int)>& Hook() {
  static std::function<int(const std::string&, int)> hook;
  return hook;
}

}  // namespace

bool GetCursorPos(PointApi& pt) { return win32::Win32Cursor().GetCursorPos(pt); }

WindowHandle WindowFromPoint(PointApi pt) { return win32::Win32Cursor().WindowFromPoint(pt); }

std::vector<RectTwips> ScreenAreas() { return win32::Win32Screens().ScreenAreas(); }

RectTwips PrimaryWorkArea() { return win32::Win32Screens().PrimaryWorkArea(); }

bool ShellOpen(const std::string& link) { return win32::Win32LinkOpener().Open(link); }

int MsgBox(const std::string& prompt, int style) {
  if (std::function<int(const std::string&, int)> hook = Hook()) return hook(prompt, style);
  return win32::Win32MsgBox(APP_DISPLAY_NAME).Show(prompt, style);
}

void SetMsgBoxHook(std::function<int(const std::string& prompt, int style)> hook) {
  Hook() = std::move(hook);
}

struct Inet::Impl {
  win32::WinInetDownload download;
  std::chrono::milliseconds stall{std::chrono::seconds(60)};
};

Inet::Inet(const Definition& definition) : d(std::make_unique<Impl>()) {
  setRequestTimeout(std::chrono::seconds(definition.requestTimeout));
}

Inet::~Inet() = default;

FetchResult Inet::OpenURL(const std::string& url) { return d->download.OpenURL(url); }

bool Inet::StillExecuting() const { return d->download.StillExecuting(); }

void Inet::setRequestTimeout(std::chrono::milliseconds stall) {
  d->stall = stall;
  d->download.setRequestTimeout(stall);
}

void Inet::setTotalTimeLimit(std::chrono::milliseconds total) {
  d->download.setTotalTimeLimit(total);
}

void Inet::setMaxBytes(std::size_t bytes) { d->download.setMaxBytes(bytes); }

std::chrono::milliseconds Inet::RequestTimeout() const { return d->stall; }

}  // namespace platform
