// GB18030 where the system has no code page for it (Wine 8 lacks 54936, which Windows has).
#pragma once

#include <string>
#include <string_view>

namespace platform::win32 {

// Whether Gb18030ToWide can decode: it builds on the system's GBK code page (936); false when
// the system lacks that too.
bool CanDecodeGb18030();

// GB18030 bytes as UTF-16: one-byte ASCII, two-byte codes, four-byte codes of the rest of
// Unicode. An invalid or cut-off sequence becomes one U+FFFD, and the bytes after its lead that
// could start a character are read again, as the WHATWG decoder does.
std::wstring Gb18030ToWide(std::string_view bytes);

}  // namespace platform::win32
