// The strip window: a borderless, always-on-top strip that scrolls the titles of the feed's
// items under a small title picture, pauses while the pointer rests on an item, opens an
// item's link when it is pressed and is dragged by its title picture.
#pragma once

#include <string>

#include "feed/NewsItem.h"
#include "options/OptionsOwner.h"
#include "options/Settings.h"
#include "platform/forms/Form.h"
#include "platform/forms/Image.h"
#include "platform/forms/LabelArray.h"
#include "platform/forms/PictureBox.h"
#include "platform/forms/Timer.h"
#include "platform/services/Services.h"

class frmOptions;

// The title picture's colour whenever no download is under way: orange.
inline constexpr platform::Color kTitleBackColor = platform::RGB(255, 128, 0);

class frmTicker final : public platform::Form, public OptionsOwner {
 public:
  // The window reaches the download, the link opener, the message box, the clock, the
  // pointer, the screens and the session only through services.
  frmTicker(frmOptions& options, const platform::Services& services);
  ~frmTicker() override;

  // Controls, as the window defines them (front to back for the two picture boxes).
  platform::PictureBox picTitle;
  platform::PictureBox picTicker;
  platform::LabelArray lblItem;
  platform::Timer tmrScroll;
  platform::Timer tmrMouse;
  platform::Download& Inet1;
  platform::Image imgNormal;
  platform::Image imgDownloading;

  // The settings in use, as the dialog edits them and the close saves them (the window's
  // place is its own until then).
  Settings settingsInUse;
  // The current feed URL.
  std::string& strUrl = settingsInUse.url;

  // Fetches, parses and lays out the feed at strUrl. The strip's own reloads keep to what the
  // server asked; a person's goes to the server at once.
  void LoadPage(platform::FetchOrigin origin = platform::FetchOrigin::Automatic);
  // Stops the strip; starts the hover poll unless the options dialog is open.
  void StopScroll();
  // Leaves the Options open state and lets the strip scroll again.
  void RestartTicker();
  // Opens the options dialog with the URL in use, as a right-click on the strip does.
  void ShowOptions();
  // Puts the window into the topmost band of the window stack, or back into the normal one.
  void SetTopmostWindow(platform::WindowHandle hWnd, const bool& topmost);

  // What the options dialog reports.
  void Apply(const Settings& edited) override;
  bool Resume(bool reload) override;
  void Exit() override;

  // Ends the program once the window has closed: the one place the program ends.
  void EndProgram();

  // Event handlers.
  void Form_Load();
  void Form_QueryUnload(int& Cancel, int UnloadMode);
  void tmrScroll_Timer();
  void tmrMouse_Timer();
  void Form_MouseMove(int Button, int Shift, platform::Twips X, platform::Twips Y);
  void Form_MouseUp(int Button, int Shift, platform::Twips X, platform::Twips Y);
  void picTicker_MouseMove(int Button, int Shift, platform::Twips X, platform::Twips Y);
  void picTicker_MouseDown(int Button, int Shift, platform::Twips X, platform::Twips Y);
  void lblItem_MouseMove(int Index, int Button, int Shift, platform::Twips X, platform::Twips Y);
  void lblItem_MouseDown(int Index, int Button, int Shift, platform::Twips X, platform::Twips Y);
  void picTitle_MouseDown(int Button, int Shift, platform::Twips X, platform::Twips Y);
  void picTitle_MouseMove(int Button, int Shift, platform::Twips X, platform::Twips Y);
  void picTitle_MouseUp(int Button, int Shift, platform::Twips X, platform::Twips Y);
  void picTitle_DblClick();

  // Read access for the program's tests.
  const ItemList& items() const { return arrItems; }
  bool optionsOpen() const { return blnOptionsOpen; }
  const std::string& settingsFile() const { return strIniFile; }
  bool loading() const { return blnLoading; }

 private:
  void ResumeScroll();
  void LayoutItems();
  void LoadOnce(platform::FetchOrigin origin);
  bool AcceptsUrl();
  void ShowBusy(bool busy);
  void ShowLoadFailure(const platform::FetchResult& fetched);
  void RestoreRow();
  void BringOnScreen();

  frmOptions& frmOptions_;
  platform::Services services_;

  ItemList arrItems;
  std::string strIniFile;
  std::string strSavedUrl;
  bool blnOptionsOpen = false;
  // The options dialog has been opened in this run, so its URL box holds the URL in use.
  bool blnOpened = false;
  float sngDragX = 0;
  float sngDragY = 0;
  platform::WindowHandle lngHwndUnder = 0;
  platform::PointApi ptCursor;

  // A fetch is under way: LoadPage is not entered again until it returns.
  bool blnLoading = false;
  // A load was asked for while one was under way: it runs when that one ends, as a person's
  // when a person asked.
  bool blnLoadAgain = false;
  platform::FetchOrigin loadAgainFor = platform::FetchOrigin::Automatic;
  // The end-of-run tick is reloading the feed: it alone turns tmrScroll back on.
  bool blnRunEnding = false;
  // The row has been laid out at least once.
  bool blnLaidOut = false;
};
