#include "platform/engine/Engine.h"

#include <algorithm>

#include "platform/engine/FormCore.h"

namespace platform::engine {

void Engine::formMade(FormCore* form) { forms_.push_back(form); }

void Engine::formGone(FormCore* form) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
}

void Engine::closeEveryForm() {
  const std::vector<FormCore*> forms = forms_;
  for (FormCore* form : forms) {
    if (std::find(forms_.begin(), forms_.end(), form) == forms_.end()) continue;
    if (!form->closed()) form->requestClose(vbAppWindows);
  }
}

void Engine::noteUnseen(Unseen reason, bool holds) {
  const bool wasSeen = seen();
  const unsigned bit = 1U << static_cast<unsigned>(reason);
  unseen_ = holds ? unseen_ | bit : unseen_ & ~bit;
  if (seen() == wasSeen) return;
  // A timer's handler may not run here, but one resting may be removed by another's change.
  const std::vector<Resting*> resting = resting_;
  for (Resting* r : resting) {
    if (std::find(resting_.begin(), resting_.end(), r) != resting_.end()) r->seenChanged();
  }
}

void Engine::addResting(Resting* resting) { resting_.push_back(resting); }

void Engine::removeResting(Resting* resting) {
  resting_.erase(std::remove(resting_.begin(), resting_.end(), resting), resting_.end());
}

void Engine::noteKeyboardWith(WindowHandle window, bool ours) {
  if (window != 0 && !ours) keyboardReturn_ = window;
}

bool Engine::pointerKnownOutside(WindowHandle window) const {
  for (const FormCore* form : forms_) {
    if (form->ownsWindow(window)) return form->pointerKnownOutside();
  }
  return false;
}

}  // namespace platform::engine
