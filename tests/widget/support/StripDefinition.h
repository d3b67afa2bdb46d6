// A bare strip window for the form engine's own tests: the ticker's size and grey ground.
#pragma once

#include "platform/forms/Form.h"
#include "platform/forms/PictureBox.h"

inline platform::Form::Definition StripDefinition() {
  platform::Form::Definition d;
  d.name = "frmStrip";
  d.clientWidth = 8175;
  d.clientHeight = 375;
  d.backColor = platform::RGB(224, 224, 224);
  return d;
}

// The strip's picture box at the given left edge, in the label font.
inline platform::PictureBox::Definition StripBoxDefinition(platform::Twips left) {
  return {.name = "picTicker",
          .left = left,
          .top = 0,
          .width = 8175,
          .height = 375,
          .backColor = platform::RGB(224, 224, 224),
          .foreColor = platform::vbWindowText,
          .font = {"MS Sans Serif", 8.25f, true}};
}
