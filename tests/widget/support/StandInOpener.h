// A stand-in for the system's link opener, first on PATH, that records the arguments of every
// call (one JSON array per line).
#pragma once

#include <QTemporaryDir>
#include <string>
#include <vector>

class StandInOpener {
 public:
  StandInOpener();
  ~StandInOpener();
  StandInOpener(const StandInOpener&) = delete;
  StandInOpener& operator=(const StandInOpener&) = delete;

  // The argument lists recorded so far, waiting up to timeoutMs for at least `expected` calls.
  std::vector<std::vector<std::string>> Calls(std::size_t expected = 0, int timeoutMs = 5000);

 private:
  QTemporaryDir folder_;
  std::string oldPath_;
};
