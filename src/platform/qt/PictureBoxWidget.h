// The toolkit window of a picture box: the part of the box that shows inside its form. The
// form engine decides what it shows and what its pointer events mean; the widget draws and
// reports.
#pragma once

#include "platform/qt/NativeWidget.h"

namespace platform {

namespace engine {
class AccessibleModel;
}

class FormWidget;

class PictureBoxWidget final : public NativeWidget<engine::NativeBox> {
 public:
  PictureBoxWidget(FormWidget& form, const char* name, engine::BoxEvents& events,
                   engine::AccessibleModel& reader);

  // What a screen reader finds in the box.
  engine::AccessibleModel& reader() const { return reader_; }

  // engine::NativeBox.
  void place(const engine::Pixels& part) override;
  void scroll(int dx, int dy) override { QWidget::scroll(dx, dy); }
  bool readerAttached() const override;
  void accessibleChanged(const std::vector<engine::AccessibleEvent>& events) override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void pointer(engine::FormEvents::Pointer kind, QMouseEvent* event, bool doubleClick);

  engine::BoxEvents& events_;
  engine::AccessibleModel& reader_;
};

}  // namespace platform
