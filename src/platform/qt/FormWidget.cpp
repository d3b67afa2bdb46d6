#include "platform/qt/FormWidget.h"

#include <QAbstractNativeEventFilter>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>
#include <algorithm>

#include "platform/qt/Pictures.h"
#include "platform/qt/PointerEvents.h"
#include "platform/qt/SwayIpc.h"
#include "platform/qt/XConnection.h"
#include "platform/sway/SwayCommands.h"
#include "platform/x11/X11Activation.h"
#include "platform/x11/X11WindowState.h"

namespace platform {

namespace {

Qt::WindowFlags FlagsFor(BorderStyle style) {
  if (style == BorderStyle::FixedToolWindow) {
    return Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
  }
  return Qt::Window | Qt::FramelessWindowHint;
}

constexpr std::size_t kMaxRequestedPositions = 64;

// The engine's code of a key, 0 for one it has no use for.
int KeyCodeOf(int key) {
  switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return engine::Key::Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return engine::Key::Return;
    case Qt::Key_Escape:
      return engine::Key::Escape;
    case Qt::Key_Space:
      return engine::Key::Space;
    case Qt::Key_Left:
      return engine::Key::Left;
    case Qt::Key_Right:
      return engine::Key::Right;
    case Qt::Key_Menu:
      return engine::Key::Menu;
    case Qt::Key_F10:
      return engine::Key::F10;
    default:
      return 0;
  }
}

// The native window's own id: QWidget::winId() keeps the first one when the toolkit replaces
// the native window.
std::uint32_t NativeId(const QWidget* window) {
  return static_cast<std::uint32_t>(window->windowHandle()->winId());
}

void AskToSkipTheTaskbar(QWidget* window) {
  xcb_connection_t* connection = XConnection();
  if (connection == nullptr) return;
  window->winId();  // creates the native window when needed
  AddSkipTaskbarState(connection, NativeId(window), window->isVisible());
}

// A Wayland compositor places its clients' windows: a client cannot move its own.
bool PlacedByCompositor() { return QGuiApplication::platformName().startsWith("wayland"); }

}  // namespace

// Tells a form's engine which window the window manager makes active (the window manager's
// _NET_ACTIVE_WINDOW), at once and at each change, and whether it is one of this program's.
class ActiveWindowWatch final : public QAbstractNativeEventFilter {
 public:
  ActiveWindowWatch(xcb_connection_t* connection, engine::FormEvents& events)
      : connection_(connection), events_(events) {
    report();
    qApp->installNativeEventFilter(this);
  }

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type == "xcb_generic_event_t" && IsActiveWindowChange(connection_, message)) report();
    return false;
  }

 private:
  void report() {
    const std::uint32_t active = ActiveWindow(connection_);
    if (active != 0) events_.keyboardWith(active, QWidget::find(active) != nullptr);
  }

  xcb_connection_t* connection_;
  engine::FormEvents& events_;
};

FormWidget::FormWidget(const Form::Definition& definition, engine::FormEvents& events)
    : NativeWidget(nullptr, FlagsFor(definition.borderStyle)),
      events_(events),
      borderStyle_(definition.borderStyle),
      showInTaskbar_(definition.showInTaskbar) {
  setObjectName(QString::fromUtf8(definition.name));
  // On X11 only: elsewhere nobody says which window is active.
  if (xcb_connection_t* connection = XConnection()) {
    activeWindowWatch_ = std::make_unique<ActiveWindowWatch>(connection, events);
  }
  setWindowTitle(QString::fromStdString(definition.caption));
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  // A form is seldom the active window (the strip almost never is): its tooltips show on
  // hover all the same.
  setAttribute(Qt::WA_AlwaysShowToolTips);
  if (!definition.icons.empty()) {
    QIcon icon;
    for (const StdPicture& picture : definition.icons) {
      const QPixmap& pixmap = PixmapOf(picture);
      if (!pixmap.isNull()) icon.addPixmap(pixmap);
      // The icon chooses among its pixmaps by their pixels: the picture's own drawing at twice
      // the size, added as a larger size, is what a display that scales by two gets.
      QPixmap twice = PixmapOf(picture, 2);
      if (twice.cacheKey() != pixmap.cacheKey()) {
        twice.setDevicePixelRatio(1);
        icon.addPixmap(twice);
      }
    }
    setWindowIcon(icon);
  }
}

// WORKAROUND: QWidget::frameGeometry() and pos() (Qt 6.4) keep the frame they knew at the last move
// or resize event; a window manager that frames a window without moving its client area
// (static gravity) sends neither. The native window reads the frame's extents afresh.
QMargins FormWidget::frameMarginsNow() const {
  if (borderStyle_ == BorderStyle::None || windowHandle() == nullptr) return {};
  const QMargins margins = windowHandle()->frameMargins();
  // While hidden the window has no frame; it gets the same one back at its next showing.
  if (!margins.isNull()) lastFrameMargins_ = margins;
  return lastFrameMargins_;
}

engine::Pixels FormWidget::frameExtra() const {
  const QMargins margins = frameMarginsNow();
  return {0, 0, margins.left() + margins.right(), margins.top() + margins.bottom()};
}

// A Wayland client is never told where its window is: the place it last gave the window is
// the best it knows, and what it saves (the place an X11 session gives it back).
QPoint FormWidget::framePosition() const {
  if (PlacedByCompositor()) return placed_;
  const QMargins margins = frameMarginsNow();
  return geometry().topLeft() - QPoint(margins.left(), margins.top());
}

engine::Pixels FormWidget::frameNow() const {
  const QSize size = this->size().grownBy(frameMarginsNow());
  return {framePosition().x(), framePosition().y(), size.width(), size.height()};
}

void FormWidget::moveTo(int x, int y) {
  const QPoint target(x, y);
  positionAsked_ = true;
  if (PlacedByCompositor()) {
    if (isVisible()) {
      events_.moveRefused(placed_.x(), placed_.y());
      return;
    }
    placed_ = target;
  }
  if (framePosition() == target && testAttribute(Qt::WA_Moved)) return;
  requestedPositions_.push_back(target);
  if (requestedPositions_.size() > kMaxRequestedPositions) requestedPositions_.pop_front();
  // The toolkit reports the move at once, before the window system has made it; only the
  // window system's confirmation, which comes later, takes the request off the list.
  applying_ = true;
  if (borderStyle_ == BorderStyle::None) {
    move(target);
  } else {
    // The client area goes inside the frame as it is now (see frameMarginsNow).
    const QMargins margins = frameMarginsNow();
    setGeometry(QRect(target + QPoint(margins.left(), margins.top()), size()));
  }
  applying_ = false;
}

// Fixed size hints (minimum = maximum) tell tiling window managers to float the window at its
// own size instead of tiling it.
void FormWidget::resizeClient(int width, int height) { setFixedSize(width, height); }

bool FormWidget::startSystemMove() {
  return windowHandle() != nullptr && windowHandle()->startSystemMove();
}

// Only a window without a frame: sway would put its own frame's corner at the point.
bool FormWidget::askPlacement(int x, int y) {
  if (borderStyle_ != BorderStyle::None || !isVisible() || XConnection() == nullptr ||
      !InSwaySession()) {
    return false;
  }
  const QSize size = minimumSize();  // its fixed size, whatever sway made of it
  placedBySway_ =
      RunSwayCommands(PlaceCommand(NativeId(this), QCoreApplication::applicationPid(), x, y,
                                   size.width(), size.height(), MinimumSizeIn(SwayConfigText())));
  return placedBySway_;
}

// sway gives the keyboard to every window as it maps (the toolkit's user time of 0 does not
// keep it from that): it is asked not to, once for each native window.
void FormWidget::keepFromFocusOnMap() {
  if (XConnection() == nullptr || !InSwaySession() || keptFromFocus_ == NativeId(this)) return;
  if (RunSwayCommands(KeepFromFocusCommand(NativeId(this), QCoreApplication::applicationPid())))
    keptFromFocus_ = NativeId(this);
}

void FormWidget::show(bool activate) {
  // Mapped with a user time of 0: window managers that focus new windows leave it inactive.
  setAttribute(Qt::WA_ShowWithoutActivating, !activate);
  declinedKeyboard_ = !activate;
  if (!showInTaskbar_) AskToSkipTheTaskbar(this);
  winId();
  windowHandle()->installEventFilter(this);
  // WORKAROUND: window managers place a window themselves when it is mapped, ignoring the
  // position asked for before (openbox 3.6 puts a frameless window at 0,0 in about half the
  // runs). Until the window is mapped, a move nobody asked for is that placement; once it is
  // mapped, the engine applies the position it asked for again. A move after that is the
  // user's or the window manager's and is kept.
  awaitingMap_ = true;
  markAsUtility();
  if (!activate) keepFromFocusOnMap();
  QWidget::show();
  if (windowHandle()->flags() != windowFlags()) windowHandle()->setFlags(windowFlags());
  if (!showInTaskbar_) AskToSkipTheTaskbar(this);
  markAsUtility();
}

// The toolkit names a frameless window a normal one (again whenever its flags change), which
// tiling window managers tile full screen; a utility window floats and keeps no task-list
// entry.
void FormWidget::markAsUtility() {
  xcb_connection_t* connection = XConnection();
  if (borderStyle_ == BorderStyle::None && connection != nullptr) {
    SetUtilityWindowType(connection, NativeId(this));
  }
}

void FormWidget::hide() {
  if (isVisible() && borderStyle_ != BorderStyle::None && windowHandle() != nullptr &&
      !(windowState() & Qt::WindowMinimized)) {
    // WORKAROUND: some window managers (metacity 3.46) move a framed window without the toolkit
    // hearing of it; the window system knows where its client area is.
    const QMargins margins = frameMarginsNow();
    const QPoint frame = mapToGlobal(QPoint(0, 0)) - QPoint(margins.left(), margins.top());
    events_.moved(frame.x(), frame.y());
  }
  QWidget::hide();
}

void FormWidget::restore(bool) {
  constexpr Qt::WindowStates kLeftStates =
      Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
  if (windowState() & kLeftStates) setWindowState(windowState() & ~kLeftStates);
  // WORKAROUND: the toolkit (Qt 6.4) learns of a minimise by the window manager only later, if at
  // all (the state above then says nothing): the window system is asked directly.
  if (isVisible() && windowHandle() != nullptr) RestoreFromMinimised(XConnection(), NativeId(this));
}

void FormWidget::activate() {
  declinedKeyboard_ = false;
  raise();
  // QWidget::activateWindow() asks nothing of a window the toolkit still believes active,
  // which a window just minimised may be for a moment.
  if (windowHandle() != nullptr) {
    windowHandle()->requestActivate();
  } else {
    activateWindow();
  }
}

void FormWidget::takeKeyboard(const std::string& startupId) {
  declinedKeyboard_ = false;
  raise();
  xcb_connection_t* connection = XConnection();
  if (connection != nullptr && windowHandle() != nullptr) {
    ActivateForLaterStart(connection, NativeId(this), startupId);
  } else if (windowHandle() != nullptr) {
    // The toolkit's Wayland platform activates with the token it finds in the environment
    // (xdg-activation), and takes it from there once used.
    if (!startupId.empty()) qputenv("XDG_ACTIVATION_TOKEN", QByteArray::fromStdString(startupId));
    windowHandle()->requestActivate();
  }
}

bool FormWidget::active() const { return isActiveWindow(); }

FormWidget::~FormWidget() = default;

void FormWidget::giveKeyboardTo(WindowHandle window) {
  if (xcb_connection_t* connection = XConnection()) {
    ActivateAsTaskBar(connection, static_cast<std::uint32_t>(window));
  }
}

void FormWidget::setTopmost(bool topmost) {
  Qt::WindowFlags flags = windowFlags();
  flags.setFlag(Qt::WindowStaysOnTopHint, topmost);
  if (flags == windowFlags()) return;
  if (windowHandle() == nullptr) {
    setWindowFlags(flags);  // no native window yet: the flags go with its creation
    return;
  }
  // QWidget::setWindowFlags would hide the window, and on X11 a native window whose flags
  // change while unmapped is replaced at its next show, losing the states set on it. A
  // shown window changes its stacking band in place (a _NET_WM_STATE request); a hidden
  // one does so right after its next show.
  overrideWindowFlags(flags);
  if (isVisible()) windowHandle()->setFlags(flags);
}

void FormWidget::setReaderName(const std::string& name) {
  setAccessibleName(QString::fromStdString(name));
}

void FormWidget::close() {
  engineCloses_ = true;
  QWidget::close();
  engineCloses_ = false;
}

// The screen that shows the middle of near's window, else the primary one.
engine::Pixels FormWidget::workAreaNear(const engine::NativeForm* near) const {
  QScreen* screen = nullptr;
  if (const auto* other = dynamic_cast<const FormWidget*>(near)) {
    screen = QGuiApplication::screenAt(other->geometry().center());
  }
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return {};
  return FromQRect(screen->availableGeometry());
}

bool FormWidget::eventFilter(QObject* watched, QEvent* event) {
  // A control's key, or one a child of the control left to it.
  if (event->type() == QEvent::KeyPress && watched != windowHandle() &&
      offerKey(static_cast<QKeyEvent*>(event))) {
    return true;
  }
  if (event->type() == QEvent::Expose && awaitingMap_ && watched == windowHandle() &&
      windowHandle()->isExposed()) {
    awaitingMap_ = false;
    events_.mapped();
  }
  return QWidget::eventFilter(watched, event);
}

// WORKAROUND: kwin 5.27 marks a new window that it did not let take the keyboard as demanding
// attention, also one that asked not to take it (a user time of 0), unless it is a dock, a
// toolbar or the like: a panel would flash the strip at every start. The program asked for
// nothing, so the mark is taken off as soon as it appears (it stays for one round trip).
bool FormWidget::nativeEvent(const QByteArray& type, void* message, qintptr* result) {
  if (declinedKeyboard_ && type == "xcb_generic_event_t" &&
      IsWindowStateChange(XConnection(), NativeId(this), message)) {
    WithdrawDemandsAttention(XConnection(), NativeId(this));
  }
  return NativeWidget::nativeEvent(type, message, result);
}

void FormWidget::closeEvent(QCloseEvent* event) {
  if (engineCloses_) {
    event->accept();
    return;
  }
  const QPointer<FormWidget> self(this);
  const bool mayClose = events_.closeRequested();
  if (!self) return;
  event->setAccepted(mayClose);
}

void FormWidget::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  keepSizeUnderSway();
  if (!isVisible() || applying_ || PlacedByCompositor()) return;
  const QPoint actual = framePosition();
  auto asked = std::find(requestedPositions_.begin(), requestedPositions_.end(), actual);
  if (asked != requestedPositions_.end()) {
    // The window system confirms a move we asked for, in the order they were asked (during
    // a drag, later ones are still on their way).
    requestedPositions_.erase(requestedPositions_.begin(), asked + 1);
    return;
  }
  // Not yet mapped: the window manager placing the new window (see show).
  if (positionAsked_ && awaitingMap_) return;
  // The window manager answered a move we asked for with another place: it keeps the window
  // where it wants it (a tiling compositor), and a drag must ask it to move the window.
  const bool refused = !requestedPositions_.empty();
  requestedPositions_.clear();
  if (refused) {
    events_.moveRefused(actual.x(), actual.y());
  } else {
    events_.moved(actual.x(), actual.y());
  }
}

void FormWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  keepSizeUnderSway();
}

// WORKAROUND: sway 1.7 takes the size of a frame the window drew before sway resized it as the
// window's new size, also while it moves the window where it was asked (then only the move is
// reported): a window of fixed size that sway has placed is put back to its size, a few times
// in a row at most.
void FormWidget::keepSizeUnderSway() {
  constexpr int kMostAsks = 3;
  if (!placedBySway_ || !isVisible() || minimumSize() != maximumSize()) return;
  if (size() == minimumSize()) {
    swaySizeAsks_ = 0;
    return;
  }
  if (swaySizeAsks_ >= kMostAsks) return;
  ++swaySizeAsks_;
  askPlacement(framePosition().x(), framePosition().y());
}

void FormWidget::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) events_.stateChanged();
  if (event->type() == QEvent::ActivationChange) {
    if (isActiveWindow()) {
      events_.activated();
    } else {
      events_.deactivated();
    }
  }
}

bool FormWidget::offerKey(QKeyEvent* key) {
  const int code = KeyCodeOf(key->key());
  // The toolkit reports Shift+Tab as a key of its own.
  const int modifiers = ModifiersValue(key->modifiers()) |
                        (key->key() == Qt::Key_Backtab ? engine::Modifier::Shift : 0);
  if (code == 0 || !events_.key(code, modifiers, key->isAutoRepeat())) return false;
  key->accept();
  return true;
}

// Keys reach the form before the toolkit's own focus chain takes Tab; those a control left to
// its window were offered already (see eventFilter).
bool FormWidget::event(QEvent* event) {
  if (event->type() == QEvent::KeyPress && (focusWidget() == nullptr || focusWidget() == this) &&
      offerKey(static_cast<QKeyEvent*>(event))) {
    return true;
  }
  return NativeWidget::event(event);
}

void FormWidget::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  events_.stateChanged();
}

void FormWidget::paintEvent(QPaintEvent* event) {
  events_.paint(*PainterOn(this), FromQRect(event->rect()));
}

void FormWidget::pointer(engine::FormEvents::Pointer kind, QMouseEvent* event) {
  event->accept();
  const QPoint at = PixelAt(*this, *event);
  events_.pointer(kind, ButtonValue(event->button()), ButtonsValue(event->buttons()),
                  ModifiersValue(event->modifiers()), at.x(), at.y());
}

void FormWidget::mousePressEvent(QMouseEvent* event) {
  pointer(engine::FormEvents::Pointer::Down, event);
}

void FormWidget::mouseMoveEvent(QMouseEvent* event) {
  pointer(engine::FormEvents::Pointer::Move, event);
}

void FormWidget::mouseReleaseEvent(QMouseEvent* event) {
  pointer(engine::FormEvents::Pointer::Up, event);
}

void FormWidget::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  events_.pointerCrossed(true);
}

void FormWidget::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  events_.pointerCrossed(false);
}

void FormWidget::addControl(QWidget* control) {
  control->lower();
  control->installEventFilter(this);
}

}  // namespace platform
