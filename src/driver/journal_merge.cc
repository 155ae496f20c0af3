#include "driver/journal_merge.h"

#include <cstdio>
#include <set>
#include <string>
#include <utility>

namespace bench {

bool loadJournalRecords(ResultTable& table, const char* fileName,
                        std::vector<JournalEntry>* entries) {
  JournalRead read = readJournal(fileName);
  if (!read.opened) return false;
  for (const JournalEntry& entry : read.entries) {
    table.append(entry.description, entry.clock, entry.test, entry.timeMs, false);
  }
  *entries = std::move(read.entries);
  return true;
}

void copyJournalLines(const std::vector<JournalEntry>& entries, const char* localFileName) {
  std::set<std::pair<std::string, int32_t>> present;
  for (const JournalEntry& entry : readJournal(localFileName).entries) {
    present.emplace(entry.runId, entry.test);
  }
  std::string lines;
  int copied = 0;
  for (const JournalEntry& entry : entries) {
    if (!present.emplace(entry.runId, entry.test).second) continue;
    lines += entry.line;
    lines += '\n';
    ++copied;
  }
  if (copied == 0) return;
  std::string failure;
  if (!appendJournalLines(localFileName, lines, &failure)) {
    std::fprintf(stderr, "Cannot add the merged lines to the journal: %s\n", failure.c_str());
  }
}

}  // namespace bench
