// The evidence behind the records of a result table: for each record, the
// journal line of the run that set its time (the latest line of the same
// test, clock, description and time), or else the latest line of the same
// test, clock and description, reduced to what a listing shows beside the
// record (the build, the repetitions' spread, the noise verdict). Records
// without such a line (old tables, other people's plain result files) have
// none.
//
// Immutable once built; thread-compatible.
#ifndef BENCH_RESULTS_EVIDENCE_H_
#define BENCH_RESULTS_EVIDENCE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "results/journal.h"
#include "results/result_table.h"

namespace bench {

struct Evidence {
  std::string build;  // as entryBuildName gives it
  std::string time;   // when the line was written
  int32_t repetitions = 0;
  int32_t fastestMs = 0;
  double medianMs = 0;
  int32_t slowestMs = 0;
  bool noiseJudged = false;  // a repeated test's verdict exists
  bool busy = false;         // its repetitions said the machine was busy
};

// The evidence of one journal line.
Evidence evidenceOf(const JournalEntry& entry);

// One line of text with the facts, for a hover title: the build, the
// repetitions' count and spread in seconds, and the verdict.
std::string describeEvidence(const Evidence& evidence);

class EvidenceIndex {
 public:
  EvidenceIndex() = default;
  // Keeps, for each test, clock and description, the entry with the latest
  // time (the later line on a tie), and the same for each recorded time.
  explicit EvidenceIndex(const std::vector<JournalEntry>& entries);

  bool empty() const { return byRecord_.empty(); }

  // The evidence of `record`, or null when the journal has none.
  const Evidence* find(const ResultRecord& record) const;

 private:
  static std::string keyOf(int32_t test, int32_t clock, std::string_view description);

  struct Lines {
    Evidence latest;
    std::unordered_map<int32_t, Evidence> latestByTime;
  };
  std::unordered_map<std::string, Lines> byRecord_;
};

}  // namespace bench

#endif  // BENCH_RESULTS_EVIDENCE_H_
