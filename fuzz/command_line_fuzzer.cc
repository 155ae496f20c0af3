// Parses an argument vector made from the input (arguments separated by NUL
// bytes). The one-shot commands that would print usage, run self-tests,
// merge, list or run tests are not carried out: only the parser runs.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "driver/command_line.h"
#include "fuzz_support.h"
#include "regex/regular_expression.h"
#include "run/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> words(1, "bench");
  std::string current;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      words.push_back(current);
      current.clear();
    } else {
      current.push_back(static_cast<char>(data[i]));
    }
  }
  words.push_back(current);
  std::vector<const char*> argv;
  for (const std::string& word : words) argv.push_back(word.c_str());

  bench::RunSettings settings;
  bench::ParsedCommandLine parsed =
      bench::parseCommandLine(static_cast<int>(argv.size()), argv.data(), &settings);
  if (parsed.listing.listWidth < 40 || parsed.listing.listWidth > 160) std::abort();
  if (settings.testMask == 0 || settings.testMask > 0xFFFFFF) std::abort();
  if (parsed.testGiven && (settings.testMask & (settings.testMask - 1)) != 0) std::abort();
  (void)settings.cpuDescription();
  return 0;
}
