#include "cli/host_tools.h"

#include <sys/wait.h>

namespace bench::testing {

std::string shellQuote(const std::string& text) {
  // Inside single quotes, a quote is written as quote, backslash, quote, quote.
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

int shell(const std::string& command) {
  int raw = std::system(command.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

bool haveCommand(const std::string& name) {
  return shell("command -v " + shellQuote(name) + " >/dev/null 2>&1") == 0;
}

std::string cliScript(const char* name) { return std::string(BENCH_CLI_SCRIPTS) + "/" + name; }

}  // namespace bench::testing
