// The strip's per-tick cost: 600 scroll steps of 30 twips on a shown form, with rows of 10,
// 1,000 and 100,000 labels, and the cost of laying out a row of 10,000 labels.
#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>
#include <cstdlib>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "platform/forms/Form.h"
#include "platform/forms/LabelArray.h"
#include "platform/forms/PictureBox.h"
#include "platform/program/Application.h"
#include "platform/qt/Widgets.h"
#include "support/StripWindows.h"

using platform::qt::WidgetOf;

namespace {

using namespace platform;

LabelState Template() {
  LabelState s;
  s.top = 10;
  s.height = 195;
  return s;
}

struct Strip : StripWindows {
  LabelArray lblItem{
      picTicker, {"lblItem", Template(), {"MS Sans Serif", 8.25f, true}, {":/images/hand.png"}}};

  // The layout of the ticker: each label placed after its left neighbour, 220 twips apart.
  void LayOut(int n) {
    for (int i = 0; i <= n; ++i) {
      if (i > 0) lblItem.Load(i);
      auto label = lblItem(i);
      if (i > 0) {
        label.setVisible(true);
        auto left = lblItem(i - 1);
        label.setLeft(left.Width() + left.Left() + 220);
      }
      label.setMousePointer(vbCustom);
      label.setForeColor(RGB(51, 51, 152));
      label.setCaption("Headline number " + std::to_string(i) + " of the feed & more");
      label.setWidth(picTicker.TextWidth(label.Caption()));
    }
    auto last = lblItem(n);
    picTicker.setWidth(last.Width() + last.Left() + 240);
  }

  void Clear() {
    const int m = lblItem.Count() - 1;
    for (int k = 1; k <= m; ++k) lblItem.Unload(k);
  }
};

// Counts the paint events of a widget, to show that every step paints.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
  long paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

void BM_Scroll600Steps(benchmark::State& state) {
  const int labels = static_cast<int>(state.range(0));
  Strip strip;
  strip.LayOut(labels);
  strip.form.Show();
  QApplication::processEvents();
  const Twips start = 960;
  PaintCounter counter(WidgetOf(strip.picTicker));
  long steps = 0;
  for (auto _ : state) {
    strip.picTicker.setLeft(start);
    QApplication::processEvents();
    for (int step = 0; step < 600; ++step) {
      strip.picTicker.setLeft(strip.picTicker.Left() - 30);
      QApplication::processEvents();  // paints what the step uncovered
    }
    steps += 600;
  }
  state.counters["labels"] = labels;
  state.counters["paints_per_step"] = static_cast<double>(counter.paints) / steps;
}
BENCHMARK(BM_Scroll600Steps)->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_LayOut10000Labels(benchmark::State& state) {
  Strip strip;
  strip.form.Show();
  QApplication::processEvents();
  for (auto _ : state) {
    strip.LayOut(10'000);
    state.PauseTiming();
    strip.Clear();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_LayOut10000Labels)->Unit(benchmark::kMillisecond);

}  // namespace

// main: bench/support/OffscreenMain.cpp.
