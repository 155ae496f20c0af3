#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/files.h"
#include "platform/files_system.h"
#include "platform/interrupt.h"

namespace bench::platform {

namespace {

// Sets errno from the last Windows error, so that callers can print
// strerror(errno) as they do on every system.
void setErrnoFromWindows() {
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
      errno = ENOENT;
      break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
      errno = EACCES;
      break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      errno = EEXIST;
      break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      errno = ENOSPC;
      break;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      errno = ENOMEM;
      break;
    case ERROR_FILENAME_EXCED_RANGE:
      errno = ENAMETOOLONG;
      break;
    default:
      errno = EIO;
      break;
  }
}

// A file name as the C runtime's fopen reads it (the ANSI code page), for
// the wide Windows calls. Empty when it cannot be converted.
std::wstring wideName(const char* name) {
  int length = MultiByteToWideChar(CP_ACP, 0, name, -1, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, name, -1, wide.data(), length);
  wide.resize(static_cast<size_t>(length - 1));
  return wide;
}

}  // namespace

const char LINE_END[] = "\r\n";

long writeDescriptor(std::FILE* stream, const char* data, size_t size) {
  // On a binary-mode descriptor opened for appending, the runtime's _write
  // seeks to the end and hands the block to one WriteFile; its stream
  // functions may cut the block into pieces.
  unsigned chunk = size > INT_MAX ? INT_MAX : static_cast<unsigned>(size);
  return _write(_fileno(stream), data, chunk);
}

bool removeFile(const char* name) {
  std::wstring wide = wideName(name);
  if (DeleteFileW(wide.c_str())) return true;
  DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return true;
  setErrnoFromWindows();
  return false;
}

bool syncFile(std::FILE* stream) {
  if (std::fflush(stream) != 0) return false;
  HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  if (handle == INVALID_HANDLE_VALUE) {
    errno = EBADF;
    return false;
  }
  if (FlushFileBuffers(handle)) return true;
  setErrnoFromWindows();
  return false;
}

bool renameFile(const char* from, const char* to) {
  std::wstring wideFrom = wideName(from);
  std::wstring wideTo = wideName(to);
  // A reader that has `to` open without delete sharing (a viewer, a virus
  // scanner, a script reading the table) blocks the replacement for a
  // moment: retry for about a second before giving up.
  for (int attempt = 0;; ++attempt) {
    // MOVEFILE_WRITE_THROUGH is documented to flush to the disk only a move
    // done as a copy and a delete (to another volume). For this rename in one
    // directory it promises nothing: the new name may reach the disk after
    // the call returns, so a crash right after a save may bring back the
    // previous table. Either table is whole, since syncFile flushed the new
    // file's data before.
    if (MoveFileExW(wideFrom.c_str(), wideTo.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    DWORD error = GetLastError();
    bool busy = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
    if (!busy || attempt == 50) break;
    Sleep(20);
  }
  setErrnoFromWindows();
  return false;
}

void makeTemporaryName(const char* prefix, char* out, size_t outSize) {
  std::snprintf(out, outSize, "%s.%lu.tmp", prefix,
                static_cast<unsigned long>(GetCurrentProcessId()));
}

std::FILE* openWorkFile(const char* name, const char* mode) {
  DWORD access = GENERIC_READ;
  DWORD disposition = OPEN_EXISTING;
  int flags = _O_BINARY;
  if (std::strcmp(mode, "r+b") == 0) {
    access |= GENERIC_WRITE;
    flags |= _O_RDWR;
  } else if (std::strcmp(mode, "w+b") == 0) {
    access |= GENERIC_WRITE;
    disposition = CREATE_ALWAYS;
    flags |= _O_RDWR;
  } else if (std::strcmp(mode, "rb") == 0) {
    flags |= _O_RDONLY;
  } else {
    errno = EINVAL;
    return nullptr;
  }
  // Shared for deletion: the interruption handler removes the file by name
  // while the test still has it open; the name goes when the process ends.
  std::wstring wide = wideName(name);
  beginWorkFileCreation();
  HANDLE handle =
      CreateFileW(wide.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD createError = GetLastError();
  endWorkFileCreation();
  SetLastError(createError);
  if (handle == INVALID_HANDLE_VALUE) {
    setErrnoFromWindows();
    return nullptr;
  }
  int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags);
  if (descriptor < 0) {
    CloseHandle(handle);
    errno = EMFILE;
    return nullptr;
  }
  FILE* stream = _fdopen(descriptor, mode);
  if (stream == nullptr) {
    int error = errno;
    _close(descriptor);
    errno = error;
  }
  return stream;
}

bool seekFile(std::FILE* stream, int64_t offset, int origin) {
  return _fseeki64(stream, offset, origin) == 0;
}

int64_t tellFile(std::FILE* stream) { return _ftelli64(stream); }

}  // namespace bench::platform
