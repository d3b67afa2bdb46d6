// The options dialog: the feed URL to type or pick, "&Close this Window" to apply it and let
// the strip scroll again, and "&Exit Ticker" to end the program. It is created hidden at
// start-up and is only ever shown and hidden.
#pragma once

#include "platform/ComboBox.h"
#include "platform/CommandButton.h"
#include "platform/Form.h"
#include "platform/Label.h"

class frmTicker;

class frmOptions final : public platform::Form {
 public:
  frmOptions();
  ~frmOptions() override;
  // The strip window this dialog acts on; set once, before the strip window loads.
  void Attach(frmTicker& ticker);

  // Controls, in tab order.
  platform::ComboBox cboURL;
  platform::CommandButton cmdClose;
  platform::CommandButton cmdExit;
  platform::Label Label1;

  // The program, not the user, is changing the text of cboURL.
  bool blnEditingUrl = false;
  // The user has changed or picked the URL since the dialog was last opened.
  bool blnEdited = false;
  // The dialog has been opened in this run, so its URL box holds the URL in use.
  bool blnOpened = false;

  void cboURL_Change();
  void cboURL_Click();
  void cmdClose_Click();
  void cmdExit_Click();
  void Form_QueryUnload(int& Cancel, int UnloadMode);

 private:
  frmTicker* frmTicker_ = nullptr;
};
