// The toolkit window of a form. The form engine decides where it goes and what it shows; this
// window does what only the toolkit and the X11 window manager can: frame, stacking band and
// taskbar state, telling its own moves from the window manager's, and the keys it hands to the
// engine, its controls' included.
#pragma once

#include <QMargins>
#include <cstdint>
#include <deque>
#include <memory>

#include "platform/forms/Form.h"
#include "platform/qt/NativeWidget.h"

class QKeyEvent;

namespace platform {

class ActiveWindowWatch;

class FormWidget final : public NativeWidget<engine::NativeForm> {
 public:
  FormWidget(const Form::Definition& definition, engine::FormEvents& events);
  ~FormWidget() override;

  // engine::NativeForm: where the window is.
  void moveTo(int x, int y) override;
  engine::Pixels frameNow() const override;
  bool startSystemMove() override;
  bool askPlacement(int x, int y) override;
  engine::Pixels frameExtra() const override;
  engine::Pixels workAreaNear(const engine::NativeForm* near) const override;
  void resizeClient(int width, int height) override;
  // engine::NativeForm: whether and how it shows.
  bool shown() const override { return isVisible(); }
  void show(bool activate) override;
  void hide() override;
  void close() override;
  void restore(bool activate) override;
  void activate() override;
  void takeKeyboard(const std::string& startupId) override;
  bool active() const override;
  void giveKeyboardTo(WindowHandle window) override;
  // WORKAROUND: the toolkit (Qt 6.4) draws a button's focus frame only after a Tab it moved.
  void showFocusCues() override { setAttribute(Qt::WA_KeyboardFocusChange); }
  void setTopmost(bool topmost) override;
  void setReaderName(const std::string& name) override;

  // Puts a new control behind the earlier ones; its keys go to the engine first.
  void addControl(QWidget* control);
  // A window with a title bar and a close box only, which a reader takes as a dialog.
  bool isDialog() const { return borderStyle_ == BorderStyle::FixedToolWindow; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool nativeEvent(const QByteArray& type, void* message, qintptr* result) override;
  bool event(QEvent* event) override;

 private:
  QMargins frameMarginsNow() const;
  // Where the frame's corner is now, in screen pixels.
  QPoint framePosition() const;
  void pointer(engine::FormEvents::Pointer kind, QMouseEvent* event);
  void markAsUtility();
  // Hands the key to the engine: true when it used it.
  bool offerKey(QKeyEvent* key);
  void keepFromFocusOnMap();
  void keepSizeUnderSway();

  engine::FormEvents& events_;
  std::unique_ptr<ActiveWindowWatch> activeWindowWatch_;  // X11 only
  BorderStyle borderStyle_;
  bool showInTaskbar_;
  mutable QMargins lastFrameMargins_;
  // The engine closes the window after its own close request: nothing more to ask.
  bool engineCloses_ = false;
  // Positions asked of the window system and not yet confirmed by a move event.
  std::deque<QPoint> requestedPositions_;
  bool positionAsked_ = false;
  QPoint placed_;  // where a Wayland compositor was asked to put the window (see framePosition)
  std::uint32_t keptFromFocus_ = 0;  // the native window sway was asked not to focus
  bool placedBySway_ = false;        // sway took the last placement asked of it
  int swaySizeAsks_ = 0;             // placements asked in a row to get the window's size back
  bool applying_ = false;            // our own move is being made: its echo confirms nothing
  // Shown and not yet mapped: a move nobody asked for is the window manager placing the new
  // window, not the user; the engine puts it back once it is mapped.
  bool awaitingMap_ = false;
  // Shown without taking the keyboard, and not asked to take it since.
  bool declinedKeyboard_ = false;
};

}  // namespace platform
