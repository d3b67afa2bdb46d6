// What the options dialog asks of the window it was opened from. The dialog never reaches
// into that window: it reports the user's choices here and the window acts on them.
#pragma once

#include "options/Settings.h"

class OptionsOwner {
 public:
  // Takes the settings as the dialog holds them into use; called on every edit, so a reload
  // asked for while the user types loads what the URL box holds.
  virtual void Apply(const Settings& edited) = 0;
  // The user closed the dialog: reloads the feed first when reload is true, then lets the
  // strip scroll again. Returns false when the window has already closed; the dialog then
  // closes as well instead of hiding.
  virtual bool Resume(bool reload) = 0;
  // The user asked to end the program; the window closes (saving what the URL box holds)
  // and the program ends.
  virtual void Exit() = 0;

 protected:
  OptionsOwner() = default;
  ~OptionsOwner() = default;
  OptionsOwner(const OptionsOwner&) = default;
  OptionsOwner& operator=(const OptionsOwner&) = default;
};
