// The feeddump tool as a user runs it: sources, format choice, JSON output and failures.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <string>

#include "net/support/FeedServer.h"

namespace {

struct DumpRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// The tools are built next to the tests' folder (or beside them in a flat build).
QString FeedDumpPath() {
  const QString here = QCoreApplication::applicationDirPath();
  for (const QString& candidate : {here + "/../tools/feeddump", here + "/feeddump"}) {
    if (QFileInfo(candidate).isExecutable()) return candidate;
  }
  return {};
}

class FeedDumpTest : public testing::Test {
 protected:
  void SetUp() override {
    tool = FeedDumpPath();
    if (tool.isEmpty()) GTEST_SKIP() << "feeddump is not built; build the feeddump target";
    ASSERT_TRUE(dir.isValid());
  }

  DumpRun Dump(const QStringList& arguments) const {
    QProcess process;
    // File names are passed relative to the folder: "ticker" in a temporary folder's path
    // would change the format chosen.
    process.setWorkingDirectory(dir.path());
    process.start(tool, arguments);
    DumpRun run;
    if (!process.waitForFinished(60000)) return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
  }

  QString Write(const QString& name, const QByteArray& bytes) const {
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return name;
  }

  QString tool;
  QTemporaryDir dir;
};

const QByteArray kRss =
    "<rss><channel><item><title>Say \"hi\" \\ now\tplease\x01</title>"
    "<link>http://www.tallowmere.example/1</link><author>Ann</author>"
    "<pubDate>Mon</pubDate></item></channel></rss>";
const std::string kRssLines =
    "{\"index\":0,\"title\":\"\",\"link\":\"\",\"tooltip\":\"\"}\n"
    "{\"index\":1,\"title\":\"Say \\\"hi\\\" \\\\ now\\tplease\\u0001\","
    "\"link\":\"http://www.tallowmere.example/1\",\"tooltip\":\"Post by Ann on Mon\"}\n";

const QByteArray kStories =
    "STORY \nHEADLINE Caf\xC3\xA9 opens\nURL http://www.tallowmere.example/2\n";
const std::string kStoryLines =
    "{\"index\":0,\"title\":\"Caf\xC3\xA9 opens\",\"link\":\"http://www.tallowmere.example/2\","
    "\"tooltip\":\"\"}\n"
    "{\"index\":1,\"title\":\"\",\"link\":\"\",\"tooltip\":\"\"}\n";
const std::string kNoItems = "{\"index\":0,\"title\":\"\",\"link\":\"\",\"tooltip\":\"\"}\n";

TEST_F(FeedDumpTest, PrintsRssItemsAsEscapedJson) {
  const DumpRun run = Dump({Write("feed.xml", kRss)});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, kRssLines);
}

// The format follows the source's name unless an option forces it.
struct FormatCase {
  const char* fileName;
  QStringList options;
  bool storyContent;
  const std::string* expected;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
  *os << c.fileName << " " << c.options.join(' ').toStdString();
}

class FeedDumpFormatTest : public FeedDumpTest, public testing::WithParamInterface<FormatCase> {};

TEST_P(FeedDumpFormatTest, ChoosesTheParser) {
  const FormatCase& c = GetParam();
  const QString path = Write(c.fileName, c.storyContent ? kStories : kRss);
  const DumpRun run = Dump(c.options + QStringList{path});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, *c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, FeedDumpFormatTest,
    testing::Values(FormatCase{"ticker.txt", {}, true, &kStoryLines},
                    FormatCase{"My-TICKER-list.dat", {}, true, &kStoryLines},  // any case
                    FormatCase{"stories.txt", {}, true, &kNoItems},  // read as RSS: no items
                    FormatCase{"stories.txt", {"--story"}, true, &kStoryLines},
                    FormatCase{"ticker.xml", {"--rss"}, false, &kRssLines},
                    FormatCase{"ticker.xml", {}, false, &kNoItems}));

TEST_F(FeedDumpTest, DecodesAFileThatIsNotUtf8) {
  const DumpRun run =
      Dump({"--story", Write("latin.txt", "STORY \nHEADLINE Caf\xE9 \x93ok\x94\nURL u\n")});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out.substr(0, run.out.find('\n')),
            "{\"index\":0,\"title\":\"Caf\xC3\xA9 \xE2\x80\x9Cok\xE2\x80\x9D\",\"link\":\"u\","
            "\"tooltip\":\"\"}");
}

TEST_F(FeedDumpTest, FetchesAUrl) {
  FeedServer server;
  ASSERT_TRUE(server.Running());
  server.Put("tallowmere.example/ticker.txt", kStories);
  const DumpRun run = Dump({QString::fromStdString(server.Url("/tallowmere.example/ticker.txt"))});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, kStoryLines);
}

TEST_F(FeedDumpTest, AFailedFetchExitsWithOneLine) {
  FeedServer server;
  ASSERT_TRUE(server.Running());
  const DumpRun run = Dump({QString::fromStdString(server.Url("/missing.xml"))});
  EXPECT_NE(run.exitCode, 0);
  EXPECT_TRUE(run.out.empty());
  EXPECT_NE(run.err.find("HTTP 404"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
}

// Sources and arguments that cannot be used.
class FeedDumpRefusalTest : public FeedDumpTest, public testing::WithParamInterface<QStringList> {};

TEST_P(FeedDumpRefusalTest, ExitsNonZeroWithAMessage) {
  const DumpRun run = Dump(GetParam());
  EXPECT_NE(run.exitCode, 0);
  EXPECT_NE(run.exitCode, -1) << "crashed or hung";
  EXPECT_TRUE(run.out.empty());
  EXPECT_FALSE(run.err.empty());
}

INSTANTIATE_TEST_SUITE_P(Refusals, FeedDumpRefusalTest,
                         testing::Values(QStringList{}, QStringList{"/no/such/file.xml"},
                                         QStringList{"/"}, QStringList{"a.xml", "b.xml"},
                                         QStringList{"--unknown", "a.xml"},
                                         QStringList{"ftp://www.tallowmere.example/rss.php"}));

}  // namespace
