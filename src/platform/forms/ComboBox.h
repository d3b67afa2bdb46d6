// A combo box: an editable text field with a drop-down list.
#pragma once

#include <memory>
#include <string>

#include "platform/forms/Handlers.h"
#include "platform/forms/Units.h"

namespace platform {

class Form;

class ComboBox {
 public:
  struct Definition {
    const char* name = "";
    Twips left = 0;
    Twips top = 0;
    Twips width = 0;
    Twips height = 0;
    int tabIndex = 0;
  };

  ComboBox(Form& parent, const Definition& definition);
  ~ComboBox();
  ComboBox(const ComboBox&) = delete;
  ComboBox& operator=(const ComboBox&) = delete;

  // The text in the field now, typed or set.
  std::string Text() const;
  // Sets the text of the field; raises Change when it differs. Never fails.
  void setText(const std::string& value);
  // Appends an entry to the list; the field keeps its text and no Change is raised.
  void AddItem(const std::string& item);
  // The number of entries in the list.
  int ListCount() const;
  // The entry at index (0-based); empty when out of range.
  std::string List(int index) const;

  // The text was changed, by typing or by code.
  EventHandler Change;
  // An entry of the list was picked.
  EventHandler Click;

 private:
  friend struct EngineAccess;  // the back end's way to its own parts of the control
  struct Impl;
  std::unique_ptr<Impl> d;
};

}  // namespace platform
