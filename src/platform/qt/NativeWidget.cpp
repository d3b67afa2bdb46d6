#include "platform/qt/NativeWidget.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QPen>
#include <QToolTip>

#include "platform/qt/Colors.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Pictures.h"
#include "platform/qt/PointerEvents.h"

namespace platform {

namespace {

class WidgetPainter final : public engine::Painter {
 public:
  explicit WidgetPainter(QWidget* widget) : painter_(widget) {}

  void fill(const engine::Pixels& area, Color color) override {
    painter_.fillRect(ToQRect(area), ToQColor(color));
  }

  void picture(const StdPicture& picture, const engine::Pixels& area,
               const engine::Pixels& clip) override {
    const QPixmap& pixmap = PixmapOf(picture, painter_.device()->devicePixelRatioF());
    if (pixmap.isNull() || area.intersected(clip).empty()) return;
    painter_.save();
    painter_.setClipRect(ToQRect(clip), Qt::IntersectClip);
    painter_.drawPixmap(ToQRect(area), pixmap);
    painter_.restore();
  }

  void text(const engine::MeasuringFont& font, std::string_view utf8, bool rightToLeft,
            long long x64, int top, Color color, const engine::Pixels& clip) override {
    // Only this surface's fonts reach its painter.
    const auto& entry = static_cast<const FontEntry&>(font);
    const FontEntry::Line* line = entry.laidOut(utf8, rightToLeft);
    if (line == nullptr) return;
    if (!penSet_ || color_ != color) {
      penSet_ = true;
      color_ = color;
      painter_.setPen(ToQColor(color));
    }
    painter_.setClipRect(ToQRect(clip));
    // The glyphs laid out when the caption was measured: shaped once, not at every paint.
    line->layout->draw(&painter_, QPointF(static_cast<qreal>(x64) / 64, top + line->drop));
    painter_.setClipping(false);
  }

  void focusFrame(const engine::Pixels& area, Color color, const engine::Pixels& clip) override {
    if (area.width < 2 || area.height < 2) return;
    painter_.save();
    painter_.setClipRect(ToQRect(clip));
    painter_.setPen(QPen(ToQColor(color), 0, Qt::DotLine));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(area.left, area.top, area.width - 1, area.height - 1);
    painter_.restore();
  }

 private:
  QPainter painter_;
  Color color_ = 0;
  bool penSet_ = false;
};

}  // namespace

std::unique_ptr<engine::Painter> PainterOn(QWidget* widget) {
  return std::make_unique<WidgetPainter>(widget);
}

// The toolkit guesses markup from the text itself: feed text could otherwise draw anything,
// local pictures included. This markup says "the text, every blank and line break as it
// stands".
QString PlainToolTip(const std::string& text) {
  if (text.empty()) return {};
  return QLatin1String("<p style='white-space:pre'>") +
         QString::fromStdString(text).toHtmlEscaped() + QLatin1String("</p>");
}

void ShowToolTip(QWidget* widget, QHelpEvent* event, const QString& text, const QRect& area) {
  if (text.isEmpty() || !area.contains(event->pos())) {
    QToolTip::hideText();
    event->ignore();
    return;
  }
  QToolTip::showText(event->globalPos(), text, widget, area);
}

void HideToolTip() {
  if (QToolTip::isVisible()) QToolTip::hideText();
}

engine::PointerNow PointerNowOver(const QWidget* widget) {
  const QPoint global = QCursor::pos();
  const QPoint local = widget->mapFromGlobal(global);
  return {.overThisWindow = QApplication::widgetAt(global) == widget,
          .x = local.x(),
          .y = local.y(),
          .buttons = ButtonsValue(QGuiApplication::mouseButtons()),
          .modifiers = ModifiersValue(QGuiApplication::keyboardModifiers())};
}

void SetPointerShape(QWidget* widget, const StdPicture* custom) {
  if (custom != nullptr) {
    widget->setCursor(CursorOf(*custom));
  } else {
    widget->unsetCursor();
  }
}

}  // namespace platform
