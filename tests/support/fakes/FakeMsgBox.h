// A message box that records each prompt and style and answers at once.
#pragma once

#include <string>
#include <vector>

#include "platform/services/MsgBox.h"
#include "platform/services/Services.h"

struct RecordedMessage {
  std::string prompt;
  int style = 0;
};

class FakeMsgBox final : public platform::MsgBoxService {
 public:
  int Show(const std::string& prompt, int style) override {
    shown.push_back({prompt, style});
    return answer;
  }

  std::vector<RecordedMessage> shown;
  int answer = platform::vbOK;
};
