// The text a tooltip shows: plain, as it stands, on the lines it has, cut where it would fill
// the screen. Feed text is never read as markup by any surface.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform::engine {

// At most kToolTipMax characters, the last of them "…" when the text was longer, in lines of
// at most kToolTipLine characters (cut after a blank in the line's second half where there is
// one); CR LF and lone CR become LF. Empty for an empty text. A bad UTF-8 byte stays as it is.
inline constexpr std::size_t kToolTipMax = 500;
inline constexpr std::size_t kToolTipLine = 100;
std::string ToolTipText(std::string_view utf8);

}  // namespace platform::engine
