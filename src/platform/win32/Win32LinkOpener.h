// Links handed to the system's handler for web addresses with ShellExecuteW.
#pragma once

#include <string>
#include <string_view>

#include "platform/services/Services.h"

namespace platform::win32 {

class Win32LinkOpener final : public LinkOpener {
 public:
  // Opens an http or https link, unchanged, as the one thing to open. Returns false without
  // starting anything for any other link (another scheme, a program or file name, text that
  // could split the handler's command line: quotes and control characters), and when the
  // system could not start the handler.
  bool Open(const std::string& link) override;

  // Whether Open would hand link on: a web link (WebLink.h), then no quote and no control
  // character.
  static bool Acceptable(std::string_view link);
};

}  // namespace platform::win32
