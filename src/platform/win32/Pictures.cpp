#include "platform/win32/Pictures.h"

#include <map>
#include <string>

#include "platform/win32/Resources.h"

namespace platform::win32 {

namespace {

struct Stored {
  const char* resource;
  int id;
  UINT type;  // IMAGE_BITMAP or IMAGE_ICON
  int hotX;   // pointer images: the hot spot
  int hotY;
};

// The pictures the windows name, by the names they give them.
constexpr Stored kStored[] = {
    {":/images/normal.gif", TICKER_BMP_NORMAL, IMAGE_BITMAP, 0, 0},
    {":/images/downloading.gif", TICKER_BMP_DOWNLOADING, IMAGE_BITMAP, 0, 0},
    {":/images/icon32.png", TICKER_ICON_32, IMAGE_ICON, 0, 0},
    {":/images/icon16.png", TICKER_ICON_16, IMAGE_ICON, 0, 0},
    // The tip of the index finger of the hand.
    {":/images/hand.png", TICKER_ICON_HAND, IMAGE_ICON, 15, 10},
};

const Stored* Find(const StdPicture& picture) {
  for (const Stored& stored : kStored) {
    if (picture.resource == stored.resource) return &stored;
  }
  return nullptr;
}

HANDLE Load(const StdPicture& picture, UINT type) {
  static std::map<std::string, HANDLE> cache[2];
  auto& map = cache[type == IMAGE_BITMAP ? 0 : 1];
  auto found = map.find(picture.resource);
  if (found != map.end()) return found->second;
  HANDLE handle = nullptr;
  if (const Stored* stored = Find(picture); stored != nullptr && stored->type == type) {
    handle = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(stored->id), type, 0, 0,
                        type == IMAGE_BITMAP ? LR_CREATEDIBSECTION : LR_DEFAULTSIZE);
  }
  map.emplace(picture.resource, handle);
  return handle;
}

}  // namespace

HBITMAP BitmapOf(const StdPicture& picture) {
  return static_cast<HBITMAP>(Load(picture, IMAGE_BITMAP));
}

HICON IconOf(const StdPicture& picture) { return static_cast<HICON>(Load(picture, IMAGE_ICON)); }

HCURSOR CursorOf(const StdPicture& picture) {
  static std::map<std::string, HCURSOR> cache;
  auto found = cache.find(picture.resource);
  if (found != cache.end()) return found->second;
  HCURSOR cursor = nullptr;
  const Stored* stored = Find(picture);
  if (HICON icon = IconOf(picture); icon != nullptr && stored != nullptr) {
    ICONINFO info{};
    if (GetIconInfo(icon, &info)) {
      info.fIcon = FALSE;
      info.xHotspot = static_cast<DWORD>(stored->hotX);
      info.yHotspot = static_cast<DWORD>(stored->hotY);
      cursor = CreateIconIndirect(&info);
      if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
      if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    }
  }
  if (cursor == nullptr) cursor = LoadCursorW(nullptr, IDC_HAND);
  cache.emplace(picture.resource, cursor);
  return cursor;
}

}  // namespace platform::win32
