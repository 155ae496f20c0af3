#include "results/listing_page.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <functional>
#include <unordered_map>

#include "results/text_escape.h"

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
    "tr.current th,tr.current td{font-weight:bold}"
    "tr.current{outline:2px solid #000;outline-offset:-1px}"
    ".tag{font-weight:normal;font-size:.85em;border:1px solid #000;border-radius:3px;"
    "padding:0 3px;margin-left:.5em;white-space:nowrap}"
    ".key{font-size:12px;color:#333;columns:2 30em;max-width:none}"
    ".key span{display:block}"
    ".empty{color:#555;font-style:italic}"
    "@media print{body{margin:0;font-size:11px}.overview thead th{position:static}"
    "tr{break-inside:avoid}*{-webkit-print-color-adjust:exact;print-color-adjust:exact}}";

void appendFormat(std::string* out, const char* format, ...) __attribute__((format(printf, 2, 3)));

void appendFormat(std::string* out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  char buffer[512];
  int length = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  if (length >= static_cast<int>(sizeof buffer)) {
    size_t start = out->size();
    out->resize(start + length + 1);
    std::vsnprintf(out->data() + start, length + 1, format, again);
    out->resize(start + length);
  } else if (length > 0) {
    out->append(buffer, length);
  }
  va_end(again);
}

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
  }

  size_t rows() const { return systems_.size(); }
  const SystemKey& system(size_t row) const { return systems_[row]; }
  bool present(size_t row, size_t column) const { return cells_[row * columns_ + column].present; }
  int32_t time(size_t row, size_t column) const { return cells_[row * columns_ + column].time; }

  // The least positive time of a column, or 0 when it has none.
  int32_t fastest(size_t column) const {
    int32_t best = 0;
    for (size_t row = 0; row < rows(); ++row) {
      const Cell& cell = cells_[row * columns_ + column];
      if (cell.present && cell.time > 0 && (best == 0 || cell.time < best)) best = cell.time;
    }
    return best;
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
  std::unordered_map<SystemKey, int, SystemKeyHash> rowIndex_;
};

void appendCurrentTag(std::string* out) { *out += "<span class=\"tag\">this system</span>"; }

void appendOverview(std::string* out, const Overview& overview,
                    const std::vector<TestRecords>& tests, const SystemId& thisSystem) {
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
  *out +=
      "<table class=\"overview\"><thead><tr><th class=\"sys\" scope=\"col\">System</th>"
      "<th scope=\"col\" class=\"num\">MHz</th>";
  std::vector<int32_t> fastest(tests.size());
  for (size_t column = 0; column < tests.size(); ++column) {
    fastest[column] = overview.fastest(column);
    int number = tests[column].test->number;
    appendFormat(out, "<th scope=\"col\"><a href=\"#test-%d\" title=\"%d: ", number, number);
    appendHtmlText(out, bareTitle(tests[column].test->title));
    appendFormat(out, "\">%d</a></th>", number);
  }
  *out += "</tr></thead><tbody>";
  for (size_t row = 0; row < overview.rows(); ++row) {
    const SystemKey& system = overview.system(row);
    bool current = isCurrent(system.description, system.clock, thisSystem);
    *out += current ? "<tr class=\"current\"><th scope=\"row\">" : "<tr><th scope=\"row\">";
    appendHtmlText(out, system.description);
    if (current) appendCurrentTag(out);
    appendFormat(out, "</th><td class=\"num\">%d</td>", system.clock);
    for (size_t column = 0; column < tests.size(); ++column) {
      if (!overview.present(row, column)) {
        *out += "<td class=\"none\"></td>";
        continue;
      }
      int32_t time = overview.time(row, column);
      if (time <= 0 || fastest[column] <= 0) {
        appendFormat(out, "<td title=\"%.2f s\">?</td>", time * 0.001);
        continue;
      }
      // Rounded down, so that only the fastest system shows 100.
      double share = static_cast<double>(fastest[column]) / time;
      int percent = static_cast<int>(std::floor(share * 100.0));
      // Lightness from 97% (slowest) to 55% (fastest): black text reads on
      // both, and the order of shades survives a black-and-white print.
      double lightness = 97.0 - 42.0 * share;
      appendFormat(out, "<td style=\"background:hsl(210,45%%,%.0f%%)\" title=\"%.2f s\">",
                   lightness, time * 0.001);
      // A bare 0 would read as "no speed at all".
      if (percent == 0) {
        *out += "&lt;1</td>";
      } else {
        appendFormat(out, "%d</td>", percent);
      }
    }
    *out += "</tr>";
  }
  *out += "</tbody></table><p class=\"key\">";
  for (const TestRecords& test : tests) {
    appendFormat(out, "<span>%d: ", test.test->number);
    appendHtmlText(out, bareTitle(test.test->title));
    *out += "</span>";
  }
  *out += "</p></section>";
}

void appendTestSection(std::string* out, const ResultTable& table, const TestRecords& test,
                       const SystemId& thisSystem) {
  appendFormat(out, "<section class=\"test\" id=\"test-%d\"><h2>%d: ", test.test->number,
               test.test->number);
  appendHtmlText(out, bareTitle(test.test->title));
  *out += "</h2>";
  if (test.positions.empty()) {
    *out += "<p class=\"empty\">No results.</p></section>";
    return;
  }
  int32_t longest = 0;
  for (int position : test.positions) longest = std::max(longest, table.record(position).time);
  appendFormat(out,
               "<table class=\"bars\"><thead><tr><th scope=\"col\">System</th>"
               "<th scope=\"col\" class=\"num\">MHz</th><th scope=\"col\" class=\"num\">Time</th>"
               "<th scope=\"col\" class=\"num\">Ref</th>"
               "<th scope=\"col\">Time, 0 to %.2f s (shorter is faster)</th></tr></thead><tbody>",
               longest * 0.001);
  for (int position : test.positions) {
    const ResultRecord& record = table.record(position);
    bool current = isCurrent(record.description, record.clock, thisSystem);
    *out += current ? "<tr class=\"current\"><td class=\"desc\">" : "<tr><td class=\"desc\">";
    appendHtmlText(out, record.description);
    if (current) appendCurrentTag(out);
    double length = record.time > 0 && longest > 0 ? 1000.0 * record.time / longest : 0.0;
    appendFormat(
        out,
        "</td><td class=\"num\">%d</td><td class=\"num\">%.2f s</td>"
        "<td class=\"num\">%.2f</td><td class=\"bar\">"
        "<svg viewBox=\"0 0 1000 12\" preserveAspectRatio=\"none\" aria-hidden=\"true\">"
        "<rect class=\"bar\" x=\"0\" y=\"1\" height=\"10\" width=\"%.1f\"/></svg></td></tr>",
        record.clock, record.time * 0.001, refValue(record.time, record.clock), length);
  }
  *out += "</tbody></table></section>";
}

}  // namespace

std::string listingPage(const ResultTable& table, const std::vector<ListedTest>& tests,
                        const ListingOptions& options, const SystemId& thisSystem) {
  std::vector<TestRecords> selected;
  selected.reserve(tests.size());
  size_t records = 0;
  for (const ListedTest& test : tests) {
    selected.push_back(TestRecords{&test, selectRecords(table, test.number, options)});
    records += selected.back().positions.size();
  }
  Overview overview(table, selected);

  std::string out;
  out.reserve(4096 + records * 400 + overview.rows() * tests.size() * 80);
  out +=
      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
      "<title>Result table</title><style>";
  out += STYLE;
  out += "</style></head><body><h1>Result table</h1><p>This system: <b>";
  appendHtmlText(&out, thisSystem.description);
  appendFormat(&out,
               "</b>, %d MHz (highlighted). Times in seconds; ref is the time multiplied by the "
               "clock in GHz.</p>",
               thisSystem.clock);
  if (tests.empty()) out += "<p class=\"empty\">No tests selected.</p>";
  appendOverview(&out, overview, selected, thisSystem);
  for (const TestRecords& test : selected) appendTestSection(&out, table, test, thisSystem);
  out += "</body></html>\n";
  return out;
}

}  // namespace bench
