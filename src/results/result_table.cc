#include "results/result_table.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "platform/files.h"
#include "results/number_text.h"
#include "run/settings.h"

namespace bench {

namespace {

bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// Reads one whole line, newline included, however long it is. Returns false
// at the end of the file when nothing was read.
bool readLine(std::FILE* file, std::string* line) {
  line->clear();
  int c;
  while ((c = std::getc(file)) != EOF) {
    line->push_back(static_cast<char>(c));
    if (c == '\n') return true;
  }
  return !line->empty();
}

struct GroupKey {
  int32_t test;
  int32_t clock;
  const char* description;
  bool operator==(const GroupKey&) const = default;
};

struct GroupKeyHash {
  size_t operator()(const GroupKey& key) const {
    size_t h = std::hash<const char*>()(key.description);
    h ^= std::hash<int64_t>()((static_cast<int64_t>(key.test) << 32) ^
                              static_cast<uint32_t>(key.clock)) +
         0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
    return h;
  }
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

void ResultTable::reserveFor(int needed) {
  if (needed <= capacity_) return;
  int newCapacity = (needed + 127) / 128 * 128;
  auto grown = std::make_unique<ResultRecord[]>(static_cast<size_t>(newCapacity));
  for (int i = 0; i < count_; ++i) grown[i] = records_[i];
  records_ = std::move(grown);
  capacity_ = newCapacity;
}

void ResultTable::append(std::string_view description, int32_t clock, int32_t test, int32_t time,
                         bool enhanced) {
  reserveFor(count_ + 1);
  records_[count_++] = ResultRecord{internDescription(description), clock, test, time, enhanced};
}

int32_t ResultTable::bestTime(int32_t test, const char* description, int32_t clock) const {
  int32_t best = 0;
  for (int i = 0; i < count_; ++i) {
    const ResultRecord& r = records_[i];
    if (r.test == test && r.clock == clock && std::strcmp(r.description, description) == 0 &&
        (best == 0 || r.time < best)) {
      best = r.time;
    }
  }
  return best;
}

bool ResultTable::loadResults(const char* fileName) {
  std::FILE* file = std::fopen(fileName, "r");
  if (file == nullptr) return false;
  std::string line;
  while (readLine(file, &line)) {
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
  std::fclose(file);
  return true;
}

std::string formatRecordLine(const ResultRecord& record) {
  int length = std::snprintf(nullptr, 0, "%2d %8d %4d %s\n", record.test, record.time, record.clock,
                             record.description);
  std::string line(static_cast<size_t>(length), '\0');
  std::snprintf(line.data(), line.size() + 1, "%2d %8d %4d %s\n", record.test, record.time,
                record.clock, record.description);
  return line;
}

bool ResultTable::saveResults() {
  if (!dirty_) return false;
  auto fail = [this](const char* action, const char* name) {
    saveFailure_ = std::string("cannot ") + action + " \"" + name + "\": " + std::strerror(errno);
    return false;
  };
  // enhanced.txt is opened first: if it cannot be, results.txt is untouched.
  std::FILE* enhanced = std::fopen(ENHANCED_FILE, "a");
  if (enhanced == nullptr) return fail("open", ENHANCED_FILE);

  std::string table;
  std::string improved;
  for (int i = 0; i < count_; ++i) {
    std::string line = formatRecordLine(records_[i]);
    table += line;
    if (records_[i].enhanced) improved += line;
  }

  // The new table goes to a temporary file in the same directory, reaches
  // stable storage, and only then replaces results.txt: a crash, a full disk
  // or a write error leaves the previous table whole.
  char tempName[64];
  platform::makeTemporaryName(RESULT_FILE, tempName, sizeof tempName);
  std::FILE* temp = std::fopen(tempName, "w");
  if (temp == nullptr) {
    fail("create", tempName);
    std::fclose(enhanced);
    return false;
  }
  bool written =
      std::fwrite(table.data(), 1, table.size(), temp) == table.size() && platform::syncFile(temp);
  if (!written) fail("write", tempName);
  if (std::fclose(temp) != 0 && written) written = fail("write", tempName);
  if (!written) {
    platform::removeFile(tempName);
    std::fclose(enhanced);
    return false;
  }

  // The improved records are appended with one write, so a reader never
  // meets half a record.
  std::setvbuf(enhanced, nullptr, _IONBF, 0);
  bool logged = std::fwrite(improved.data(), 1, improved.size(), enhanced) == improved.size();
  if (!logged) fail("write", ENHANCED_FILE);
  if (std::fclose(enhanced) != 0 && logged) logged = fail("write", ENHANCED_FILE);
  if (!logged) {
    platform::removeFile(tempName);
    return false;
  }
  for (int i = 0; i < count_; ++i) records_[i].enhanced = false;

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
  std::unordered_map<GroupKey, int, GroupKeyHash> firstOfGroup;
  std::vector<bool> dropped(static_cast<size_t>(count_), false);
  for (int j = 0; j < count_; ++j) {
    GroupKey key{records_[j].test, records_[j].clock, records_[j].description};
    auto [it, inserted] = firstOfGroup.try_emplace(key, j);
    if (inserted) continue;
    ResultRecord& kept = records_[it->second];
    dropped[static_cast<size_t>(j)] = true;
    if (records_[j].time < kept.time) {
      kept.time = records_[j].time;
      ++enhancedCount_;
    }
  }
  int keptCount = 0;
  for (int i = 0; i < count_; ++i) {
    if (!dropped[static_cast<size_t>(i)]) records_[keptCount++] = records_[i];
  }
  count_ = keptCount;
}

}  // namespace bench
