// The surface tests' probe over Qt: widgets on the offscreen platform, events sent as the
// toolkit delivers them.
#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QTextDocument>
#include <QThread>
#include <QToolTip>
#include <QWidget>
#include <algorithm>
#include <map>

#include "surface/SurfaceProbe.h"

namespace platform::surface_test {
namespace {

QWidget* W(WindowHandle handle) { return reinterpret_cast<QWidget*>(handle); }

std::string Line(QAccessibleInterface* object, const QPoint& origin, bool whole = true) {
  const QAccessible::Role role = object->role();
  std::string line = role == QAccessible::Pane      ? "pane"
                     : role == QAccessible::Graphic ? "graphic"
                     : role == QAccessible::Link    ? "link"
                                                    : "text";
  line += "|" + object->text(QAccessible::Name).toStdString();
  if (!whole) return line;
  const QAccessible::State state = object->state();
  std::string states;
  for (const auto& [on, word] :
       {std::pair{bool(state.linked), "link"}, std::pair{!state.invisible, "showing"},
        std::pair{bool(state.focusable), "focusable"}, std::pair{bool(state.focused), "focused"}}) {
    if (on) states += (states.empty() ? "" : " ") + std::string(word);
  }
  QAccessibleActionInterface* actions = object->actionInterface();
  const QString action = actions != nullptr && !actions->actionNames().isEmpty()
                             ? actions->localizedActionDescription(actions->actionNames().first())
                             : QString();
  const QRect r = object->rect().translated(-origin);
  return line + "|" + object->text(QAccessible::Description).toStdString() + "|" + states + "|" +
         action.toStdString() + "|" + std::to_string(r.x()) + "," + std::to_string(r.y()) + "," +
         std::to_string(r.width()) + "," + std::to_string(r.height());
}

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
  double scale(WindowHandle window) override { return W(window)->devicePixelRatioF(); }

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

  WindowHandle toolTipWindow(WindowHandle window, int x, int y) override {
    toolTipAt(window, x, y);
    for (QWidget* shown : QApplication::topLevelWidgets()) {
      if (shown->inherits("QTipLabel") && shown->isVisible()) {
        return reinterpret_cast<WindowHandle>(shown);
      }
    }
    return 0;
  }
  Picture referenceToolTipText(WindowHandle, const std::string& utf8, int height) override {
    const QFont font = QToolTip::font();
    const auto color = [](QPalette::ColorRole role) {
      const QColor c = QToolTip::palette().color(role);
      return static_cast<Color>(RGB(c.red(), c.green(), c.blue()));
    };
    return referenceText(utf8, {font.family().toStdString(), float(font.pointSizeF()), font.bold()},
                         height, color(QPalette::ToolTipText), color(QPalette::ToolTipBase));
  }

  bool active(WindowHandle window) override {
    return QApplication::activeWindow() == W(window)->window();
  }

  void key(WindowHandle form, int keyCode) override {
    const int key = keyCode == engine::Key::Tab      ? Qt::Key_Tab
                    : keyCode == engine::Key::Return ? Qt::Key_Return
                                                     : Qt::Key_Right;
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QWidget* focus = W(form)->focusWidget();
    QApplication::sendEvent(focus != nullptr ? focus : W(form), &event);
  }

  std::string focusedText(WindowHandle form) override {
    QWidget* focus = W(form)->focusWidget();
    if (auto* combo = qobject_cast<QComboBox*>(focus)) return combo->currentText().toStdString();
    if (auto* button = qobject_cast<QAbstractButton*>(focus)) return button->text().toStdString();
    return {};
  }

  std::string selectedText(WindowHandle form) override {
    auto* combo = qobject_cast<QComboBox*>(W(form)->focusWidget());
    return combo != nullptr ? combo->lineEdit()->selectedText().toStdString() : std::string();
  }

  std::vector<std::string> readerView(WindowHandle window) override {
    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(W(window));
    const QPoint origin = W(window)->mapToGlobal(QPoint(0, 0));
    std::vector<std::string> view{Line(box, origin, false)};
    for (int i = 0; i < box->childCount(); ++i) view.push_back(Line(box->child(i), origin));
    return view;
  }

  Picture referenceText(const std::string& utf8, const Font& font, int height, Color fore,
                        Color back) override {
    QFont qfont(QString::fromStdString(font.name));
    qfont.setPointSizeF(font.size);
    qfont.setBold(font.bold);
    // The forms' text is not kerned, on any system.
    qfont.setKerning(false);
    const QString text = QString::fromStdString(utf8);
    Picture picture{QFontMetrics(qfont).horizontalAdvance(text), height, {}};
    QImage image(std::max(1, picture.width), height, QImage::Format_RGB32);
    image.fill(QColor(back & 0xFF, (back >> 8) & 0xFF, back >> 16));
    QPainter painter(&image);
    painter.setFont(qfont);
    painter.setPen(QColor(fore & 0xFF, (fore >> 8) & 0xFF, fore >> 16));
    painter.setLayoutDirection(text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    painter.drawText(QRect(0, 0, picture.width, height),
                     Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignTop | Qt::TextSingleLine, text);
    painter.end();
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < picture.width; ++x) {
        const QRgb rgb = image.pixel(x, y);
        picture.pixels.push_back(RGB(qRed(rgb), qGreen(rgb), qBlue(rgb)));
      }
    }
    return picture;
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
