// The toolkit window behind a Form. It keeps the form's geometry as the program set it,
// passes every close request through QueryUnload, paints the background and the images,
// and hosts the controls: their stacking, tab order, default and cancel buttons.
#pragma once

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <deque>
#include <vector>

#include "platform/Form.h"
#include "platform/Image.h"

class QPushButton;
class QShortcut;

namespace platform {

class PictureBoxWidget;

class FormWidget final : public QWidget {
 public:
  FormWidget(Form& form, const Form::Definition& definition);
  ~FormWidget() override;

  // Every live form, oldest first.
  static std::vector<FormWidget*> All();
  // Grows each time a form is hidden or its window is minimised, maximised or restored, by
  // the program or by the window manager: two presses with a change between them are not a
  // double-click.
  static std::uint64_t WindowChanges();

  Form& form() const { return form_; }

  // Position of the outer frame and size of the client area, in twips.
  Twips left() const { return left_; }
  Twips top() const { return top_; }
  Twips clientWidth() const { return width_; }
  Twips clientHeight() const { return height_; }
  // The frame's extra width and height around the client area, in twips (0 when frameless
  // or not yet known).
  Twips frameExtraWidth() const;
  Twips frameExtraHeight() const;
  void setPosition(Twips left, Twips top);
  void setClientSize(Twips width, Twips height);

  Color backColor() const { return backColor_; }
  void setBackColor(Color value);

  bool loaded() const { return loaded_; }
  void ensureLoaded();
  void showForm();
  // Hides the window; it shows again where it stands now.
  void hideForm();
  bool closed() const { return closed_; }
  // Sends a close request that reaches QueryUnload with the given reason; true when the
  // window closed.
  bool requestClose(int unloadMode);
  void setTopmost(bool topmost);

  // Controls.
  void addImage(const Image& image);
  void addPictureBox(PictureBoxWidget* box);
  void removePictureBox(PictureBoxWidget* box);
  // Lays out the picture box and those behind it again (a box is cut where one in front of
  // it covers a whole side).
  void pictureBoxChanged(PictureBoxWidget* box);
  const std::vector<PictureBoxWidget*>& pictureBoxes() const { return boxes_; }
  // Puts a new control behind the earlier ones and, when it takes the focus, into the tab
  // order by its index.
  void addControl(QWidget* control, int tabIndex, bool takesFocus);
  void removeControl(QWidget* control);
  void addButton(QPushButton* button, bool isDefault, bool isCancel);
  void removeButton(QPushButton* button);

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
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPoint positionInPixels() const;
  QMargins frameMarginsNow() const;
  // Where the frame's corner is now, in screen pixels.
  QPoint framePosition() const;
  void applyPosition();
  void centreOnScreen();
  // The window has just been mapped: undoes the window manager's own placement.
  void mapped();
  void restoreState();
  void takeKeyboard();
  void showNative();
  void layOutPictureBoxes(std::size_t from);
  void pressDefaultButton();
  void pressCancelButton();
  void deliverMouse(const MouseHandler& handler, int button, QMouseEvent* event);

  Form& form_;
  BorderStyle borderStyle_;
  StartUpPosition startUpPosition_;
  bool showInTaskbar_;
  bool activateOnShow_;
  Twips left_ = 0;
  Twips top_ = 0;
  Twips width_ = 0;
  Twips height_ = 0;
  Color backColor_;
  bool positionSet_ = false;  // the program (or the first centring) placed the window
  bool shownOnce_ = false;
  mutable QMargins lastFrameMargins_;
  // Centred at the first showing by a frame the window manager has not drawn yet: centred
  // again once the window is mapped.
  bool centrePending_ = false;
  bool loaded_ = false;
  bool closed_ = false;
  int closeReason_ = vbFormControlMenu;
  // Positions asked of the window system and not yet confirmed by a move event.
  std::deque<QPoint> requestedPositions_;
  bool applying_ = false;  // our own move is being made: its echo confirms nothing
  // Shown and not yet mapped: a move nobody asked for is the window manager placing the new
  // window, not the user, and is undone once the window is mapped.
  bool awaitingMap_ = false;
  std::vector<Image::Definition> images_;
  std::vector<PictureBoxWidget*> boxes_;
  struct TabStop {
    int tabIndex;
    QPointer<QWidget> control;
  };
  std::vector<TabStop> tabStops_;
  QPointer<QPushButton> defaultButton_;
  QPointer<QPushButton> cancelButton_;
  std::vector<QPointer<QPushButton>> buttons_;
  bool shortcutsMade_ = false;
};

}  // namespace platform
