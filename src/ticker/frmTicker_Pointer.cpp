// What the mouse does on the strip: pause over items, open an item's link, drag the window
// by the title picture, reload on a double-click of it, and open the options dialog with the
// right button.
#include "options/frmOptions.h"
#include "platform/services/WebLink.h"
#include "ticker/frmTicker.h"

using platform::Twips;

void frmTicker::Form_MouseMove(int, int, Twips, Twips) { ResumeScroll(); }

void frmTicker::Form_MouseUp(int Button, int, Twips, Twips) {
  if (Button == platform::vbRightButton) ShowOptions();
}

void frmTicker::picTicker_MouseMove(int, int, Twips, Twips) { ResumeScroll(); }

void frmTicker::picTicker_MouseDown(int Button, int, Twips, Twips) {
  if (Button == platform::vbRightButton) ShowOptions();
}

void frmTicker::lblItem_MouseMove(int, int, int, Twips, Twips) { StopScroll(); }

void frmTicker::lblItem_MouseDown(int Index, int Button, int, Twips, Twips) {
  if (Button == platform::vbRightButton) {
    ShowOptions();
    return;
  }
  if (Index < 0 || static_cast<std::size_t>(Index) >= arrItems.size()) return;
  // Blanks around a link are the feed's layout, not part of the address.
  const std::string_view link =
      platform::TrimLink(arrItems[static_cast<std::size_t>(Index)].strLink);
  if (link.empty()) return;
  // The feed comes from the network: only web addresses go to the system's opener.
  if (!platform::IsWebLink(link)) return;
  services_.opener.Open(std::string(link));
}

void frmTicker::picTitle_MouseDown(int, int, Twips X, Twips Y) {
  sngDragX = X;
  sngDragY = Y;
}

void frmTicker::picTitle_MouseMove(int Button, int, Twips X, Twips Y) {
  ResumeScroll();
  if (Button == platform::vbLeftButton) {
    setLeft(static_cast<float>(static_cast<double>(Left()) + X - sngDragX));
    setTop(static_cast<float>(static_cast<double>(Top()) + Y - sngDragY));
  }
}

void frmTicker::picTitle_MouseUp(int Button, int, Twips, Twips) {
  if (Button == platform::vbRightButton) ShowOptions();
}

void frmTicker::picTitle_DblClick() { LoadPage(platform::FetchOrigin::Person); }

void frmTicker::ShowOptions() {
  StopScroll();
  blnOpened = true;
  frmOptions_.Open(settingsInUse);
  tmrMouse.setEnabled(false);
  blnOptionsOpen = true;
}
