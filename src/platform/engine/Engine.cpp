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

bool Engine::pointerKnownOutside(WindowHandle window) const {
  for (const FormCore* form : forms_) {
    if (form->ownsWindow(window)) return form->pointerKnownOutside();
  }
  return false;
}

}  // namespace platform::engine
