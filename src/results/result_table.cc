#include "results/result_table.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>

#include "platform/files.h"
#include "results/number_text.h"
#include "results/text_format.h"
#include "run/settings.h"

namespace bench {

namespace {

bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// Reads a file line by line through a block buffer: one call into the C
// library per block, not per byte, so a table of tens of megabytes loads
// quickly.
class LineReader {
 public:
  explicit LineReader(std::FILE* file) : file_(file), block_(BLOCK_SIZE) {}

  // Reads one whole line, newline included, however long it is. Returns
  // false at the end of the file when nothing was read, and when a read
  // failed (the line it cut is not returned).
  bool next(std::string* line) {
    line->clear();
    for (;;) {
      if (at_ == end_) {
        at_ = 0;
        end_ = std::fread(block_.data(), 1, block_.size(), file_);
        if (end_ == 0) return !line->empty() && !failed();
      }
      const char* start = block_.data() + at_;
      const char* newline = static_cast<const char*>(std::memchr(start, '\n', end_ - at_));
      size_t length = newline != nullptr ? static_cast<size_t>(newline - start) + 1 : end_ - at_;
      line->append(start, length);
      at_ += length;
      if (newline != nullptr) return true;
    }
  }

  // Whether a read failed (an input error, or a directory where a file was
  // expected); errno then says why.
  bool failed() const { return std::ferror(file_) != 0; }

 private:
  static constexpr size_t BLOCK_SIZE = 65536;

  std::FILE* file_;
  std::vector<char> block_;
  size_t at_ = 0;   // next unread byte of the block
  size_t end_ = 0;  // bytes in the block
};

}  // namespace

const char* ResultTable::internDescription(std::string_view text) {
  auto found = textIndex_.find(text);
  if (found != textIndex_.end()) return found->data();
  auto copy = std::make_unique<char[]>(text.size() + 1);
  std::memcpy(copy.get(), text.data(), text.size());
  copy[text.size()] = '\0';
  const char* shared = copy.get();
  texts_.push_back(std::move(copy));
  textIndex_.insert(std::string_view(shared, text.size()));
  return shared;
}

void ResultTable::append(std::string_view description, int32_t clock, int32_t test, int32_t time,
                         bool enhanced) {
  records_.push_back(ResultRecord{internDescription(description), clock, test, time, enhanced});
}

int32_t ResultTable::bestTime(int32_t test, const char* description, int32_t clock) const {
  int32_t best = 0;
  for (const ResultRecord& r : records_) {
    if (r.test == test && r.clock == clock && std::strcmp(r.description, description) == 0 &&
        (best == 0 || r.time < best)) {
      best = r.time;
    }
  }
  return best;
}

bool ResultTable::loadResults(const char* fileName) {
  // Binary mode: a text-mode read on Windows would end the table at a byte
  // 0x1A in a description. Both line ends are read: "\r" is trailing space.
  std::FILE* file = std::fopen(fileName, "rb");
  if (file == nullptr) {
    if (errno != ENOENT) refuseToReplace(fileName);
    return false;
  }
  LineReader reader(file);
  std::string line;
  while (reader.next(&line)) {
    // A description ends at a NUL byte, as everywhere else.
    line.resize(std::strlen(line.c_str()));
    int32_t test = 0;
    const char* afterTest = nullptr;
    if (!readDecimal(line.c_str(), &test, &afterTest) || test < 1) break;
    while (!line.empty() && isSpace(line.back())) line.pop_back();
    size_t offset = static_cast<size_t>(afterTest - line.data());
    if (offset > line.size()) break;  // the number was all there was
    const char* p = line.c_str() + offset;
    int32_t time = 0;
    int32_t clock = 0;
    if (!readDecimal(p, &time, &p) || !readDecimal(p, &clock, &p)) break;
    while (isSpace(*p)) ++p;
    append(p, clock, test, time, false);
  }
  const bool failed = reader.failed();
  const int error = errno;
  std::fclose(file);
  if (failed) {
    errno = error;
    refuseToReplace(fileName);
    return false;
  }
  return true;
}

void ResultTable::refuseToReplace(const char* fileName) {
  unreadFile_ = std::string("\"") + fileName + "\" could not be read whole (" +
                std::strerror(errno) + "), so it is not replaced";
}

std::string withFileLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\n') {
      out += platform::LINE_END;
    } else {
      out += c;
    }
  }
  return out;
}

std::string formatRecordLine(const ResultRecord& record) {
  std::string line;
  appendFormat(&line, "%2d %8d %4d %s\n", record.test, record.time, record.clock,
               record.description);
  return line;
}

bool ResultTable::saveResults() {
  if (!dirty_) return false;
  if (!unreadFile_.empty()) {
    saveFailure_ = unreadFile_;
    return false;
  }
  auto fail = [this](const char* action, const char* name) {
    saveFailure_ = std::string("cannot ") + action + " \"" + name + "\": " + std::strerror(errno);
    return false;
  };
  // enhanced.txt is opened first: if it cannot be, results.txt is untouched.
  std::FILE* enhanced = std::fopen(ENHANCED_FILE, "ab");
  if (enhanced == nullptr) return fail("open", ENHANCED_FILE);

  // The new table goes to a temporary file in the same directory, reaches
  // stable storage, and only then replaces results.txt: a crash, a full disk
  // or a write error leaves the previous table whole. It is written record
  // by record, so a table of tens of megabytes needs no copy in memory.
  char tempName[64];
  platform::makeTemporaryName(RESULT_FILE, tempName, sizeof tempName);
  std::FILE* temp = std::fopen(tempName, "wb");
  if (temp == nullptr) {
    fail("create", tempName);
    std::fclose(enhanced);
    return false;
  }
  std::string improved;
  bool written = true;
  for (const ResultRecord& record : records_) {
    std::string line = withFileLineEnds(formatRecordLine(record));
    written = written && std::fwrite(line.data(), 1, line.size(), temp) == line.size();
    if (record.enhanced) improved += line;
  }
  written = written && platform::syncFile(temp);
  if (!written) fail("write", tempName);
  if (std::fclose(temp) != 0 && written) written = fail("write", tempName);
  if (!written) {
    platform::removeFile(tempName);
    std::fclose(enhanced);
    return false;
  }

  // The improved records are appended with one write, so a reader never
  // meets half a record.
  bool logged = platform::appendWhole(enhanced, improved.data(), improved.size());
  if (!logged) fail("write", ENHANCED_FILE);
  if (std::fclose(enhanced) != 0 && logged) logged = fail("write", ENHANCED_FILE);
  if (!logged) {
    platform::removeFile(tempName);
    return false;
  }
  for (ResultRecord& record : records_) record.enhanced = false;

  if (!platform::renameFile(tempName, RESULT_FILE)) {
    fail("replace", RESULT_FILE);
    platform::removeFile(tempName);
    return false;
  }
  dirty_ = false;
  saveFailure_.clear();
  return true;
}

void ResultTable::mergeDuplicates() {
  dirty_ = true;
  // The positions sorted by group, and by position within a group: each
  // group's run starts with the record kept and meets the others in table
  // order. Sorting needs 4 bytes a record, far less than a hash map of the
  // groups would hold for a collector's million records.
  std::vector<uint32_t> byGroup(records_.size());
  for (size_t i = 0; i < byGroup.size(); ++i) byGroup[i] = static_cast<uint32_t>(i);
  auto groupOrder = [this](uint32_t a, uint32_t b) {
    const ResultRecord& x = records_[a];
    const ResultRecord& y = records_[b];
    if (x.description != y.description)
      return std::less<const char*>()(x.description, y.description);
    if (x.clock != y.clock) return x.clock < y.clock;
    if (x.test != y.test) return x.test < y.test;
    return a < b;
  };
  std::sort(byGroup.begin(), byGroup.end(), groupOrder);
  std::vector<bool> dropped(records_.size(), false);
  for (size_t start = 0; start < byGroup.size();) {
    ResultRecord& kept = records_[byGroup[start]];
    size_t next = start + 1;
    for (; next < byGroup.size(); ++next) {
      const ResultRecord& other = records_[byGroup[next]];
      if (other.description != kept.description || other.clock != kept.clock ||
          other.test != kept.test) {
        break;
      }
      dropped[byGroup[next]] = true;
      if (other.time < kept.time) {
        kept.time = other.time;
        ++enhancedCount_;
      }
    }
    start = next;
  }
  size_t keptCount = 0;
  for (size_t i = 0; i < records_.size(); ++i) {
    if (!dropped[i]) records_[keptCount++] = records_[i];
  }
  records_.resize(keptCount);
}

}  // namespace bench
