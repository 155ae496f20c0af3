#include "results/listing_page.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "driver/catalogue.h"
#include "regex/regular_expression.h"
#include "results/filter.h"

namespace bench {
namespace {

std::vector<ListedTest> listed(std::initializer_list<int> numbers) {
  std::vector<ListedTest> tests;
  for (int n : numbers) tests.push_back(ListedTest{n, listingTitle(n)});
  return tests;
}

// The whole page, as the writer keeps it without a stream.
std::string listingPage(const ResultTable& table, const std::vector<ListedTest>& tests,
                        const ListingOptions& options, const SystemId& thisSystem) {
  DocumentWriter writer;
  writeListingPage(&writer, table, tests, options, thisSystem);
  return *writer.text();
}

size_t countOf(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// The part of the page from `from` up to the next `to`.
std::string between(const std::string& page, const std::string& from, const std::string& to) {
  size_t begin = page.find(from);
  EXPECT_NE(begin, std::string::npos) << from;
  if (begin == std::string::npos) return "";
  return page.substr(begin, page.find(to, begin + 1) - begin);
}

class ListingPage : public ::testing::Test {
 protected:
  ListingPage() {
    table.append("Mine", 3000, 1, 2000, false);
    table.append("Mine", 2000, 1, 4000, false);  // another clock: another system
    table.append("Fast", 4000, 1, 1000, false);
    table.append("Slow", 1000, 1, 3000, false);
    table.append("Fast", 4000, 5, 500, false);
    table.append("Glacial", 100, 5, 150000, false);
  }

  ResultTable table;
  ListingOptions options;
  const SystemId thisSystem{"Mine", 3000};
};

TEST_F(ListingPage, BarsAreProportionalToTheTimeAndMarkOnlyThisSystem) {
  std::string page = listingPage(table, listed({1, 5}), options, thisSystem);
  std::string test1 = between(page, "id=\"test-1\"", "</section>");
  EXPECT_NE(test1.find("<h2>1: Eratosthen (5555555-th prime number)</h2>"), std::string::npos);
  EXPECT_EQ(countOf(test1, "<rect class=\"bar\""), 4u);
  for (const char* width :
       {"width=\"500.0\"", "width=\"1000.0\"", "width=\"250.0\"", "width=\"750.0\""}) {
    EXPECT_NE(test1.find(width), std::string::npos) << width;
  }
  // Rows in table order; only Mine at 3000 MHz is highlighted.
  EXPECT_EQ(countOf(test1, "<tr class=\"current\">"), 1u);
  EXPECT_NE(test1.find("<tr class=\"current\"><td class=\"desc\">Mine<span class=\"tag\">"
                       "this system</span></td><td class=\"num\">3000</td>"
                       "<td class=\"num\">2.00 s</td><td class=\"num\">6.00</td>"),
            std::string::npos);
  EXPECT_LT(test1.find(">Mine<"), test1.find(">Fast<"));
  EXPECT_LT(test1.find(">Fast<"), test1.find(">Slow<"));
  EXPECT_EQ(countOf(between(page, "id=\"test-5\"", "</section>"), "<rect class=\"bar\""), 2u);
  EXPECT_EQ(page.find("<script"), std::string::npos);
  EXPECT_EQ(page.rfind("<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">", 0), 0u);
}

TEST_F(ListingPage, OverviewGivesTheSpeedRelativeToTheFastestSystem) {
  std::string overview = between(listingPage(table, listed({1, 5}), options, thisSystem),
                                 "id=\"overview\"", "</section>");
  // One row per system; 1000 ms is the fastest of test 1.
  EXPECT_EQ(countOf(overview, "<th scope=\"row\">"), 5u);
  std::string mine = between(overview, "<tr class=\"current\">", "</tr>");
  EXPECT_NE(mine.find(">50</td><td class=\"none\"></td>"), std::string::npos) << mine;
  std::string fast = between(overview, "<th scope=\"row\">Fast", "</tr>");
  EXPECT_EQ(countOf(fast, ">100</td>"), 2u) << fast;
  // 1000 / 3000 rounds down to 33%; 1000 / 4000 is 25%.
  EXPECT_NE(between(overview, "<th scope=\"row\">Slow", "</tr>").find(">33</td>"),
            std::string::npos);
  EXPECT_NE(overview.find("<th scope=\"row\">Mine</th><td class=\"num\">2000</td>"),
            std::string::npos);
  EXPECT_NE(between(overview, "<td class=\"num\">2000</td>", "</tr>").find(">25</td>"),
            std::string::npos);
  // Far below 1% is not shown as a speed of 0.
  EXPECT_NE(between(overview, "<th scope=\"row\">Glacial", "</tr>").find(">&lt;1</td>"),
            std::string::npos);
}

TEST_F(ListingPage, OverviewIsOrderedByTheOverallFigure) {
  std::string overview = between(listingPage(table, listed({1, 5}), options, thisSystem),
                                 "id=\"overview\"", "</section>");
  EXPECT_NE(overview.find("geometric mean"), std::string::npos);
  EXPECT_NE(overview.find("<th scope=\"col\" class=\"num\">Overall</th>"
                          "<th scope=\"col\" class=\"num\">Tests</th>"),
            std::string::npos);
  // Place, system, clock, Overall, Tests, in the order of the figure.
  const char* rows[][5] = {{"1", "Fast", "4000", "100.0", "2"},
                           {"2", "Mine<span class=\"tag\">this system</span>", "3000", "50.0", "1"},
                           {"3", "Slow", "1000", "33.3", "1"},
                           {"4", "Mine", "2000", "25.0", "1"},
                           {"5", "Glacial", "100", "0.3", "1"}};
  size_t at = 0;
  for (const auto& row : rows) {
    at = overview.find(std::string("<td class=\"rank\">") + row[0] + "</td><th scope=\"row\">" +
                           row[1] + "</th><td class=\"num\">" + row[2] + "</td>",
                       at);
    ASSERT_NE(at, std::string::npos) << row[1] << " " << row[2] << " out of order";
    std::string cells = overview.substr(at, overview.find("</tr>", at) - at);
    EXPECT_NE(
        cells.find(std::string(">") + row[3] + "</td><td class=\"tests\">" + row[4] + "</td>"),
        std::string::npos)
        << cells;
  }
}

TEST_F(ListingPage, FilterAndSortApplyAsInTheListing) {
  ASSERT_TRUE(compileSystemFilter("(Fast|Slow)", &options));
  options.sortResults = true;
  options.sortAscending = false;
  options.sortKey = SortKey::TIME;
  std::string page = listingPage(table, listed({1}), options, thisSystem);
  std::string test1 = between(page, "id=\"test-1\"", "</section>");
  EXPECT_EQ(countOf(test1, "<rect class=\"bar\""), 2u);
  EXPECT_LT(test1.find(">Slow<"), test1.find(">Fast<"));
  EXPECT_EQ(page.find(">Mine<", page.find("id=\"overview\"")), std::string::npos);
}

TEST(ListingPageOverview, PercentagesAreExact) {
  // A floating-point quotient rounds 29/100 down to 28 and 29/50 to 57.
  ResultTable table;
  table.append("Fastest", 1000, 1, 29, false);
  table.append("Hundred", 1000, 1, 100, false);
  table.append("Fifty", 1000, 1, 50, false);
  std::string overview = between(listingPage(table, listed({1}), ListingOptions{}, {"x", 0}),
                                 "id=\"overview\"", "</section>");
  EXPECT_NE(between(overview, "<th scope=\"row\">Hundred", "</tr>").find(">29</td>"),
            std::string::npos);
  EXPECT_NE(between(overview, "<th scope=\"row\">Fifty", "</tr>").find(">58</td>"),
            std::string::npos);
}

// A collector's table: more systems than a page shows, this system the
// slowest. System i is faster and has a higher clock the greater i is, but
// its ref grows with i.
class ListingPageLimits : public ::testing::Test {
 protected:
  static constexpr int SYSTEMS = static_cast<int>(PAGE_SECTION_ROWS) + 20;
  ListingPageLimits() {
    static_assert(PAGE_SECTION_ROWS == PAGE_OVERVIEW_SYSTEMS, "one table serves both");
    table.append("Mine", 1000, 1, 200000, false);
    for (int i = 0; i < SYSTEMS; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "S%d", i);
      table.append(name, 1000 + i, 1, 100000 - 10 * i, false);
    }
  }
  ResultTable table;
  const SystemId thisSystem{"Mine", 1000};
};

TEST_F(ListingPageLimits, SectionsShowTheFastestByTheKeyInUseAndThisSystem) {
  struct Case {
    bool sort;
    SortKey key;
    bool ascending;
    const char* rule;
    const char* kept;  // the first kept and the first left out, in table order
    const char* leftOut;
    const char* firstRow;
  };
  const Case cases[] = {
      {false, SortKey::TIME, true, "with the least time", ">S20<", ">S19<", ">Mine<"},
      {true, SortKey::TIME, true, "with the least time", ">S20<", ">S19<", ">S119<"},
      {true, SortKey::REF, true, "with the least ref", ">S0<", ">S100<", ">S0<"},
      {true, SortKey::CLOCK, false, "with the highest clock", ">S20<", ">S19<", ">S119<"},
  };
  for (const Case& c : cases) {
    ListingOptions options;
    options.sortResults = c.sort;
    options.sortKey = c.key;
    options.sortAscending = c.ascending;
    std::string section = between(listingPage(table, listed({1}), options, thisSystem),
                                  "id=\"test-1\"", "</section>");
    EXPECT_EQ(countOf(section, "<rect class=\"bar\""), PAGE_SECTION_ROWS + 1) << c.rule;
    EXPECT_NE(section.find(std::string("<p class=\"note\">Shown: the 100 results ") + c.rule +
                           ", and this system; 20 of 121 are left out."),
              std::string::npos)
        << section.substr(0, 600);
    EXPECT_NE(section.find("-r &lt;reg-exp&gt;"), std::string::npos);
    EXPECT_NE(section.find(c.kept), std::string::npos) << c.rule;
    EXPECT_EQ(section.find(c.leftOut), std::string::npos) << c.rule;
    EXPECT_NE(section.find("<tr class=\"current\"><td class=\"desc\">Mine<"), std::string::npos);
    // The rows keep the listing's order.
    size_t firstRow = section.find("<td class=\"desc\">");
    EXPECT_EQ(section.find(c.firstRow), section.find(">", firstRow)) << c.rule;
  }
}

TEST_F(ListingPageLimits, OverviewShowsTheFastestSystemsAndThisSystem) {
  std::string overview = between(listingPage(table, listed({1}), ListingOptions{}, thisSystem),
                                 "id=\"overview\"", "</section>");
  EXPECT_EQ(countOf(overview, "<th scope=\"row\">"), PAGE_OVERVIEW_SYSTEMS + 1);
  EXPECT_NE(overview.find("Shown: the 100 systems with the highest overall figure, and this "
                          "system; 20 of 121 are left out."),
            std::string::npos);
  EXPECT_NE(overview.find("<th scope=\"row\">S20<"), std::string::npos);
  EXPECT_EQ(overview.find("<th scope=\"row\">S19<"), std::string::npos);
  // The fastest first; this system, the slowest, last, after a mark for the
  // systems between.
  size_t mine = overview.find(
      "<tr class=\"gap\"><td colspan=\"6\">&vellip; 20 systems left out</td></tr>"
      "<tr class=\"current\"><td class=\"rank\">121</td><th scope=\"row\">Mine<");
  EXPECT_EQ(countOf(overview, "<tr class=\"gap\">"), 1u);
  ASSERT_NE(mine, std::string::npos);
  EXPECT_LT(overview.find("<th scope=\"row\">S119<"), overview.find("<th scope=\"row\">S20<"));
  EXPECT_LT(overview.find("<th scope=\"row\">S20<"), mine);
}

TEST(ListingPageText, HostileAndOddRecordsShowAsTextAndBreakNothing) {
  ResultTable table;
  table.append("<script>alert(1)</script>", 1000, 2, 1000, false);
  table.append("\"&'", 1000, 2, 0, false);      // a zero time from a file
  table.append("Caf\xE9", 1000, 2, -5, false);  // a negative one
  std::string page = listingPage(table, listed({2, 3}), ListingOptions{}, SystemId{"undefined", 0});
  EXPECT_EQ(page.find("<script"), std::string::npos);
  EXPECT_EQ(countOf(page, "&lt;script&gt;alert(1)&lt;/script&gt;"),
            2u);  // overview and bars
  EXPECT_EQ(countOf(page, "&quot;&amp;&#39;"), 2u);
  EXPECT_EQ(countOf(page, "Caf\xC3\xA9"), 2u);
  EXPECT_EQ(page.find("\xE9<"), std::string::npos);
  EXPECT_EQ(countOf(page, "width=\"0.0\""), 2u);
  EXPECT_EQ(countOf(page, ">?</td>"),
            2u);  // no relative speed for a time that is not positive
  EXPECT_NE(between(page, "id=\"test-3\"", "</section>").find("No results."), std::string::npos);
  EXPECT_NE(page.find("This system: <b>undefined</b>, 0 MHz"), std::string::npos);
}

TEST(ListingPageText, NothingSelectedStillMakesACompletePage) {
  ResultTable table;
  std::string page = listingPage(table, {}, ListingOptions{}, SystemId{"undefined", 0});
  EXPECT_NE(page.find("No tests selected."), std::string::npos);
  EXPECT_NE(page.find("No results to compare."), std::string::npos);
  EXPECT_EQ(page.substr(page.size() - 15), "</body></html>\n");
}

}  // namespace
}  // namespace bench
