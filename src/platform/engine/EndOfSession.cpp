#include "platform/engine/EndOfSession.h"

#include "platform/engine/FormCore.h"

namespace platform::engine {

void EndOfSession::EndSession() {
  if (sessionEnded_) return;
  sessionEnded_ = true;
  CloseEveryForm();
  RunHandler();
}

void EndOfSession::RunHandler() {
  if (std::function<void()> handler = handler_) handler();
}

}  // namespace platform::engine
