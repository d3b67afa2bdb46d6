// Screens the test lays out; by default one screen of 1024 x 768 pixels, all of it available.
#pragma once

#include <vector>

#include "platform/services/Services.h"

class FakeScreens final : public platform::Screens {
 public:
  std::vector<platform::RectTwips> ScreenAreas() const override { return areas; }
  platform::RectTwips PrimaryWorkArea() const override { return workArea; }

  std::vector<platform::RectTwips> areas{{0, 0, 1024 * 15, 768 * 15}};
  platform::RectTwips workArea{0, 0, 1024 * 15, 768 * 15};
};
