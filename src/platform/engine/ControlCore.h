// A native control of a form, whatever the window system: the text of a field and the order of
// its Change and Click, a button's press and its default and cancel roles, a label's caption,
// and the control's place in its form's tab order.
#pragma once

#include <memory>
#include <string>

#include "platform/engine/Surface.h"
#include "platform/forms/Handlers.h"

namespace platform {
class ComboBox;
class CommandButton;
class Label;
}  // namespace platform

namespace platform::engine {

class FormCore;

class ControlCore final : public ControlEvents {
 public:
  struct Definition {
    ControlKind kind = ControlKind::Label;
    const char* name = "";
    std::string caption{};
    RectTwips area{};
    int tabIndex = 0;
    bool isDefault = false;
    bool isCancel = false;
    EventHandler* change = nullptr;  // the owner's handlers
    EventHandler* click = nullptr;
  };

  ControlCore(FormCore& form, const Definition& definition);
  ~ControlCore() override;
  ControlCore(const ControlCore&) = delete;
  ControlCore& operator=(const ControlCore&) = delete;

  ControlKind kind() const { return kind_; }
  const std::string& caption() const { return caption_; }
  int tabIndex() const { return tabIndex_; }
  bool takesFocus() const { return kind_ != ControlKind::Label; }
  bool isDefault() const { return isDefault_; }
  bool isCancel() const { return isCancel_; }
  NativeControl& native() const { return *native_; }

  // A field's text; setting another one raises Change. Entries added leave it as it is.
  std::string text() const { return native_->text(); }
  void setText(const std::string& value);
  void addItem(const std::string& item);

  // ControlEvents.
  void edited() override;
  void picked(int index) override;
  void pressed() override;

 private:
  // Puts the text into the field without taking the window system's report for an edit.
  void putText(const std::string& value);

  FormCore& form_;
  ControlKind kind_;
  std::string caption_;
  int tabIndex_;
  bool isDefault_;
  bool isCancel_;
  EventHandler* change_;
  EventHandler* click_;
  bool quiet_ = false;  // the engine itself is changing the text: no Change
  std::unique_ptr<NativeControl> native_;
};

// The engine's side of each control.
ControlCore& CoreOf(const ComboBox& combo);
ControlCore& CoreOf(const CommandButton& button);
ControlCore& CoreOf(const Label& label);

}  // namespace platform::engine
