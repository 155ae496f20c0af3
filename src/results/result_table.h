// The result table: the best time of every (system, test) pair, loaded from
// and saved to the shared result file, grown by the harness and by merging.
//
// A system is identified by (description, clock). Equal descriptions share
// one interned text, so two records have equal descriptions exactly when
// their `description` pointers are equal. Texts live as long as the table.
// Used by the main thread only.
#ifndef BENCH_RESULTS_RESULT_TABLE_H_
#define BENCH_RESULTS_RESULT_TABLE_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace bench {

struct ResultRecord {
  const char* description;  // interned text
  int32_t clock;            // MHz
  int32_t test;             // test number (any positive number from files)
  int32_t time;             // best time in milliseconds
  bool enhanced;            // new or improved, not yet written to enhanced.txt
};

class ResultTable {
 public:
  ResultTable() = default;
  ResultTable(const ResultTable&) = delete;
  ResultTable& operator=(const ResultTable&) = delete;
  ResultTable(ResultTable&&) = default;
  ResultTable& operator=(ResultTable&&) = default;

  int count() const { return static_cast<int>(records_.size()); }
  const ResultRecord& record(int index) const { return records_[static_cast<size_t>(index)]; }
  ResultRecord& record(int index) { return records_[static_cast<size_t>(index)]; }

  bool dirty() const { return dirty_; }
  void markDirty() { dirty_ = true; }
  int enhancedCount() const { return enhancedCount_; }

  // Returns the shared text equal to `text` byte for byte, or a new copy of
  // it that lives as long as the table.
  const char* internDescription(std::string_view text);

  // Appends a record (its description is interned here). The storage grows
  // geometrically, so a table of a million records loads in linear time.
  void append(std::string_view description, int32_t clock, int32_t test, int32_t time,
              bool enhanced);

  // The least time of the records of `test` by the system (`description`,
  // `clock`), or 0 when it has none.
  int32_t bestTime(int32_t test, const char* description, int32_t clock) const;

  // Appends the records of a result file. Reading stops silently at the
  // first line that is not a record. Returns false when the file cannot be
  // opened (the table is then unchanged) or a read fails part way (the
  // records read before stay); errno says why, ENOENT when the file does not
  // exist. A file that exists but could not be read whole is never replaced
  // by this table: every later saveResults() fails, since the save would
  // drop the records that could not be read.
  bool loadResults(const char* fileName);

  // Writes the table to results.txt and appends every new or improved record
  // to enhanced.txt. Returns false without touching any file when the table
  // is not dirty, and false when a file cannot be opened or written or a
  // load failed as above: then results.txt keeps its previous contents whole
  // and the table stays dirty, so the next save tries again. results.txt is
  // replaced atomically.
  bool saveResults();

  // Why the last saveResults() that found the table dirty failed, such as
  // `cannot write "results.txt": No space left on device`; empty after a
  // successful save.
  const std::string& saveFailure() const { return saveFailure_; }

  // Collapses records of the same test, clock and description into the
  // first of them, which keeps the least time; counts strict improvements in
  // enhancedCount(). Sets the dirty flag.
  // REQUIRES: every enhanced flag is clear (right after loading).
  void mergeDuplicates();

 private:
  // Makes every later save fail: `fileName` exists but could not be read
  // whole (errno says why).
  void refuseToReplace(const char* fileName);

  std::vector<ResultRecord> records_;
  bool dirty_ = false;
  int enhancedCount_ = 0;
  std::string saveFailure_;
  // Set when a file that exists could not be read whole; why, for saveFailure().
  std::string unreadFile_;
  // Owns every description text; the set finds a text by its contents.
  std::vector<std::unique_ptr<char[]>> texts_;
  std::unordered_set<std::string_view> textIndex_;
};

// Formats one record as a line of a result file: "%2d %8d %4d %s\n".
std::string formatRecordLine(const ResultRecord& record);

// `text` with each "\n" replaced by this system's line end, as the result
// files and the per-test logs hold it: they are written in binary mode, so
// the runtime adds no carriage return.
std::string withFileLineEnds(std::string_view text);

}  // namespace bench

#endif  // BENCH_RESULTS_RESULT_TABLE_H_
