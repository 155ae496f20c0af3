// Runs a program with a limit on the size of the files it may write, and
// with SIGXFSZ ignored so that a write beyond the limit fails with EFBIG
// instead of killing the program:
//   fsize_limit_exec <bytes> <program> [arguments...]
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: fsize_limit_exec <bytes> <program> [arguments...]\n");
    return 2;
  }
  rlimit limit;
  getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = std::strtoull(argv[1], nullptr, 10);
  if (setrlimit(RLIMIT_FSIZE, &limit) != 0 || std::signal(SIGXFSZ, SIG_IGN) == SIG_ERR) {
    std::fprintf(stderr, "fsize_limit_exec: %s\n", std::strerror(errno));
    return 2;
  }
  execv(argv[2], argv + 2);
  std::fprintf(stderr, "fsize_limit_exec: %s: %s\n", argv[2], std::strerror(errno));
  return 2;
}
