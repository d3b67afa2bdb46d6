// What the running strip does when the program is started again with its settings file: the
// options dialog comes forward, as the person who started it again expects, instead of a
// second strip appearing.
#pragma once

#include "platform/services/RunningCopy.h"

class frmOptions;
class frmTicker;

class LaterStarts final {
 public:
  // Answers copy's requests for as long as this object lives: create it after the windows,
  // so that it goes before them.
  LaterStarts(platform::RunningCopy& copy, frmTicker& ticker, frmOptions& options);
  ~LaterStarts();
  LaterStarts(const LaterStarts&) = delete;
  LaterStarts& operator=(const LaterStarts&) = delete;

  // The strip has shown. A start made while it still loaded its first feed is answered now:
  // the dialog never shows before the strip does.
  void StripShown();

 private:
  // False once the strip has closed: the program is ending and shows nothing more.
  bool Answer();
  void BringOptionsForward();

  platform::RunningCopy& copy_;
  frmTicker& ticker_;
  frmOptions& options_;
  bool shown_ = false;
  bool asked_ = false;
};
