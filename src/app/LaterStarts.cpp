#include "app/LaterStarts.h"

#include <utility>

#include "options/frmOptions.h"
#include "ticker/frmTicker.h"

LaterStarts::LaterStarts(platform::RunningCopy& copy, const platform::Session& session,
                         frmTicker& ticker, frmOptions& options)
    : copy_(copy), session_(session), ticker_(ticker), options_(options) {
  copy_.OnAsked([this](const platform::LaterStart& request) { return Asked(request); });
}

LaterStarts::~LaterStarts() { copy_.OnAsked(nullptr); }

void LaterStarts::StripShown() {
  shown_ = true;
  if (waiting_) Answer(*std::exchange(waiting_, std::nullopt));
}

bool LaterStarts::Asked(const platform::LaterStart& request) {
  if (ticker_.Closed() || session_.Ending()) return false;
  if (shown_) {
    Answer(request);
  } else {
    waiting_ = request;
  }
  return true;
}

// A dialog already open keeps what the person has typed into it: it only comes forward (and
// back from minimised). Otherwise the dialog opens as a right-click opens it, or the strip
// takes the keyboard with its first headline focused, which holds it still.
void LaterStarts::Answer(const platform::LaterStart& request) {
  if (request.wants == platform::LaterStart::Wants::Options && !ticker_.optionsOpen()) {
    ticker_.ShowOptions();
  }
  if (ticker_.optionsOpen()) {
    options_.TakeKeyboard(request.startupId);
  } else {
    ticker_.TakeKeyboard(request.startupId);
  }
}
