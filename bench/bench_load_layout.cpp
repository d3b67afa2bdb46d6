// The time from a fetched document to a painted strip: the real windows on the offscreen
// platform load a feed (parse, lay out the row, paint), for feed shapes where a caption is
// borrowed by thousands or millions of items and for a plain feed at the 32 MiB cap.
#include <QApplication>
#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "options/frmOptions.h"
#include "platform/program/Application.h"
#include "platform/qt/QtSurface.h"
#include "support/fakes/FakeServices.h"
#include "ticker/frmTicker.h"

namespace {

constexpr std::size_t kCap = std::size_t{32} << 20;
const std::string kUrl = "http://www.tallowmere.example/rss.php";

// count empty items, then one whose title is titleLength letters: every empty item borrows it.
std::string EmptyItemsThenLongTitle(std::size_t count, std::size_t titleLength) {
  std::string document = "<rss><channel>";
  for (std::size_t i = 0; i < count; ++i) document += "<item></item>";
  document += "<item><title>";
  for (std::size_t i = 0; i < titleLength; ++i) document += char('a' + i % 23);
  return document + "</title></item></channel></rss>";
}

// As many empty items as fit in 32 MiB with a 1,000,000-letter title at the end.
std::string EmptyItemsToTheCap() {
  const std::size_t tail = EmptyItemsThenLongTitle(0, 1'000'000).size();
  return EmptyItemsThenLongTitle((kCap - tail) / 13, 1'000'000);
}

// An ordinary feed of 32 MiB: every item with title, link, author and date.
std::string PlainFeedToTheCap() {
  std::string document = "<rss><channel>";
  for (int i = 0; document.size() < kCap - 400; ++i) {
    const std::string n = std::to_string(i);
    document += "<item><title>Harbour bridge reopens after repairs, story " + n +
                " &amp; more</title><link>http://www.tallowmere.example/story.php?id=" + n +
                "</link><author>Ann Lee</author><pubDate>Mon, 06 Sep 2004 10:00:00 "
                "GMT</pubDate></item>\n";
  }
  return document + "</channel></rss>";
}

// The two windows of the program on fake services, shown, their first load done.
class Program {
 public:
  explicit Program(std::string document) {
    platform::SetAppPath(folder_.path().toStdString());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder_.path()));
    std::ofstream(folder_.path().toStdString() + "/RSS_settings.ini")
        << "[Options]\nDefault URL=" << kUrl << "\nWindowX=0\nWindowY=0\n";
    fakes_.download.Put(kUrl, std::move(document));
    options_ = std::make_unique<frmOptions>(fakes_.services());
    ticker_ = std::make_unique<frmTicker>(*options_, fakes_.services());
    options_->Attach(*ticker_);
    ticker_->Show();
    QApplication::processEvents();
  }

  frmTicker& ticker() { return *ticker_; }

 private:
  QTemporaryDir folder_;
  std::unique_ptr<platform::engine::Surface> surface_ = platform::MakeQtSurface();
  FakeServices fakes_{*surface_};
  std::unique_ptr<frmOptions> options_;
  std::unique_ptr<frmTicker> ticker_;
};

// One reload as the end of a run does it, then the paint that shows the new row.
void LoadAndPaint(benchmark::State& state, const std::string& document) {
  Program program(document);
  for (auto _ : state) {
    program.ticker().LoadPage();
    QApplication::processEvents();
  }
  frmTicker& t = program.ticker();
  state.counters["labels"] = t.lblItem.Count();
  state.counters["strip_twips"] = t.picTicker.Width();
  state.counters["widest_caption"] = t.lblItem(t.lblItem.UBound()).Caption().size();
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * document.size()));
}

void BM_Load3000EmptyItemsThen1MBTitle(benchmark::State& state) {
  LoadAndPaint(state, EmptyItemsThenLongTitle(3000, 1'000'000));
}
BENCHMARK(BM_Load3000EmptyItemsThen1MBTitle)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadEmptyItemsTo32MiBThen1MBTitle(benchmark::State& state) {
  LoadAndPaint(state, EmptyItemsToTheCap());
}
BENCHMARK(BM_LoadEmptyItemsTo32MiBThen1MBTitle)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadPlainFeed32MiB(benchmark::State& state) { LoadAndPaint(state, PlainFeedToTheCap()); }
BENCHMARK(BM_LoadPlainFeed32MiB)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

// main: bench/support/OffscreenMain.cpp.
