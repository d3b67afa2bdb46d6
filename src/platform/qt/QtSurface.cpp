#include "platform/qt/QtSurface.h"

#include <QCoreApplication>
#include <QTimer>

#include "platform/program/Application.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/FormWidget.h"
#include "platform/qt/NativeControls.h"
#include "platform/qt/PictureBoxWidget.h"
#include "platform/qt/Pictures.h"

namespace platform {

namespace {

class QtTimer final : public engine::NativeTimer {
 public:
  explicit QtTimer(std::function<void()> tick) : tick_(std::move(tick)) {
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
      // The handler may destroy this timer: it runs from a copy.
      const std::function<void()> tick = tick_;
      tick();
    });
  }
  void start(int milliseconds) override { timer_.start(milliseconds); }
  void stop() override { timer_.stop(); }

 private:
  std::function<void()> tick_;
  QTimer timer_;
};

// Every form's window here is a FormWidget.
class QtSurface final : public engine::Surface {
 public:
  std::unique_ptr<engine::NativeForm> makeForm(const Form::Definition& definition,
                                               engine::FormEvents& events) override {
    return std::make_unique<FormWidget>(definition, events);
  }
  std::unique_ptr<engine::NativeBox> makeBox(engine::NativeForm& parent, const char* name,
                                             engine::BoxEvents& events,
                                             engine::AccessibleModel& reader) override {
    return std::make_unique<PictureBoxWidget>(static_cast<FormWidget&>(parent), name, events,
                                              reader);
  }
  std::unique_ptr<engine::NativeControl> makeControl(engine::NativeForm& parent,
                                                     const engine::ControlDefinition& definition,
                                                     engine::ControlEvents& events) override {
    return MakeNativeControl(static_cast<FormWidget&>(parent), definition, events);
  }
  std::unique_ptr<engine::NativeTimer> makeTimer(std::function<void()> tick) override {
    return std::make_unique<QtTimer>(std::move(tick));
  }
  // The toolkit scales by itself: every font is measured at 96 dots per inch.
  const engine::MeasuringFont& font(const Font& font, unsigned) override { return FontOf(font); }
  engine::Pixels pictureSize(const StdPicture& picture) override {
    const QPixmap& pixmap = PixmapOf(picture);
    if (pixmap.isNull()) return {};
    return {0, 0, pixmap.width(), pixmap.height()};
  }
  void post(std::function<void()> call) override {
    QTimer::singleShot(0, QCoreApplication::instance(), std::move(call));
  }
};

}  // namespace

std::unique_ptr<engine::Surface> MakeQtSurface() { return std::make_unique<QtSurface>(); }

}  // namespace platform
