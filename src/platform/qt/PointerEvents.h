// Button values and modifier flags of pointer and key events, from the toolkit's buttons and
// modifier keys, and the pixel a pointer event lies in.
#pragma once

#include <QMouseEvent>
#include <QPoint>
#include <QPointF>
#include <QWidget>
#include <Qt>
#include <QtMath>

#include "platform/engine/Surface.h"
#include "platform/forms/Units.h"

namespace platform {

// The value of one button: 1 left, 2 right, 4 middle; 0 for any other button.
inline int ButtonValue(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return vbLeftButton;
    case Qt::RightButton:
      return vbRightButton;
    case Qt::MiddleButton:
      return vbMiddleButton;
    default:
      return 0;
  }
}

// The sum of the buttons held.
inline int ButtonsValue(Qt::MouseButtons buttons) {
  int value = 0;
  if (buttons & Qt::LeftButton) value |= vbLeftButton;
  if (buttons & Qt::RightButton) value |= vbRightButton;
  if (buttons & Qt::MiddleButton) value |= vbMiddleButton;
  return value;
}

// The modifier keys held, as the engine's Modifier flags.
inline int ModifiersValue(Qt::KeyboardModifiers modifiers) {
  using engine::Modifier;
  int value = 0;
  if (modifiers & Qt::ShiftModifier) value |= Modifier::Shift;
  if (modifiers & Qt::ControlModifier) value |= Modifier::Ctrl;
  if (modifiers & Qt::AltModifier) value |= Modifier::Alt;
  return value;
}

// The pixel of widget that the pointer event lies in, counted from where the program has put
// the widget's window. An X server reports a pointer event relative to where the window was
// when the pointer moved; the moves a drag asks for reach it later, so during a fast drag
// that place lags behind the one the program set, and a drag reckoned from it overshoots
// (a busy machine left the strip tens of pixels beyond the pointer). The screen position
// does not lag.
inline QPoint PixelAt(const QWidget& widget, const QMouseEvent& event) {
  const QPointF at = event.globalPosition() - QPointF(widget.mapToGlobal(QPoint(0, 0)));
  return QPoint(qFloor(at.x()), qFloor(at.y()));
}

}  // namespace platform
