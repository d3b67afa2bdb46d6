#include "platform/qt/FormWidget.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QWindow>
#include <algorithm>

#include "platform/Application.h"
#include "platform/qt/Colors.h"
#include "platform/qt/PictureBoxWidget.h"
#include "platform/qt/Pictures.h"
#include "platform/qt/PointerEvents.h"
#include "platform/qt/Twips.h"
#include "platform/x11/X11WindowState.h"

namespace platform {

namespace {

std::vector<FormWidget*>& Registry() {
  static std::vector<FormWidget*> forms;
  return forms;
}

std::uint64_t windowChanges = 0;

Qt::WindowFlags FlagsFor(BorderStyle style) {
  if (style == BorderStyle::FixedToolWindow) {
    return Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
  }
  return Qt::Window | Qt::FramelessWindowHint;
}

constexpr std::size_t kMaxRequestedPositions = 64;

// The toolkit's own X connection, or none when the program does not run on X11.
xcb_connection_t* XConnection() {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 == nullptr ? nullptr : x11->connection();
}

void AskToSkipTheTaskbar(QWidget* window) {
  xcb_connection_t* connection = XConnection();
  if (connection == nullptr) return;
  window->winId();  // creates the native window when needed
  // The native window's own id: QWidget::winId() keeps the first one when the toolkit
  // replaces the native window.
  AddSkipTaskbarState(connection, static_cast<std::uint32_t>(window->windowHandle()->winId()),
                      window->isVisible());
}

}  // namespace

FormWidget::FormWidget(Form& form, const Form::Definition& definition)
    : QWidget(nullptr, FlagsFor(definition.borderStyle)),
      form_(form),
      borderStyle_(definition.borderStyle),
      startUpPosition_(definition.startUpPosition),
      showInTaskbar_(definition.showInTaskbar),
      activateOnShow_(definition.activateOnShow),
      width_(definition.clientWidth),
      height_(definition.clientHeight),
      backColor_(definition.backColor) {
  setObjectName(QString::fromUtf8(definition.name));
  setWindowTitle(QString::fromStdString(definition.caption));
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  // Mapped with a user time of 0: window managers that focus new windows leave it inactive.
  if (!activateOnShow_) setAttribute(Qt::WA_ShowWithoutActivating);
  // A form is seldom the active window (the strip almost never is): its tooltips show on
  // hover all the same.
  setAttribute(Qt::WA_AlwaysShowToolTips);
  if (!definition.icons.empty()) {
    QIcon icon;
    for (const StdPicture& picture : definition.icons) {
      const QPixmap& pixmap = PixmapOf(picture);
      if (!pixmap.isNull()) icon.addPixmap(pixmap);
    }
    setWindowIcon(icon);
  }
  const QSize size(ToPixels(width_), ToPixels(height_));
  if (borderStyle_ == BorderStyle::FixedToolWindow) {
    setFixedSize(size);
  } else {
    resize(size);
  }
  Registry().push_back(this);
}

FormWidget::~FormWidget() {
  // The picture boxes unregister themselves: let them while this window is still whole.
  qDeleteAll(findChildren<PictureBoxWidget*>(Qt::FindDirectChildrenOnly));
  auto& forms = Registry();
  forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
}

std::vector<FormWidget*> FormWidget::All() { return Registry(); }

std::uint64_t FormWidget::WindowChanges() { return windowChanges; }

Twips FormWidget::frameExtraWidth() const {
  const QMargins margins = frameMarginsNow();
  return ToTwips(margins.left() + margins.right());
}

Twips FormWidget::frameExtraHeight() const {
  const QMargins margins = frameMarginsNow();
  return ToTwips(margins.top() + margins.bottom());
}

// WORKAROUND: QWidget::frameGeometry() and pos() keep the frame they knew at the last move
// or resize event; a window manager that frames a window without moving its client area
// (static gravity) sends neither. The native window reads the frame's extents afresh.
QMargins FormWidget::frameMarginsNow() const {
  if (borderStyle_ == BorderStyle::None || windowHandle() == nullptr) return {};
  const QMargins margins = windowHandle()->frameMargins();
  // While hidden the window has no frame; it gets the same one back at its next showing.
  if (!margins.isNull()) lastFrameMargins_ = margins;
  return lastFrameMargins_;
}

QPoint FormWidget::framePosition() const {
  const QMargins margins = frameMarginsNow();
  return geometry().topLeft() - QPoint(margins.left(), margins.top());
}

QPoint FormWidget::positionInPixels() const { return QPoint(ToPixels(left_), ToPixels(top_)); }

void FormWidget::setPosition(Twips left, Twips top) {
  left_ = left;
  top_ = top;
  positionSet_ = true;
  applyPosition();
}

void FormWidget::applyPosition() {
  const QPoint target = positionInPixels();
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

void FormWidget::setClientSize(Twips width, Twips height) {
  width_ = width;
  height_ = height;
  const QSize size(std::max(0, ToPixels(width)), std::max(0, ToPixels(height)));
  if (borderStyle_ == BorderStyle::FixedToolWindow) {
    setFixedSize(size);
  } else {
    resize(size);
  }
  // A hidden window gets its resize event only when shown; the controls follow now.
  layOutPictureBoxes(0);
}

void FormWidget::setBackColor(Color value) {
  backColor_ = value;
  update();
}

void FormWidget::ensureLoaded() {
  if (loaded_) return;
  loaded_ = true;
  if (EventHandler load = form_.Load) load();
}

void FormWidget::showForm() {
  QPointer<FormWidget> self(this);
  ensureLoaded();
  if (!self || Ending()) return;
  closed_ = false;
  restoreState();
  if (!isVisible()) {
    if (!shownOnce_ && startUpPosition_ == StartUpPosition::CenterScreen) {
      winId();
      centreOnScreen();
      centrePending_ = true;
    }
    if (positionSet_) applyPosition();
    showNative();
  }
  if (activateOnShow_) {
    // WORKAROUND: the toolkit learns of a minimise by the window manager only later, if at
    // all (restoreState() above then does nothing): the window system is asked directly.
    if (isVisible() && windowHandle() != nullptr)
      RestoreFromMinimised(XConnection(), static_cast<std::uint32_t>(windowHandle()->winId()));
    takeKeyboard();
  }
}

void FormWidget::hideForm() {
  if (isVisible() && borderStyle_ != BorderStyle::None && windowHandle() != nullptr &&
      !(windowState() & Qt::WindowMinimized)) {
    // WORKAROUND: some window managers (metacity) move a framed window without the toolkit
    // hearing of it; the window system knows where its client area is.
    const QMargins margins = frameMarginsNow();
    const QPoint frame = mapToGlobal(QPoint(0, 0)) - QPoint(margins.left(), margins.top());
    if (frame != positionInPixels()) {
      left_ = ToTwips(frame.x());
      top_ = ToTwips(frame.y());
    }
  }
  hide();
}

void FormWidget::restoreState() {
  constexpr Qt::WindowStates kLeftStates =
      Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
  if (windowState() & kLeftStates) setWindowState(windowState() & ~kLeftStates);
}

void FormWidget::takeKeyboard() {
  for (const TabStop& stop : tabStops_) {
    if (stop.control && stop.control->isEnabled() && stop.control->isVisibleTo(this)) {
      stop.control->setFocus(Qt::ActiveWindowFocusReason);
      break;
    }
  }
  raise();
  // QWidget::activateWindow() asks nothing of a window the toolkit still believes active,
  // which a window just minimised may be for a moment.
  if (windowHandle() != nullptr) {
    windowHandle()->requestActivate();
  } else {
    activateWindow();
  }
}

// The whole window, frame included, in the middle of the available area of the screen that
// holds the program's other shown window (the one the user is working with), else of the
// primary screen.
void FormWidget::centreOnScreen() {
  QScreen* screen = nullptr;
  for (const FormWidget* other : All()) {
    if (other == this || !other->isVisible()) continue;
    screen = QGuiApplication::screenAt(other->geometry().center());
    if (screen != nullptr) break;
  }
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const QMargins margins = frameMarginsNow();
  const QSize size = this->size().grownBy(margins);
  left_ = ToTwips(area.x() + (area.width() - size.width()) / 2);
  top_ = ToTwips(area.y() + (area.height() - size.height()) / 2);
  positionSet_ = true;
}

void FormWidget::showNative() {
  if (!showInTaskbar_) AskToSkipTheTaskbar(this);
  winId();
  windowHandle()->installEventFilter(this);
  // WORKAROUND: window managers place a window themselves when it is mapped, ignoring the
  // position asked for before (openbox puts a frameless window at 0,0 in about half the
  // runs). Until the window is mapped, a move nobody asked for is that placement; once it is
  // mapped, the position asked for is applied again (mapped()). A move after that is the
  // user's or the window manager's and is kept.
  awaitingMap_ = true;
  shownOnce_ = true;
  show();
  if (windowHandle()->flags() != windowFlags()) windowHandle()->setFlags(windowFlags());
  if (!showInTaskbar_) AskToSkipTheTaskbar(this);
}

bool FormWidget::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Expose && awaitingMap_ && watched == windowHandle() &&
      windowHandle()->isExposed()) {
    mapped();
  }
  return QWidget::eventFilter(watched, event);
}

void FormWidget::mapped() {
  awaitingMap_ = false;
  if (centrePending_) {
    // Centred before the window manager framed it: centred again by the whole frame, which
    // the window manager has drawn by now.
    centrePending_ = false;
    centreOnScreen();
  }
  if (positionSet_ && framePosition() != positionInPixels()) applyPosition();
}

bool FormWidget::requestClose(int unloadMode) {
  closeReason_ = unloadMode;
  const bool didClose = close();
  closeReason_ = vbFormControlMenu;
  return didClose;
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

void FormWidget::addImage(const Image& image) {
  images_.push_back(
      {"", image.Left(), image.Top(), image.Width(), image.Height(), image.Picture()});
  update();
}

void FormWidget::addPictureBox(PictureBoxWidget* box) {
  boxes_.push_back(box);
  layOutPictureBoxes(boxes_.size() - 1);
}

void FormWidget::removePictureBox(PictureBoxWidget* box) {
  auto found = std::find(boxes_.begin(), boxes_.end(), box);
  if (found == boxes_.end()) return;
  const auto index = static_cast<std::size_t>(found - boxes_.begin());
  boxes_.erase(found);
  layOutPictureBoxes(index);
}

void FormWidget::pictureBoxChanged(PictureBoxWidget* box) {
  auto found = std::find(boxes_.begin(), boxes_.end(), box);
  if (found != boxes_.end()) layOutPictureBoxes(static_cast<std::size_t>(found - boxes_.begin()));
}

void FormWidget::layOutPictureBoxes(std::size_t from) {
  for (std::size_t i = from; i < boxes_.size(); ++i) boxes_[i]->layOut();
}

void FormWidget::addControl(QWidget* control, int tabIndex, bool takesFocus) {
  control->lower();
  if (!takesFocus) {
    control->setFocusPolicy(Qt::NoFocus);
    return;
  }
  tabStops_.push_back({tabIndex, control});
  std::stable_sort(tabStops_.begin(), tabStops_.end(),
                   [](const TabStop& a, const TabStop& b) { return a.tabIndex < b.tabIndex; });
  QWidget* previous = nullptr;
  for (const TabStop& stop : tabStops_) {
    if (stop.control.isNull()) continue;
    if (previous != nullptr) setTabOrder(previous, stop.control);
    previous = stop.control;
  }
}

void FormWidget::removeControl(QWidget* control) {
  tabStops_.erase(std::remove_if(tabStops_.begin(), tabStops_.end(),
                                 [control](const TabStop& s) { return s.control == control; }),
                  tabStops_.end());
}

void FormWidget::addButton(QPushButton* button, bool isDefault, bool isCancel) {
  buttons_.push_back(button);
  if (isDefault) defaultButton_ = button;
  if (isCancel) cancelButton_ = button;
  if (shortcutsMade_) return;
  shortcutsMade_ = true;
  // Enter presses the focused button, else the default one; Escape the cancel button.
  for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
    auto* shortcut = new QShortcut(QKeySequence(key), this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, [this] { pressDefaultButton(); });
  }
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  escape->setContext(Qt::WindowShortcut);
  connect(escape, &QShortcut::activated, this, [this] { pressCancelButton(); });
}

void FormWidget::removeButton(QPushButton* button) {
  buttons_.erase(std::remove(buttons_.begin(), buttons_.end(), button), buttons_.end());
}

void FormWidget::pressDefaultButton() {
  QWidget* focus = focusWidget();
  for (const QPointer<QPushButton>& button : buttons_) {
    if (button && button == focus && button->isEnabled()) {
      button->click();
      return;
    }
  }
  if (defaultButton_ && defaultButton_->isEnabled() && defaultButton_->isVisible()) {
    defaultButton_->click();
  }
}

void FormWidget::pressCancelButton() {
  if (cancelButton_ && cancelButton_->isEnabled() && cancelButton_->isVisible()) {
    cancelButton_->click();
  }
}

void FormWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), ToQColor(backColor_));
  for (const Image::Definition& image : images_) {
    const QPixmap& pixmap = PixmapOf(image.picture);
    if (pixmap.isNull()) continue;
    const QRect area(ToPixels(image.left), ToPixels(image.top), ToPixels(image.width),
                     ToPixels(image.height));
    if (!area.intersects(event->rect())) continue;
    painter.save();
    painter.setClipRect(area, Qt::IntersectClip);
    painter.drawPixmap(area.topLeft(), pixmap);
    painter.restore();
  }
}

void FormWidget::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) ++windowChanges;
}

void FormWidget::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  ++windowChanges;
}

void FormWidget::closeEvent(QCloseEvent* event) {
  const int reason = closeReason_;
  closeReason_ = vbFormControlMenu;
  int cancel = 0;
  QPointer<FormWidget> self(this);
  if (QueryUnloadHandler handler = form_.QueryUnload) handler(cancel, reason);
  if (!self) return;
  if (cancel != 0) {
    event->ignore();
    return;
  }
  event->accept();
  closed_ = true;
}

void FormWidget::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  // Nobody moves a hidden window: its position is the one it will show at.
  if (!isVisible() || applying_) return;
  const QPoint actual = framePosition();
  auto asked = std::find(requestedPositions_.begin(), requestedPositions_.end(), actual);
  if (asked != requestedPositions_.end()) {
    // The window system confirms a move we asked for, in the order they were asked (during
    // a drag, later ones are still on their way).
    requestedPositions_.erase(requestedPositions_.begin(), asked + 1);
    return;
  }
  if (actual == positionInPixels()) return;
  // Not yet mapped: the window manager placing the new window (see showNative).
  if (positionSet_ && awaitingMap_) return;
  // The user or the window manager moved the window: that is its position now.
  left_ = ToTwips(actual.x());
  top_ = ToTwips(actual.y());
  requestedPositions_.clear();
}

void FormWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layOutPictureBoxes(0);
}

void FormWidget::deliverMouse(const MouseHandler& handler, int button, QMouseEvent* event) {
  event->accept();
  if (!handler) return;
  MouseHandler call = handler;
  call(button, ShiftValue(event->modifiers()), ToTwips(event->position().x()),
       ToTwips(event->position().y()));
}

void FormWidget::mousePressEvent(QMouseEvent* event) {
  const int button = ButtonValue(event->button());
  if (button != 0) deliverMouse(form_.MouseDown, button, event);
}

void FormWidget::mouseMoveEvent(QMouseEvent* event) {
  deliverMouse(form_.MouseMove, ButtonsValue(event->buttons()), event);
}

void FormWidget::mouseReleaseEvent(QMouseEvent* event) {
  const int button = ButtonValue(event->button());
  if (button != 0) deliverMouse(form_.MouseUp, button, event);
}

}  // namespace platform
