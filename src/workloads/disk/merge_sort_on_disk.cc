#include "workloads/disk/merge_sort_on_disk.h"

#include <cstdio>

#include "core/random_james.h"
#include "core/sort_doubles.h"
#include "platform/files.h"
#include "platform/interrupt.h"
#include "run/outcome.h"
#include "run/settings.h"
#include "run/stopwatch.h"
#include "run/result_text.h"
#include "workloads/disk/work_files.h"

namespace bench {

namespace {

constexpr int WORK_FILE_COUNT = 4;

struct MergeSortSize {
  int32_t valueCount;
  int32_t chunkSize;
};

constexpr MergeSortSize SIZES[2] = {{0x800000, 1024}, {0x4000000, 8192}};

void printRunCounts(RunCounts runs) {
  std::printf("%17d %17d\r", runs.first, runs.second);
  std::fflush(stdout);
}

// Copies one run of `input`, starting with its pending value `first`, to
// `output`. Returns the value that follows the run: the first of the next
// run, or negative at the end of the input.
double copyRun(double first, CDoubleFile& input, CDoubleFile& output) {
  double previous = first;
  output.write(previous);
  for (;;) {
    double next = input.read();
    if (next < previous) return next;
    output.write(next);
    previous = next;
  }
}

}  // namespace

RunCounts distributeRuns(CDoubleFile& input, CDoubleFile& outputA, CDoubleFile& outputB) {
  outputA.rewrite();
  outputB.rewrite();
  RunCounts runs = {0, 0};
  input.seek(0);
  double v = input.read();
  if (v < 0) return runs;
  CDoubleFile* current = &outputA;
  current->write(v);
  runs.first = 1;
  for (;;) {
    double w = input.read();
    if (w < 0) return runs;
    if (w < v) {
      if (current == &outputA) {
        current = &outputB;
        ++runs.second;
      } else {
        current = &outputA;
        ++runs.first;
      }
    }
    current->write(w);
    v = w;
  }
}

RunCounts mergeRuns(CDoubleFile& inputA, CDoubleFile& inputB, CDoubleFile& outputA,
                    CDoubleFile& outputB) {
  outputA.rewrite();
  outputB.rewrite();
  inputA.seek(0);
  inputB.seek(0);
  // a and b are the current values of the inputs, aNext and bNext the ones
  // behind them; a value below its predecessor starts a new run.
  double a = inputA.read();
  double aNext = inputA.read();
  double b = inputB.read();
  double bNext = inputB.read();
  // An input without values (only after a failed read) would make the merge
  // below copy the end mark forever.
  if (a < 0 || b < 0) return {0, 0};
  RunCounts runs = {1, 0};
  CDoubleFile* output = &outputA;

  CDoubleFile* rest;  // the input left over when the other one ends
  double pending;     // the first value of its next run
  for (;;) {
    // Merge the current run of A with the current run of B.
    for (;;) {
      if (a < b) {
        output->write(a);
        if (aNext < a) {  // A's run ends: the rest of B's run follows
          for (;;) {
            output->write(b);
            if (bNext < b) break;
            b = bNext;
            bNext = inputB.read();
          }
          break;
        }
        a = aNext;
        aNext = inputA.read();
      } else {  // on equal values B's goes first
        output->write(b);
        if (bNext < b) {  // B's run ends: the rest of A's run follows
          for (;;) {
            output->write(a);
            if (aNext < a) break;
            a = aNext;
            aNext = inputA.read();
          }
          break;
        }
        b = bNext;
        bNext = inputB.read();
      }
    }
    if (aNext < 0) {
      rest = &inputB;
      pending = bNext;
      break;
    }
    if (bNext < 0) {
      rest = &inputA;
      pending = aNext;
      break;
    }
    if (output == &outputA) {
      output = &outputB;
      ++runs.second;
    } else {
      output = &outputA;
      ++runs.first;
    }
    a = aNext;
    aNext = inputA.read();
    b = bNext;
    bNext = inputB.read();
  }

  // The remaining runs of one input go, one at a time, to the output that
  // has fewer runs (the second on equal counts).
  while (pending >= 0) {
    if (runs.first < runs.second) {
      ++runs.first;
      pending = copyRun(pending, *rest, outputA);
    } else {
      ++runs.second;
      pending = copyRun(pending, *rest, outputB);
    }
  }
  return runs;
}

SortCheck checkSorted(CDoubleFile& file) {
  file.seek(0);
  double v = file.read();
  SortCheck check = {true, 1};
  for (;;) {
    double w = file.read();
    if (w < 0) return check;
    ++check.count;
    if (v > w) {
      check.sorted = false;
      return check;
    }
    v = w;
  }
}

Outcome mergeSortOnDisk(int selector) {
  const MergeSortSize& size = SIZES[selector == 0 ? 0 : 1];
  return runMergeSortOnDisk(size.valueCount, size.chunkSize);
}

Outcome runMergeSortOnDisk(int32_t valueCount, int32_t chunkSize) {
  std::printf("init: random generator, bucket-sort\r");
  std::fflush(stdout);

  char names[WORK_FILE_COUNT][24];
  for (int i = 0; i < WORK_FILE_COUNT; ++i) {
    std::snprintf(names[i], sizeof names[i], "sort%d.bin", i + 1);
    platform::removeFile(names[i]);
  }

  const char* const interruptNames[WORK_FILE_COUNT] = {names[0], names[1], names[2], names[3]};
  platform::ScopedInterruptFiles interruptCleanup(interruptNames, WORK_FILE_COUNT);

  timerStart();
  RandomJames random;
  CDoubleFile f1(names[0], true);
  CDoubleFile f2(names[1], true);
  CDoubleFile f3(names[2], true);
  CDoubleFile f4(names[3], true);
  CDoubleFile* const files[WORK_FILE_COUNT] = {&f1, &f2, &f3, &f4};
  if (const CDoubleFile* failed = firstFailedFile(files)) return abandonWorkFiles(*failed, files);

  // Generation: sorted chunks appended to F3.
  double chunk[MAX_CHUNK_SIZE];
  for (int32_t c = valueCount / chunkSize; c > 0; --c) {
    random.fill(chunk, chunkSize);
    sortDoubles(chunk, chunkSize);
    for (int32_t i = 0; i < chunkSize; ++i) f3.write(chunk[i]);
    if (f3.failed()) return abandonWorkFiles(f3, files);
  }

  RunCounts runs12 = distributeRuns(f3, f1, f2);
  if (const CDoubleFile* failed = firstFailedFile(files)) return abandonWorkFiles(*failed, files);

  CDoubleFile* result;
  for (;;) {
    printRunCounts(runs12);
    if (runs12.second == 0) {
      result = &f1;
      break;
    }
    if (runs12.first == 0) {
      result = &f2;
      break;
    }
    RunCounts runs34 = mergeRuns(f1, f2, f3, f4);
    if (const CDoubleFile* failed = firstFailedFile(files)) {
      return abandonWorkFiles(*failed, files);
    }
    printRunCounts(runs34);
    if (runs34.second == 0) {
      result = &f3;
      break;
    }
    if (runs34.first == 0) {
      result = &f4;
      break;
    }
    runs12 = mergeRuns(f3, f4, f1, f2);
    if (const CDoubleFile* failed = firstFailedFile(files)) {
      return abandonWorkFiles(*failed, files);
    }
  }

  SortCheck check = checkSorted(*result);
  for (CDoubleFile* file : files) file->close();
  if (const CDoubleFile* failed = firstFailedFile(files)) return abandonWorkFiles(*failed, files);
  discardWorkFiles(files);
  int32_t elapsed = timerElapsed();
  return reportMergeSort(check, result->name(), valueCount, elapsed);
}

Outcome reportMergeSort(SortCheck check, const char* fileName, int32_t valueCount,
                        int32_t elapsed) {
  bool ok = check.sorted && check.count == valueCount;
  if (!runSettings.superBriefMode) {
    printResult("Merge-sort on disk: %s, file size: %d MB, elapsed time: %.2f sec\n",
                ok ? "OK" : "fail", static_cast<int>(int64_t{valueCount} * 8 / 1048576),
                elapsed * 0.001);
  }
  if (ok) return Outcome::checkedTime(elapsed);
  std::fflush(stdout);
  if (!check.sorted) {
    std::fprintf(stderr, "Merge-sort on disk: %s is not in order; the time is not recorded.\n",
                 fileName);
  } else {
    std::fprintf(stderr,
                 "Merge-sort on disk: %s holds %d values instead of %d; the time is not "
                 "recorded.\n",
                 fileName, check.count, valueCount);
  }
  return Outcome::failed();
}

}  // namespace bench
