// The surface tests' probe over Qt: widgets on the offscreen platform, events sent as the
// toolkit delivers them.
#include <QApplication>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QImage>
#include <QMouseEvent>
#include <QTextDocument>
#include <QThread>
#include <QToolTip>
#include <QWidget>
#include <map>

#include "surface/SurfaceProbe.h"

namespace platform::surface_test {
namespace {

QWidget* W(WindowHandle handle) { return reinterpret_cast<QWidget*>(handle); }

Qt::MouseButtons Buttons(int buttons) {
  Qt::MouseButtons held;
  if (buttons & vbLeftButton) held |= Qt::LeftButton;
  if (buttons & vbRightButton) held |= Qt::RightButton;
  if (buttons & vbMiddleButton) held |= Qt::MiddleButton;
  return held;
}

class QtProbe final : public SurfaceProbe {
 public:
  bool waitFor(const std::function<bool()>& ready) override {
    grabs_.clear();
    QElapsedTimer clock;
    clock.start();
    while (!ready() && clock.elapsed() < 5000) {
      QApplication::processEvents(QEventLoop::AllEvents, 10);
      QThread::msleep(5);
    }
    grabs_.clear();
    return ready();
  }

  engine::Pixels clientOnScreen(WindowHandle window) override {
    const QPoint at = W(window)->mapToGlobal(QPoint(0, 0));
    return {at.x(), at.y(), W(window)->width(), W(window)->height()};
  }

  Color pixel(WindowHandle window, int x, int y) override {
    auto found = grabs_.find(window);
    if (found == grabs_.end()) {
      found = grabs_.emplace(window, W(window)->grab().toImage()).first;
    }
    const QRgb rgb = found->second.pixel(x, y);
    return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
  }

  void mouse(WindowHandle window, engine::FormEvents::Pointer kind, int button, int buttons, int x,
             int y, bool doubleClick) override {
    grabs_.clear();
    using Pointer = engine::FormEvents::Pointer;
    const QEvent::Type type = kind == Pointer::Move ? QEvent::MouseMove
                              : kind == Pointer::Up ? QEvent::MouseButtonRelease
                              : doubleClick         ? QEvent::MouseButtonDblClick
                                                    : QEvent::MouseButtonPress;
    const Qt::MouseButton changed = kind == Pointer::Move
                                        ? Qt::NoButton
                                        : static_cast<Qt::MouseButton>(Buttons(button).toInt());
    const QPointF at(x, y);
    QMouseEvent event(type, at, W(window)->mapToGlobal(at), changed, Buttons(buttons),
                      Qt::NoModifier);
    QApplication::sendEvent(W(window), &event);
  }

  std::string toolTipAt(WindowHandle window, int x, int y) override {
    mouse(window, engine::FormEvents::Pointer::Move, 0, 0, x, y, false);
    QHelpEvent help(QEvent::ToolTip, QPoint(x, y), W(window)->mapToGlobal(QPoint(x, y)));
    QApplication::sendEvent(W(window), &help);
    if (!QToolTip::isVisible()) return {};
    QTextDocument document;
    document.setHtml(QToolTip::text());
    return document.toPlainText().toStdString();
  }

  bool active(WindowHandle window) override {
    return QApplication::activeWindow() == W(window)->window();
  }

 private:
  std::map<WindowHandle, QImage> grabs_;
};

}  // namespace

SurfaceProbe& Probe() {
  static QtProbe probe;
  return probe;
}

}  // namespace platform::surface_test
