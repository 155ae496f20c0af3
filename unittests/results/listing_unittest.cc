#include "results/listing.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "driver/catalogue.h"

namespace bench {
namespace {

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

std::string list(const ResultTable& table, int test, const ListingOptions& settings) {
  CaptureStdout();
  printTestTable(table, test, listingTitle(test).c_str(), settings);
  return GetCapturedStdout();
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

TEST(PrintTestTable, PlainHeadingAndRows) {
  ResultTable table;
  table.append("Example CPU 3.0 GHz", 3000, 7, 20345, false);
  table.append("Another", 2000, 8, 1000, false);
  ListingOptions settings;
  EXPECT_EQ(list(table, 7, settings),
            "\n  7: Monte-Carlo form-factor (50M iterations):\n"
            "Example CPU 3.0 GHz                                         20.34s, ref:  61.03\n");
  EXPECT_EQ(list(table, 24, settings),
            "\n  24: Parallel sort in virtual memory (2 to 16 threads, 2x double[128M] array):\n");
  EXPECT_EQ(list(table, 15, settings), "\n  15: Garbage collection test in 16MB of VM:\n");
}

TEST(PrintTestTable, WidthSetsTheDescriptionColumn) {
  ResultTable table;
  table.append(std::string(200, 'w'), 1000, 1, 1500, false);
  for (int width : {40, 80, 160}) {
    ListingOptions settings;
    settings.listWidth = width;
    std::vector<std::string> rows = lines(list(table, 1, settings));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2].size(), static_cast<size_t>(width - 1)) << width;
    EXPECT_EQ(rows[2].find_first_not_of('w'), static_cast<size_t>(width - 23)) << width;
  }
}

TEST(PrintTestTable, SpreadSheetRowsAreValidCells) {
  ResultTable table;
  table.append("Plain, with comma", 2400, 16, 1234, false);
  table.append("Say \"fast\"", 0, 16, 5000, false);
  ListingOptions settings;
  settings.spreadSheetMode = true;
  EXPECT_EQ(list(table, 16, settings),
            "\n\"  Regular expression test (4 x 4k matches on 32-byte strings):\","
            "Clock[MHz],Time[s],Ref\n"
            "\"Plain, with comma\",2400,1.23,2.96\n"
            "\"Say \"\"fast\"\"\",0,5.00,0.00\n");
}

class SortedListing : public ::testing::Test {
 protected:
  SortedListing() {
    // Equal times with different refs, equal refs with different times,
    // equal clocks with different descriptions.
    table_.append("b", 1000, 1, 2000, false);  // ref 2.0
    table_.append("a", 2000, 1, 2000, false);  // ref 4.0
    table_.append("c", 4000, 1, 1000, false);  // ref 4.0
    table_.append("d", 1000, 1, 3000, false);  // ref 3.0
  }

  std::string order(SortKey key, bool ascending) {
    ListingOptions settings;
    settings.sortResults = true;
    settings.sortKey = key;
    settings.sortAscending = ascending;
    std::string result;
    for (const std::string& row : lines(list(table_, 1, settings))) {
      if (row.size() > 2 && row[0] != ' ') result += row[0];
    }
    return result;
  }

  ResultTable table_;
};

TEST_F(SortedListing, EachKeyInBothDirectionsWithTies) {
  EXPECT_EQ(order(SortKey::TIME, true), "cbad");  // b before a: smaller ref first
  EXPECT_EQ(order(SortKey::TIME, false), "dabc");
  EXPECT_EQ(order(SortKey::REF, true), "bdca");  // c before a: smaller time first
  EXPECT_EQ(order(SortKey::REF, false), "acdb");
  EXPECT_EQ(order(SortKey::CLOCK, true), "bdac");  // b before d: description
  EXPECT_EQ(order(SortKey::CLOCK, false), "cadb");
}

TEST_F(SortedListing, UnsortedListingKeepsTableOrder) {
  ListingOptions settings;
  std::string out = list(table_, 1, settings);
  EXPECT_LT(out.find("\nb "), out.find("\na "));
  EXPECT_LT(out.find("\na "), out.find("\nc "));
  EXPECT_LT(out.find("\nc "), out.find("\nd "));
}

TEST(CompareRecords, DescriptionsCompareAsUnsignedBytes) {
  ResultTable table;
  table.append("\xE9t\xE9", 1, 1, 1, false);
  table.append("zeta", 1, 1, 1, false);
  EXPECT_GT(compareRecords(table.record(0), table.record(1), SortKey::CLOCK, true), 0);
  EXPECT_LT(compareRecords(table.record(0), table.record(1), SortKey::CLOCK, false), 0);
  EXPECT_EQ(compareRecords(table.record(0), table.record(0), SortKey::TIME, true), 0);
}

}  // namespace
}  // namespace bench
