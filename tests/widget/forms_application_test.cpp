// The form engine's set-up (fonts, quitting) and the end of the program. The end is the last
// test: after it every event loop of this process returns at once.
#include <QApplication>
#include <QEventLoop>
#include <QFontInfo>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/Application.h"
#include "platform/Form.h"
#include "platform/MsgBox.h"

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

TEST(FormEngine, ZzEndProgramReturnsFromEveryEventLoop) {
  ASSERT_FALSE(Ending());
  bool innerReturned = false;
  bool ranAfterEnd = false;
  QTimer::singleShot(0, [&] {
    QEventLoop inner;  // a download waiting, say
    QTimer::singleShot(0, [] { EndProgram(); });
    QTimer::singleShot(50, [&] { ranAfterEnd = true; });
    inner.exec();
    innerReturned = true;
  });
  QEventLoop outer;
  EXPECT_EQ(outer.exec(), 0);
  EXPECT_TRUE(innerReturned);
  EXPECT_FALSE(ranAfterEnd);
  EXPECT_TRUE(Ending());
  // Code still running on the way out neither blocks on a box nor shows a window.
  EXPECT_EQ(MsgBox("Error", vbCritical), vbOK);
  Form form(Form::Definition{});
  form.Show();
  EXPECT_FALSE(form.Visible());
}

}  // namespace
}  // namespace platform
