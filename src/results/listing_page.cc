#include "results/listing_page.h"

#include <algorithm>
#include <cstring>

#include "results/relative_speed.h"
#include "results/speed_overview.h"
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
    ".overview td.overall{font-weight:bold}"
    ".overview td.tests{border-right:2px solid #444}"
    ".overview td.rank{color:#444}"
    ".overview tr.gap td{border:none;text-align:left;color:#444;font-style:italic}"
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

// True for the system a run would record (the same test as the harness uses
// to find this system's records).
bool isCurrent(const char* description, int32_t clock, const SystemId& thisSystem) {
  return clock == thisSystem.clock && std::strcmp(description, thisSystem.description) == 0;
}

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

// The shade of a speed in percent: lightness from 97% (slowest) to 55%
// (fastest), so black text reads on both and the order of shades survives a
// black-and-white print.
int shadeOf(int percent) { return 97 - percent * 42 / 100; }

void appendOverview(DocumentWriter* writer, const SpeedOverview& overview,
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
      "cell means no result, a ? a time that is not positive.</p>"
      "<p><b>Overall</b> is the geometric mean of a system's cells over the <b>Tests</b> it has "
      "a time for, rounded down to a tenth; systems are ordered by it (then by more tests), "
      "and <b>#</b> is the place in that order. "
      "It compares each system only over the tests it has, so a figure over few tests says "
      "less than one over many.</p>";
  const std::vector<size_t>& ranking = overview.ranking();
  std::vector<size_t> shown;  // places in the ranking
  for (size_t place = 0; place < ranking.size(); ++place) {
    const SystemId& system = overview.system(ranking[place]);
    if (shown.size() < PAGE_OVERVIEW_SYSTEMS ||
        isCurrent(system.description, system.clock, thisSystem)) {
      shown.push_back(place);
    }
  }
  if (shown.size() < ranking.size()) {
    appendLeftOutNote(out, shown.size(), ranking.size(), PAGE_OVERVIEW_SYSTEMS, "systems",
                      "with the highest overall figure");
  }
  *out +=
      "<table class=\"overview\"><thead><tr><th scope=\"col\" class=\"num\">#</th>"
      "<th class=\"sys\" scope=\"col\">System</th>"
      "<th scope=\"col\" class=\"num\">MHz</th><th scope=\"col\" class=\"num\">Overall</th>"
      "<th scope=\"col\" class=\"num\">Tests</th>";
  for (const TestRecords& test : tests) {
    int number = test.test->number;
    appendFormat(out, "<th scope=\"col\"><a href=\"#test-%d\" title=\"%d: ", number, number);
    appendHtmlText(out, bareTitle(test.test->title));
    appendFormat(out, "\">%d</a></th>", number);
  }
  *out += "</tr></thead><tbody>";
  constexpr size_t LEADING_COLUMNS = 5;  // #, System, MHz, Overall, Tests
  size_t next = 0;                       // the place that follows the last row shown
  for (size_t place : shown) {
    if (place > next) {
      appendFormat(
          out, "<tr class=\"gap\"><td colspan=\"%d\">&vellip; %d systems left out</td></tr>",
          static_cast<int>(LEADING_COLUMNS + overview.columns()), static_cast<int>(place - next));
    }
    next = place + 1;
    size_t row = ranking[place];
    const SystemId& system = overview.system(row);
    bool current = isCurrent(system.description, system.clock, thisSystem);
    // The place tells where this system stands when it is shown below
    // the first hundred.
    appendFormat(out, "%s<td class=\"rank\">%d</td><th scope=\"row\">",
                 current ? "<tr class=\"current\">" : "<tr>", static_cast<int>(place + 1));
    appendHtmlText(out, system.description);
    if (current) appendCurrentTag(out);
    appendFormat(out, "</th><td class=\"num\">%d</td>", system.clock);
    const OverallSpeed& overall = overview.overall(row);
    if (overall.tests == 0) {
      *out += "<td class=\"overall none\"></td>";
    } else if (overall.permille == 0) {
      *out += "<td class=\"overall\">&lt;0.1</td>";
    } else {
      appendFormat(out, "<td class=\"overall\" style=\"background:hsl(210,45%%,%d%%)\">",
                   shadeOf(overall.permille / 10));
      appendPermilleAsPercent(out, overall.permille);
      *out += "</td>";
    }
    appendFormat(out, "<td class=\"tests\">%d</td>", overall.tests);
    for (size_t column = 0; column < overview.columns(); ++column) {
      if (!overview.present(row, column)) {
        *out += "<td class=\"none\"></td>";
        continue;
      }
      int32_t time = overview.time(row, column);
      if (time <= 0) {
        appendFormat(out, "<td title=\"%.2f s\">?</td>", time * 0.001);
        continue;
      }
      int percent = relativePercent(overview.fastest(column), time);
      appendFormat(out, "<td style=\"background:hsl(210,45%%,%d%%)\" title=\"%.2f s\">",
                   shadeOf(percent), time * 0.001);
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
  std::vector<TestRecords> selected = selectTestRecords(table, tests, options);
  SpeedOverview overview(table, selected);

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
  if (evidence != nullptr && !evidence->empty()) {
    *out +=
        "<p>A bar whose result has a line in the run journal shows that run's evidence when the "
        "pointer rests on it: the build, the repetitions' times and whether they agreed. A "
        "result marked <span class=\"tag\">busy</span> came from repetitions that disagreed: "
        "another program was probably running.</p>";
  }
  if (tests.empty()) *out += "<p class=\"empty\">No tests selected.</p>";
  appendOverview(writer, overview, selected, thisSystem);
  for (const TestRecords& test : selected) {
    appendTestSection(writer, table, test, options, thisSystem, evidence);
  }
  *out += "</body></html>\n";
}

}  // namespace bench
