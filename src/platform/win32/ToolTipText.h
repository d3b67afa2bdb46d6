// The text a tooltip shows for a label's or a box's tooltip text: plain text, never markup.
#pragma once

#include <string>
#include <string_view>

namespace platform::win32 {

// At most kToolTipMax characters, the last of them "…" when the text is longer, in lines of
// at most kToolTipLine characters (a longer line is cut after a blank in its second half
// where there is one, else at the limit, never inside a surrogate pair); every CR LF and CR
// becomes a line break. Empty for an empty text.
inline constexpr std::size_t kToolTipMax = 500;
inline constexpr std::size_t kToolTipLine = 100;
std::wstring ToolTipText(std::wstring_view text);

}  // namespace platform::win32
