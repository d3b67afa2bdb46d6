#include "platform/forms/CommandButton.h"

#include "platform/engine/ControlCore.h"
#include "platform/engine/EngineAccess.h"
#include "platform/engine/FormCore.h"
#include "platform/forms/Form.h"

namespace platform {

struct CommandButton::Impl {
  engine::ControlCore core;
};

CommandButton::CommandButton(Form& parent, const Definition& definition)
    : d(new Impl{engine::ControlCore(
          engine::CoreOf(parent),
          {.kind = engine::ControlKind::Button,
           .name = definition.name,
           .caption = definition.caption,
           .area = {definition.left, definition.top, definition.width, definition.height},
           .tabIndex = definition.tabIndex,
           .isDefault = definition.isDefault,
           .isCancel = definition.isCancel,
           .click = &Click})}) {}

CommandButton::~CommandButton() = default;

std::string CommandButton::Caption() const { return d->core.caption(); }
bool CommandButton::Default() const { return d->core.isDefault(); }
bool CommandButton::Cancel() const { return d->core.isCancel(); }

engine::ControlCore& engine::CoreOf(const CommandButton& button) {
  return EngineAccess::Impl(button).core;
}

}  // namespace platform
