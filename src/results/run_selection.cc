#include "results/run_selection.h"

#include <algorithm>

namespace bench {

JournalSystem systemOf(const JournalEntry& entry) {
  return JournalSystem{entry.description, entry.clock};
}

std::vector<JournalSystem> systemsIn(const std::vector<JournalEntry>& entries,
                                     const std::function<bool(const JournalEntry&)>& accepts) {
  std::vector<JournalSystem> systems;
  for (const JournalEntry& entry : entries) {
    if (!accepts(entry)) continue;
    JournalSystem system = systemOf(entry);
    if (std::find(systems.begin(), systems.end(), system) == systems.end()) {
      systems.push_back(std::move(system));
    }
  }
  return systems;
}

RunsByTest latestRuns(const std::vector<JournalEntry>& entries, const JournalSystem& system) {
  RunsByTest latest;
  for (const JournalEntry& entry : entries) {
    if (entry.clock != system.clock || entry.description != system.description) continue;
    // In file order, so a later line with an equal time wins.
    const JournalEntry*& kept = latest[entry.test];
    if (kept == nullptr || entry.time >= kept->time) kept = &entry;
  }
  return latest;
}

RunsByTest runsBefore(const std::vector<JournalEntry>& entries, const RunsByTest& latest) {
  RunsByTest before;
  for (const JournalEntry& entry : entries) {
    auto found = latest.find(entry.test);
    if (found == latest.end()) continue;
    const JournalEntry& last = *found->second;
    if (&entry == &last || entry.clock != last.clock || entry.description != last.description) {
      continue;
    }
    if (entry.time >= last.time && entry.runId == last.runId) continue;  // the same run
    const JournalEntry*& kept = before[entry.test];
    if (kept == nullptr || entry.time >= kept->time) kept = &entry;
  }
  return before;
}

}  // namespace bench
