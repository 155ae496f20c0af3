// The real binary killed (SIGKILL, TerminateProcess) at random moments of a run (during a
// test, around its save, during the pause) leaves a result table that loads
// completely with every result saved before the kill, an enhanced.txt
// without a partial line, and a journal whose lines all parse but for a
// last one cut short.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "cli/bench_runner.h"
#include "results/journal.h"
#include "results/result_table.h"
#include "support/test_support.h"

namespace bench::testing {
namespace {

bool waitForText(const char* file, const std::string& text) {
  for (int i = 0; i < 12000; ++i) {
    if (readFile(file).find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST(CrashCli, KilledAtRandomMomentsKeepsEverySavedResult) {
  ScopedTempDir dir;
  const std::string earlier = " 1    20000 3000 Saved earlier\n 9      500 3000 Saved earlier\n";
  writeFile("results.txt", earlier);
  std::mt19937 random(2026);
  for (int round = 0; round < 8; ++round) {
    // A new system every round, so every finished test is saved.
    std::string description = "Killed box " + std::to_string(round);
    int child = startBench({"-b", "-c", "1000", description, "-i", "9"});
    ASSERT_GT(child, 0);
    bool inPause = round % 2 == 1;
    if (inPause) {
      // Kill once the result is saved, during the 20-second pause.
      ASSERT_TRUE(waitForText("results.txt", description)) << "round " << round;
      std::this_thread::sleep_for(std::chrono::milliseconds(random() % 200));
    } else {
      // Kill during the test or around its save.
      std::this_thread::sleep_for(std::chrono::milliseconds(random() % 600));
    }
    killBench(child);

    std::string table = readTextFile("results.txt");
    ASSERT_EQ(table.substr(0, earlier.size()), earlier) << "round " << round;
    ResultTable loaded;
    ASSERT_TRUE(loaded.loadResults("results.txt"));
    std::string reformatted;
    for (int i = 0; i < loaded.count(); ++i) reformatted += formatRecordLine(loaded.record(i));
    EXPECT_EQ(reformatted, table) << "a line of results.txt is not a whole record";
    if (inPause) {
      EXPECT_NE(table.find(description), std::string::npos) << "round " << round;
    }

    std::string enhanced = readFile("enhanced.txt");
    EXPECT_TRUE(enhanced.empty() || enhanced.back() == '\n') << "partial line in enhanced.txt";

    // Every whole line of the journal parses; a kill may cut only the last.
    std::string journal = readFile(JOURNAL_FILE);
    size_t wholeLines = 0;
    for (size_t start = 0, end; (end = journal.find('\n', start)) != std::string::npos;
         start = end + 1) {
      JournalEntry entry;
      std::string error;
      EXPECT_TRUE(parseJournalLine(journal.substr(start, end - start), &entry, &error))
          << "round " << round << ": " << error;
      ++wholeLines;
    }
    if (inPause) {
      EXPECT_GE(wholeLines, 1u) << "the result's line is written before the pause";
    }
  }
}

}  // namespace
}  // namespace bench::testing
