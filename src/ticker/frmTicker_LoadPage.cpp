// Bringing a fresh feed onto the strip: the home-domain gate, the busy title picture, the
// download, and the new row of labels from the document read into the item list.
#include <chrono>
#include <ctime>
#include <string>
#include <utility>

#include "feed/FeedUrl.h"
#include "feed/ReadFeed.h"
#include "platform/services/MsgBox.h"
#include "ticker/HomeSite.h"
#include "ticker/SetWhileInScope.h"
#include "ticker/frmTicker.h"

namespace {

constexpr platform::Color kBusyBackColor = 0xFFFFFF;
constexpr const char* kTooLargeToHold = "not enough memory to hold the feed";

// The hour and minute of now in the local time zone.
std::string TimeOfDay(std::chrono::system_clock::time_point now_point) {
  const std::time_t now = std::chrono::system_clock::to_time_t(now_point);
  std::tm local{};
  localtime_r(&now, &local);
  char text[16];
  std::strftime(text, sizeof text, "%H:%M", &local);
  return text;
}

}  // namespace

void frmTicker::LoadPage(platform::FetchOrigin origin) {
  // Timers and pointer events still run while a fetch waits. A load asked for then (the
  // dialog closed after an edit, a double-click) is not dropped: one more load follows the
  // one under way, for the URL current when it ends.
  if (blnLoading) {
    blnLoadAgain = true;
    if (origin == platform::FetchOrigin::Person) loadAgainFor = origin;
    return;
  }
  const SetWhileInScope loading(blnLoading);
  do {
    blnLoadAgain = false;
    LoadOnce(origin);
    origin = std::exchange(loadAgainFor, platform::FetchOrigin::Automatic);
  } while (blnLoadAgain && !Closed() && !services_.session.Ending());
  blnLoadAgain = false;
}

void frmTicker::LoadOnce(platform::FetchOrigin origin) {
  if (strUrl.empty() || !AcceptsUrl()) return;
  ShowBusy(true);
  // The user may edit strUrl while the fetch waits; the document is read as what was asked for.
  const std::string url = strUrl;
  platform::FetchResult fetched = Inet1.OpenURL(url, origin);
  // The window closed or the program was told to end while the fetch waited.
  if (Closed() || services_.session.Ending()) return;
  if (!fetched.ok) {
    ShowLoadFailure(fetched);
    return;
  }
  // A feed that memory cannot hold fails like a download, and the strip goes on with what it
  // had.
  if (!feed::ReplaceItems(
          feed::FormatOfUrl(url), fetched.document, arrItems, [this] { LayoutItems(); },
          [this] { RestoreRow(); })) {
    platform::FetchResult unheld = platform::FailedFetch(platform::FetchFailure::TooLarge);
    unheld.error = kTooLargeToHold;
    ShowLoadFailure(unheld);
    return;
  }
  ShowBusy(false);
  picTitle.setToolTipText(TitleToolTip());
}

// Only URLs of the home site are fetched; any other is refused with a warning.
bool frmTicker::AcceptsUrl() {
  if (feed::ComesFromHomeDomain(strUrl, kHomeDomain)) return true;
  services_.msgBox.Show("The URL entered does not come from " + std::string(kHomeSiteName),
                        platform::vbExclamation);
  return false;
}

// The title picture while a download is under way, or the normal one.
void frmTicker::ShowBusy(bool busy) {
  picTitle.setPicture(busy ? imgDownloading.Picture() : imgNormal.Picture());
  picTitle.setBackColor(busy ? kBusyBackColor : kTitleBackColor);
}

// A failed download keeps the items already shown; the title picture's tooltip tells why,
// and when the strip asks the server again if that is later than its next reload, until the
// next load succeeds. A reload that waits for that time leaves the tooltip as it was.
void frmTicker::ShowLoadFailure(const platform::FetchResult& fetched) {
  if (!blnLaidOut) LayoutItems();
  ShowBusy(false);
  if (fetched.failure == platform::FetchFailure::Deferred) return;
  const std::string failedAt = TimeOfDay(services_.clock.Now());
  const std::string nextTry = TimeOfDay(services_.clock.Now() + fetched.nextTryIn);
  picTitle.setToolTipText(TitleToolTip() + "\nLast update failed at " + failedAt + ": " +
                          fetched.error +
                          (nextTry == failedAt ? "" : "\nNext try after " + nextTry));
}

// Lays the kept items out again after a layout that memory could not finish. Should even that
// fail, the strip is left empty rather than half built.
void frmTicker::RestoreRow() {
  try {
    LayoutItems();
  } catch (const std::bad_alloc&) {
    arrItems = ItemList(1);
    LayoutItems();
  }
}
