// A plain label on a form: a caption and nothing else.
#pragma once

#include <memory>
#include <string>

#include "platform/forms/Units.h"

namespace platform {

class ComboBox;
class Form;

class Label {
 public:
  struct Definition {
    const char* name = "";
    std::string caption{};
    Twips left = 0;
    Twips top = 0;
    Twips width = 0;
    Twips height = 0;
    int tabIndex = 0;
  };

  Label(Form& parent, const Definition& definition);
  ~Label();
  Label(const Label&) = delete;
  Label& operator=(const Label&) = delete;

  // The caption as defined, "&" included.
  std::string Caption() const;
  // Makes this label the name of control for screen readers: the caption, without an
  // access-key marker or a closing colon, becomes the control's accessible name.
  void Names(ComboBox& control);

 private:
  friend struct EngineAccess;  // the back end's way to its own parts of the control
  struct Impl;
  std::unique_ptr<Impl> d;
};

}  // namespace platform
