#include "platform/qt/PictureBoxWidget.h"

#include <QAccessible>
#include <QMouseEvent>

#include "platform/qt/FormWidget.h"
#include "platform/qt/PointerEvents.h"
#include "platform/qt/StripAccessible.h"

namespace platform {

PictureBoxWidget::PictureBoxWidget(FormWidget& form, const char* name, engine::BoxEvents& events,
                                   engine::AccessibleModel& reader)
    : NativeWidget(&form), events_(events), reader_(reader) {
  setObjectName(QString::fromUtf8(name));
  setMouseTracking(true);
  // Every pixel is painted: lets the toolkit scroll drawn pixels instead of repainting.
  setAttribute(Qt::WA_OpaquePaintEvent);
  hide();
  // Behind the windows made before it; the form's keys are the engine's, never the box's.
  lower();
  setFocusPolicy(Qt::NoFocus);
}

bool PictureBoxWidget::readerAttached() const { return QAccessible::isActive(); }

void PictureBoxWidget::accessibleChanged(const std::vector<engine::AccessibleEvent>& events) {
  TellReaderOfBox(this, events);
}

void PictureBoxWidget::place(const engine::Pixels& part) {
  if (part.empty()) {
    hide();
    return;
  }
  setGeometry(ToQRect(part));
  if (isHidden()) show();
}

void PictureBoxWidget::paintEvent(QPaintEvent* event) {
  events_.paint(*PainterOn(this), FromQRect(event->rect()));
}

void PictureBoxWidget::pointer(engine::FormEvents::Pointer kind, QMouseEvent* event,
                               bool doubleClick) {
  event->accept();
  const QPoint at = PixelAt(*this, *event);
  events_.pointer(kind, ButtonValue(event->button()), ButtonsValue(event->buttons()),
                  ModifiersValue(event->modifiers()), at.x(), at.y(), doubleClick);
}

void PictureBoxWidget::mousePressEvent(QMouseEvent* event) {
  pointer(engine::FormEvents::Pointer::Down, event, false);
}

void PictureBoxWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  pointer(engine::FormEvents::Pointer::Down, event, true);
}

void PictureBoxWidget::mouseMoveEvent(QMouseEvent* event) {
  pointer(engine::FormEvents::Pointer::Move, event, false);
}

void PictureBoxWidget::mouseReleaseEvent(QMouseEvent* event) {
  pointer(engine::FormEvents::Pointer::Up, event, false);
}

void PictureBoxWidget::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  events_.pointerCrossed(true);
}

void PictureBoxWidget::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  events_.pointerCrossed(false);
}

}  // namespace platform
