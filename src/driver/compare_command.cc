#include "driver/compare_command.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "driver/catalogue.h"
#include "results/comparison.h"
#include "results/comparison_json.h"
#include "results/comparison_text.h"
#include "results/document_writer.h"
#include "results/filter.h"
#include "results/journal.h"
#include "results/run_selection.h"
#include "results/text_format.h"

namespace bench {

namespace {

using Acceptor = std::function<bool(const JournalEntry&)>;

// Reads the journal `fileName` and keeps the lines of the tests in
// `testMask`. Returns false, with one line on standard error, when the
// file cannot be read.
bool readSide(const char* fileName, uint32_t testMask, std::vector<JournalEntry>* entries) {
  JournalRead read = readJournal(fileName);
  if (!read.readable) {
    std::fprintf(stderr, "Cannot read the journal \"%s\": %s\n", fileName,
                 std::strerror(read.error));
    return false;
  }
  for (JournalEntry& entry : read.entries) {
    if (entry.test >= 1 && entry.test <= TEST_COUNT && (testMask & testBit(entry.test)) != 0) {
      entries->push_back(std::move(entry));
    }
  }
  return true;
}

// The one system of `entries` that `accepts`. Returns false, saying why on
// standard error, when there is none (`none` names what was looked for) or
// there are several (each is named).
bool pickSystem(const std::vector<JournalEntry>& entries, const char* fileName,
                const Acceptor& accepts, const std::string& none, JournalSystem* system) {
  const std::vector<JournalSystem> systems = systemsIn(entries, accepts);
  if (systems.empty()) {
    std::fprintf(stderr, "No runs of %s in \"%s\".\n", none.c_str(), fileName);
    return false;
  }
  if (systems.size() > 1) {
    std::fprintf(stderr, "\"%s\" holds runs of %zu systems; choose one with -r <reg-exp>:\n",
                 fileName, systems.size());
    for (const JournalSystem& each : systems) {
      std::fprintf(stderr, "  \"%s\" (%d MHz)\n", each.description.c_str(), each.clock);
    }
    return false;
  }
  *system = systems.front();
  return true;
}

}  // namespace

int runComparison(const ComparisonRequest& request, const SystemId& thisSystem,
                  const ListingOptions& options, uint32_t testMask) {
  if (request.againstJournal && request.journal == nullptr) {
    std::fprintf(stderr, "-lv needs the journal to compare with: bench -lv <journal>\n");
    return 1;
  }
  const bool filtered = options.systemFilter != nullptr;
  const Acceptor byFilter = [&options](const JournalEntry& entry) {
    return filterAccepts(options, entry.description.c_str());
  };
  const std::string filterWords = "a system that -r accepts";

  ComparedSides sides;
  sides.nowJournal = JOURNAL_FILE;
  std::vector<JournalEntry> here;
  if (!readSide(JOURNAL_FILE, testMask, &here)) return 1;
  const Acceptor isThisSystem = [&thisSystem](const JournalEntry& entry) {
    return entry.clock == thisSystem.clock && entry.description == thisSystem.description;
  };
  std::string thisSystemWords;
  appendFormat(&thisSystemWords, "\"%s\" (%d MHz)", thisSystem.description, thisSystem.clock);
  if (!pickSystem(here, JOURNAL_FILE, filtered ? byFilter : isThisSystem,
                  filtered ? filterWords : thisSystemWords, &sides.nowSystem)) {
    return 1;
  }
  const RunsByTest now = latestRuns(here, sides.nowSystem);

  std::vector<JournalEntry> other;
  RunsByTest before;
  if (request.againstJournal) {
    sides.beforeJournal = request.journal;
    if (!readSide(request.journal, testMask, &other)) return 1;
    const Acceptor any = [](const JournalEntry&) { return true; };
    if (!pickSystem(other, request.journal, filtered ? byFilter : any,
                    filtered ? filterWords : "any system", &sides.beforeSystem)) {
      return 1;
    }
    before = latestRuns(other, sides.beforeSystem);
  } else {
    sides.oneJournal = true;
    sides.beforeJournal = JOURNAL_FILE;
    sides.beforeSystem = sides.nowSystem;
    before = runsBefore(here, now);
  }

  const Comparison comparison = compareSides(before, now);
  DocumentWriter out(stdout);
  if (request.json) {
    appendComparisonJson(out.text(), sides, comparison);
  } else {
    appendComparisonText(out.text(), sides, comparison);
  }
  if (!out.finish()) {
    std::fprintf(stderr, "Cannot write the comparison: %s\n", std::strerror(out.error()));
    return 1;
  }
  if (comparison.tests.empty()) {
    std::fprintf(stderr, "Nothing to compare: no test has %s.\n",
                 sides.oneJournal ? "an earlier run of this system" : "runs on both sides");
    return 1;
  }
  return 0;
}

}  // namespace bench
