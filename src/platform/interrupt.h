// Removal of a test's work files when the program is interrupted (Ctrl-C or
// a termination request), so users do not find gigabytes of work files left
// in their directories. Results saved before the interruption stay: the
// result file is only ever replaced atomically.
//
// Main thread only.
#ifndef BENCH_PLATFORM_INTERRUPT_H_
#define BENCH_PLATFORM_INTERRUPT_H_

namespace bench::platform {

// From now until clearInterruptFiles(), an interruption deletes the named
// files before the program ends with the signal's usual status.
// REQUIRES: the names (and the array) stay valid until cleared.
void setInterruptFiles(const char* const* names, int count);

// Forgets the names given to setInterruptFiles.
void clearInterruptFiles();

// Bracket the creation of a work file (openWorkFile does this). Where the
// interruption is handled on a thread of its own, a creation under way
// finishes before the registered files are removed, so the new file goes
// with them, and a creation begun after an interruption waits until the
// process has ended, so no file is left behind. Elsewhere they do nothing.
void beginWorkFileCreation();
void endWorkFileCreation();

// Registers a test's work files for the lifetime of the object.
class ScopedInterruptFiles {
 public:
  ScopedInterruptFiles(const char* const* names, int count) { setInterruptFiles(names, count); }
  ~ScopedInterruptFiles() { clearInterruptFiles(); }
  ScopedInterruptFiles(const ScopedInterruptFiles&) = delete;
  ScopedInterruptFiles& operator=(const ScopedInterruptFiles&) = delete;
};

}  // namespace bench::platform

#endif  // BENCH_PLATFORM_INTERRUPT_H_
