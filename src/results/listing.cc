#include "results/listing.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "results/filter.h"

namespace bench {

namespace {

int compareNumbers(double a, double b) { return a < b ? -1 : (a > b ? 1 : 0); }

int compareDescriptions(const ResultRecord& a, const ResultRecord& b) {
  int order = std::strcmp(a.description, b.description);  // unsigned bytes
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

// The description between double quotes as one comma-separated cell: a
// double quote inside it is doubled, anything else prints unchanged.
std::string quotedCell(const char* text) {
  std::string cell = "\"";
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p == '"') cell += '"';
    cell += *p;
  }
  cell += '"';
  return cell;
}

void printHeading(int test, const char* title, bool spreadSheet) {
  if (spreadSheet) {
    std::printf("\n\"  %s\",Clock[MHz],Time[s],Ref\n", title);
  } else {
    std::printf("\n  %d: %s\n", test, title);
  }
}

}  // namespace

int compareRecords(const ResultRecord& a, const ResultRecord& b, SortKey key, bool ascending) {
  int order = 0;
  switch (key) {
    case SortKey::TIME:
      order = compareNumbers(a.time, b.time);
      if (order == 0) order = compareNumbers(refValue(a.time, a.clock), refValue(b.time, b.clock));
      break;
    case SortKey::REF:
      order = compareNumbers(refValue(a.time, a.clock), refValue(b.time, b.clock));
      if (order == 0) order = compareNumbers(a.time, b.time);
      break;
    case SortKey::CLOCK:
      order = compareNumbers(a.clock, b.clock);
      break;
  }
  if (order == 0) order = compareDescriptions(a, b);
  return ascending ? order : -order;
}

std::string_view bareTitle(std::string_view title) {
  if (!title.empty() && title.back() == ':') title.remove_suffix(1);
  return title;
}

std::vector<int> selectRecords(const ResultTable& table, int test, const ListingOptions& options) {
  std::vector<int> selected;
  for (int i = 0; i < table.count(); ++i) {
    const ResultRecord& record = table.record(i);
    if (record.test == test && filterAccepts(options, record.description)) selected.push_back(i);
  }
  if (options.sortResults) {
    std::sort(selected.begin(), selected.end(), [&](int a, int b) {
      return compareRecords(table.record(a), table.record(b), options.sortKey,
                            options.sortAscending) < 0;
    });
  }
  return selected;
}

std::vector<TestRecords> selectTestRecords(const ResultTable& table,
                                           const std::vector<ListedTest>& tests,
                                           const ListingOptions& options) {
  std::vector<TestRecords> selected;
  selected.reserve(tests.size());
  for (const ListedTest& test : tests) {
    selected.push_back(TestRecords{&test, selectRecords(table, test.number, options)});
  }
  return selected;
}

void printTestTable(const ResultTable& table, int test, const char* title,
                    const ListingOptions& options) {
  printHeading(test, title, options.spreadSheetMode);
  std::vector<int> selected = selectRecords(table, test, options);

  int width = options.listWidth - 23;
  for (int index : selected) {
    const ResultRecord& record = table.record(index);
    if (options.spreadSheetMode) {
      std::printf("%s,%d,%.2f,%.2f\n", quotedCell(record.description).c_str(), record.clock,
                  record.time * 0.001, refValue(record.time, record.clock));
    } else {
      std::printf("%-*.*s%8.2fs, ref:%7.2f\n", width, width, record.description,
                  record.time * 0.001, refValue(record.time, record.clock));
    }
  }
}

}  // namespace bench
