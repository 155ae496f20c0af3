// End-to-end behaviour of the K-D tree test when its file cannot grow: the
// run stops with a diagnostic, records nothing and exits with status 11.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/bench_runner.h"
#include "support/test_support.h"

namespace bench::testing {
namespace {

// Runs the bench binary like runBench, but in a child process whose files
// may not grow beyond `maxFileBytes` (writes past it fail with EFBIG, the
// signal that would otherwise end the process being ignored). A full disk
// looks the same to the program, and the limit also holds for root.
BenchRun runBenchWithFileSizeLimit(const std::vector<std::string>& args, rlim_t maxFileBytes) {
  std::vector<char*> argv;
  std::string binary = BENCH_BINARY;
  argv.push_back(binary.data());
  std::vector<std::string> copies = args;
  for (std::string& arg : copies) argv.push_back(arg.data());
  argv.push_back(nullptr);

  pid_t child = fork();
  if (child == 0) {
    int in = open("/dev/null", O_RDONLY);
    int out = open("bench.out", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = open("bench.err", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0) _exit(126);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    rlimit limit{maxFileBytes, maxFileBytes};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(126);
    std::signal(SIGXFSZ, SIG_IGN);
    execv(argv[0], argv.data());
    _exit(127);
  }
  BenchRun run;
  int raw = 0;
  if (child < 0 || waitpid(child, &raw, 0) != child) return run;
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = readFile("bench.out");
  run.err = readFile("bench.err");
  std::remove("bench.out");
  std::remove("bench.err");
  return run;
}

TEST(KdTreeCli, TreeFileThatCannotGrowStopsTheTestAndRecordsNothing) {
  ScopedTempDir dir;
  BenchRun run =
      runBenchWithFileSizeLimit({"-b", "-i", "11", "-c", "1000", "Limited disk"}, 1 << 20);
  EXPECT_EQ(run.status, 11);
  // Blocks are appended in order; block 256 is the first beyond 1 MiB.
  // (The run also notes that there was no result file to read.)
  std::string expected =
      std::string("akd-tree.bin: cannot write block 256: ") + std::strerror(EFBIG) + "\n";
  EXPECT_NE(run.err.find(expected), std::string::npos) << run.err;
  EXPECT_EQ(run.out.find("Adaptive K-D tree on disk:"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("Limited disk "), std::string::npos) << run.out;
  EXPECT_FALSE(std::filesystem::exists("akd-tree.bin"));
  EXPECT_EQ(readFile("results.txt").find("Limited disk"), std::string::npos);
}

}  // namespace
}  // namespace bench::testing
