// The listed systems side by side, as the web page's overview and the JSON's
// list of systems show them: every system (description and clock) that has a
// listed record, its best time on each listed test, each test's fastest
// time, and the system's overall figure, by which the systems are ordered.
//
// The overall figure of a system is the geometric mean of its speeds
// relative to the fastest system (fastest time / its time) over the listed
// tests it has a positive time for, in tenths of a percent, rounded down
// (see relative_speed.h); with it goes how many tests that is, since a mean
// over 3 tests says less than one over 24.
//
// Keeps pointers to the table's descriptions: the table must outlive it.
// Immutable once built; thread-compatible.
#ifndef BENCH_RESULTS_SPEED_OVERVIEW_H_
#define BENCH_RESULTS_SPEED_OVERVIEW_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "results/listing.h"
#include "results/result_table.h"

namespace bench {

// A system's overall figure.
struct OverallSpeed {
  int32_t permille = 0;  // meaningless when tests == 0
  int32_t tests = 0;     // the listed tests with a positive time
};

class SpeedOverview {
 public:
  // Takes the records as the listing selects them (selectTestRecords); a
  // column per listed test, in that order.
  SpeedOverview(const ResultTable& table, const std::vector<TestRecords>& tests);

  size_t rows() const { return systems_.size(); }
  size_t columns() const { return columns_; }

  // Systems are numbered in order of their first listed record.
  const SystemId& system(size_t row) const { return systems_[row]; }
  bool present(size_t row, size_t column) const { return cell(row, column).present; }
  // The system's least time on the test. REQUIRES: present(row, column)
  int32_t time(size_t row, size_t column) const { return cell(row, column).time; }
  // The least positive time of a column, or 0 when it has none.
  int32_t fastest(size_t column) const { return fastest_[column]; }
  const OverallSpeed& overall(size_t row) const { return overall_[row]; }

  // Every row, the highest overall figure first; ties: more tests first,
  // then the earlier row. Systems without a positive time come last.
  const std::vector<size_t>& ranking() const { return ranking_; }

 private:
  struct Cell {
    bool present = false;
    int32_t time = 0;
  };

  const Cell& cell(size_t row, size_t column) const { return cells_[row * columns_ + column]; }

  size_t columns_;
  std::vector<SystemId> systems_;
  std::vector<Cell> cells_;  // rows x columns
  std::vector<int32_t> fastest_;
  std::vector<OverallSpeed> overall_;
  std::vector<size_t> ranking_;
};

}  // namespace bench

#endif  // BENCH_RESULTS_SPEED_OVERVIEW_H_
