// Which links of a feed may be handed to the system's opener.
#pragma once

#include <string_view>

// True for a link whose scheme is http or https (any letter case, leading blanks ignored).
// Everything else, options and other schemes included, is never opened.
bool IsWebLink(std::string_view link);
