// A bare strip window for the form engine's own tests: the ticker's size and grey ground.
#pragma once

#include "platform/Form.h"

inline platform::Form::Definition StripDefinition() {
  platform::Form::Definition d;
  d.name = "frmStrip";
  d.clientWidth = 8175;
  d.clientHeight = 375;
  d.backColor = platform::RGB(224, 224, 224);
  return d;
}
