#include "results/result_table.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/files.h"
#include "support/test_support.h"

namespace bench {
namespace {

using testing::readFile;
using testing::readTextFile;
using testing::withSystemLineEnds;
using testing::writeFile;

std::string dump(const ResultTable& table) {
  std::string out;
  for (int i = 0; i < table.count(); ++i) out += formatRecordLine(table.record(i));
  return out;
}

ResultTable loaded(const std::string& contents) {
  writeFile("in.txt", contents);
  ResultTable table;
  EXPECT_TRUE(table.loadResults("in.txt"));
  return table;
}

TEST(LoadResults, MissingFileIsReportedAndLeavesTheTableUnchanged) {
  testing::ScopedTempDir dir;
  ResultTable table;
  EXPECT_FALSE(table.loadResults("missing.txt"));
  EXPECT_EQ(table.count(), 0);
}

// A table that could not be read whole must not be replaced by what was
// read of it: the save would drop every record that could not be read.
TEST(LoadResults, FileThatCannotBeReadWholeIsNeverReplaced) {
  std::vector<std::string> unreadable = {"directory.txt"};
  // An input error part way: reading a process's memory from address 0.
  if (std::filesystem::exists("/proc/self/mem")) unreadable.push_back("/proc/self/mem");
  for (const std::string& name : unreadable) {
    testing::ScopedTempDir dir;
    std::filesystem::create_directory("directory.txt");
    writeFile("results.txt", " 1       50  100 old\n");
    ResultTable table;
    errno = 0;
    EXPECT_FALSE(table.loadResults(name.c_str())) << name;
    EXPECT_NE(errno, 0) << name;
    EXPECT_NE(errno, ENOENT) << name;
    table.append("new", 200, 2, 60, true);
    table.markDirty();

    EXPECT_FALSE(table.saveResults()) << name;
    EXPECT_TRUE(table.dirty());
    EXPECT_NE(table.saveFailure().find("\"" + name + "\" could not be read whole ("),
              std::string::npos)
        << table.saveFailure();
    EXPECT_EQ(readTextFile("results.txt"), " 1       50  100 old\n") << name;
    EXPECT_FALSE(std::filesystem::exists("enhanced.txt")) << name;
  }
}

TEST(LoadResults, ReadingStopsAtTheFirstLineThatIsNotARecord) {
  testing::ScopedTempDir dir;
  struct Case {
    const char* contents;
    const char* expected;
  };
  const Case cases[] = {
      {" 7    20345 3000 Example CPU 3.0 GHz\n", " 7    20345 3000 Example CPU 3.0 GHz\n"},
      {"0 100 200 zero test\n1 1 1 a\n", ""},
      {"-3 100 200 negative\n", ""},
      {"text 100 200 a\n", ""},
      {"1 100 2000 a\n2 500\n3 1 1 never\n", " 1      100 2000 a\n"},
      {"1 100 2000\n", " 1      100 2000 \n"},
      {"1 100 2000   padded  \t \n", " 1      100 2000 padded\n"},
      {"1 100 2000 windows\r\n2 5 6 b\r\n", " 1      100 2000 windows\n 2        5    6 b\n"},
      {"1 100 2000 no newline", " 1      100 2000 no newline\n"},
      {"\n1 1 1 a\n", ""},
      {"  +4 -5 -6 signs\n", " 4       -5   -6 signs\n"},
      {"1 99999999999999999999 2000 huge\n", " 1 2147483647 2000 huge\n"},
      {"99999999999 1 -99999999999 wide\n", "2147483647        1 -2147483648 wide\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(dump(loaded(c.contents)), c.expected) << c.contents;
}

TEST(LoadResults, LongLinesAreReadWhole) {
  testing::ScopedTempDir dir;
  // Lines longer than any fixed buffer whose tails look like records: one of
  // a few hundred bytes, and one longer than the reader's block.
  for (size_t length : {250, 200000}) {
    std::string description = std::string(length, 'x') + "  9 1234 5678 tail";
    ResultTable table = loaded("3 100 2000 " + description + "\n4 1 1 next\n");
    ASSERT_EQ(table.count(), 2);
    EXPECT_EQ(std::string(table.record(0).description), description);
    EXPECT_EQ(table.record(1).test, 4);
  }
}

TEST(LoadResults, ManyRecordsAreReadAcrossBlocks) {
  testing::ScopedTempDir dir;
  // Lines of several lengths, so that some straddle the ends of the blocks.
  std::string contents;
  for (int i = 0; i < 20000; ++i) {
    contents += formatRecordLine(
        ResultRecord{std::string(i % 7, 'd').c_str(), i, 1 + i % 24, i * 3, false});
  }
  EXPECT_EQ(dump(loaded(contents)), contents);
}

TEST(ResultTable, EqualDescriptionsShareOneText) {
  testing::ScopedTempDir dir;
  ResultTable table = loaded("1 1 1 same\n2 2 2 same\n3 3 3 other\n");
  EXPECT_EQ(table.record(0).description, table.record(1).description);
  EXPECT_NE(table.record(0).description, table.record(2).description);
  EXPECT_EQ(table.internDescription("other"), table.record(2).description);
  EXPECT_FALSE(table.dirty());  // loading does not make the table dirty
}

TEST(ResultTable, GrowingKeepsEveryRecordInOrder) {
  ResultTable table;
  for (int i = 0; i < 1000; ++i) table.append(i % 2 == 0 ? "a" : "b", 1, 1, i, false);
  ASSERT_EQ(table.count(), 1000);
  for (int i = 0; i < 1000; ++i) EXPECT_EQ(table.record(i).time, i);
  EXPECT_EQ(table.record(0).description, table.record(998).description);
  EXPECT_EQ(table.record(1).description, table.record(999).description);
}

TEST(MergeDuplicates, KeepsTheFirstOfEachGroupWithTheLeastTime) {
  testing::ScopedTempDir dir;
  struct Case {
    const char* contents;
    const char* expected;
    int enhanced;
  };
  const Case cases[] = {
      {"1 10 5 a\n1 8 5 a\n1 6 5 a\n", " 1        6    5 a\n", 2},
      {"1 10 5 a\n1 6 5 a\n1 8 5 a\n", " 1        6    5 a\n", 1},
      // Another clock, another test or another description is another group.
      {"1 10 5 a\n1 6 7 a\n2 3 5 a\n1 1 5 b\n1 9 5 a\n",
       " 1        9    5 a\n 1        6    7 a\n 2        3    5 a\n 1        1    5 b\n", 1},
      {"", "", 0},
  };
  for (const Case& c : cases) {
    ResultTable table = loaded(c.contents);
    table.mergeDuplicates();
    EXPECT_EQ(dump(table), c.expected) << c.contents;
    EXPECT_EQ(table.enhancedCount(), c.enhanced) << c.contents;
    EXPECT_TRUE(table.dirty());
    for (int i = 0; i < table.count(); ++i) EXPECT_FALSE(table.record(i).enhanced);
  }
}

TEST(MergeDuplicates, LoadingAFileTwiceAndMergingRestoresIt) {
  testing::ScopedTempDir dir;
  writeFile("in.txt", "1 10 5 a\n2 20 5 a\n1 30 6 b\n");
  ResultTable table;
  table.loadResults("in.txt");
  table.loadResults("in.txt");
  table.mergeDuplicates();
  EXPECT_EQ(dump(table), " 1       10    5 a\n 2       20    5 a\n 1       30    6 b\n");
  EXPECT_EQ(table.enhancedCount(), 0);
  EXPECT_TRUE(table.saveResults());
  EXPECT_EQ(readTextFile("results.txt"),
            " 1       10    5 a\n 2       20    5 a\n 1       30    6 b\n");
  EXPECT_EQ(readTextFile("enhanced.txt"), "");  // a merge appends nothing
}

TEST(SaveResults, WritesOnlyWhenDirtyAndLogsEnhancedRecordsOnce) {
  testing::ScopedTempDir dir;
  ResultTable table;
  table.append("kept", 100, 1, 50, false);
  EXPECT_FALSE(table.saveResults());
  EXPECT_FALSE(std::filesystem::exists("results.txt"));
  EXPECT_FALSE(std::filesystem::exists("enhanced.txt"));

  table.append("new", 200, 2, 60, true);
  table.markDirty();
  EXPECT_TRUE(table.saveResults());
  EXPECT_FALSE(table.dirty());
  EXPECT_FALSE(table.record(1).enhanced);
  EXPECT_EQ(readTextFile("results.txt"), " 1       50  100 kept\n 2       60  200 new\n");
  // A text file: the system's line ends on disk, as every editor there expects.
  EXPECT_EQ(readFile("results.txt"),
            withSystemLineEnds(" 1       50  100 kept\n 2       60  200 new\n"));
  EXPECT_EQ(readTextFile("enhanced.txt"), " 2       60  200 new\n");

  table.markDirty();
  EXPECT_TRUE(table.saveResults());
  EXPECT_EQ(readTextFile("enhanced.txt"), " 2       60  200 new\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."),
                          std::filesystem::directory_iterator()),
            2);  // no temporary file is left behind
}

// Byte 0x1A (which Windows' text mode reads as the end of a file) may stand
// in a description: every record after it is loaded and saved again, and the
// line ends on disk stay this system's.
TEST(SaveResults, ByteOneAInADescriptionKeepsEveryLaterRecord) {
  testing::ScopedTempDir dir;
  const std::string table =
      " 1       10    5 ctrl\x1a z\n"
      " 2       20    5 after\n";
  writeFile("results.txt", withSystemLineEnds(table));
  ResultTable loaded;
  ASSERT_TRUE(loaded.loadResults("results.txt"));
  EXPECT_EQ(dump(loaded), table);

  loaded.append("new\x1a", 30, 3, 30, true);
  loaded.markDirty();
  ASSERT_TRUE(loaded.saveResults());
  const std::string added = " 3       30   30 new\x1a\n";
  EXPECT_EQ(readFile("results.txt"), withSystemLineEnds(table + added));
  EXPECT_EQ(readFile("enhanced.txt"), withSystemLineEnds(added));
}

TEST(SaveResults, UnopenableEnhancedFileLeavesResultsWholeAndTheNextSaveSucceeds) {
  testing::ScopedTempDir dir;
  writeFile("results.txt", " 1       50  100 old\n");
  std::filesystem::create_directory("enhanced.txt");
  ResultTable table;
  table.loadResults("results.txt");
  table.append("new", 200, 2, 60, true);
  table.markDirty();

  EXPECT_FALSE(table.saveResults());
  EXPECT_TRUE(table.dirty());
  EXPECT_EQ(readTextFile("results.txt"), " 1       50  100 old\n");

  std::filesystem::remove("enhanced.txt");
  EXPECT_TRUE(table.saveResults());
  EXPECT_EQ(readTextFile("results.txt"), " 1       50  100 old\n 2       60  200 new\n");
  EXPECT_EQ(readTextFile("enhanced.txt"), " 2       60  200 new\n");
}

TEST(SaveResults, UnwritableTemporaryFileLeavesResultsWhole) {
  testing::ScopedTempDir dir;
  writeFile("results.txt", " 1       50  100 old\n");
  char tempName[64];
  platform::makeTemporaryName("results.txt", tempName, sizeof tempName);
  std::filesystem::create_directory(tempName);  // the temporary file cannot be created
  ResultTable table;
  table.loadResults("results.txt");
  table.append("new", 200, 2, 60, true);
  table.markDirty();

  EXPECT_FALSE(table.saveResults());
  EXPECT_TRUE(table.dirty());
  EXPECT_TRUE(table.record(1).enhanced);  // still to be logged by the next save
  EXPECT_EQ(readTextFile("results.txt"), " 1       50  100 old\n");
  EXPECT_EQ(readTextFile("enhanced.txt"), "");
}

}  // namespace
}  // namespace bench
