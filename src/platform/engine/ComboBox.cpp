#include "platform/forms/ComboBox.h"

#include "platform/engine/ControlCore.h"
#include "platform/engine/EngineAccess.h"
#include "platform/engine/FormCore.h"
#include "platform/forms/Form.h"

namespace platform {

struct ComboBox::Impl {
  engine::ControlCore core;
};

ComboBox::ComboBox(Form& parent, const Definition& definition)
    : d(new Impl{engine::ControlCore(
          engine::CoreOf(parent),
          {.kind = engine::ControlKind::Field,
           .name = definition.name,
           .area = {definition.left, definition.top, definition.width, definition.height},
           .tabIndex = definition.tabIndex,
           .change = &Change,
           .click = &Click})}) {}

ComboBox::~ComboBox() = default;

std::string ComboBox::Text() const { return d->core.text(); }
void ComboBox::setText(const std::string& value) { d->core.setText(value); }
void ComboBox::AddItem(const std::string& item) { d->core.addItem(item); }
int ComboBox::ListCount() const { return d->core.native().itemCount(); }

std::string ComboBox::List(int index) const {
  if (index < 0 || index >= ListCount()) return {};
  return d->core.native().item(index);
}

engine::ControlCore& engine::CoreOf(const ComboBox& combo) {
  return EngineAccess::Impl(combo).core;
}

}  // namespace platform
