// The strip window's life cycle: the start-up sequence that places it and loads the first
// feed, and the save of the feed URL and the window position when it closes.
#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "app/ProgramSettings.h"
#include "app/SettingsFile.h"
#include "app/SettingsLocation.h"
#include "feed/FeedUrl.h"
#include "options/frmOptions.h"
#include "platform/services/Profile.h"
#include "ticker/HomeSite.h"
#include "ticker/frmTicker.h"

namespace {

bool Intersects(const platform::RectTwips& a, const platform::RectTwips& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
         b.top < a.top + a.height;
}

}  // namespace

void frmTicker::Form_Load() {
  setWidth(picTicker.Width());
  setBackColor(picTicker.BackColor());
  SetTopmostWindow(hWnd(), true);
  frmOptions_.EnsureLoaded();
  frmOptions_.cboURL.AddItem(std::string(kDefaultFeedUrl));
  // The file the close writes; the one beside the program gives what the other lacks.
  const SettingsFiles settings = ProgramSettingsFiles();
  strIniFile = settings.writeTo;

  const auto& files = settings.readOrder;
  if (std::any_of(files.begin(), files.end(), platform::FileExists)) {
    const Settings saved = ReadSettings(files);
    strSavedUrl = saved.url;
    setLeft(saved.windowX);
    setTop(saved.windowY);
    // What the dialog edits besides the URL comes as it was saved.
    settingsInUse = saved;
  }
  strUrl = std::string(kDefaultFeedUrl);
  if (feed::TakesSavedUrl(strSavedUrl, kDefaultFeedUrl, kHomeDomain)) {
    frmOptions_.cboURL.AddItem(strSavedUrl);
    strUrl = strSavedUrl;
  }

  LoadPage();
  // The program may have been told to end while the first feed was fetched.
  if (Closed() || services_.session.Ending()) return;
  // Judged now that the strip has the height it shows with, not the height it was designed at.
  BringOnScreen();
  if (!blnOptionsOpen) tmrScroll.setEnabled(true);
}

// A position saved on a display that is gone would leave the window where no one can reach
// it; one that is merely partly off the screen is the user's choice and stays.
void frmTicker::BringOnScreen() {
  const platform::RectTwips window{Left(), Top(), Width(), Height()};
  for (const auto& screen : services_.screens.ScreenAreas()) {
    if (Intersects(window, screen)) return;
  }
  const auto area = services_.screens.PrimaryWorkArea();
  Move(area.left, area.top);
}

void frmTicker::Form_QueryUnload(int& /*Cancel*/, int /*UnloadMode*/) {
  frmOptions_.EnsureLoaded();
  // Until the dialog has been opened its URL box is empty: the settings in use are the
  // window's own then.
  Settings saved = blnOpened ? frmOptions_.Edited() : settingsInUse;
  saved.windowX = Left();
  saved.windowY = Top();
  // A save that fails says where and why, in one line; the program goes on ending.
  std::string why;
  if (!SaveSettings(saved, strIniFile, why)) {
    std::cerr << "ticker: settings not saved to " << strIniFile << ": " << why << '\n';
  }
}
