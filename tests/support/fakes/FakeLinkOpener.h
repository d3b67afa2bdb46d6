// A link opener that records every link it is handed, in order, and starts nothing.
#pragma once

#include <string>
#include <vector>

#include "platform/services/Services.h"

class FakeLinkOpener final : public platform::LinkOpener {
 public:
  bool Open(const std::string& link) override {
    links.push_back(link);
    return opens;
  }

  std::vector<std::string> links;
  // What Open answers (false: the opener could not be started).
  bool opens = true;
};
