// The form engine's set-up (fonts, quitting) and the end of the program.
#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFontInfo>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/forms/Form.h"
#include "platform/program/Application.h"
#include "platform/qt/SystemSession.h"
#include "support/TestEngine.h"

namespace platform {
namespace {

// The forms' "MS Sans Serif" 8.25 pt is a small UI font here too.
TEST(FormEngine, MsSansSerifBecomesASmallInstalledSansFont) {
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPointSizeF(8.25);
  font.setBold(true);
  const QFontInfo info(font);
  EXPECT_TRUE(info.family() == "Liberation Sans" || info.family() == "DejaVu Sans")
      << info.family().toStdString();
  EXPECT_EQ(info.pixelSize(), 11);
  EXPECT_TRUE(info.bold());
}

TEST(FormEngine, ControlsGetTheFormsDefaultFont) {
  EXPECT_EQ(QApplication::font().family(), "MS Sans Serif");
  EXPECT_EQ(QApplication::font().pointSizeF(), 8.25);
  EXPECT_FALSE(QApplication::font().bold());
}

TEST(FormEngine, ClosingWindowsNeverQuitsByItself) {
  EXPECT_FALSE(QApplication::quitOnLastWindowClosed());
}

// The system's session ends the program: every running event loop returns, and the form
// engine shows no window any more. The application's own loop is the outer one: it starts the
// next loop afresh, so the tests after this one run as usual.
TEST(FormEngine, EndProgramReturnsFromEveryEventLoop) {
  bool innerReturned = false;
  bool endingInside = false;
  {
    engine::Engine engine{TestEngine().surface()};
    SystemSession session{engine};
    QTimer::singleShot(0, [&] {
      QEventLoop inner;  // a download waiting, say
      QTimer::singleShot(0, [&] { session.EndProgram(); });
      inner.exec();
      innerReturned = true;
      endingInside = session.Ending();
    });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_TRUE(innerReturned);
    EXPECT_TRUE(endingInside);
    EXPECT_TRUE(engine.ending());
    Form form(engine, Form::Definition{});
    form.Show();
    EXPECT_FALSE(form.Visible()) << "no window shows on the way out";
  }
  EXPECT_FALSE(TestEngine().ending()) << "the end belonged to the session's engine alone";
}

}  // namespace
}  // namespace platform
