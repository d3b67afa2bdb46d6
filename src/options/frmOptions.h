// The options dialog: the feed URL to type or pick, "&Close this Window" to apply it and let
// the strip scroll again, and "&Exit Ticker" to end the program. It is created hidden at
// start-up and is only ever shown and hidden.
#pragma once

#include <string>

#include "options/OptionsOwner.h"
#include "options/Settings.h"
#include "platform/forms/ComboBox.h"
#include "platform/forms/CommandButton.h"
#include "platform/forms/Form.h"
#include "platform/forms/Label.h"
#include "platform/services/Services.h"

class frmOptions final : public platform::Form {
 public:
  explicit frmOptions(const platform::Services& services);
  ~frmOptions() override;
  // The window this dialog reports to; set once, before that window loads.
  void Attach(OptionsOwner& owner);

  // Shows the dialog with the settings in use in its controls; the user has edited nothing
  // yet.
  void Open(const Settings& inUse);
  // The settings as the controls hold them now.
  Settings Edited() const;

  // Controls, in tab order.
  platform::ComboBox cboURL;
  platform::CommandButton cmdClose;
  platform::CommandButton cmdExit;
  platform::Label Label1;

  // The program, not the user, is changing the text of cboURL.
  bool blnEditingUrl = false;
  // The user has changed or picked the URL since the dialog was last opened.
  bool blnEdited = false;

  void cboURL_Change();
  void cboURL_Click();
  void cmdClose_Click();
  void cmdExit_Click();
  void Form_QueryUnload(int& Cancel, int UnloadMode);

 private:
  platform::Session& session_;
  OptionsOwner* owner_ = nullptr;
  // The settings the dialog was opened with: it edits what its controls show of them.
  Settings opened_;
};
