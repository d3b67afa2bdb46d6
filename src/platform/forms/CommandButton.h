// A push button with a caption in which "&" marks the access key.
#pragma once

#include <memory>
#include <string>

#include "platform/forms/Handlers.h"
#include "platform/forms/Units.h"

namespace platform {

class Form;

class CommandButton {
 public:
  struct Definition {
    const char* name = "";
    std::string caption{};
    Twips left = 0;
    Twips top = 0;
    Twips width = 0;
    Twips height = 0;
    int tabIndex = 0;
    bool isDefault = false;  // pressed by Enter anywhere on the form
    bool isCancel = false;   // pressed by Escape anywhere on the form
  };

  CommandButton(Form& parent, const Definition& definition);
  ~CommandButton();
  CommandButton(const CommandButton&) = delete;
  CommandButton& operator=(const CommandButton&) = delete;

  // The caption, "&" included, and the two roles, as defined.
  std::string Caption() const;
  bool Default() const;
  bool Cancel() const;

  EventHandler Click;

 private:
  friend struct EngineAccess;  // the back end's way to its own parts of the control
  struct Impl;
  std::unique_ptr<Impl> d;
};

}  // namespace platform
