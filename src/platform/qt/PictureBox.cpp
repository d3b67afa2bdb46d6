#include "platform/PictureBox.h"

#include <QString>
#include <algorithm>

#include "platform/Form.h"
#include "platform/qt/EngineAccess.h"
#include "platform/qt/FormWidget.h"
#include "platform/qt/PictureBoxWidget.h"
#include "platform/qt/Twips.h"
#include "platform/qt/Widgets.h"

namespace platform {

struct PictureBox::Impl {
  QPointer<PictureBoxWidget> window;
  std::string name;
};

PictureBox::PictureBox(Form& parent, const Definition& definition) : d(std::make_unique<Impl>()) {
  d->name = definition.name;
  d->window = new PictureBoxWidget(qt::FormWidgetOf(parent), *this, definition);
}

PictureBox::~PictureBox() { delete d->window.data(); }

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
  return ToTwips(d->window->measuringFont().horizontalAdvance(text));
}

Twips PictureBox::TextHeight(std::string_view text) const {
  const QFontMetrics& metrics = d->window->measuringFont().metrics();
  const auto lines = 1 + std::count(text.begin(), text.end(), '\n');
  return ToTwips(static_cast<double>(lines) * metrics.height());
}

WindowHandle PictureBox::hWnd() const { return reinterpret_cast<WindowHandle>(d->window.data()); }

QWidget* qt::WidgetOf(const PictureBox& box) { return EngineAccess::Impl(box).window.data(); }
const std::string& PictureBox::name() const { return d->name; }

void PictureBox::attach(LabelArray* labels) {
  if (d->window) d->window->attach(labels);
}
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
