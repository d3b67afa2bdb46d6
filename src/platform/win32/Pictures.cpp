#include "platform/win32/Pictures.h"

#include <map>
#include <string>

#include "platform/engine/Pictures.h"
#include "platform/win32/Resources.h"

namespace platform::win32 {

namespace {

struct Stored {
  const char* resource;
  int id;
  int twiceId;  // the drawing at twice the size, 0 for none
  UINT type;    // IMAGE_BITMAP or IMAGE_ICON
};

// The pictures the windows name, by the names they give them.
constexpr Stored kStored[] = {
    {":/images/normal.gif", TICKER_BMP_NORMAL, TICKER_BMP_NORMAL_2X, IMAGE_BITMAP},
    {":/images/downloading.gif", TICKER_BMP_DOWNLOADING, TICKER_BMP_DOWNLOADING_2X, IMAGE_BITMAP},
    {":/images/icon32.png", TICKER_ICON_32, TICKER_ICON_32_2X, IMAGE_ICON},
    {":/images/icon16.png", TICKER_ICON_16, TICKER_ICON_16_2X, IMAGE_ICON},
    {":/images/hand.png", TICKER_ICON_HAND, 0, IMAGE_ICON},
};

const Stored* Find(const StdPicture& picture) {
  for (const Stored& stored : kStored) {
    if (picture.resource == stored.resource) return &stored;
  }
  return nullptr;
}

HANDLE Load(const StdPicture& picture, UINT type, bool twice = false) {
  static std::map<std::string, HANDLE> cache[2][2];
  auto& map = cache[type == IMAGE_BITMAP ? 0 : 1][twice ? 1 : 0];
  auto found = map.find(picture.resource);
  if (found != map.end()) return found->second;
  HANDLE handle = nullptr;
  if (const Stored* stored = Find(picture); stored != nullptr && stored->type == type) {
    // An icon at twice the size keeps its own size: the default one is the display's.
    const UINT flags = type == IMAGE_BITMAP ? LR_CREATEDIBSECTION
                       : twice              ? LR_DEFAULTCOLOR
                                            : LR_DEFAULTSIZE;
    if (const int id = twice ? stored->twiceId : stored->id; id != 0) {
      handle = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), type, 0, 0, flags);
    }
  }
  map.emplace(picture.resource, handle);
  return handle;
}

}  // namespace

HBITMAP BitmapOf(const StdPicture& picture) {
  return static_cast<HBITMAP>(Load(picture, IMAGE_BITMAP));
}

HBITMAP BitmapOf(const StdPicture& picture, int width) {
  HBITMAP bitmap = BitmapOf(picture);
  BITMAP info{};
  if (bitmap == nullptr || GetObjectW(bitmap, sizeof(info), &info) == 0 || info.bmWidth <= 0 ||
      !engine::DrawnFromTwice(static_cast<double>(width) / info.bmWidth)) {
    return bitmap;
  }
  HBITMAP twice = static_cast<HBITMAP>(Load(picture, IMAGE_BITMAP, true));
  return twice != nullptr ? twice : bitmap;
}

HICON IconOf(const StdPicture& picture) { return static_cast<HICON>(Load(picture, IMAGE_ICON)); }

HICON IconOf(const StdPicture& picture, unsigned dpi) {
  HICON twice = engine::DrawnFromTwice(dpi / 96.0)
                    ? static_cast<HICON>(Load(picture, IMAGE_ICON, true))
                    : nullptr;
  return twice != nullptr ? twice : IconOf(picture);
}

HCURSOR CursorOf(const StdPicture& picture) {
  static std::map<std::string, HCURSOR> cache;
  auto found = cache.find(picture.resource);
  if (found != cache.end()) return found->second;
  HCURSOR cursor = nullptr;
  if (HICON icon = IconOf(picture); icon != nullptr) {
    ICONINFO info{};
    if (GetIconInfo(icon, &info)) {
      BITMAP size{};
      GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof(size), &size);
      const engine::HotSpot hotSpot = engine::PointerHotSpot(picture, size.bmWidth, size.bmHeight);
      info.fIcon = FALSE;
      info.xHotspot = static_cast<DWORD>(hotSpot.x);
      info.yHotspot = static_cast<DWORD>(hotSpot.y);
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
