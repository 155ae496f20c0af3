#include "driver/command_line.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/random_james.h"
#include "core/sha1.h"
#include "driver/catalogue.h"
#include "driver/clock_check.h"
#include "driver/harness.h"
#include "driver/journal_merge.h"
#include "driver/run_journal.h"
#include "driver/run_summary.h"
#include "platform/clock.h"
#include "platform/terminal.h"
#include "results/cpu_file.h"
#include "results/evidence.h"
#include "results/filter.h"
#include "results/journal.h"
#include "results/listing.h"
#include "results/listing_json.h"
#include "results/listing_page.h"
#include "results/number_text.h"
#include "results/result_table.h"
#include "results/run_selection.h"
#include "run/processor_name.h"

namespace bench {

namespace {

constexpr const char* USAGE_HEAD =
    "Usage: bench [-h] [-l[s]] [-m <result-file>] [-b] [-s{a|d}{t|r|c}] [-r{m|v|d}]\n"
    "             [-i <test>] [-t] [-r <reg-exp>] [-c <clock> [\"CPU-description\"]]\n"
    "             [<mask>]\n"
    "    -h      print help message (this text)\n"
    "    -l[s|<width>]\n"
    "            don't run any tests, print result table(s) only\n"
    "            \"s\" generates \"spread-sheet readable\" output\n"
    "            \"h\" prints a web page with charts, \"j\" JSON\n"
    "    -lc[j]  compare this system's latest run of each test with the one before\n"
    "    -lv[j] <journal> compare it with the latest runs in another journal\n"
    "            (\"j\": as JSON; faster or slower only when a rank test says so)\n"
    "    -m <result-file> merge the given result file\n"
    "    -b[b]   [super-]brief mode (don't print header and old results)\n"
    "    -s{a|d}{t|r|c}\n"
    "            sort results (ascending/descending, time/ref/clock)\n"
    "    -r{m|v|d} <bytes>\n"
    "            restrict tests according to physical RAM (m),\n"
    "            virtual memory (v) or free disk space (d).\n"
    "            <bytes> is number of bytes, examples: 256k, 64m, 2g\n"
    "    -i <test> run only the given test (<test> - see below)\n"
    "    -t      self-test (pseudo-random generator, SHA-1)\n"
    "    -r <reg-exp> restrict result table to systems matching <reg-exp>\n"
    "    -c      system-description:\n"
    "      <clock> is CPU clock in MHz (see the 2nd column of \"%s\")\n"
    "      \"auto\" as <clock> measures it and, without a description, names the CPU\n"
    "      \"CPU-description\" is arbitrary string (abbreviations are preferred,\n"
    "                        see \"%s\" ignoring first two columns)\n"
    "    if -c is not specified, the first line of \"%s\" will be read\n"
    "    <mask>  is bit-mask (hexadecimal number 0xNNNN can be used):\n";

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Copies `text` into the description buffer, cut to 127 bytes.
void setDescription(RunSettings* settings, const char* text) {
  std::snprintf(settings->descriptionBuffer, DESCRIPTION_BUFFER_SIZE, "%s", text);
  settings->descriptionOffset = 0;
}

void parseSortOption(const char* arg, ListingOptions* options) {
  char direction = arg[2];
  if (direction != 'a' && direction != 'd') {
    options->sortResults = false;
    std::fprintf(stderr, "Error in sorting argument \"%s\" (will be ignored)\n", arg);
    return;
  }
  options->sortAscending = direction == 'a';
  options->sortResults = true;
  switch (arg[3]) {
    case 't':
      options->sortKey = SortKey::TIME;
      break;
    case 'r':
      options->sortKey = SortKey::REF;
      break;
    case 'c':
      options->sortKey = SortKey::CLOCK;
      break;
    default:
      options->sortResults = false;
      break;
  }
}

void runSelfTests() {
  printBanner();
  RandomJames generator;
  std::printf("RandomJames pseudo-random generator test: %s\n",
              generator.selfTest() ? "passed" : "failed");
  std::printf("SHA-1 digest test: %s\n", sha1SelfTest() ? "passed" : "failed");
  std::fflush(stdout);
}

// Flushes standard output and returns the exit status of a listing: 0, or 1
// when any write to standard output failed (then one line names the reason,
// since a listing cut short must not pass for a whole one).
int finishListing() {
  bool written = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
  if (!written) {
    std::fprintf(stderr, "Cannot write the listing: %s\n", std::strerror(errno != 0 ? errno : EIO));
    return 1;
  }
  return 0;
}

// Prints the page or JSON listing of the selected tests. Returns the exit
// status of finishListing().
int printListingDocument(const ResultTable& table, const ListingOptions& options,
                         const RunSettings& settings) {
  std::vector<ListedTest> tests;
  for (int n = 1; n <= TEST_COUNT; ++n) {
    if (settings.testMask & testBit(n)) tests.push_back(ListedTest{n, listingTitle(n)});
  }
  const SystemId thisSystem{settings.cpuDescription(), settings.cpuClock};
  // The journal's evidence, when there is a journal; its unreadable lines
  // are named on standard error and left out.
  const EvidenceIndex evidence(readJournal(JOURNAL_FILE).entries);
  DocumentWriter out(stdout);
  if (options.listDocument == ListDocument::HTML) {
    writeListingPage(&out, table, tests, options, thisSystem, &evidence);
  } else {
    writeListingJson(&out, table, tests, options, thisSystem, &evidence);
  }
  if (!out.finish()) {
    std::fprintf(stderr, "Cannot write the listing: %s\n", std::strerror(out.error()));
    return 1;
  }
  return finishListing();
}

// The command that compares this system's latest runs with the runs before
// them, when the journal holds an earlier run of a test of this system;
// else empty. It names this system as the run did.
std::string comparisonCommand(const RunSettings& settings, bool cpuFileRead) {
  const std::vector<JournalEntry> entries = readJournal(JOURNAL_FILE).entries;
  const RunsByTest latest =
      latestRuns(entries, JournalSystem{settings.cpuDescription(), settings.cpuClock});
  if (runsBefore(entries, latest).empty()) return "";
  std::string command = "bench -lc";
  if (settings.cpuClockAuto || (settings.descriptionGiven && !cpuFileRead)) {
    command += settings.cpuClockAuto ? " -c auto" : " -c " + std::to_string(settings.cpuClock);
    // The processor's own name is what -c auto gives without a description.
    if (!settings.cpuClockAuto || thisProcessorName() != settings.cpuDescription()) {
      command += std::string(" \"") + settings.cpuDescription() + "\"";
    }
  }
  return command;
}

// Where the clock of a run comes from.
ClockOrigin clockOrigin(const RunSettings& settings, bool cpuFileRead,
                        const MeasuredClock& measured) {
  if (settings.cpuClockAuto) {
    if (measured.source == ClockSource::CHAIN) return ClockOrigin::MEASURED;
    if (measured.source == ClockSource::OS_REPORTED) return ClockOrigin::OS_REPORTED;
    return ClockOrigin::DEFAULT;
  }
  if (settings.descriptionGiven) return ClockOrigin::GIVEN;
  return cpuFileRead ? ClockOrigin::CPU_FILE_READ : ClockOrigin::DEFAULT;
}

}  // namespace

uint32_t parseSize(const char* text) {
  const char* end = text;
  uint32_t value = readUnsigned32(text, &end);
  switch (*end) {
    case 'K':
    case 'k':
      return value * 1024u;
    case 'M':
    case 'm':
      return value * 1048576u;
    case 'G':
    case 'g':
      return value * 1073741824u;
    default:
      return value;
  }
}

ParsedCommandLine parseCommandLine(int argc, const char* const* argv, RunSettings* settings) {
  ParsedCommandLine parsed;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (arg[0] != '-') {
      parsed.maskArgument = arg;
      break;
    }
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    switch (arg[1]) {
      case 'h':
        parsed.outcome = ParseOutcome::SHOW_USAGE;
        return parsed;
      case 'l':
        if (arg[2] == 'c' || arg[2] == 'v') {
          // -lc[j], -lv[j] <journal>: the comparisons of runs.
          parsed.comparison.wanted = true;
          parsed.comparison.json = arg[3] == 'j';
          parsed.comparison.againstJournal = arg[2] == 'v';
          if (parsed.comparison.againstJournal && value != nullptr) {
            parsed.comparison.journal = value;
            ++i;
          }
          break;
        }
        parsed.listMode = true;
        if (arg[2] == 's') {
          parsed.listing.spreadSheetMode = true;
          parsed.listing.listDocument = ListDocument::NONE;
        } else if (arg[2] == 'h' || arg[2] == 'j') {
          parsed.listing.listDocument = arg[2] == 'h' ? ListDocument::HTML : ListDocument::JSON;
        } else if (isDigit(arg[2])) {
          int width = decimalValue(arg + 2);
          parsed.listing.listWidth = width > 160 ? 160 : (width < 40 ? 40 : width);
        }
        break;
      case 'm':
        if (value != nullptr) {
          parsed.mergeFileName = value;
          ++i;
        }
        break;
      case 'b':
        settings->briefMode = true;
        if (arg[2] == 'b') settings->superBriefMode = true;
        break;
      case 's':
        parseSortOption(arg, &parsed.listing);
        break;
      case 'r':
        if (arg[2] == '\0') {
          if (value != nullptr) {
            ++i;
            if (!compileSystemFilter(value, &parsed.listing)) {
              parsed.outcome = ParseOutcome::FILTER_INVALID;
              return parsed;
            }
          }
        } else if (arg[2] == 'm' || arg[2] == 'v' || arg[2] == 'd') {
          if (value != nullptr) {
            ++i;
            uint32_t size = parseSize(value);
            if (arg[2] == 'm') settings->ramLimit = size;
            if (arg[2] == 'v') settings->vmLimit = size;
            if (arg[2] == 'd') settings->diskLimit = size;
          }
        } else {
          std::fprintf(stderr, "Error in restricting argument \"%s\" (will be ignored)\n", arg);
        }
        break;
      case 'i':
        if (value != nullptr) {
          ++i;
          int32_t n = decimalValue(value);
          n = n < 1 ? 1 : (n > TEST_COUNT ? TEST_COUNT : n);
          settings->testMask = testBit(n);
          parsed.testGiven = true;
        }
        break;
      case 't':
        parsed.outcome = ParseOutcome::SELF_TEST;
        return parsed;
      case 'c':
        if (value != nullptr) {
          ++i;
          // "auto" exactly; any other text is read as a number, as before.
          settings->cpuClockAuto = std::strcmp(value, "auto") == 0;
          settings->cpuClock = settings->cpuClockAuto ? 0 : decimalValue(value);
          settings->descriptionGiven = true;
          if (i + 1 < argc) {
            ++i;
            setDescription(settings, argv[i]);
          }
        }
        break;
      case 'a':
        settings->logPerTest = true;
        break;
      default:
        std::fprintf(stderr,
                     "Unknown argument \"%s\" (will be ignored), type \"bench -h\" for help!\n",
                     arg);
        break;
    }
  }
  return parsed;
}

void printBanner() {
  std::printf(
      "KESTRO Bench %s-rev%d, a benchmark suite for personal computers\n"
      "  Please send result file (%s) back to author!\n",
      VERSION, REVISION, RESULT_FILE);
}

void printUsage() {
  printBanner();
  std::printf(USAGE_HEAD, CPU_FILE, CPU_FILE, CPU_FILE);
  for (int n = 1; n <= TEST_COUNT; ++n) {
    const TestEntry& entry = catalogueEntry(n);
    std::printf("     %2d. 0x%06X .. ", n, testBit(n));
    std::printf(entry.usageTitle, entry.usageParams[0], entry.usageParams[1], entry.usageParams[2]);
    std::printf("\n");
  }
  std::fflush(stdout);
}

int benchMain(int argc, const char* const* argv) {
  RunSettings& settings = runSettings;
  if (argc <= 1) {
    printUsage();
    return 1;
  }
  ParsedCommandLine parsed = parseCommandLine(argc, argv, &settings);
  switch (parsed.outcome) {
    case ParseOutcome::SHOW_USAGE:
      printUsage();
      return 1;
    case ParseOutcome::SELF_TEST:
      runSelfTests();
      return 0;
    case ParseOutcome::FILTER_INVALID:
      std::fflush(stdout);
      return 11;
    case ParseOutcome::CONTINUE:
      break;
  }

  // A document on standard output must be nothing but the document.
  bool document = ((parsed.listMode && parsed.listing.listDocument != ListDocument::NONE) ||
                   (parsed.comparison.wanted && parsed.comparison.json)) &&
                  parsed.mergeFileName == nullptr;
  if (!settings.briefMode && !document) printBanner();
  if (parsed.maskArgument != nullptr && !parsed.testGiven) {
    settings.testMask = static_cast<uint32_t>(automaticBaseValue(parsed.maskArgument)) & 0xFFFFFFu;
  }
  bool cpuFileRead = false;
  if (!settings.descriptionGiven) {
    cpuFileRead = readCpuFile(CPU_FILE, &settings);
    if (!cpuFileRead) {
      std::fprintf(stderr,
                   "CPU type & frequency were not specified in the command line,\n"
                   "CPU file \"%s\" was not found => using default values [\"%s\",%d]!\n",
                   CPU_FILE, settings.cpuDescription(), settings.cpuClock);
      std::fprintf(stderr, "Use \"-c auto\" to measure the CPU clock and name the CPU.\n");
    }
  }

  ResultTable table;
  if (!table.loadResults(RESULT_FILE)) {
    const bool missing = errno == ENOENT;
    std::fprintf(stderr, "Error reading old result file \"%s\"!\n", RESULT_FILE);
    // Expected on a first run; a file that is there but unreadable is not.
    if (missing && (parsed.mergeFileName != nullptr || !parsed.listMode)) {
      std::fprintf(stderr, "There is no \"%s\" here yet; a new result table will be created.\n",
                   RESULT_FILE);
    }
  }

  if (parsed.mergeFileName != nullptr) {
    // A journal is told from a result table by its content: its lines are
    // JSON objects, a table's start with a test number.
    const bool journal = looksLikeJournal(parsed.mergeFileName);
    std::vector<JournalEntry> journalEntries;
    const bool loaded = journal ? loadJournalRecords(table, parsed.mergeFileName, &journalEntries)
                                : table.loadResults(parsed.mergeFileName);
    // A merge that did not reach results.txt fails, for scripts as well.
    int status = 1;
    if (loaded) {
      table.mergeDuplicates();
      if (table.saveResults()) {
        std::printf("OK merging the \"%s\" file. %d items were enhanced.\n", parsed.mergeFileName,
                    table.enhancedCount());
        status = 0;
        if (journal) copyJournalLines(journalEntries, JOURNAL_FILE);
      } else {
        std::fprintf(stderr, "Cannot save the results: %s\n", table.saveFailure().c_str());
      }
    } else {
      std::fprintf(stderr, "Cannot merge the \"%s\" file!\n", parsed.mergeFileName);
    }
    std::fflush(stdout);
    return status;
  }

  if (parsed.comparison.wanted) {
    // Compares the runs of the system a run would record.
    if (settings.cpuClockAuto) checkClockBeforeRun(&settings, table, false, measureCpuClock);
    return runComparison(parsed.comparison, {settings.cpuDescription(), settings.cpuClock},
                         parsed.listing, settings.testMask);
  }

  errno = 0;  // so that a failed write of a listing leaves its own reason
  if (document) {
    // The page and the JSON highlight the system a run would record.
    if (settings.cpuClockAuto) checkClockBeforeRun(&settings, table, false, measureCpuClock);
    return printListingDocument(table, parsed.listing, settings);
  }
  if (parsed.listMode) {
    for (int n = 1; n <= TEST_COUNT; ++n) {
      if (settings.testMask & testBit(n)) {
        printTestTable(table, n, listingTitle(n).c_str(), parsed.listing);
      }
    }
    return finishListing();
  }

  const platform::ClockReading runStart = platform::readClock();
  bool clockGiven = cpuFileRead || (settings.descriptionGiven && !settings.cpuClockAuto);
  MeasuredClock before = checkClockBeforeRun(&settings, table, clockGiven, measureCpuClock);
  TestRun run(&table, &parsed.listing);
  if (before.source == ClockSource::CHAIN) run.meter = measureCpuClock;
  RunJournal journal(JOURNAL_FILE, settings, clockOrigin(settings, cpuFileRead, before), before);
  run.journal = &journal;
  if (platform::isTerminal(stderr)) run.progress.show(stderr);
  const int status = runSelectedTests(run);
  std::fflush(stdout);
  checkClockAfterRun(before, run.lowestAfterTest);

  RunSummary summary;
  summary.tally = run.tally;
  summary.recordedMhz = settings.cpuClock;
  summary.before = before;
  summary.lowestAfter = run.lowestAfterTest;
  summary.wallMillis = platform::millisBetween(runStart, platform::readClock());
  summary.saved = !table.dirty();
  if (journal.written()) {
    summary.journal = JOURNAL_FILE;
    summary.comparison = comparisonCommand(settings, cpuFileRead);
  }
  std::fputs(summaryText(summary).c_str(), stderr);
  std::fflush(stderr);
  return status;
}

}  // namespace bench
