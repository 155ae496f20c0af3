// Journals cross systems: every build reads the journals the others wrote
// (fixtures written by the Linux x86-64 build, by bench.exe under Wine and by
// the ARM64 build under qemu), and writes lines with the same members, so
// that tables and their evidence can be exchanged whatever the build.
#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <string>
#include <thread>

#include "cli/bench_runner.h"
#include "results/journal.h"
#include "results/json_value.h"
#include "support/test_support.h"

namespace bench::testing {
namespace {

const char* const FIXTURES[] = {"journal_linux.jsonl", "journal_windows.jsonl",
                                "journal_arm64.jsonl"};

// The member names of a JSON value, as paths ("system.clock_mhz").
void collectPaths(const JsonValue& value, const std::string& prefix, std::set<std::string>* out) {
  for (const auto& [name, member] : value.members()) {
    std::string path = prefix.empty() ? name : prefix + "." + name;
    out->insert(path);
    collectPaths(member, path, out);
  }
}

std::set<std::string> pathsOfFirstLine(const std::string& text) {
  std::set<std::string> paths;
  JsonValue line;
  std::string error;
  EXPECT_TRUE(JsonValue::parse(text.substr(0, text.find('\n')), &line, &error)) << error;
  collectPaths(line, "", &paths);
  return paths;
}

TEST(JournalExchangeCli, EveryBuildReadsTheOthersJournals) {
  ScopedTempDir dir;
  for (const char* fixture : FIXTURES) {
    BenchRun merge = runBench({"-b", "-m", fixturePath(fixture)});
    EXPECT_EQ(merge.status, 0) << fixture << ": " << merge.err;
    EXPECT_EQ(merge.err.find("Skipping"), std::string::npos) << fixture << ": " << merge.err;
  }
  std::string table = readTextFile("results.txt");
  for (const char* writer : {"linux x86-64", "windows x86-64", "linux arm64"}) {
    EXPECT_NE(table.find(std::string("1000 Written by ") + writer + "\n"), std::string::npos)
        << writer << "\n"
        << table;
  }
  JournalRead read = readJournal(JOURNAL_FILE);
  EXPECT_EQ(read.entries.size(), 3u);
}

// A line this build writes has the members of the fixtures' lines.
TEST(JournalExchangeCli, EveryBuildWritesTheSameMembers) {
  ScopedTempDir dir;
  int child = startBench({"-b", "-i", "9", "-c", "1000", "Exchange box"});
  ASSERT_GT(child, 0);
  // The line is written before the pause, which the kill then cuts short.
  std::string journal;
  for (int i = 0; i < 30000 && journal.find('\n') == std::string::npos; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    journal = readFile(JOURNAL_FILE);
  }
  killBench(child);
  ASSERT_NE(journal.find('\n'), std::string::npos) << "no journal line";
  const std::set<std::string> written = pathsOfFirstLine(journal);
  for (const char* fixture : FIXTURES) {
    EXPECT_EQ(pathsOfFirstLine(readFile(fixturePath(fixture))), written) << fixture;
  }
}

}  // namespace
}  // namespace bench::testing
