#include "platform/engine/EndOfSession.h"

#include "platform/engine/Engine.h"

namespace platform::engine {

void EndOfSession::EndSession() {
  if (sessionEnded_) return;
  sessionEnded_ = true;
  engine_.closeEveryForm();
  RunHandler();
}

void EndOfSession::EndProgram() {
  engine_.markEnding();
  ExitEventLoops();
}

bool EndOfSession::Ending() const { return engine_.ending(); }

void EndOfSession::RunHandler() {
  if (std::function<void()> handler = handler_) handler();
}

}  // namespace platform::engine
