#include "app/LaterStarts.h"

#include "options/frmOptions.h"
#include "platform/program/Application.h"
#include "ticker/frmTicker.h"

LaterStarts::LaterStarts(platform::RunningCopy& copy, frmTicker& ticker, frmOptions& options)
    : copy_(copy), ticker_(ticker), options_(options) {
  copy_.OnAsked([this] { return Answer(); });
}

LaterStarts::~LaterStarts() { copy_.OnAsked(nullptr); }

void LaterStarts::StripShown() {
  shown_ = true;
  if (asked_) {
    asked_ = false;
    BringOptionsForward();
  }
}

bool LaterStarts::Answer() {
  if (ticker_.Closed() || platform::Ending()) return false;
  if (shown_) {
    BringOptionsForward();
  } else {
    asked_ = true;
  }
  return true;
}

// A dialog already open keeps what the person has typed into it: it only comes forward (and
// back from minimised). Otherwise it opens as a right-click opens it.
void LaterStarts::BringOptionsForward() {
  if (ticker_.optionsOpen()) {
    options_.Show();
  } else {
    ticker_.ShowOptions();
  }
}
