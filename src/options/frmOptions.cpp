#include "options/frmOptions.h"

using namespace platform;

namespace {

const Form::Definition kFrmOptions{
    .name = "frmOptions",
    .caption = "Ticker : Options",
    .borderStyle = BorderStyle::FixedToolWindow,
    .showInTaskbar = false,
    .clientWidth = 4680,
    .clientHeight = 1320,
    .startUpPosition = StartUpPosition::CenterScreen,
};

const ComboBox::Definition kCboURL{
    .name = "cboURL", .left = 120, .top = 360, .width = 4455, .height = 315, .tabIndex = 0};
const CommandButton::Definition kCmdClose{.name = "cmdClose",
                                          .caption = "&Close this Window",
                                          .left = 120,
                                          .top = 840,
                                          .width = 1575,
                                          .height = 375,
                                          .tabIndex = 1,
                                          .isDefault = true,
                                          .isCancel = true};
const CommandButton::Definition kCmdExit{.name = "cmdExit",
                                         .caption = "&Exit Ticker",
                                         .left = 3240,
                                         .top = 840,
                                         .width = 1335,
                                         .height = 375,
                                         .tabIndex = 2};
const Label::Definition kLabel1{.name = "Label1",
                                .caption = "URL:",
                                .left = 120,
                                .top = 120,
                                .width = 1335,
                                .height = 255,
                                .tabIndex = 3};

}  // namespace

frmOptions::frmOptions(const Services& services)
    : Form(services.engine, kFrmOptions),
      cboURL(*this, kCboURL),
      cmdClose(*this, kCmdClose),
      cmdExit(*this, kCmdExit),
      Label1(*this, kLabel1),
      session_(services.session) {
  // Screen readers call the URL box by the label above it.
  Label1.Names(cboURL);
  cboURL.Change = [this] { cboURL_Change(); };
  cboURL.Click = [this] { cboURL_Click(); };
  cmdClose.Click = [this] { cmdClose_Click(); };
  cmdExit.Click = [this] { cmdExit_Click(); };
  QueryUnload = [this](int& Cancel, int UnloadMode) { Form_QueryUnload(Cancel, UnloadMode); };
}

frmOptions::~frmOptions() = default;

void frmOptions::Attach(OptionsOwner& owner) { owner_ = &owner; }

void frmOptions::Open(const Settings& inUse) {
  opened_ = inUse;
  blnEditingUrl = true;
  cboURL.setText(inUse.url);
  blnEditingUrl = false;
  blnEdited = false;
  Show();
}

Settings frmOptions::Edited() const {
  Settings edited = opened_;
  edited.url = cboURL.Text();
  return edited;
}

void frmOptions::cboURL_Change() {
  if (blnEditingUrl) return;
  blnEdited = true;
  if (owner_) owner_->Apply(Edited());
}

void frmOptions::cboURL_Click() { cboURL_Change(); }

void frmOptions::cmdClose_Click() {
  int cancel = 0;
  int unloadMode = 0;
  Form_QueryUnload(cancel, unloadMode);
}

void frmOptions::cmdExit_Click() {
  if (owner_) owner_->Exit();
}

void frmOptions::Form_QueryUnload(int& Cancel, int UnloadMode) {
  // When the program ends (its own exit, the end of the desktop session) the dialog goes
  // with it, without loading anything, instead of refusing.
  if (UnloadMode == vbAppWindows || session_.Ending() || owner_ == nullptr) return;
  if (!owner_->Resume(blnEdited)) return;
  Cancel = 1;
  Hide();
}
