#include "platform/FormWidget.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QWindow>
#include <algorithm>

#include "platform/Application.h"
#include "platform/Colors.h"
#include "platform/PictureBoxWidget.h"
#include "platform/Pictures.h"
#include "platform/PointerEvents.h"
#include "platform/Twips.h"
#include "platform/X11WindowState.h"

namespace platform {

namespace {

std::vector<FormWidget*>& Registry() {
  static std::vector<FormWidget*> forms;
  return forms;
}

Qt::WindowFlags FlagsFor(BorderStyle style) {
  if (style == BorderStyle::FixedToolWindow) {
    return Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
  }
  return Qt::Window | Qt::FramelessWindowHint;
}

// How long after a show a move nobody asked for counts as the window manager's placement.
constexpr int kPlacementGuardMs = 500;
constexpr std::size_t kMaxRequestedPositions = 64;

}  // namespace

FormWidget::FormWidget(Form& form, const Form::Definition& definition)
    : QWidget(nullptr, FlagsFor(definition.borderStyle)),
      form_(form),
      borderStyle_(definition.borderStyle),
      startUpPosition_(definition.startUpPosition),
      showInTaskbar_(definition.showInTaskbar),
      width_(definition.clientWidth),
      height_(definition.clientHeight),
      backColor_(definition.backColor) {
  setObjectName(QString::fromUtf8(definition.name));
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

Twips FormWidget::frameExtraWidth() const {
  if (borderStyle_ == BorderStyle::None) return 0;
  return ToTwips(frameGeometry().width() - geometry().width());
}

Twips FormWidget::frameExtraHeight() const {
  if (borderStyle_ == BorderStyle::None) return 0;
  return ToTwips(frameGeometry().height() - geometry().height());
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
  if (pos() == target && testAttribute(Qt::WA_Moved)) return;
  requestedPositions_.push_back(target);
  if (requestedPositions_.size() > kMaxRequestedPositions) requestedPositions_.pop_front();
  move(target);
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
  if (isVisible()) {
    raise();
    activateWindow();
    return;
  }
  const bool centre = !shownOnce_ && startUpPosition_ == StartUpPosition::CenterScreen;
  if (centre) {
    winId();  // the frame's size is known once the native window exists
    centreOnScreen();
  }
  if (positionSet_) applyPosition();
  showNative();
  // The window manager may add its frame only now.
  if (centre) {
    QTimer::singleShot(0, this, [this] {
      centreOnScreen();
      applyPosition();
    });
  }
}

void FormWidget::centreOnScreen() {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const QSize size = frameGeometry().size();
  left_ = ToTwips(area.x() + (area.width() - size.width()) / 2);
  top_ = ToTwips(area.y() + (area.height() - size.height()) / 2);
  positionSet_ = true;
}

void FormWidget::showNative() {
  if (!showInTaskbar_) AddSkipTaskbarState(this);
  shownOnce_ = true;
  placementGuard_ = QDeadlineTimer(kPlacementGuardMs);
  show();
  if (windowHandle() != nullptr && windowHandle()->flags() != windowFlags()) {
    windowHandle()->setFlags(windowFlags());
  }
  if (!showInTaskbar_) AddSkipTaskbarState(this);
  if (positionSet_) {
    QTimer::singleShot(0, this, [this] {
      if (pos() != positionInPixels()) applyPosition();
    });
  }
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
  const QPoint actual = pos();
  if (actual == positionInPixels()) {
    requestedPositions_.clear();
    return;
  }
  auto asked = std::find(requestedPositions_.begin(), requestedPositions_.end(), actual);
  if (asked != requestedPositions_.end()) {
    // The window system confirms a move we asked for; a later one is still on its way.
    requestedPositions_.erase(requestedPositions_.begin(), asked + 1);
    return;
  }
  if (positionSet_ && isVisible() && !placementGuard_.hasExpired()) {
    QTimer::singleShot(0, this, [this] {
      if (pos() != positionInPixels()) applyPosition();
    });
    return;
  }
  if (!isVisible() && !shownOnce_) return;
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
