#include "platform/forms/Label.h"

#include "platform/engine/ControlCore.h"
#include "platform/engine/EngineAccess.h"
#include "platform/engine/FormCore.h"
#include "platform/forms/ComboBox.h"
#include "platform/forms/Form.h"

namespace platform {

namespace {

// The name a label gives the control it names: its caption without the access key's "&", the
// blanks around it and a closing colon.
std::string NameFromCaption(std::string name) {
  constexpr const char* kBlanks = " \t\r\n";
  std::erase(name, '&');
  name.erase(name.find_last_not_of(kBlanks) + 1);
  if (!name.empty() && name.back() == ':') name.pop_back();
  name.erase(name.find_last_not_of(kBlanks) + 1);
  name.erase(0, name.find_first_not_of(kBlanks));
  return name;
}

}  // namespace

struct Label::Impl {
  engine::ControlCore core;
};

Label::Label(Form& parent, const Definition& definition)
    : d(new Impl{engine::ControlCore(
          engine::CoreOf(parent),
          {.kind = engine::ControlKind::Label,
           .name = definition.name,
           .caption = definition.caption,
           .area = {definition.left, definition.top, definition.width, definition.height},
           .tabIndex = definition.tabIndex})}) {}

Label::~Label() = default;

std::string Label::Caption() const { return d->core.caption(); }

void Label::Names(ComboBox& control) {
  d->core.native().labels(engine::CoreOf(control).native(), NameFromCaption(d->core.caption()));
}

engine::ControlCore& engine::CoreOf(const Label& label) { return EngineAccess::Impl(label).core; }

}  // namespace platform
