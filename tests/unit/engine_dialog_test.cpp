// The keyboard and the controls of a dialog, decided once by the form engine.
#include <gtest/gtest.h>

#include "platform/engine/ControlCore.h"
#include "platform/forms/ComboBox.h"
#include "platform/forms/CommandButton.h"
#include "platform/forms/Form.h"
#include "platform/forms/Label.h"
#include "unit/support/FakeSurface.h"

namespace platform::engine::fake {
namespace {

class Dialog : public EngineTest {
 protected:
  Form form{engine, {.borderStyle = BorderStyle::FixedToolWindow}};
  // Made out of their tab order on purpose.
  CommandButton exit{form, {.name = "exit", .caption = "&Exit", .tabIndex = 2}};
  ComboBox url{form, {.name = "url", .tabIndex = 0}};
  Label caption{form, {.name = "caption", .caption = " &URL: ", .tabIndex = 3}};
  CommandButton close{form, {.name = "close", .tabIndex = 1, .isDefault = true}};
  FakeForm& window = surface.nativeOf(form);
  FakeControl& field = surface.control("url");
  std::vector<std::string> events;

  void SetUp() override {
    url.Change = [&] { events.push_back("Change " + url.Text()); };
    url.Click = [&] { events.push_back("Click " + url.Text()); };
    close.Click = [&] { events.push_back("Close"); };
    exit.Click = [&] { events.push_back("Exit"); };
  }
  std::string Focused() const {
    return surface.focusedControl != nullptr ? surface.focusedControl->definition.name : "";
  }
};

// At every showing, also after the person left the caret inside the text.
TEST_F(Dialog, ShowingFocusesTheFirstControlWithItsWholeTextSelected) {
  url.setText("http://example/feed");
  for (const int showing : {1, 2}) {
    form.Show();
    EXPECT_EQ(window.activations, showing);
    EXPECT_EQ(Focused(), "url");
    EXPECT_TRUE(field.selected);
    field.selected = false;
    form.Hide();
  }
}

TEST_F(Dialog, TabGoesRoundTheControlsByTabIndexAndSelectsAFieldsText) {
  const std::vector<std::pair<int, std::string>> keys = {
      {0, "close"}, {0, "exit"}, {0, "url"}, {Modifier::Shift, "exit"}, {Modifier::Shift, "close"}};
  form.Show();
  window.events.key(Key::Return, 0);
  EXPECT_EQ(window.focusCues, 0) << "only a focus moved by the keyboard shows its mark";
  for (const auto& [modifiers, focused] : keys) {
    EXPECT_TRUE(window.events.key(Key::Tab, modifiers));
    EXPECT_EQ(Focused(), focused);
  }
  EXPECT_EQ(window.focusCues, 5);
  window.events.key(Key::Tab, Modifier::Shift);
  EXPECT_TRUE(field.selected);
  EXPECT_FALSE(window.events.key(Key::Tab, Modifier::Ctrl)) << "the window system's";
}

TEST_F(Dialog, ReturnPressesTheFocusedButtonElseTheDefaultAndEscapeTheCancel) {
  form.Show();
  EXPECT_TRUE(window.events.key(Key::Return, 0));
  window.events.key(Key::Tab, Modifier::Shift);
  EXPECT_TRUE(window.events.key(Key::Return, 0));
  EXPECT_FALSE(window.events.key(Key::Escape, 0)) << "no cancel button: left to the field";
  EXPECT_EQ(events, (std::vector<std::string>{"Close", "Exit"}));
  EXPECT_TRUE(close.Default() && !close.Cancel());
}

TEST_F(Dialog, EscapeAnywhereOnTheFormPressesTheCancelButton) {
  Form other{engine, {.borderStyle = BorderStyle::FixedToolWindow}};
  ComboBox field{other, {.name = "field"}};
  CommandButton cancel{other, {.name = "cancel", .tabIndex = 1, .isCancel = true}};
  cancel.Click = [&] { events.push_back("Cancel"); };
  other.Show();
  EXPECT_TRUE(surface.nativeOf(other).events.key(Key::Escape, 0));
  EXPECT_FALSE(surface.nativeOf(other).events.key(Key::Return, 0)) << "no default button";
  EXPECT_EQ(events, std::vector<std::string>{"Cancel"});
}

// Return in the open list is the list's (it puts the chosen entry into the field), then it
// presses the default button; the list's other keys are the list's alone.
TEST_F(Dialog, ReturnInAnOpenListPressesTheDefaultButtonAfterTheList) {
  form.Show();
  field.open = true;
  EXPECT_FALSE(window.events.key(Key::Return, 0));
  EXPECT_FALSE(window.events.key(Key::Escape, 0) || window.events.key(Key::Tab, 0));
  EXPECT_TRUE(events.empty());
  surface.runPosted();
  EXPECT_EQ(events, std::vector<std::string>{"Close"});
}

TEST_F(Dialog, TheFocusComesBackToItsControlWhenTheWindowIsActiveAgain) {
  form.Show();
  window.events.key(Key::Tab, 0);
  window.events.deactivated();
  surface.focusedControl = nullptr;
  window.events.activated();
  EXPECT_EQ(Focused(), "close");
}

TEST_F(Dialog, TheTextRaisesChangeOnceAnEditAndAPickChangeBeforeClick) {
  url.AddItem("http://a/");
  url.AddItem("http://b/");
  EXPECT_EQ(url.Text(), "");
  url.setText("typed");
  url.setText("typed");
  field.fieldText = "typed2";
  field.events.edited();
  field.events.picked(1);
  field.events.picked(1);
  EXPECT_EQ(events, (std::vector<std::string>{"Change typed", "Change typed2", "Change http://b/",
                                              "Click http://b/", "Click http://b/"}));
  EXPECT_EQ(url.ListCount(), 2);
  EXPECT_EQ(url.List(2), "");
}

TEST_F(Dialog, ALabelNamesItsControlForReadersAndAFramelessFormIsNamedAfterTheProgram) {
  caption.Names(url);
  EXPECT_EQ(field.labelled, "URL");
  EXPECT_EQ(caption.Caption(), " &URL: ");
  EXPECT_EQ(window.readerName, "");
  Form strip{engine, {.borderStyle = BorderStyle::None}};
  EXPECT_EQ(surface.nativeOf(strip).readerName, APP_DISPLAY_NAME);
}

}  // namespace
}  // namespace platform::engine::fake
