// The font of a control or label: face name, size in points, bold flag.
#pragma once

#include <string>

namespace platform {

struct Font {
  std::string name = "MS Sans Serif";
  float size = 8.25f;
  bool bold = false;

  friend bool operator==(const Font&, const Font&) = default;
};

}  // namespace platform
