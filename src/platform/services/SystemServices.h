// The real services of the platform the program was built for, created once by the program
// and handed down to its windows as Services.
#pragma once

#include <memory>

#include "platform/services/Services.h"

namespace platform {

class SystemServices {
 public:
  SystemServices();
  ~SystemServices();
  SystemServices(const SystemServices&) = delete;
  SystemServices& operator=(const SystemServices&) = delete;

  Services services();

 private:
  struct Impl;
  std::unique_ptr<Impl> d;
};

}  // namespace platform
