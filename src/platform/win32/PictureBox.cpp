#include "platform/PictureBox.h"

#include <algorithm>

#include "platform/Form.h"
#include "platform/win32/FormWindow.h"
#include "platform/win32/PictureBoxWindow.h"

namespace platform {

using win32::FontEntry;
using win32::ToTwips;

struct PictureBox::Impl {
  std::unique_ptr<win32::PictureBoxWindow> window;
  std::string name;
};

PictureBox::PictureBox(Form& parent, const Definition& definition) : d(std::make_unique<Impl>()) {
  d->name = definition.name;
  auto* form = win32::FormWindow::FromHandle(reinterpret_cast<HWND>(parent.hWnd()));
  d->window = std::make_unique<win32::PictureBoxWindow>(*form, *this, definition);
}

PictureBox::~PictureBox() = default;

Twips PictureBox::Left() const { return d->window->area().left; }
void PictureBox::setLeft(Twips value) {
  RectTwips area = d->window->area();
  area.left = value;
  d->window->setArea(area);
}
Twips PictureBox::Top() const { return d->window->area().top; }
void PictureBox::setTop(Twips value) {
  RectTwips area = d->window->area();
  area.top = value;
  d->window->setArea(area);
}
Twips PictureBox::Width() const { return d->window->area().width; }
void PictureBox::setWidth(Twips value) {
  RectTwips area = d->window->area();
  area.width = value;
  d->window->setArea(area);
}
Twips PictureBox::Height() const { return d->window->area().height; }
void PictureBox::setHeight(Twips value) {
  RectTwips area = d->window->area();
  area.height = value;
  d->window->setArea(area);
}

Color PictureBox::BackColor() const { return d->window->backColor(); }
void PictureBox::setBackColor(Color value) { d->window->setBackColor(value); }
Color PictureBox::ForeColor() const { return d->window->foreColor(); }
StdPicture PictureBox::Picture() const { return d->window->picture(); }
void PictureBox::setPicture(const StdPicture& value) { d->window->setPicture(value); }
std::string PictureBox::ToolTipText() const { return d->window->toolTip(); }
void PictureBox::setToolTipText(const std::string& value) { d->window->setToolTip(value); }

std::string PictureBox::FontName() const { return d->window->font().name; }
void PictureBox::setFontName(const std::string& value) {
  Font font = d->window->font();
  font.name = value;
  d->window->setFont(font);
}
float PictureBox::FontSize() const { return d->window->font().size; }
void PictureBox::setFontSize(float value) {
  Font font = d->window->font();
  font.size = value;
  d->window->setFont(font);
}
bool PictureBox::FontBold() const { return d->window->font().bold; }
void PictureBox::setFontBold(bool value) {
  Font font = d->window->font();
  font.bold = value;
  d->window->setFont(font);
}

// Whole pixels, as the labels are drawn: on one line, each line break and tab a blank. A
// label as wide as its measured caption shows it all.
Twips PictureBox::TextWidth(std::string_view text) const {
  const FontEntry& font = d->window->measuringFont();
  return ToTwips(static_cast<double>(font.advance(FontEntry::DisplayText(text))), d->window->dpi());
}

Twips PictureBox::TextHeight(std::string_view text) const {
  const auto lines = 1 + std::count(text.begin(), text.end(), '\n');
  return ToTwips(static_cast<double>(lines) * d->window->measuringFont().lineHeight(),
                 d->window->dpi());
}

WindowHandle PictureBox::hWnd() const {
  return reinterpret_cast<WindowHandle>(d->window->handle());
}
const std::string& PictureBox::name() const { return d->name; }

void PictureBox::attach(LabelArray* labels) { d->window->attach(labels); }
void PictureBox::detach(LabelArray* labels) {
  if (d->window) d->window->detach(labels);
}
void PictureBox::labelsChanged(const RectTwips& area) {
  if (d->window) d->window->labelsChanged(area);
}
void PictureBox::captionChanged(const LabelArray* labels, int index) {
  if (d->window) d->window->captionChanged(labels, index);
}

}  // namespace platform
