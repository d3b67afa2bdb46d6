// Which links of a feed may be handed to the system's opener, on every system.
#pragma once

#include <string_view>

namespace platform {

// The link without the blanks (spaces, tabs, line breaks) around it, which feeds often put
// there when they spread an element over several lines; they are never part of the address.
std::string_view TrimLink(std::string_view link);

// True for a link whose scheme is http or https (any letter case, blanks around it ignored).
// Everything else, options and other schemes included, is never opened.
bool IsWebLink(std::string_view link);

}  // namespace platform
