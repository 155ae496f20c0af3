// The host's programs that end-to-end tests drive: the shell, and Python
// with the scripts kept in unittests/cli/scripts. POSIX only.
#ifndef BENCH_UNITTESTS_CLI_HOST_TOOLS_H_
#define BENCH_UNITTESTS_CLI_HOST_TOOLS_H_

#include <cstdlib>
#include <string>

namespace bench::testing {

// `text` quoted as one shell word.
std::string shellQuote(const std::string& text);

// Runs a shell command; returns its exit status, or -1 when it did not exit.
int shell(const std::string& command);

// True when the shell finds the program `name`.
bool haveCommand(const std::string& name);

// The path of a script in unittests/cli/scripts.
std::string cliScript(const char* name);

}  // namespace bench::testing

// Skips the test when a tool is missing, except in CI, which installs every
// tool the tests need: there, a missing tool fails the test.
#define REQUIRE_TOOL(available, what)                                    \
  do {                                                                   \
    if (!(available)) {                                                  \
      if (std::getenv("CI") != nullptr) FAIL() << what << " is missing"; \
      GTEST_SKIP() << what << " is missing";                             \
    }                                                                    \
  } while (false)

#endif  // BENCH_UNITTESTS_CLI_HOST_TOOLS_H_
