#include "platform/SessionEnd.h"

#include <QPointer>
#include <utility>
#include <vector>

#include "platform/qt/FormWidget.h"

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
  // A QueryUnload handler may destroy or create forms: walk a guarded copy.
  std::vector<QPointer<FormWidget>> forms;
  for (FormWidget* form : FormWidget::All()) forms.emplace_back(form);
  for (const QPointer<FormWidget>& form : forms) {
    if (form && !form->closed()) form->requestClose(vbAppWindows);
  }
  if (std::function<void()> handler = Handler()) handler();
}

}  // namespace platform
