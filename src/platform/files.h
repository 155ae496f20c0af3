// File services beyond the standard stream library: removal by name, and the
// pieces of an atomic replacement (flush to stable storage, rename).
//
// Thread-compatible: no shared state.
#ifndef BENCH_PLATFORM_FILES_H_
#define BENCH_PLATFORM_FILES_H_

#include <cstdio>

namespace bench::platform {

// Deletes the named file; a missing file is no error. Returns true when the
// file is gone afterwards.
bool removeFile(const char* name);

// Flushes the stream's buffer and forces the file's data to stable storage.
// Returns false (errno set) on failure.
bool syncFile(std::FILE* stream);

// Renames `from` to `to`, replacing `to` atomically if it exists.
// Returns false (errno set) on failure.
bool renameFile(const char* from, const char* to);

// Returns a unique temporary file name in the current directory, beginning
// with `prefix`, for a file about to be created by the caller.
// REQUIRES: the result is used at once (the name is not reserved).
void makeTemporaryName(const char* prefix, char* out, size_t outSize);

}  // namespace bench::platform

#endif  // BENCH_PLATFORM_FILES_H_
