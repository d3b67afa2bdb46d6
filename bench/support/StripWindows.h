// The strip window with its title picture and its row as the program defines them, on a form
// engine of their own: the benchmarks of real windows put their labels in the row.
#pragma once

#include "platform/engine/Engine.h"
#include "platform/forms/Form.h"
#include "platform/forms/PictureBox.h"
#include "platform/qt/QtSurface.h"

struct StripWindows {
  std::unique_ptr<platform::engine::Surface> surface = platform::MakeQtSurface();
  platform::engine::Engine engine{*surface};
  platform::Form form{engine, [] {
                        platform::Form::Definition d;
                        d.clientWidth = 8175;
                        d.clientHeight = 255;
                        d.backColor = platform::RGB(224, 224, 224);
                        return d;
                      }()};
  platform::PictureBox picTitle{form,
                                {"picTitle",
                                 0,
                                 0,
                                 495,
                                 255,
                                 0x000080FF,
                                 platform::vbWindowText,
                                 {":/images/normal.gif"},
                                 "",
                                 {}}};
  platform::PictureBox picTicker{form,
                                 {"picTicker",
                                  960,
                                  0,
                                  8175,
                                  255,
                                  platform::RGB(224, 224, 224),
                                  platform::vbWindowText,
                                  {},
                                  "",
                                  {"MS Sans Serif", 8.25f, true}}};
};
