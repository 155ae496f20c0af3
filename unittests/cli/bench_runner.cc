#include "cli/bench_runner.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "support/test_support.h"

namespace bench::testing {

namespace {

// Quotes `text` for the shell: inside single quotes, a quote is written as
// quote, backslash, quote, quote.
std::string shellQuote(const std::string& text) {
  std::string quoted(1, '\'');
  for (char c : text) {
    if (c == '\'') {
      quoted.append({'\'', '\\', '\'', '\''});
    } else {
      quoted.push_back(c);
    }
  }
  quoted.push_back('\'');
  return quoted;
}

}  // namespace

BenchRun runBench(const std::vector<std::string>& args, unsigned long fileSizeLimit) {
  std::string command;
  if (fileSizeLimit != 0) {
    command = shellQuote(FSIZE_LIMIT_EXEC) + " " + std::to_string(fileSizeLimit) + " ";
  }
  command.append(shellQuote(BENCH_BINARY));
  for (const std::string& arg : args) {
    command.push_back(' ');
    command.append(shellQuote(arg));
  }
  // The output goes outside the working directory, which may be read-only.
  static int runCount = 0;
  std::string stem = (std::filesystem::temp_directory_path() /
                      ("bench-run-" + std::to_string(getpid()) + "-" + std::to_string(++runCount)))
                         .string();
  std::string outName = stem + ".out";
  std::string errName = stem + ".err";
  command.append(" </dev/null >" + shellQuote(outName) + " 2>" + shellQuote(errName));
  int raw = std::system(command.c_str());
  BenchRun run;
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = readFile(outName);
  run.err = readFile(errName);
  std::remove(outName.c_str());
  std::remove(errName.c_str());
  return run;
}

int startBench(std::vector<std::string> args) {
  pid_t child = fork();
  if (child == 0) {
    std::vector<char*> argv;
    std::string binary = BENCH_BINARY;
    argv.push_back(binary.data());
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    if (std::freopen("/dev/null", "w", stdout) == nullptr) _exit(126);
    execv(binary.c_str(), argv.data());
    _exit(127);
  }
  return child;
}

void killBench(int child) {
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
}

std::string fixturePath(const std::string& name) { return std::string(BENCH_FIXTURES) + "/" + name; }

}  // namespace bench::testing
