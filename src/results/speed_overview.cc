#include "results/speed_overview.h"

#include <algorithm>
#include <functional>
#include <unordered_map>

#include "results/relative_speed.h"

namespace bench {

namespace {

// Descriptions are interned: one pointer per text.
struct SystemHash {
  size_t operator()(const SystemId& system) const {
    return std::hash<const void*>()(system.description) ^ (static_cast<size_t>(system.clock) * 31u);
  }
};

struct SameSystem {
  bool operator()(const SystemId& a, const SystemId& b) const {
    return a.description == b.description && a.clock == b.clock;
  }
};

}  // namespace

SpeedOverview::SpeedOverview(const ResultTable& table, const std::vector<TestRecords>& tests)
    : columns_(tests.size()), fastest_(tests.size(), 0) {
  std::unordered_map<SystemId, size_t, SystemHash, SameSystem> rowOf;
  for (size_t column = 0; column < columns_; ++column) {
    for (int position : tests[column].positions) {
      const ResultRecord& record = table.record(position);
      auto [it, added] = rowOf.try_emplace(SystemId{record.description, record.clock}, rows());
      if (added) {
        systems_.push_back(it->first);
        cells_.resize(cells_.size() + columns_);
      }
      Cell& best = cells_[it->second * columns_ + column];
      if (!best.present || record.time < best.time) best = Cell{true, record.time};
    }
  }
  for (size_t row = 0; row < rows(); ++row) {
    for (size_t column = 0; column < columns_; ++column) {
      int32_t time = cell(row, column).time;
      if (time > 0 && (fastest_[column] == 0 || time < fastest_[column])) fastest_[column] = time;
    }
  }

  overall_.resize(rows());
  std::vector<SpeedRatio> ratios;
  for (size_t row = 0; row < rows(); ++row) {
    ratios.clear();
    for (size_t column = 0; column < columns_; ++column) {
      const Cell& own = cell(row, column);
      if (own.present && own.time > 0) ratios.push_back(SpeedRatio{fastest_[column], own.time});
    }
    if (!ratios.empty()) {
      overall_[row] =
          OverallSpeed{geometricMeanPermille(ratios), static_cast<int32_t>(ratios.size())};
    }
  }

  ranking_.resize(rows());
  for (size_t row = 0; row < rows(); ++row) ranking_[row] = row;
  std::sort(ranking_.begin(), ranking_.end(), [&](size_t a, size_t b) {
    const OverallSpeed& x = overall_[a];
    const OverallSpeed& y = overall_[b];
    if ((x.tests > 0) != (y.tests > 0)) return x.tests > 0;
    if (x.permille != y.permille) return x.permille > y.permille;
    if (x.tests != y.tests) return x.tests > y.tests;
    return a < b;
  });
}

}  // namespace bench
