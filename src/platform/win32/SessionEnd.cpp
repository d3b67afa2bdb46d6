#include "platform/SessionEnd.h"

#include <memory>
#include <utility>
#include <vector>

#include "platform/win32/FormWindow.h"

namespace platform {

namespace {

std::function<void()>& Handler() {
  static std::function<void()> handler;
  return handler;
}

}  // namespace

void SetSessionEndHandler(std::function<void()> handler) { Handler() = std::move(handler); }

void EndSession() {
  static bool ended = false;
  if (ended) return;
  ended = true;
  // A QueryUnload handler may destroy or create forms: each is looked up again before its turn.
  const std::vector<win32::FormWindow*> forms = win32::FormWindow::All();
  for (win32::FormWindow* form : forms) {
    const auto all = win32::FormWindow::All();
    if (std::find(all.begin(), all.end(), form) == all.end()) continue;
    if (!form->closed()) form->requestClose(vbAppWindows);
  }
  if (std::function<void()> handler = Handler()) handler();
}

}  // namespace platform
