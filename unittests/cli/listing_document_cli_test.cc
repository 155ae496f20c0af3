// End-to-end checks of the listing as JSON (-lj) and as a web page (-lh):
// the JSON read back by Python's parser and compared with the spread-sheet
// listing, its systems' figures recomputed, the page rendered by a headless
// browser; and every listing form
// on a standard output that cannot take it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/bench_runner.h"
#include "cli/host_tools.h"
#include "support/test_support.h"

namespace bench::testing {
namespace {

// A dozen systems from other people's files: markup and quotes in
// descriptions, one-byte code-page letters, one system at two clocks, tests
// with few and with no results, and this system (from cpu.txt).
const char* DOZEN_SYSTEMS =
    " 1    21000 3000 Mine\n"
    " 1    19000 3600 Example CPU 3.6 GHz\n"
    " 1    38000 1400 <script>alert(1)</script>\n"
    " 1    25000 2800 \"&' quoted\n"
    " 1    30000 2000 Caf\xE9 \x80 edition\n"
    " 1    24000 2400 Mine\n"
    " 1    52000 1000 Vintage box with a rather long "
    "description that goes on and on\n"
    " 1    20500 3200 Workstation A\n"
    " 1    22500 3000 Workstation B\n"
    " 1    61000  800 Laptop 2009\n"
    " 1    17500 4200 Desktop 2024\n"
    " 1    27000 2600 Server, dual\n"
    " 5    40000 3000 Mine\n"
    " 5    35000 3600 Example CPU 3.6 GHz\n"
    " 5    90000 1400 <script>alert(1)</script>\n"
    " 5    47000 2000 Caf\xE9 \x80 edition\n"
    " 5    31000 4200 Desktop 2024\n"
    "16     5000 3000 Mine\n"
    "16     4100 4200 Desktop 2024\n"
    "16     9800  800 Laptop 2009\n";
const int DOZEN_RECORDS = 20;

size_t countOf(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// Records at the limits of the numbers a result file holds, and a long
// description: each record's figures are longer than any small buffer.
const char* EXTREME_RECORDS =
    " 1 2147483647 2147483647 Largest time and clock\n"
    " 1 -2147483648 -2147483648 Least time and clock\n"
    " 1 2147483647 -2147483648 Mixed\n"
    " 2 99999999999 99999999999 Saturated "
    "and described at length, at great length, at very great length indeed, so long that "
    "the description alone fills more than a line of any terminal\n";

TEST(ListingDocumentCli, JsonReadsBackAsTheSpreadSheetListing) {
  REQUIRE_TOOL(haveCommand("python3"), "python3");
  ScopedTempDir dir;
  writeFile("cpu.txt", "1 3000 Mine\n");
  // Options that both listings honour: none, a filter with a sort, -i with a
  // sort, a mask with a filter that leaves nothing.
  struct Case {
    const char* table;
    std::vector<std::string> options;
  };
  const Case cases[] = {
      {DOZEN_SYSTEMS, {}},
      {DOZEN_SYSTEMS, {"-sdr", "-r", "[^M].*"}},
      {DOZEN_SYSTEMS, {"-sac", "-i", "5"}},
      {DOZEN_SYSTEMS, {"-r", "Nobody", "0x8011"}},
      {EXTREME_RECORDS, {"0x3"}},
  };
  for (const Case& c : cases) {
    writeFile("results.txt", c.table);
    std::string shown;
    for (const std::string& option : c.options) shown += option + " ";
    std::vector<std::string> jsonArgs = {"-lj"};
    std::vector<std::string> sheetArgs = {"-b", "-ls"};
    jsonArgs.insert(jsonArgs.end(), c.options.begin(), c.options.end());
    sheetArgs.insert(sheetArgs.end(), c.options.begin(), c.options.end());
    BenchRun json = runBench(jsonArgs);
    BenchRun sheet = runBench(sheetArgs);
    ASSERT_EQ(json.status, 0) << shown << json.err;
    EXPECT_EQ(json.err, "") << shown;
    EXPECT_EQ(json.out.rfind("{\"schema\": 1, \"system\": ", 0), 0u) << shown << "(no banner before it)";
    writeFile("listing.json", json.out);
    std::string parsedName = (dir.path() / "parsed.txt").string();
    ASSERT_EQ(shell("python3 " + shellQuote(cliScript("json_as_spreadsheet.py")) +
                    " listing.json >" + shellQuote(parsedName)),
              0)
        << shown << json.out;
    EXPECT_EQ(readFile("parsed.txt"), "Mine 3000\n" + sheet.out) << shown;
    // Each system's overall figure and the order, recomputed from the records.
    std::string checkName = (dir.path() / "check.txt").string();
    EXPECT_EQ(shell("python3 " + shellQuote(cliScript("json_systems_check.py")) +
                    " listing.json >" + shellQuote(checkName)),
              0)
        << shown << readFile("check.txt");
  }
}

TEST(ListingDocumentCli, ListingThatCannotBeWrittenIsAnError) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  ScopedTempDir dir;
  writeFile("results.txt", DOZEN_SYSTEMS);
  for (const char* form : {"-lh", "-lj", "-l", "-ls"}) {
    std::string errName = (dir.path() / "err.txt").string();
    EXPECT_EQ(
        shell(benchShellCommand() + " -c 1 x " + form + " >/dev/full 2>" + shellQuote(errName)), 1)
        << form;
    EXPECT_EQ(readFile("err.txt"), "Cannot write the listing: No space left on device\n") << form;
  }
}

// The browser: Debian's headless shell, or the full browser run headless.
std::string findBrowser() {
  for (const char* name : {"chromium-headless-shell", "chromium"}) {
    if (haveCommand(name)) return name;
  }
  return "";
}

TEST(ListingDocumentCli, PageRendersInAHeadlessBrowser) {
  std::string browser = findBrowser();
  REQUIRE_TOOL(!browser.empty(), "a headless browser");
  ScopedTempDir dir;
  writeFile("results.txt", DOZEN_SYSTEMS);
  writeFile("cpu.txt", "1 3000 Mine\n");
  BenchRun run = runBench({"-lh", "0x8011"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  writeFile("page.html", run.out);

  std::filesystem::create_directory("profile");
  std::string path = dir.path().string();
  std::string command = "timeout 180 " + browser +
                        " --headless --no-sandbox --disable-gpu --disable-quic --no-first-run"
                        " --disable-background-networking --disable-component-update"
                        " --disable-sync --hide-scrollbars --user-data-dir=" +
                        shellQuote(path + "/profile") + " --window-size=1000,1400 ";
  std::string url = shellQuote("file://" + path + "/page.html");
  ASSERT_EQ(shell(command + "--dump-dom " + url + " >" + shellQuote(path + "/dom.html") + " 2>" +
                  shellQuote(path + "/browser.err")),
            0)
      << readFile("browser.err");
  std::string dom = readFile("dom.html");
  EXPECT_EQ(countOf(dom, "<rect class=\"bar\""), static_cast<size_t>(DOZEN_RECORDS)) << dom;
  // This system: its overview row and its bar in each of the three tests.
  EXPECT_EQ(countOf(dom, "<tr class=\"current\">"), 4u);
  EXPECT_EQ(countOf(dom, "<tr class=\"current\"><td class=\"desc\">Mine<"), 3u);
  EXPECT_EQ(dom.find("<script"), std::string::npos);
  EXPECT_EQ(countOf(dom, "&lt;script&gt;alert(1)&lt;/script&gt;"),
            3u);  // overview, tests 1, 5
  EXPECT_EQ(countOf(dom, "Caf\xC3\xA9 \xE2\x82\xAC edition"), 3u);
  EXPECT_EQ(countOf(dom, "\"&amp;' quoted"), 2u);

  ASSERT_EQ(shell(command + "--screenshot=" + shellQuote(path + "/page.png") + " " + url + " >" +
                  shellQuote(path + "/browser.err") + " 2>&1"),
            0)
      << readFile("browser.err");
  REQUIRE_TOOL(haveCommand("python3"), "python3");
  std::string inkName = path + "/ink.txt";
  ASSERT_EQ(shell("python3 " + shellQuote(cliScript("png_ink.py")) + " " +
                  shellQuote(path + "/page.png") + " >" + shellQuote(inkName)),
            0);
  double ink = std::atof(readFile("ink.txt").c_str());
  EXPECT_GT(ink, 0.03) << "the screenshot is (nearly) blank";
  // For looking at the page: keep the screenshot where the build can find it.
  std::filesystem::copy_file(path + "/page.png",
                             std::string(BENCH_CLI_OUTPUT) + "/listing_page.png",
                             std::filesystem::copy_options::overwrite_existing);
}

}  // namespace
}  // namespace bench::testing
