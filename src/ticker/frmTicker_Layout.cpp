// The row of labels: one label per item, side by side, measured in the label font; the
// strip, the title picture and the window take the height of that font.
#include "ticker/frmTicker.h"

#include "platform/services/WebLink.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace {

constexpr platform::Twips kLabelTop = 10;
constexpr platform::Twips kStripPadding = 60;
constexpr platform::Twips kGap = 220;
constexpr platform::Twips kTrailingMargin = 240;
constexpr platform::Color kLinkColor = platform::RGB(51, 51, 152);
constexpr platform::Color kPlainColor = 0;

// A caption shows at most this many characters, the last of a longer one an ellipsis. The
// longest titles of real feeds have some 300; one of megabytes would be measured for every
// label that borrows it and push the row beyond where positions hold.
constexpr std::size_t kCaptionChars = 1000;
constexpr std::string_view kEllipsis = "\xE2\x80\xA6";

// The farthest left a label takes. Twips are single floats: up to 2^29 a 30-twip scroll step
// still moves the strip, and every pixel figure stays far inside an int. Scrolling that far
// takes twenty days, so labels beyond it, which only the largest feeds reach, wait there.
constexpr double kFarthestLeft = 536870912.0;

bool IsCharacterStart(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; }

// What a label shows of a title: the title itself, or its first characters and an ellipsis,
// cut between two characters of its UTF-8.
text::SharedText ShownCaption(const text::SharedText& title) {
  const std::string_view text = title.view();
  if (text.size() <= kCaptionChars) return title;
  std::size_t characters = 0;
  std::size_t lastKept = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!IsCharacterStart(text[i])) continue;
    if (++characters == kCaptionChars) lastKept = i;
    if (characters > kCaptionChars) {
      std::string cut(text.substr(0, lastKept));
      return text::SharedText(cut.append(kEllipsis));
    }
  }
  return title;
}

}  // namespace

void frmTicker::LayoutItems() {
  picTicker.setFontName(lblItem(0).FontName());
  picTicker.setFontSize(lblItem(0).FontSize());
  lblItem(0).setHeight(picTicker.TextHeight("WTQjpg"));
  picTicker.setHeight(lblItem(0).Height() + kStripPadding);
  setHeight(picTicker.Height());
  picTitle.setHeight(picTicker.Height());

  if (lblItem.Count() > 1) {
    const int m = lblItem.UBound();
    for (int k = 1; k <= m; ++k) {
      if (lblItem.IsLoaded(k)) lblItem.Unload(k);
    }
  }

  // Lists of any length: indices are plain ints, not the 16-bit ones a control array had.
  const int n = static_cast<int>(arrItems.size()) - 1;
  // Items that borrow a title hold its very buffer: they show one caption, measured once.
  text::SharedText shownTitle;
  text::SharedText caption;
  platform::Twips width = 0;
  for (int i = 0; i <= n; ++i) {
    if (i == 0) {
      lblItem(0).setLeft(0);
      lblItem(0).setTop(kLabelTop);
    } else {
      lblItem.Load(i);
      auto previous = lblItem(i - 1);
      lblItem(i).setVisible(true);
      lblItem(i).setLeft(static_cast<float>(
          std::min(static_cast<double>(previous.Width()) + previous.Left() + kGap, kFarthestLeft)));
    }
    auto label = lblItem(i);
    const NewsItem& item = arrItems[static_cast<std::size_t>(i)];
    if (platform::TrimLink(item.strLink).empty()) {
      label.setMousePointer(platform::vbDefault);
      label.setForeColor(kPlainColor);
    } else {
      label.setMousePointer(platform::vbCustom);
      label.setForeColor(kLinkColor);
    }
    const bool sameCaption = i > 0 && item.strTitle.SharesBufferWith(shownTitle);
    if (!sameCaption) {
      shownTitle = item.strTitle;
      caption = ShownCaption(item.strTitle);
    }
    label.setCaption(caption);
    label.setToolTipText(item.strToolTip);
    picTicker.setFontBold(lblItem(0).FontBold());
    if (!sameCaption) width = picTicker.TextWidth(label.Caption());
    label.setWidth(width);
  }

  auto last = lblItem(n);
  picTicker.setWidth(
      static_cast<float>(static_cast<double>(last.Width()) + last.Left() + kTrailingMargin));
  blnLaidOut = true;
}
