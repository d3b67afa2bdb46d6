// A stored picture: names one of the images compiled into the program.
#pragma once

#include <string>

namespace platform {

struct StdPicture {
  std::string resource{};  // Qt resource path such as ":/images/normal.gif"; empty is no picture

  bool empty() const { return resource.empty(); }
  friend bool operator==(const StdPicture&, const StdPicture&) = default;
};

}  // namespace platform
