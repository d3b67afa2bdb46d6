#include "platform/PictureBox.h"

#include <QString>
#include <algorithm>

#include "platform/Form.h"
#include "platform/FormWidget.h"
#include "platform/PictureBoxWidget.h"
#include "platform/Twips.h"

namespace platform {

namespace {

// Calls each(line) for every line of the text ("\n" or "\r\n" separated).
template <typename Each>
void ForEachLine(std::string_view text, Each each) {
  while (true) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    each(line);
    if (end == std::string_view::npos) return;
    text.remove_prefix(end + 1);
  }
}

}  // namespace

struct PictureBox::Impl {
  QPointer<PictureBoxWidget> window;
  std::string name;
};

PictureBox::PictureBox(Form& parent, const Definition& definition) : d(std::make_unique<Impl>()) {
  d->name = definition.name;
  d->window = new PictureBoxWidget(static_cast<FormWidget*>(parent.widget()), *this, definition);
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

// Whole pixels, as the labels are drawn: a label as wide as its measured caption shows it all.
Twips PictureBox::TextWidth(std::string_view text) const {
  const FontEntry& font = d->window->measuringFont();
  int widest = 0;
  ForEachLine(text, [&](std::string_view line) {
    if (!line.empty()) widest = std::max(widest, font.horizontalAdvance(line));
  });
  return ToTwips(widest);
}

Twips PictureBox::TextHeight(std::string_view text) const {
  const QFontMetrics& metrics = d->window->measuringFont().metrics();
  const auto lines = 1 + std::count(text.begin(), text.end(), '\n');
  return ToTwips(static_cast<double>(lines) * metrics.height());
}

WindowHandle PictureBox::hWnd() const { return reinterpret_cast<WindowHandle>(d->window.data()); }

QWidget* PictureBox::widget() const { return d->window.data(); }
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

}  // namespace platform
