#include "cli/bench_runner.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "cli/bench_emulator.h"
#include "cli/host_tools.h"
#include "support/test_support.h"

namespace bench::testing {

namespace {

// The emulator's words (none in a native build) followed by `program`.
std::vector<std::string> targetCommand(const std::string& program) {
  std::vector<std::string> words;
  for (const char* const* word = BENCH_EMULATOR; *word != nullptr; ++word)
    words.emplace_back(*word);
  words.push_back(program);
  return words;
}

void appendQuoted(const std::vector<std::string>& words, std::string* command) {
  for (const std::string& word : words) {
    if (!command->empty()) command->push_back(' ');
    command->append(shellQuote(word));
  }
}

// Runs `command` followed by the bench binary (through the emulator in a
// cross build) with `args`, and collects its status and output.
BenchRun runCommand(std::string command, const std::vector<std::string>& args) {
  appendQuoted(targetCommand(BENCH_BINARY), &command);
  appendQuoted(args, &command);
  // The output goes outside the working directory, which may be read-only.
  static int runCount = 0;
  std::string stem = (std::filesystem::temp_directory_path() /
                      ("bench-run-" + std::to_string(getpid()) + "-" + std::to_string(++runCount)))
                         .string();
  std::string outName = stem + ".out";
  std::string errName = stem + ".err";
  command.append(" </dev/null >" + shellQuote(outName) + " 2>" + shellQuote(errName));
  BenchRun run;
  run.status = shell(command);
  run.out = readFile(outName);
  run.err = readFile(errName);
  std::remove(outName.c_str());
  std::remove(errName.c_str());
  return run;
}

}  // namespace

BenchRun runBench(const std::vector<std::string>& args, unsigned long fileSizeLimit) {
  std::string command;
  if (fileSizeLimit != 0) {
    appendQuoted(targetCommand(FSIZE_LIMIT_EXEC), &command);
    appendQuoted({std::to_string(fileSizeLimit)}, &command);
  }
  return runCommand(command, args);
}

std::string noPauseShellPrefix() {
  // The library must reach the bench program only: under an emulator it is
  // handed to the emulated program's loader, not to the emulator's.
  const bool emulated = BENCH_EMULATOR[0] != nullptr;
  std::string command =
      (emulated ? "QEMU_SET_ENV=LD_PRELOAD=" : "LD_PRELOAD=") + shellQuote(NO_PAUSE_PRELOAD);
  // AddressSanitizer wants its runtime first among the loaded libraries;
  // the preloaded one replaces no function it intercepts.
  command += " ASAN_OPTIONS=\"verify_asan_link_order=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}\"";
  return command;
}

BenchRun runBenchWithoutPause(const std::vector<std::string>& args) {
  return runCommand(noPauseShellPrefix(), args);
}

std::string benchShellCommand() {
  std::string command;
  appendQuoted(targetCommand(BENCH_BINARY), &command);
  return command;
}

int startBench(std::vector<std::string> args) {
  pid_t child = fork();
  if (child == 0) {
    std::vector<std::string> words = targetCommand(BENCH_BINARY);
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    if (std::freopen("/dev/null", "w", stdout) == nullptr) _exit(126);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return child;
}

void killBench(int child) {
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
}

}  // namespace bench::testing
