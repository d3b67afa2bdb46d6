#include "platform/services/WebLink.h"

#include "text/Ascii.h"

namespace platform {

std::string_view TrimLink(std::string_view link) { return text::Trim(link, " \t\r\n\v\f"); }

bool IsWebLink(std::string_view link) {
  link = TrimLink(link);
  return text::StartsWithNoCase(link, "http://") || text::StartsWithNoCase(link, "https://");
}

}  // namespace platform
