// The run journal, `runs.jsonl`: the evidence behind every recorded result.
// After each recorded result the harness appends one line, a JSON object,
// holding what the four fields of the result table cannot: the build, the
// system's facts, the clocks measured, every repetition's time and the
// noise verdict, the test's own result lines and whether its check held.
// Journals are exchanged like result tables and combine by concatenation.
//
// The format is versioned (JOURNAL_SCHEMA) and written down in the README.
// Writers append one whole line per write; readers skip, with a warning, a
// line they cannot parse (such as the partial last line a crash leaves),
// ignore members they do not know, and use the rest. Nothing private is
// written: no host name, user name or path.
//
// Used by the main thread only.
#ifndef BENCH_RESULTS_JOURNAL_H_
#define BENCH_RESULTS_JOURNAL_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace bench {

inline constexpr const char* JOURNAL_FILE = "runs.jsonl";
inline constexpr int JOURNAL_SCHEMA = 1;

// One line of the journal: one recorded result with its evidence.
struct JournalEntry {
  // The invocation that wrote the line (shared by all its lines), and when
  // the line was written (UTC, ISO 8601).
  std::string runId;
  std::string time;

  // The program.
  std::string version;
  int32_t revision = 0;
  std::string architecture;   // "x86-64", "arm64", ...
  std::string floatingPoint;  // "sse2", "x87", "neon", ...
  std::string buildOs;        // "linux", "windows"
  std::string compiler;

  // The system, as the result table records it, and its facts. A clock of
  // 0 before or after means that none was measured.
  std::string description;  // exactly the bytes of the table's description
  int32_t clock = 0;
  std::string clockSource;  // "given", "cpu_file", "measured", "os_reported", "default"
  int32_t clockBeforeMhz = 0;
  int32_t clockAfterMhz = 0;
  std::string processor;
  int32_t logicalProcessors = 0;
  uint64_t memoryBytes = 0;
  std::string osName;
  std::string osVersion;

  // The test and its result.
  int32_t test = 0;
  std::string title;
  int32_t timeMs = 0;                  // the time recorded in the table
  bool repeated = false;               // timed by repetition, else once
  std::vector<int32_t> repetitionsMs;  // every repetition's time; the one time if once
  // The noise verdict of a repeated test: whether the repetitions disagree
  // so much that the machine was busy, and how far the result lies above
  // the fastest repetition.
  bool noiseJudged = false;
  bool busy = false;
  double aboveFastestPercent = 0;
  std::vector<std::string> output;  // the test's result lines as printed
  bool checked = false;             // the test checked its result and it held
  std::string record;               // "new", "improved", "not_improved"

  // The line as it was read (empty for an entry made in this process).
  std::string line;
};

// The build name of an entry, as buildName() gives it for this build.
std::string entryBuildName(const JournalEntry& entry);

// Formats `entry` as one journal line, ending in "\n".
std::string formatJournalLine(const JournalEntry& entry);

// Parses one journal line (without its line end). Returns false, with a
// short reason in `error`, when it is not a line of this schema.
bool parseJournalLine(std::string_view line, JournalEntry* entry, std::string* error);

// Appends `lines` (whole lines, each ending in "\n") to the journal
// `fileName` with one write, in binary mode, and forces them to stable
// storage. When the file does not end in a line end (a crash cut its last
// line), a line end goes first, so that the cut line stays the only bad one.
// Returns false, with the reason in `failure`, when the file cannot be
// opened or written.
bool appendJournalLines(const char* fileName, const std::string& lines, std::string* failure);

struct JournalRead {
  bool readable = false;  // false when the file cannot be opened or read whole
  int error = 0;          // then the system's error number (ENOENT: no file)
  std::vector<JournalEntry> entries;
};

// Reads the journal `fileName`. Every line that cannot be parsed is skipped
// with one warning on standard error naming the file and the line number;
// empty lines are skipped silently. A read that fails part way (an input
// error, a directory) makes the journal unreadable, with no entries: a part
// of it taken for the whole would merge or compare less than it holds.
JournalRead readJournal(const char* fileName);

// True when the file starts, after white space, with "{": a journal rather
// than a result table, whose lines start with a test number.
bool looksLikeJournal(const char* fileName);

}  // namespace bench

#endif  // BENCH_RESULTS_JOURNAL_H_
