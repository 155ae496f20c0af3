#include "cli/bench_runner.h"

#include <sys/wait.h>

#include <cstdlib>

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

BenchRun runBench(const std::vector<std::string>& args) {
  std::string command = shellQuote(BENCH_BINARY);
  for (const std::string& arg : args) {
    command.push_back(' ');
    command.append(shellQuote(arg));
  }
  command.append(" </dev/null >bench.out 2>bench.err");
  int raw = std::system(command.c_str());
  BenchRun run;
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = readFile("bench.out");
  run.err = readFile("bench.err");
  std::remove("bench.out");
  std::remove("bench.err");
  return run;
}

std::string fixturePath(const std::string& name) { return std::string(BENCH_FIXTURES) + "/" + name; }

}  // namespace bench::testing
