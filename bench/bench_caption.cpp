// The cost of one long caption, by script: 600 scroll steps of 30 twips (one minute of
// scrolling) with a 1 MB caption of Latin, Cyrillic, CJK, Arabic or mixed text in view, and
// the measuring of that caption by the layout.
#include <QApplication>
#include <cstdlib>
#include <string>

#include <benchmark/benchmark.h>

#include "platform/forms/Form.h"
#include "platform/forms/LabelArray.h"
#include "platform/forms/PictureBox.h"
#include "platform/program/Application.h"
#include "support/StripWindows.h"

namespace {

using namespace platform;

struct Script {
  const char* name;
  const char* words;  // repeated to one megabyte
};

const Script kScripts[] = {
    {"Latin", "Council approves budget for roads & lighting. "},
    {"Cyrillic",
     "\xD0\xA1\xD0\xBE\xD0\xB2\xD0\xB5\xD1\x82 \xD0\xBE\xD0\xB4\xD0\xBE\xD0\xB1\xD1\x80\xD0\xB8"
     "\xD0\xBB \xD0\xB1\xD1\x8E\xD0\xB4\xD0\xB6\xD0\xB5\xD1\x82. "},
    {"CJK",
     "\xE5\xB8\x82\xE8\xAE\xAE\xE4\xBC\x9A\xE6\x89\xB9\xE5\x87\x86\xE9\xA2\x84\xE7\xAE\x97\xE3"
     "\x80\x82"},
    {"Arabic",
     "\xD8\xA7\xD9\x84\xD9\x85\xD8\xAC\xD9\x84\xD8\xB3 \xD9\x8A\xD9\x88\xD8\xA7\xD9\x81\xD9\x82 "
     "\xD8\xB9\xD9\x84\xD9\x89 \xD8\xA7\xD9\x84\xD9\x85\xD9\x8A\xD8\xB2\xD8\xA7\xD9\x86\xD9\x8A"
     "\xD8\xA9 "},
    {"mixed",
     "Budget \xD0\xB1\xD1\x8E\xD0\xB4\xD0\xB6\xD0\xB5\xD1\x82 \xE9\xA2\x84\xE7\xAE\x97 \xD8\xA7"
     "\xD9\x84\xD9\x85\xD9\x8A\xD8\xB2\xD8\xA7\xD9\x86\xD9\x8A\xD8\xA9 \xCE\xA0\xCF\x81\xCF\x8C"
     "\xCE\xB3\xCF\x81\xCE\xB1\xCE\xBC\xCE\xBC\xCE\xB1 "},
};

std::string Megabyte(const char* words) {
  std::string text;
  while (text.size() < (1u << 20)) text += words;
  return text;
}

LabelState Template() {
  LabelState s;
  s.top = 10;
  s.height = 195;
  s.foreColor = RGB(51, 51, 152);
  return s;
}

struct Strip : StripWindows {
  LabelArray lblItem{picTicker, {"lblItem", Template(), {"MS Sans Serif", 8.25f, true}, {}}};
};

// One minute of scrolling with the middle of the caption in view.
void BM_Scroll600StepsOver1MB(benchmark::State& state, const Script& script) {
  Strip strip;
  const std::string caption = Megabyte(script.words);
  auto label = strip.lblItem(0);
  label.setLeft(220);
  label.setCaption(caption);
  label.setWidth(strip.picTicker.TextWidth(caption));
  strip.picTicker.setWidth(label.Width() + 460);
  strip.form.Show();
  QApplication::processEvents();
  const Twips middle = -label.Width() / 2;
  for (auto _ : state) {
    strip.picTicker.setLeft(middle);
    QApplication::processEvents();
    for (int step = 0; step < 600; ++step) {
      strip.picTicker.setLeft(strip.picTicker.Left() - 30);
      QApplication::processEvents();  // paints what the step uncovered
    }
  }
  state.counters["width_px"] = label.Width() / 15;
}

// The layout's measuring of the caption.
void BM_Measure1MB(benchmark::State& state, const Script& script) {
  Strip strip;
  const std::string caption = Megabyte(script.words);
  Twips width = 0;
  for (auto _ : state) benchmark::DoNotOptimize(width = strip.picTicker.TextWidth(caption));
  state.counters["width_px"] = width / 15;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  platform::InitializeFormEngine();
  for (const Script& script : kScripts) {
    benchmark::RegisterBenchmark((std::string("BM_Scroll600StepsOver1MB/") + script.name).c_str(),
                                 BM_Scroll600StepsOver1MB, script)
        ->Unit(benchmark::kMillisecond);
  }
  for (const Script& script : kScripts) {
    benchmark::RegisterBenchmark((std::string("BM_Measure1MB/") + script.name).c_str(),
                                 BM_Measure1MB, script)
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
