#include "run/processor_name.h"

#include <cmath>
#include <cstdlib>

#include "platform/cpu_name.h"
#include "run/settings.h"

namespace bench {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view trim(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Takes the next line of `text` off it; returns false at the end. A line with
// a colon gives its key (trimmed) and the value after the colon; other lines
// give an empty key.
bool nextField(std::string_view* text, std::string_view* key, std::string_view* value) {
  if (text->empty()) return false;
  size_t end = text->find('\n');
  std::string_view line = text->substr(0, end);
  text->remove_prefix(end == std::string_view::npos ? text->size() : end + 1);
  size_t colon = line.find(':');
  *key = colon == std::string_view::npos ? std::string_view() : trim(line.substr(0, colon));
  *value = colon == std::string_view::npos ? std::string_view() : line.substr(colon + 1);
  return true;
}

}  // namespace

std::string cleanDescription(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::string clean;
  bool pendingBlank = false;
  for (char c : text) {
    if (isBlank(c)) {
      pendingBlank = !clean.empty();
      continue;
    }
    if (pendingBlank) clean.push_back(' ');
    pendingBlank = false;
    clean.push_back(c);
  }
  if (clean.size() > DESCRIPTION_BUFFER_SIZE - 1) {
    clean.resize(DESCRIPTION_BUFFER_SIZE - 1);
    // Cutting may leave a blank at the end.
    while (!clean.empty() && clean.back() == ' ') clean.pop_back();
  }
  return clean;
}

std::string processorInfoField(std::string_view infoText, std::string_view key) {
  std::string_view fieldKey, value;
  while (nextField(&infoText, &fieldKey, &value)) {
    if (!fieldKey.empty() && fieldKey == key) return cleanDescription(value);
  }
  return {};
}

std::string processorName(std::string_view brandString, std::string_view infoText,
                          std::string_view boardModel) {
  for (const std::string& name :
       {cleanDescription(brandString), processorInfoField(infoText, "model name"),
        processorInfoField(infoText, "Processor"), cleanDescription(boardModel)}) {
    if (!name.empty()) return name;
  }
  return "undefined";
}

int32_t osReportedClock(int32_t maxClockMhz, std::string_view infoText) {
  if (maxClockMhz > 0) return maxClockMhz;
  double highest = 0;
  std::string_view key, value;
  while (nextField(&infoText, &key, &value)) {
    if (key != "cpu MHz") continue;
    std::string number(trim(value));
    char* stop = nullptr;
    double mhz = std::strtod(number.c_str(), &stop);
    if (stop != number.c_str() && std::isfinite(mhz) && mhz > highest) highest = mhz;
  }
  if (highest >= INT32_MAX) return INT32_MAX;
  return static_cast<int32_t>(std::lround(highest));
}

std::string thisProcessorName() {
  return processorName(platform::readCpuBrandString(), platform::readProcessorInfoText(),
                       platform::readBoardModel());
}

}  // namespace bench
