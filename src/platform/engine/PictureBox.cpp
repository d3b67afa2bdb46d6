#include "platform/forms/PictureBox.h"

#include <algorithm>

#include "platform/engine/BoxCore.h"
#include "platform/engine/EngineAccess.h"
#include "platform/engine/FormCore.h"
#include "platform/forms/Form.h"

namespace platform {

struct PictureBox::Impl {
  engine::BoxCore core;

  // Changes one edge or size of the logical rectangle.
  void set(Twips RectTwips::*field, Twips value) {
    RectTwips area = core.area();
    area.*field = value;
    core.setArea(area);
  }
  void set(auto Font::*field, auto value) {
    Font font = core.font();
    font.*field = value;
    core.setFont(font);
  }
};

PictureBox::PictureBox(Form& parent, const Definition& definition)
    : d(new Impl{engine::BoxCore(engine::CoreOf(parent), *this, definition)}) {}

PictureBox::~PictureBox() = default;

Twips PictureBox::Left() const { return d->core.area().left; }
void PictureBox::setLeft(Twips value) { d->set(&RectTwips::left, value); }
Twips PictureBox::Top() const { return d->core.area().top; }
void PictureBox::setTop(Twips value) { d->set(&RectTwips::top, value); }
Twips PictureBox::Width() const { return d->core.area().width; }
void PictureBox::setWidth(Twips value) { d->set(&RectTwips::width, value); }
Twips PictureBox::Height() const { return d->core.area().height; }
void PictureBox::setHeight(Twips value) { d->set(&RectTwips::height, value); }

Color PictureBox::BackColor() const { return d->core.backColor(); }
void PictureBox::setBackColor(Color value) { d->core.setBackColor(value); }
Color PictureBox::ForeColor() const { return d->core.foreColor(); }
StdPicture PictureBox::Picture() const { return d->core.picture(); }
void PictureBox::setPicture(const StdPicture& value) { d->core.setPicture(value); }
std::string PictureBox::ToolTipText() const { return d->core.toolTip(); }
void PictureBox::setToolTipText(const std::string& value) { d->core.setToolTip(value); }

std::string PictureBox::FontName() const { return d->core.font().name; }
void PictureBox::setFontName(const std::string& value) { d->set(&Font::name, value); }
float PictureBox::FontSize() const { return d->core.font().size; }
void PictureBox::setFontSize(float value) { d->set(&Font::size, value); }
bool PictureBox::FontBold() const { return d->core.font().bold; }
void PictureBox::setFontBold(bool value) { d->set(&Font::bold, value); }

// Whole pixels, as the labels are drawn: on one line, each line break and tab a blank. A label
// as wide as its measured caption shows it all.
Twips PictureBox::TextWidth(std::string_view text) const {
  return ToTwips(engine::PixelWidth(text, d->core.measuringFont()), d->core.dpi());
}

Twips PictureBox::TextHeight(std::string_view text) const {
  const auto lines = 1 + std::count(text.begin(), text.end(), '\n');
  return ToTwips(static_cast<double>(lines) * d->core.measuringFont().lineHeight(), d->core.dpi());
}

WindowHandle PictureBox::hWnd() const { return d->core.native().handle(); }
const std::string& PictureBox::name() const { return d->core.name(); }

void PictureBox::attach(LabelArray* labels) { d->core.attach(labels); }
void PictureBox::detach(LabelArray* labels) { d->core.detach(labels); }
void PictureBox::labelsChanged(const RectTwips& area) { d->core.labelsChanged(area); }
void PictureBox::captionChanged(const LabelArray* labels, int index) {
  d->core.captionChanged(labels, index);
}

engine::BoxCore& engine::CoreOf(const PictureBox& box) { return EngineAccess::Impl(box).core; }

}  // namespace platform
