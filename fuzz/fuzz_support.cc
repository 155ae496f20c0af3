#include "fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>
#include <vector>

namespace bench::fuzz {

namespace {

std::filesystem::path currentDirectory() {
  std::error_code error;
  std::filesystem::path path = std::filesystem::current_path(error);
  if (error) {
    std::fprintf(stderr, "fuzz: cannot read the current directory: %s\n", error.message().c_str());
    std::abort();
  }
  return path;
}

void changeDirectory(const std::filesystem::path& path) {
  std::error_code error;
  std::filesystem::current_path(path, error);
  if (error) {
    std::fprintf(stderr, "fuzz: cannot enter %s: %s\n", path.c_str(), error.message().c_str());
    std::abort();
  }
}

// One folder per process, so fuzzers started side by side never share one.
std::filesystem::path scratchDirectory() {
  std::error_code error;
  std::filesystem::path base = std::filesystem::temp_directory_path(error);
  if (error) base = "/tmp";
  return base / ("bench-fuzz-" + std::to_string(getpid()));
}

}  // namespace

ScopedScratchDirectory::ScopedScratchDirectory() : home_(currentDirectory()) {
  std::filesystem::path scratch = scratchDirectory();
  std::error_code error;
  std::filesystem::create_directories(scratch, error);
  if (error) {
    std::fprintf(stderr, "fuzz: cannot create %s: %s\n", scratch.c_str(), error.message().c_str());
    std::abort();
  }
  changeDirectory(scratch);
}

// The folder goes with each input: a fuzzer ends without running exit
// handlers, and a crash leaves the folder behind for a look at its files.
ScopedScratchDirectory::~ScopedScratchDirectory() {
  changeDirectory(home_);
  std::error_code error;
  std::filesystem::remove_all(scratchDirectory(), error);
}

void writeWholeFile(const char* name, const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(name, "wb");
  if (file == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
}

}  // namespace bench::fuzz

// A crash is written while the input runs, inside the scratch directory:
// give the fuzzer an absolute artifact prefix (the directory it was started
// in, or the relative prefix the user gave, made absolute) so the crash file
// lands where the user looks for it.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  static std::vector<std::string> words;
  static std::vector<char*> pointers;
  const std::string flag = "-artifact_prefix=";
  const std::string home = bench::fuzz::currentDirectory().string() + "/";
  bool given = false;
  for (int i = 0; i < *argc; ++i) {
    std::string word = (*argv)[i];
    if (word.rfind(flag, 0) == 0) {
      given = true;
      std::string prefix = word.substr(flag.size());
      if (prefix.empty() || prefix[0] != '/') word = flag + home + prefix;
    }
    words.push_back(word);
  }
  if (!given) words.push_back(flag + home);
  for (std::string& word : words) pointers.push_back(word.data());
  pointers.push_back(nullptr);
  *argc = static_cast<int>(words.size());
  *argv = pointers.data();
  return 0;
}
