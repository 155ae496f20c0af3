#include "results/journal.h"

#include <cctype>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "platform/files.h"
#include "results/json_value.h"
#include "results/text_escape.h"
#include "results/text_format.h"

namespace bench {

namespace {

// Warnings about skipped lines per file; beyond this many, one line counts
// the rest, so that a file of garbage does not flood the terminal.
constexpr int MAX_LINE_WARNINGS = 10;

void appendKey(std::string* out, const char* key) {
  *out += '"';
  *out += key;
  *out += "\":";
}

void appendStringMember(std::string* out, const char* key, std::string_view value) {
  appendKey(out, key);
  appendJsonString(out, value);
  *out += ',';
}

void appendIntMember(std::string* out, const char* key, int64_t value) {
  appendKey(out, key);
  appendFormat(out, "%" PRId64 ",", value);
}

// A clock of 0 was not measured: null.
void appendClockMember(std::string* out, const char* key, int32_t mhz) {
  appendKey(out, key);
  if (mhz > 0) {
    appendFormat(out, "%d,", mhz);
  } else {
    *out += "null,";
  }
}

// Closes an object or array whose last member left a ',' behind.
void close(std::string* out, char bracket) {
  if (out->back() == ',') out->pop_back();
  *out += bracket;
}

std::string hexOf(std::string_view bytes) {
  static const char DIGITS[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : bytes) {
    hex += DIGITS[c >> 4];
    hex += DIGITS[c & 15];
  }
  return hex;
}

bool bytesOfHex(std::string_view hex, std::string* bytes) {
  if (hex.size() % 2 != 0) return false;
  auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  bytes->clear();
  for (size_t i = 0; i < hex.size(); i += 2) {
    int high = digit(hex[i]);
    int low = digit(hex[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes->push_back(static_cast<char>(high * 16 + low));
  }
  return true;
}

// Readers of optional members: they leave the target as it is when the
// member is missing or of another kind.
void readString(const JsonValue& object, const char* key, std::string* target) {
  const JsonValue* value = object.member(key);
  if (value != nullptr && value->kind() == JsonValue::Kind::STRING) *target = value->string();
}

void readInt(const JsonValue& object, const char* key, int32_t* target) {
  const JsonValue* value = object.member(key);
  if (value != nullptr) value->asInt32(target);
}

bool fail(std::string* error, const char* reason) {
  *error = reason;
  return false;
}

bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// The description as the result table would hold it after a save and a
// load: up to a NUL, without white space around it.
std::string asTableDescription(std::string text) {
  text.resize(std::strlen(text.c_str()));
  size_t begin = 0;
  while (begin < text.size() && isSpace(text[begin])) ++begin;
  size_t end = text.size();
  while (end > begin && isSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

}  // namespace

std::string entryBuildName(const JournalEntry& entry) {
  return entry.architecture + " " + entry.floatingPoint + " " + entry.buildOs;
}

std::string formatJournalLine(const JournalEntry& entry) {
  std::string out = "{";
  appendIntMember(&out, "schema", JOURNAL_SCHEMA);
  appendStringMember(&out, "run_id", entry.runId);
  appendStringMember(&out, "time", entry.time);

  out += "\"program\":{";
  appendStringMember(&out, "version", entry.version);
  appendIntMember(&out, "revision", entry.revision);
  appendStringMember(&out, "architecture", entry.architecture);
  appendStringMember(&out, "floating_point", entry.floatingPoint);
  appendStringMember(&out, "os", entry.buildOs);
  appendStringMember(&out, "compiler", entry.compiler);
  close(&out, '}');
  out += ',';

  out += "\"system\":{";
  appendStringMember(&out, "description", entry.description);
  // A description that is not UTF-8 (a one-byte code page) keeps its exact
  // bytes here, so that the record it implies is the one in the table.
  if (!isUtf8(entry.description)) {
    appendStringMember(&out, "description_hex", hexOf(entry.description));
  }
  appendIntMember(&out, "clock_mhz", entry.clock);
  appendStringMember(&out, "clock_source", entry.clockSource);
  appendClockMember(&out, "clock_before_mhz", entry.clockBeforeMhz);
  appendClockMember(&out, "clock_after_mhz", entry.clockAfterMhz);
  appendStringMember(&out, "processor", entry.processor);
  appendIntMember(&out, "logical_processors", entry.logicalProcessors);
  appendKey(&out, "memory_bytes");
  appendFormat(&out, "%" PRIu64 ",", entry.memoryBytes);
  appendStringMember(&out, "os", entry.osName);
  appendStringMember(&out, "os_version", entry.osVersion);
  close(&out, '}');
  out += ',';

  out += "\"test\":{";
  appendIntMember(&out, "number", entry.test);
  appendStringMember(&out, "title", entry.title);
  appendIntMember(&out, "time_ms", entry.timeMs);
  appendStringMember(&out, "timed", entry.repeated ? "repeated" : "once");
  out += "\"repetitions_ms\":[";
  for (int32_t ms : entry.repetitionsMs) appendFormat(&out, "%d,", ms);
  close(&out, ']');
  out += ',';
  appendKey(&out, "noise");
  if (entry.noiseJudged) {
    out += '{';
    appendStringMember(&out, "verdict", entry.busy ? "busy" : "quiet");
    appendKey(&out, "above_fastest_percent");
    appendFormat(&out, "%.1f", entry.aboveFastestPercent);
    out += "},";
  } else {
    out += "null,";
  }
  out += "\"output\":[";
  for (const std::string& line : entry.output) {
    appendJsonString(&out, line);
    out += ',';
  }
  close(&out, ']');
  out += ',';
  appendStringMember(&out, "check", entry.checked ? "passed" : "none");
  close(&out, '}');
  out += ',';

  appendStringMember(&out, "record", entry.record);
  close(&out, '}');
  out += '\n';
  return out;
}

bool parseJournalLine(std::string_view line, JournalEntry* entry, std::string* error) {
  JsonValue root;
  if (!JsonValue::parse(line, &root, error)) return false;
  if (root.kind() != JsonValue::Kind::OBJECT) return fail(error, "not a JSON object");
  int32_t schema = 0;
  const JsonValue* schemaValue = root.member("schema");
  if (schemaValue == nullptr || !schemaValue->asInt32(&schema)) {
    return fail(error, "no schema version");
  }
  if (schema != JOURNAL_SCHEMA) {
    *error = "schema " + std::to_string(schema) + " is not known to this program";
    return false;
  }
  const JsonValue* program = root.member("program");
  const JsonValue* system = root.member("system");
  const JsonValue* test = root.member("test");
  if (system == nullptr || system->kind() != JsonValue::Kind::OBJECT || test == nullptr ||
      test->kind() != JsonValue::Kind::OBJECT) {
    return fail(error, "no system or test");
  }

  JournalEntry read;
  readString(root, "run_id", &read.runId);
  if (read.runId.empty()) return fail(error, "no run_id");
  readString(root, "time", &read.time);
  readString(root, "record", &read.record);
  if (program != nullptr) {
    readString(*program, "version", &read.version);
    readInt(*program, "revision", &read.revision);
    readString(*program, "architecture", &read.architecture);
    readString(*program, "floating_point", &read.floatingPoint);
    readString(*program, "os", &read.buildOs);
    readString(*program, "compiler", &read.compiler);
  }

  const JsonValue* description = system->member("description");
  const JsonValue* clock = system->member("clock_mhz");
  if (description == nullptr || description->kind() != JsonValue::Kind::STRING ||
      clock == nullptr || !clock->asInt32(&read.clock)) {
    return fail(error, "no description or clock");
  }
  std::string exact = description->string();
  const JsonValue* hex = system->member("description_hex");
  if (hex != nullptr &&
      (hex->kind() != JsonValue::Kind::STRING || !bytesOfHex(hex->string(), &exact))) {
    return fail(error, "bad description_hex");
  }
  if (exact.find('\n') != std::string::npos) return fail(error, "a line end in the description");
  read.description = asTableDescription(exact);
  readString(*system, "clock_source", &read.clockSource);
  readInt(*system, "clock_before_mhz", &read.clockBeforeMhz);
  readInt(*system, "clock_after_mhz", &read.clockAfterMhz);
  readString(*system, "processor", &read.processor);
  readInt(*system, "logical_processors", &read.logicalProcessors);
  if (const JsonValue* memory = system->member("memory_bytes")) memory->asUint64(&read.memoryBytes);
  readString(*system, "os", &read.osName);
  readString(*system, "os_version", &read.osVersion);

  const JsonValue* number = test->member("number");
  const JsonValue* time = test->member("time_ms");
  if (number == nullptr || !number->asInt32(&read.test) || read.test < 1 || time == nullptr ||
      !time->asInt32(&read.timeMs)) {
    return fail(error, "no test number or time");
  }
  readString(*test, "title", &read.title);
  std::string timed;
  readString(*test, "timed", &timed);
  read.repeated = timed == "repeated";
  if (const JsonValue* repetitions = test->member("repetitions_ms")) {
    for (const JsonValue& item : repetitions->items()) {
      int32_t ms = 0;
      if (!item.asInt32(&ms)) return fail(error, "a repetition time that is not a number");
      read.repetitionsMs.push_back(ms);
    }
  }
  const JsonValue* noise = test->member("noise");
  if (noise != nullptr && noise->kind() == JsonValue::Kind::OBJECT) {
    std::string verdict;
    readString(*noise, "verdict", &verdict);
    read.noiseJudged = verdict == "busy" || verdict == "quiet";
    read.busy = verdict == "busy";
    const JsonValue* above = noise->member("above_fastest_percent");
    if (above != nullptr && above->kind() == JsonValue::Kind::NUMBER) {
      read.aboveFastestPercent = above->number();
    }
  }
  if (const JsonValue* output = test->member("output")) {
    for (const JsonValue& item : output->items()) {
      if (item.kind() == JsonValue::Kind::STRING) read.output.push_back(item.string());
    }
  }
  std::string check;
  readString(*test, "check", &check);
  read.checked = check == "passed";
  read.line = std::string(line);
  *entry = std::move(read);
  return true;
}

bool appendJournalLines(const char* fileName, const std::string& lines, std::string* failure) {
  auto fail = [&](const char* action) {
    *failure = std::string("cannot ") + action + " \"" + fileName + "\": " + std::strerror(errno);
    return false;
  };
  // A crash may have cut the last line short; its end is written first.
  bool cutLine = false;
  if (std::FILE* existing = std::fopen(fileName, "rb")) {
    if (platform::seekFile(existing, -1, SEEK_END)) {
      int last = std::fgetc(existing);
      cutLine = last != EOF && last != '\n';
    }
    std::fclose(existing);
  }
  const std::string block = cutLine ? '\n' + lines : lines;
  std::FILE* file = std::fopen(fileName, "ab");
  if (file == nullptr) return fail("open");
  bool written =
      platform::appendWhole(file, block.data(), block.size()) && platform::syncFile(file);
  if (!written) fail("write");
  if (std::fclose(file) != 0 && written) written = fail("write");
  return written;
}

JournalRead readJournal(const char* fileName) {
  JournalRead read;
  std::FILE* file = std::fopen(fileName, "rb");
  if (file == nullptr) {
    read.error = errno;
    return read;
  }
  std::string text;
  char buffer[65536];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
  const bool failed = std::ferror(file) != 0;
  read.error = errno;
  std::fclose(file);
  if (failed) return read;
  read.readable = true;
  read.error = 0;

  int lineNumber = 0;
  int skipped = 0;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + start, end - start);
    start = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
    JournalEntry entry;
    std::string error;
    if (parseJournalLine(line, &entry, &error)) {
      read.entries.push_back(std::move(entry));
      continue;
    }
    if (++skipped <= MAX_LINE_WARNINGS) {
      std::fprintf(stderr, "Skipping line %d of \"%s\": %s.\n", lineNumber, fileName,
                   error.c_str());
    }
  }
  if (skipped > MAX_LINE_WARNINGS) {
    std::fprintf(stderr, "Skipped %d more lines of \"%s\" that could not be read.\n",
                 skipped - MAX_LINE_WARNINGS, fileName);
  }
  return read;
}

bool looksLikeJournal(const char* fileName) {
  std::FILE* file = std::fopen(fileName, "rb");
  if (file == nullptr) return false;
  int c;
  while ((c = std::fgetc(file)) != EOF && isSpace(static_cast<char>(c))) {
  }
  std::fclose(file);
  return c == '{';
}

}  // namespace bench
