#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "platform/qt/PictureBoxWidget.h"
#include "platform/qt/SystemServiceClasses.h"

namespace platform {

bool PointerCursor::GetCursorPos(PointApi& pt) const {
  if (QGuiApplication::primaryScreen() == nullptr) return false;
  const QPoint position = QCursor::pos();
  pt.x = position.x();
  pt.y = position.y();
  return true;
}

// Labels own no window: a point on one belongs to the picture box that draws it. Any other
// widget of ours answers with its own identity, which matches no form or picture box handle.
// Windows of other programs cannot be told from the desktop here: both give 0.
WindowHandle PointerCursor::WindowAt(PointApi pt) const {
  QWidget* widget = QApplication::widgetAt(QPoint(pt.x, pt.y));
  if (widget == nullptr) return 0;
  WindowHandle found = reinterpret_cast<WindowHandle>(widget);
  for (QWidget* w = widget; w != nullptr && !w->isWindow(); w = w->parentWidget()) {
    if (dynamic_cast<PictureBoxWidget*>(w) != nullptr) {
      found = reinterpret_cast<WindowHandle>(w);
      break;
    }
  }
  return found;
}

}  // namespace platform
