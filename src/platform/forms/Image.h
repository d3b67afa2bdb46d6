// An image control: holds a stored picture at a place on its form, drawn on the form's
// own surface (it owns no window).
#pragma once

#include "platform/forms/StdPicture.h"
#include "platform/forms/Units.h"

namespace platform {

class Form;

class Image {
 public:
  struct Definition {
    const char* name = "";
    Twips left = 0;
    Twips top = 0;
    Twips width = 0;
    Twips height = 0;
    StdPicture picture{};
  };

  // Draws the picture on parent from now on; a picture not compiled into the program draws
  // nothing.
  Image(Form& parent, const Definition& definition);

  const StdPicture& Picture() const { return definition_.picture; }
  Twips Left() const { return definition_.left; }
  Twips Top() const { return definition_.top; }
  Twips Width() const { return definition_.width; }
  Twips Height() const { return definition_.height; }

 private:
  Definition definition_;
};

}  // namespace platform
