// File services beyond the standard stream library: removal by name, the
// pieces of an atomic replacement (flush to stable storage, rename), the
// line end and the whole-block append of the result files, and the binary
// work files of the disk tests with 64-bit offsets on every system.
//
// Thread-compatible: no shared state.
#ifndef BENCH_PLATFORM_FILES_H_
#define BENCH_PLATFORM_FILES_H_

#include <cstddef>
#include <cstdint>
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

// The line end of text files on this system: "\r\n" on Windows, "\n"
// elsewhere. The result files are opened in binary mode, where the C runtime
// changes no byte (in text mode the Windows runtime takes byte 0x1A for the
// end of the file), so their writers put this line end in themselves.
extern const char LINE_END[];

// Writes the `size` bytes at `data` at the end of `stream`, which was opened
// for appending in binary mode ("ab"), after flushing what the stream holds.
// The block goes to the system in one call, not in the pieces the runtime's
// stream functions may cut it into; a second call follows only when the
// system took part of it (a full disk or a file-size limit), to learn why.
// Returns false (errno set) unless every byte was written.
bool appendWhole(std::FILE* stream, const void* data, size_t size);

// Returns a unique temporary file name in the current directory, beginning
// with `prefix`, for a file about to be created by the caller.
// REQUIRES: the result is used at once (the name is not reserved).
void makeTemporaryName(const char* prefix, char* out, size_t outSize);

// Opens a work file in binary mode (never text mode: a line-end translation
// would corrupt the doubles silently). `mode` is one of "rb", "r+b", "w+b".
// The file may be removed by name while it is open, as an interruption does.
// Returns null (errno set) on failure.
std::FILE* openWorkFile(const char* name, const char* mode);

// Moves the stream's position to `offset` bytes from `origin` (SEEK_SET,
// SEEK_CUR or SEEK_END); offsets beyond 2 GiB work on every system.
// Returns false (errno set) on failure.
bool seekFile(std::FILE* stream, int64_t offset, int origin);

// The stream's position in bytes, or -1 (errno set) on failure.
int64_t tellFile(std::FILE* stream);

}  // namespace bench::platform

#endif  // BENCH_PLATFORM_FILES_H_
