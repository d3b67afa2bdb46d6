// Button and Shift values of pointer events, from the toolkit's buttons and modifier keys.
#pragma once

#include <QPoint>
#include <QPointF>
#include <Qt>
#include <QtMath>

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

// 1 Shift, 2 Ctrl, 4 Alt.
inline int ShiftValue(Qt::KeyboardModifiers modifiers) {
  int value = 0;
  if (modifiers & Qt::ShiftModifier) value |= 1;
  if (modifiers & Qt::ControlModifier) value |= 2;
  if (modifiers & Qt::AltModifier) value |= 4;
  return value;
}

// The pixel a pointer position lies in.
inline QPoint PixelAt(const QPointF& position) {
  return QPoint(qFloor(position.x()), qFloor(position.y()));
}

}  // namespace platform
