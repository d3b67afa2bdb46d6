// What the running strip does when the program is started again with its settings file: the
// person who started it again gets the strip with the keyboard, or the options dialog they
// asked for (or already have open), instead of a second strip.
#pragma once

#include <optional>

#include "platform/services/RunningCopy.h"
#include "platform/services/Services.h"

class frmOptions;
class frmTicker;

class LaterStarts final {
 public:
  // Answers copy's requests for as long as this object lives: create it after the windows,
  // so that it goes before them. A request once the session has ended the program is refused.
  LaterStarts(platform::RunningCopy& copy, const platform::Session& session, frmTicker& ticker,
              frmOptions& options);
  ~LaterStarts();
  LaterStarts(const LaterStarts&) = delete;
  LaterStarts& operator=(const LaterStarts&) = delete;

  // The strip has shown. A start made while it still loaded its first feed is answered now:
  // nothing takes the keyboard before the strip shows.
  void StripShown();
  // Answers request as a later start's (this start's own --options goes through here too).
  void Answer(const platform::LaterStart& request);

 private:
  // False once the strip has closed: the program is ending and shows nothing more.
  bool Asked(const platform::LaterStart& request);

  platform::RunningCopy& copy_;
  const platform::Session& session_;
  frmTicker& ticker_;
  frmOptions& options_;
  bool shown_ = false;
  std::optional<platform::LaterStart> waiting_;
};
