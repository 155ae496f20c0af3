// CDoubleFile: a file of raw doubles (8 bytes each, native byte order, no
// header) read and written strictly sequentially through a window of
// WINDOW_SIZE values held inside the object, so that the disk sees one
// positioned transfer of at most 16 KB per window.
//
// A read past the end returns -1.0. The disk tests store only values >= 0,
// so callers treat any negative value as the end of the data.
//
// Errors: the first failed open, positioning, transfer or close is kept
// (operation and the operating system's reason); from then on the object
// does no more I/O (writes only fill the window, reads see the end of the
// data), so a pass over a broken file ends quickly. Callers check failed()
// at the end of each phase of their work.
//
// The object owns its stream and closes it on destruction. Used by one
// thread at a time; not copyable.
#ifndef BENCH_WORKLOADS_DISK_DOUBLE_FILE_H_
#define BENCH_WORKLOADS_DISK_DOUBLE_FILE_H_

#include <cstdint>
#include <cstdio>

namespace bench {

class CDoubleFile {
 public:
  static constexpr int32_t WINDOW_SIZE = 2048;

  // Opens `name` (at most 511 characters are kept) in the current directory,
  // binary mode: created or truncated to empty when `writable`, else opened
  // for reading; writes to a read-only object are ignored.
  CDoubleFile(const char* name, bool writable);
  ~CDoubleFile();
  CDoubleFile(const CDoubleFile&) = delete;
  CDoubleFile& operator=(const CDoubleFile&) = delete;

  // Starts the file again, empty: reopens it truncated, dropping the
  // window's unwritten values. Does nothing on a read-only object.
  void rewrite();

  // Writes the whole valid window (not only the part before the current
  // position) at its place in the file, when it holds unwritten values.
  void flush();

  // Flushes, then loads the window that starts at the current position.
  void refill();

  // Moves the current position to value number `index`. Inside the window
  // (base <= index <= base + count) this costs no I/O; otherwise the window
  // is flushed and emptied so that the next read refills from `index`.
  // REQUIRES: index >= 0.
  void seek(int32_t index);

  // Stores `value` at the current position and advances. A full window is
  // flushed and slides forward by WINDOW_SIZE first. Ignored when read-only.
  void write(double value) {
    if (!writable_) return;
    if (pos_ == WINDOW_SIZE) slide();
    window_[pos_] = value;
    ++pos_;
    if (count_ < pos_) count_ = pos_;
    dirty_ = true;
  }

  // Returns the value at the current position and advances, or -1.0 (and
  // stays) when the file has no more values.
  double read() {
    if (pos_ == count_) {
      refill();
      if (pos_ == count_) return -1.0;
    }
    return window_[pos_++];
  }

  // Flushes and closes the stream (if open) and empties the window. The name
  // and the mode stay, so rewrite() can reopen the file.
  void close();

  // True once an operation failed; see the class comment.
  bool failed() const { return errorNumber_ != 0; }

  // Prints the kept failure on standard error, naming the file, the
  // operation and the reason. REQUIRES: failed().
  void printFailure() const;

  const char* name() const { return name_; }
  int32_t base() const { return base_; }
  int32_t count() const { return count_; }
  int32_t pos() const { return pos_; }
  bool dirty() const { return dirty_; }

 private:
  void open();
  void slide();
  void fail(const char* operation);

  char name_[512];
  std::FILE* stream_;
  bool writable_;
  double window_[WINDOW_SIZE];
  int32_t base_;   // index in the file of window_[0]
  int32_t count_;  // valid values in the window, 0..WINDOW_SIZE
  int32_t pos_;    // current position in the window, 0..count_
  bool dirty_;     // the window holds values not yet written to the file
  const char* errorOperation_;
  int errorNumber_;  // errno of the first failure, 0 while none
};

}  // namespace bench

#endif  // BENCH_WORKLOADS_DISK_DOUBLE_FILE_H_
