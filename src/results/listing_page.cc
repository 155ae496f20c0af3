#include "results/listing_page.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <unordered_map>

#include "results/text_escape.h"
#include "results/text_format.h"

namespace bench {

namespace {

// Speed is shown by lightness and this system by black bars, outlines and
// a tag rather than by hue alone, so that a black-and-white print keeps both.
constexpr const char* STYLE =
    "body{font:14px/1.4 system-ui,sans-serif;margin:1.5em;color:#111;background:#fff}"
    "h1{font-size:1.5em;margin:0 0 .3em}"
    "h2{font-size:1.15em;margin:1.8em 0 .4em;break-after:avoid}"
    "p{margin:.3em 0;max-width:60em}"
    "table{border-collapse:collapse}"
    "th,td{padding:1px 6px;text-align:left;vertical-align:middle}"
    "thead th{font-weight:normal;color:#444;border-bottom:1px solid #444}"
    ".num{text-align:right;white-space:nowrap;font-variant-numeric:tabular-nums}"
    ".overview{font-size:12px}"
    ".overview thead th{position:sticky;top:0;background:#fff;text-align:center}"
    ".overview thead th.sys{text-align:left}"
    ".overview tbody th{font-weight:normal;min-width:14em;max-width:26em;overflow-wrap:break-word}"
    ".overview td{border:1px solid #ccc;padding:1px 4px;text-align:right;"
    "font-variant-numeric:tabular-nums}"
    ".overview thead th{padding:1px 4px}"
    ".overview td.none{background:#fff}"
    ".bars{width:100%;max-width:75em}"
    ".bars tbody tr{border-bottom:1px solid #eee}"
    ".bars td.desc{width:40%;overflow-wrap:anywhere}"
    ".bars td.bar{width:40%;min-width:8em}"
    ".bars svg{display:block;width:100%;height:12px}"
    ".bars rect{fill:#9db3c8;stroke:#4d6780;stroke-width:1px;vector-effect:non-scaling-stroke}"
    ".bars tr.current rect{fill:#000;stroke:#000}"
    ".bars rect.busy{fill:#fff;stroke-dasharray:4 2}"
    ".bars tr.current rect.busy{fill:#777}"
    "tr.current th,tr.current td{font-weight:bold}"
    "tr.current{outline:2px solid #000;outline-offset:-1px}"
    ".tag{font-weight:normal;font-size:.85em;border:1px solid #000;border-radius:3px;"
    "padding:0 3px;margin-left:.5em;white-space:nowrap}"
    ".key{font-size:12px;color:#333;columns:2 30em;max-width:none}"
    ".key span{display:block}"
    ".empty{color:#555;font-style:italic}"
    ".note{color:#333;font-size:.9em}.note code{white-space:nowrap}"
    "@media print{body{margin:0;font-size:11px}.overview thead th{position:static}"
    "tr{break-inside:avoid}*{-webkit-print-color-adjust:exact;print-color-adjust:exact}}";

// A system as the listing identifies it: interned description and clock.
struct SystemKey {
  const char* description;
  int32_t clock;
  bool operator==(const SystemKey&) const = default;
};

struct SystemKeyHash {
  size_t operator()(const SystemKey& key) const {
    return std::hash<const void*>()(key.description) ^ (static_cast<size_t>(key.clock) * 31u);
  }
};

// True for the system a run would record (the same test as the harness uses
// to find this system's records).
bool isCurrent(const char* description, int32_t clock, const SystemId& thisSystem) {
  return clock == thisSystem.clock && std::strcmp(description, thisSystem.description) == 0;
}

// The records of one listed test, as its listing selects and orders them.
struct TestRecords {
  const ListedTest* test;
  std::vector<int> positions;
};

// The speed of `time` relative to the fastest time of its test, in percent,
// rounded down so that only the fastest system shows 100; exact for every
// pair of positive 32-bit times.
int relativePercent(int32_t fastest, int32_t time) {
  return static_cast<int>(static_cast<int64_t>(fastest) * 100 / time);
}

// The overview: every system that has a listed record, in order of first
// appearance, with its best time per listed test.
class Overview {
 public:
  Overview(const ResultTable& table, const std::vector<TestRecords>& tests)
      : columns_(tests.size()) {
    for (size_t column = 0; column < tests.size(); ++column) {
      for (int position : tests[column].positions) {
        const ResultRecord& record = table.record(position);
        int row = rowOf(SystemKey{record.description, record.clock});
        Cell& cell = cells_[row * columns_ + column];
        if (!cell.present || record.time < cell.time) cell = Cell{true, record.time};
      }
    }
    fastest_.resize(columns_);
    for (size_t column = 0; column < columns_; ++column) {
      int32_t best = 0;
      for (size_t row = 0; row < rows(); ++row) {
        const Cell& cell = cells_[row * columns_ + column];
        if (cell.present && cell.time > 0 && (best == 0 || cell.time < best)) best = cell.time;
      }
      fastest_[column] = best;
    }
  }

  size_t rows() const { return systems_.size(); }
  size_t columns() const { return columns_; }
  const SystemKey& system(size_t row) const { return systems_[row]; }
  bool present(size_t row, size_t column) const { return cells_[row * columns_ + column].present; }
  int32_t time(size_t row, size_t column) const { return cells_[row * columns_ + column].time; }

  // The least positive time of a column, or 0 when it has none.
  int32_t fastest(size_t column) const { return fastest_[column]; }

  // How fast a system is over all listed tests: the sum of its speeds
  // relative to each test's fastest system, in millionths (a missing result
  // adds nothing), in exact integer arithmetic.
  int64_t overallSpeed(size_t row) const {
    int64_t sum = 0;
    for (size_t column = 0; column < columns_; ++column) {
      const Cell& cell = cells_[row * columns_ + column];
      if (cell.present && cell.time > 0 && fastest_[column] > 0) {
        sum += static_cast<int64_t>(fastest_[column]) * 1000000 / cell.time;
      }
    }
    return sum;
  }

 private:
  struct Cell {
    bool present = false;
    int32_t time = 0;
  };

  int rowOf(const SystemKey& key) {
    auto [it, added] = rowIndex_.emplace(key, static_cast<int>(systems_.size()));
    if (added) {
      systems_.push_back(key);
      cells_.resize(cells_.size() + columns_);
    }
    return it->second;
  }

  size_t columns_;
  std::vector<SystemKey> systems_;
  std::vector<Cell> cells_;  // rows x columns
  std::vector<int32_t> fastest_;
  std::unordered_map<SystemKey, int, SystemKeyHash> rowIndex_;
};

// Keeps, of `candidates`, the `limit` that `first` puts first (ties: the
// earlier candidate) and those that `alwaysShown` accepts, in their order.
template <typename First, typename AlwaysShown>
std::vector<int> keepFirst(const std::vector<int>& candidates, size_t limit, First first,
                           AlwaysShown alwaysShown) {
  if (candidates.size() <= limit) return candidates;
  std::vector<size_t> ranked(candidates.size());
  for (size_t i = 0; i < ranked.size(); ++i) ranked[i] = i;
  auto before = [&](size_t a, size_t b) {
    if (first(candidates[a], candidates[b])) return true;
    if (first(candidates[b], candidates[a])) return false;
    return a < b;
  };
  std::nth_element(ranked.begin(), ranked.begin() + static_cast<std::ptrdiff_t>(limit),
                   ranked.end(), before);
  std::vector<bool> kept(candidates.size(), false);
  for (size_t i = 0; i < limit; ++i) kept[ranked[i]] = true;
  std::vector<int> shown;
  for (size_t i = 0; i < candidates.size(); ++i) {
    if (kept[i] || alwaysShown(candidates[i])) shown.push_back(candidates[i]);
  }
  return shown;
}

// The note above rows that were cut to `limit`: which are shown, how many
// are left out, and how to see others.
void appendLeftOutNote(std::string* out, size_t shown, size_t all, size_t limit, const char* what,
                       const char* rule) {
  appendFormat(out,
               "<p class=\"note\">Shown: the %d %s %s%s; %d of %d are left out. "
               "<code>bench -lh -r &lt;reg-exp&gt;</code> selects systems by their "
               "description.</p>",
               static_cast<int>(limit), what, rule, shown > limit ? ", and this system" : "",
               static_cast<int>(all - shown), static_cast<int>(all));
}

void appendCurrentTag(std::string* out) { *out += "<span class=\"tag\">this system</span>"; }

// A result whose repetitions disagreed: the bar is drawn hollow and dashed,
// and the row says so in words, which survive a black-and-white print.
void appendBusyTag(std::string* out) {
  *out += "<span class=\"tag\" title=\"its repetitions disagreed\">busy</span>";
}

void appendOverview(DocumentWriter* writer, const Overview& overview,
                    const std::vector<TestRecords>& tests, const SystemId& thisSystem) {
  std::string* out = writer->text();
  *out +=
      "<section id=\"overview\">"
      "<h2>Overview: speed relative to the fastest system, in percent</h2>";
  if (overview.rows() == 0) {
    *out += "<p class=\"empty\">No results to compare.</p></section>";
    return;
  }
  *out +=
      "<p>Each cell is the fastest time of a test divided by the system's time: 100 is the "
      "fastest system of that test, 50 took twice as long. Darker cells are faster; an empty "
      "cell means no result.</p>";
  std::vector<int> rows(overview.rows());
  for (size_t row = 0; row < rows.size(); ++row) rows[row] = static_cast<int>(row);
  std::vector<int64_t> speed(rows.size());
  for (size_t row = 0; row < rows.size(); ++row) speed[row] = overview.overallSpeed(row);
  std::vector<int> shown = keepFirst(
      rows, PAGE_OVERVIEW_SYSTEMS, [&](int a, int b) { return speed[a] > speed[b]; },
      [&](int row) {
        const SystemKey& system = overview.system(static_cast<size_t>(row));
        return isCurrent(system.description, system.clock, thisSystem);
      });
  if (shown.size() < rows.size()) {
    appendLeftOutNote(out, shown.size(), rows.size(), PAGE_OVERVIEW_SYSTEMS, "systems",
                      "with the highest sum of these figures over the listed tests");
  }
  *out +=
      "<table class=\"overview\"><thead><tr><th class=\"sys\" scope=\"col\">System</th>"
      "<th scope=\"col\" class=\"num\">MHz</th>";
  for (const TestRecords& test : tests) {
    int number = test.test->number;
    appendFormat(out, "<th scope=\"col\"><a href=\"#test-%d\" title=\"%d: ", number, number);
    appendHtmlText(out, bareTitle(test.test->title));
    appendFormat(out, "\">%d</a></th>", number);
  }
  *out += "</tr></thead><tbody>";
  for (int shownRow : shown) {
    size_t row = static_cast<size_t>(shownRow);
    const SystemKey& system = overview.system(row);
    bool current = isCurrent(system.description, system.clock, thisSystem);
    *out += current ? "<tr class=\"current\"><th scope=\"row\">" : "<tr><th scope=\"row\">";
    appendHtmlText(out, system.description);
    if (current) appendCurrentTag(out);
    appendFormat(out, "</th><td class=\"num\">%d</td>", system.clock);
    for (size_t column = 0; column < overview.columns(); ++column) {
      if (!overview.present(row, column)) {
        *out += "<td class=\"none\"></td>";
        continue;
      }
      int32_t time = overview.time(row, column);
      int32_t fastest = overview.fastest(column);
      if (time <= 0 || fastest <= 0) {
        appendFormat(out, "<td title=\"%.2f s\">?</td>", time * 0.001);
        continue;
      }
      int percent = relativePercent(fastest, time);
      // Lightness from 97% (slowest) to 55% (fastest): black text reads on
      // both, and the order of shades survives a black-and-white print.
      appendFormat(out, "<td style=\"background:hsl(210,45%%,%d%%)\" title=\"%.2f s\">",
                   97 - percent * 42 / 100, time * 0.001);
      // A bare 0 would read as "no speed at all".
      if (percent == 0) {
        *out += "&lt;1</td>";
      } else {
        appendFormat(out, "%d</td>", percent);
      }
    }
    *out += "</tr>";
    writer->endPiece();
  }
  *out += "</tbody></table><p class=\"key\">";
  for (const TestRecords& test : tests) {
    appendFormat(out, "<span>%d: ", test.test->number);
    appendHtmlText(out, bareTitle(test.test->title));
    *out += "</span>";
  }
  *out += "</p></section>";
}

void appendTestSection(DocumentWriter* writer, const ResultTable& table, const TestRecords& test,
                       const ListingOptions& options, const SystemId& thisSystem,
                       const EvidenceIndex* evidence) {
  std::string* out = writer->text();
  appendFormat(out, "<section class=\"test\" id=\"test-%d\"><h2>%d: ", test.test->number,
               test.test->number);
  appendHtmlText(out, bareTitle(test.test->title));
  *out += "</h2>";
  if (test.positions.empty()) {
    *out += "<p class=\"empty\">No results.</p></section>";
    return;
  }
  // The fastest by the key of the listing's order: the least time (also
  // when unsorted), the least ref, or the highest clock.
  SortKey key = options.sortResults ? options.sortKey : SortKey::TIME;
  std::vector<int> shown = keepFirst(
      test.positions, PAGE_SECTION_ROWS,
      [&](int a, int b) {
        return compareRecords(table.record(a), table.record(b), key, key != SortKey::CLOCK) < 0;
      },
      [&](int position) {
        const ResultRecord& record = table.record(position);
        return isCurrent(record.description, record.clock, thisSystem);
      });
  if (shown.size() < test.positions.size()) {
    const char* rule = key == SortKey::TIME  ? "with the least time"
                       : key == SortKey::REF ? "with the least ref"
                                             : "with the highest clock";
    appendLeftOutNote(out, shown.size(), test.positions.size(), PAGE_SECTION_ROWS, "results", rule);
  }
  int32_t longest = 0;
  for (int position : shown) longest = std::max(longest, table.record(position).time);
  appendFormat(out,
               "<table class=\"bars\"><thead><tr><th scope=\"col\">System</th>"
               "<th scope=\"col\" class=\"num\">MHz</th><th scope=\"col\" class=\"num\">Time</th>"
               "<th scope=\"col\" class=\"num\">Ref</th>"
               "<th scope=\"col\">Time, 0 to %.2f s (shorter is faster)</th></tr></thead><tbody>",
               longest * 0.001);
  for (int position : shown) {
    const ResultRecord& record = table.record(position);
    bool current = isCurrent(record.description, record.clock, thisSystem);
    *out += current ? "<tr class=\"current\"><td class=\"desc\">" : "<tr><td class=\"desc\">";
    appendHtmlText(out, record.description);
    if (current) appendCurrentTag(out);
    const Evidence* facts = evidence != nullptr ? evidence->find(record) : nullptr;
    const bool busy = facts != nullptr && facts->busy;
    if (busy) appendBusyTag(out);
    double length = record.time > 0 && longest > 0 ? 1000.0 * record.time / longest : 0.0;
    appendFormat(out,
                 "</td><td class=\"num\">%d</td><td class=\"num\">%.2f s</td>"
                 "<td class=\"num\">%.2f</td><td class=\"bar\">"
                 "<svg viewBox=\"0 0 1000 12\" preserveAspectRatio=\"none\">",
                 record.clock, record.time * 0.001, refValue(record.time, record.clock));
    if (facts != nullptr) {
      *out += "<title>";
      appendHtmlText(out, describeEvidence(*facts));
      *out += "</title>";
    }
    appendFormat(out,
                 "<rect class=\"bar%s\" x=\"0\" y=\"1\" height=\"10\" width=\"%.1f\"/>"
                 "</svg></td></tr>",
                 busy ? " busy" : "", length);
    writer->endPiece();
  }
  *out += "</tbody></table></section>";
}

}  // namespace

void writeListingPage(DocumentWriter* writer, const ResultTable& table,
                      const std::vector<ListedTest>& tests, const ListingOptions& options,
                      const SystemId& thisSystem, const EvidenceIndex* evidence) {
  std::vector<TestRecords> selected;
  selected.reserve(tests.size());
  for (const ListedTest& test : tests) {
    selected.push_back(TestRecords{&test, selectRecords(table, test.number, options)});
  }
  Overview overview(table, selected);

  std::string* out = writer->text();
  *out +=
      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
      "<title>Result table</title><style>";
  *out += STYLE;
  *out += "</style></head><body><h1>Result table</h1><p>This system: <b>";
  appendHtmlText(out, thisSystem.description);
  appendFormat(out,
               "</b>, %d MHz (highlighted). Times in seconds; ref is the time multiplied by the "
               "clock in GHz.</p>",
               thisSystem.clock);
  if (tests.empty()) *out += "<p class=\"empty\">No tests selected.</p>";
  appendOverview(writer, overview, selected, thisSystem);
  for (const TestRecords& test : selected) {
    appendTestSection(writer, table, test, options, thisSystem, evidence);
  }
  *out += "</body></html>\n";
}

}  // namespace bench
