#include "driver/journal_merge.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <utility>

namespace bench {

bool loadJournalRecords(ResultTable& table, const char* fileName,
                        std::vector<JournalEntry>* entries) {
  JournalRead read = readJournal(fileName);
  if (!read.readable) return false;
  for (const JournalEntry& entry : read.entries) {
    table.append(entry.description, entry.clock, entry.test, entry.timeMs, false);
  }
  *entries = std::move(read.entries);
  return true;
}

void copyJournalLines(const std::vector<JournalEntry>& entries, const char* localFileName) {
  // Lines already there are not copied again, so a local journal that
  // cannot be read whole is left alone rather than given duplicates.
  const JournalRead local = readJournal(localFileName);
  if (!local.readable && local.error != ENOENT) {
    std::fprintf(stderr, "Cannot add the merged lines to the journal: cannot read \"%s\": %s\n",
                 localFileName, std::strerror(local.error));
    return;
  }
  std::set<std::pair<std::string, int32_t>> present;
  for (const JournalEntry& entry : local.entries) present.emplace(entry.runId, entry.test);
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
