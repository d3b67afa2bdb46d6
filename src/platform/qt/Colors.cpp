#include "platform/qt/Colors.h"

#include <QApplication>
#include <QPalette>
#include <array>

namespace platform {

namespace {

struct SchemeColor {
  QPalette::ColorGroup group;
  QPalette::ColorRole role;
};

// The desktop scheme's indexes (scroll bars = 0 ... tooltip background = 24) mapped to the
// nearest palette roles.
constexpr std::array<SchemeColor, 25> kScheme = {{
    {QPalette::Active, QPalette::Button},           // 0 scroll bars
    {QPalette::Active, QPalette::Window},           // 1 desktop
    {QPalette::Active, QPalette::Highlight},        // 2 active title bar
    {QPalette::Inactive, QPalette::Highlight},      // 3 inactive title bar
    {QPalette::Active, QPalette::Window},           // 4 menu bar
    {QPalette::Active, QPalette::Base},             // 5 window background
    {QPalette::Active, QPalette::Shadow},           // 6 window frame
    {QPalette::Active, QPalette::WindowText},       // 7 menu text
    {QPalette::Active, QPalette::WindowText},       // 8 window text
    {QPalette::Active, QPalette::HighlightedText},  // 9 active title bar text
    {QPalette::Active, QPalette::Window},           // 10 active border
    {QPalette::Inactive, QPalette::Window},         // 11 inactive border
    {QPalette::Active, QPalette::Dark},             // 12 application workspace
    {QPalette::Active, QPalette::Highlight},        // 13 highlight
    {QPalette::Active, QPalette::HighlightedText},  // 14 highlight text
    {QPalette::Active, QPalette::Button},           // 15 button face
    {QPalette::Active, QPalette::Dark},             // 16 button shadow
    {QPalette::Disabled, QPalette::Text},           // 17 grey text
    {QPalette::Active, QPalette::ButtonText},       // 18 button text
    {QPalette::Inactive, QPalette::WindowText},     // 19 inactive title bar text
    {QPalette::Active, QPalette::Light},            // 20 3D highlight
    {QPalette::Active, QPalette::Shadow},           // 21 3D dark shadow
    {QPalette::Active, QPalette::Midlight},         // 22 3D light
    {QPalette::Active, QPalette::ToolTipText},      // 23 tooltip text
    {QPalette::Active, QPalette::ToolTipBase},      // 24 tooltip background
}};

}  // namespace

QColor ToQColor(Color value) {
  if ((value & 0x80000000u) != 0) {
    const std::uint32_t index = value & 0x00FFFFFFu;
    if (index >= kScheme.size()) return QColor(0, 0, 0);
    const SchemeColor& entry = kScheme[index];
    return QApplication::palette().color(entry.group, entry.role);
  }
  return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF));
}

}  // namespace platform
