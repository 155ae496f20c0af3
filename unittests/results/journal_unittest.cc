#include "results/journal.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "results/json_value.h"
#include "support/test_support.h"

namespace bench {
namespace {

using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;

JournalEntry sampleEntry() {
  JournalEntry entry = testing::repeatedRunEntry(
      5, "2026-12-11T12:34:56Z", "0123456789abcdef0123456789abcdef", {2010, 2009, 2030},
      "Caf\xE9 \"box\" \\ <1>", 3740);  // a one-byte code page
  entry.clockSource = "measured";
  entry.clockBeforeMhz = 3737;
  entry.processor = "Example CPU";
  entry.logicalProcessors = 16;
  entry.memoryBytes = 68719476736ull;
  entry.osName = "Linux";
  entry.osVersion = "6.1.0";
  entry.title = "Needle-throwing simulation (Monte-Carlo, 100M iterations)";
  entry.timeMs = 2012;
  entry.aboveFastestPercent = 0.2;
  entry.output = {"Needle simulation: N = 100M, elapsed time: 2.01 sec, ratio = 0.636619772"};
  return entry;
}

// What a reader takes from a line is what the writer put in it, the exact
// bytes of the description included; the line is one JSON object.
TEST(JournalLine, ReadsBackWhatWasWritten) {
  JournalEntry written = sampleEntry();
  std::string line = formatJournalLine(written);
  ASSERT_EQ(line.back(), '\n');
  EXPECT_EQ(line.find('\n'), line.size() - 1);
  line.pop_back();
  JsonValue json;
  std::string error;
  ASSERT_TRUE(JsonValue::parse(line, &json, &error)) << error;
  EXPECT_EQ(json.member("system")->member("clock_after_mhz")->kind(), JsonValue::Kind::NUL);
  EXPECT_EQ(json.member("system")->member("description")->string(), "Caf\xC3\xA9 \"box\" \\ <1>");

  JournalEntry read;
  ASSERT_TRUE(parseJournalLine(line, &read, &error)) << error;
  EXPECT_EQ(read.description, written.description);
  EXPECT_EQ(read.runId, written.runId);
  EXPECT_EQ(read.clock, 3740);
  EXPECT_EQ(read.clockBeforeMhz, 3737);
  EXPECT_EQ(read.clockAfterMhz, 0);
  EXPECT_EQ(read.memoryBytes, written.memoryBytes);
  EXPECT_EQ(read.test, 5);
  EXPECT_EQ(read.timeMs, 2012);
  EXPECT_TRUE(read.repeated);
  EXPECT_EQ(read.repetitionsMs, written.repetitionsMs);
  EXPECT_TRUE(read.noiseJudged);
  EXPECT_FALSE(read.busy);
  EXPECT_EQ(read.output, written.output);
  EXPECT_EQ(read.record, "new");
  EXPECT_EQ(entryBuildName(read), "x86-64 sse2 linux");
  EXPECT_EQ(read.line, line);
}

// The records a journal implies are those a result file would give:
// members unknown to this program are ignored; a line without what a
// record needs, or of another schema, is not a line of this journal.
TEST(JournalLine, RequiredAndUnknownMembers) {
  const std::string system = R"("system":{"description":"  Box  ","clock_mhz":2000})";
  const std::string test = R"("test":{"number":3,"time_ms":900})";
  struct Case {
    std::string line;
    bool parses;
  };
  const Case cases[] = {
      {R"({"schema":1,"run_id":"a",)" + system + "," + test + "}", true},
      {R"({"schema":1,"run_id":"a","future":[1,{"x":null}],)" + system + "," + test + "}", true},
      {R"({"schema":2,"run_id":"a",)" + system + "," + test + "}", false},
      {R"({"run_id":"a",)" + system + "," + test + "}", false},
      {R"({"schema":1,)" + system + "," + test + "}", false},
      {R"({"schema":1,"run_id":"a",)" + test + "}", false},
      {R"({"schema":1,"run_id":"a",)" + system + R"(,"test":{"number":0,"time_ms":9}})", false},
      {R"({"schema":1,"run_id":"a","system":{"description":"a\nb","clock_mhz":1},)" + test + "}",
       false},
      {R"([1,2])", false},
  };
  for (const Case& c : cases) {
    JournalEntry entry;
    std::string error;
    EXPECT_EQ(parseJournalLine(c.line, &entry, &error), c.parses) << c.line << ": " << error;
    if (c.parses) {
      EXPECT_EQ(entry.description, "Box");  // as the table would hold it
      EXPECT_EQ(entry.test, 3);
      EXPECT_FALSE(entry.repeated);
    }
  }
}

TEST(JsonValue, StrictSyntax) {
  struct Case {
    const char* text;
    bool valid;
  };
  const Case cases[] = {
      {R"({"a":[1,-2.5e3,true,false,null,"x\u00e9\ud83d\ude00"]})", true},
      {" [ ] ", true},
      {"{\"a\":1,}", false},
      {"[1 2]", false},
      {"{'a':1}", false},
      {"01", false},
      {"1.", false},
      {"\"\\ud83d\"", false},  // a lone surrogate
      {"\"\xE9\"", false},     // not UTF-8
      {"\"a\tb\"", false},     // a raw control character
      {"{\"a\":1} x", false},
      {"1e999", false},
      {"", false},
  };
  for (const Case& c : cases) {
    JsonValue value;
    std::string error;
    EXPECT_EQ(JsonValue::parse(c.text, &value, &error), c.valid) << c.text << ": " << error;
  }
  JsonValue deep;
  std::string error;
  EXPECT_FALSE(JsonValue::parse("{\"a\":[1,2", &deep, &error));
  EXPECT_EQ(error, "the text ends too soon at byte 10");
  // Deep nesting is refused before it can exhaust the stack.
  EXPECT_FALSE(JsonValue::parse(std::string(100000, '['), &deep, &error));
  EXPECT_NE(error.find("nested too deeply"), std::string::npos) << error;
  EXPECT_TRUE(JsonValue::parse(std::string(64, '[') + std::string(64, ']'), &deep, &error));
}

class JournalFile : public ::testing::Test {
 protected:
  static std::string line(const char* runId, int test) {
    JournalEntry entry = sampleEntry();
    entry.runId = runId;
    entry.test = test;
    return formatJournalLine(entry);
  }

  testing::ScopedTempDir dir_;
};

// A reader uses every line it can parse and names, once each, the lines it
// skips.
TEST_F(JournalFile, ReaderSkipsWhatItCannotParseWithOneWarningEach) {
  const std::string good = line("a", 1) + line("a", 2);
  struct Case {
    const char* name;
    std::string contents;  // null for a missing file
    bool exists;
    size_t entries;
    std::string warnings;
  };
  const Case cases[] = {
      {"missing", "", false, 0, ""},
      {"empty", "", true, 0, ""},
      {"blank lines", "\n\n  \n", true, 0, ""},
      {"partial last line", good + line("a", 3).substr(0, 40), true, 2,
       "Skipping line 3 of \"runs.jsonl\": the text ends too soon at byte 41.\n"},
      {"garbage line", line("a", 1) + "not json\n" + line("a", 2), true, 2,
       "Skipping line 2 of \"runs.jsonl\": unknown word at byte 1.\n"},
      {"another schema", "{\"schema\":2}\n" + good, true, 2,
       "Skipping line 1 of \"runs.jsonl\": schema 2 is not known to this program.\n"},
      {"Windows line ends", "{\"x\":1}\r\n" + line("a", 1), true, 1,
       "Skipping line 1 of \"runs.jsonl\": no schema version.\n"},
  };
  for (const Case& c : cases) {
    std::remove(JOURNAL_FILE);
    if (c.exists) testing::writeFile(JOURNAL_FILE, c.contents);
    CaptureStderr();
    JournalRead read = readJournal(JOURNAL_FILE);
    EXPECT_EQ(GetCapturedStderr(), c.warnings) << c.name;
    EXPECT_EQ(read.readable, c.exists) << c.name;
    EXPECT_EQ(read.entries.size(), c.entries) << c.name;
  }

  // A journal that cannot be read whole is unreadable, not empty: a
  // directory, and on Linux an input error (a process's memory at address 0).
  std::filesystem::create_directory("journal.d");
  std::vector<std::string> unreadable = {"journal.d"};
  if (std::filesystem::exists("/proc/self/mem")) unreadable.push_back("/proc/self/mem");
  for (const std::string& name : unreadable) {
    JournalRead read = readJournal(name.c_str());
    EXPECT_FALSE(read.readable) << name;
    EXPECT_NE(read.error, 0) << name;
    EXPECT_NE(read.error, ENOENT) << name;
    EXPECT_TRUE(read.entries.empty()) << name;
  }
}

// An append after a crash that cut the last line gives that line its end, so
// the new line is whole and the cut one the only one skipped.
TEST_F(JournalFile, AppendAfterACutLineKeepsTheNewLineWhole) {
  testing::writeFile(JOURNAL_FILE, line("a", 1) + line("a", 2).substr(0, 30));
  std::string failure;
  ASSERT_TRUE(appendJournalLines(JOURNAL_FILE, line("b", 3), &failure)) << failure;
  CaptureStderr();
  JournalRead read = readJournal(JOURNAL_FILE);
  EXPECT_EQ(GetCapturedStderr().find("Skipping line 2 of"), 0u);
  ASSERT_EQ(read.entries.size(), 2u);
  EXPECT_EQ(read.entries[1].runId, "b");
  // Binary mode: the file holds "\n" line ends on every system.
  EXPECT_EQ(testing::readFile(JOURNAL_FILE).find('\r'), std::string::npos);
}

TEST_F(JournalFile, TellsAJournalFromAResultTable) {
  testing::writeFile("table.txt", " 1    20000 3000 Example\n");
  testing::writeFile("journal.txt", "\n  " + line("a", 1));
  EXPECT_FALSE(looksLikeJournal("table.txt"));
  EXPECT_TRUE(looksLikeJournal("journal.txt"));
  EXPECT_FALSE(looksLikeJournal("missing.txt"));
}

}  // namespace
}  // namespace bench
