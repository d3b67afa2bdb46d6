// The strip window with its title picture and its row as the tests define them, on a form
// engine of their own: the benchmarks of real windows put their labels in the row.
#pragma once

#include "platform/engine/Engine.h"
#include "platform/forms/Form.h"
#include "platform/forms/PictureBox.h"
#include "platform/qt/QtSurface.h"
#include "widget/support/StripDefinition.h"

struct StripWindows {
  std::unique_ptr<platform::engine::Surface> surface = platform::MakeQtSurface();
  platform::engine::Engine engine{*surface};
  platform::Form form{engine, StripDefinition()};
  platform::PictureBox picTitle{form,
                                {.name = "picTitle",
                                 .left = 0,
                                 .top = 0,
                                 .width = 495,
                                 .height = 375,
                                 .backColor = 0x000080FF,
                                 .foreColor = platform::vbWindowText,
                                 .picture = {":/images/normal.gif"}}};
  platform::PictureBox picTicker{form, StripBoxDefinition(960)};
};
