#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <vector>

#include "platform/qt/SystemServiceClasses.h"
#include "platform/services/MsgBox.h"

namespace platform {

namespace {

// The answers a box returns, by the button pressed.
constexpr int kOK = 1, kCancel = 2, kAbort = 3, kRetry = 4, kIgnore = 5, kYes = 6, kNo = 7;

struct Choice {
  QMessageBox::StandardButton button;
  int answer;
};

// The buttons of each button set (style & 7), first the default one.
std::vector<Choice> ChoicesFor(int style) {
  switch (style & 7) {
    case 1:
      return {{QMessageBox::Ok, kOK}, {QMessageBox::Cancel, kCancel}};
    case 2:
      return {{QMessageBox::Abort, kAbort},
              {QMessageBox::Retry, kRetry},
              {QMessageBox::Ignore, kIgnore}};
    case 3:
      return {{QMessageBox::Yes, kYes}, {QMessageBox::No, kNo}, {QMessageBox::Cancel, kCancel}};
    case 4:
      return {{QMessageBox::Yes, kYes}, {QMessageBox::No, kNo}};
    case 5:
      return {{QMessageBox::Retry, kRetry}, {QMessageBox::Cancel, kCancel}};
    default:
      return {{QMessageBox::Ok, kOK}};
  }
}

QMessageBox::Icon IconFor(int style) {
  switch (style & 0x70) {
    case 16:
      return QMessageBox::Critical;
    case 32:
      return QMessageBox::Question;
    case 48:
      return QMessageBox::Warning;
    case 64:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

}  // namespace

int BoxMsgBox::Show(const std::string& prompt, int style) {
  const std::vector<Choice> choices = ChoicesFor(style);
  // The program is ending: no box is shown and the default answer stands.
  if (session_.Ending()) return choices.front().answer;
  QMessageBox box;
  box.setWindowTitle(QStringLiteral(APP_DISPLAY_NAME));
  box.setTextFormat(Qt::PlainText);
  box.setText(QString::fromStdString(prompt));
  box.setIcon(IconFor(style));
  QMessageBox::StandardButtons buttons;
  for (const Choice& choice : choices) buttons |= choice.button;
  box.setStandardButtons(buttons);
  box.setDefaultButton(choices.front().button);
  // Closing the box without a button (Escape, close box) answers Cancel where there is one.
  const auto cancel = std::find_if(choices.begin(), choices.end(),
                                   [](const Choice& c) { return c.answer == kCancel; });
  box.setEscapeButton(cancel != choices.end() ? cancel->button : choices.back().button);
  box.exec();
  QAbstractButton* pressed = box.clickedButton();
  for (const Choice& choice : choices) {
    if (pressed != nullptr && box.button(choice.button) == pressed) return choice.answer;
  }
  return cancel != choices.end() ? kCancel : choices.back().answer;
}

}  // namespace platform
