// The row of labels: one label per item, side by side, measured in the label font; the
// strip, the title picture and the window take the height of that font.
#include "ticker/frmTicker.h"

#include "ticker/WebLink.h"

namespace {

constexpr platform::Twips kLabelTop = 10;
constexpr platform::Twips kStripPadding = 60;
constexpr platform::Twips kGap = 220;
constexpr platform::Twips kTrailingMargin = 240;
constexpr platform::Color kLinkColor = platform::RGB(51, 51, 152);
constexpr platform::Color kPlainColor = 0;

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
  for (int i = 0; i <= n; ++i) {
    if (i == 0) {
      lblItem(0).setLeft(0);
      lblItem(0).setTop(kLabelTop);
    } else {
      lblItem.Load(i);
      auto previous = lblItem(i - 1);
      lblItem(i).setVisible(true);
      lblItem(i).setLeft(
          static_cast<float>(static_cast<double>(previous.Width()) + previous.Left() + kGap));
    }
    auto label = lblItem(i);
    const NewsItem& item = arrItems[static_cast<std::size_t>(i)];
    if (TrimLink(item.strLink).empty()) {
      label.setMousePointer(platform::vbDefault);
      label.setForeColor(kPlainColor);
    } else {
      label.setMousePointer(platform::vbCustom);
      label.setForeColor(kLinkColor);
    }
    label.setCaption(item.strTitle);
    label.setToolTipText(item.strToolTip);
    picTicker.setFontBold(lblItem(0).FontBold());
    label.setWidth(picTicker.TextWidth(label.Caption()));
  }

  auto last = lblItem(n);
  picTicker.setWidth(
      static_cast<float>(static_cast<double>(last.Width()) + last.Left() + kTrailingMargin));
  blnLaidOut = true;
}
