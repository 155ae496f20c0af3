#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "cli/bench_runner.h"
#include "support/test_support.h"

namespace bench::testing {

namespace {

// The argument's bytes as the program will get them back: its argv is made
// from the command line in the ANSI code page, so the bytes go through that
// code page both ways.
std::wstring widen(const std::string& text) {
  if (text.empty()) return {};
  int length =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

// Quotes one argument so that the C runtime's command-line parser gives it
// back unchanged: backslashes are literal except before a quote.
std::wstring quoteArgument(const std::string& text) {
  std::wstring wide = widen(text);
  std::wstring quoted(1, L'"');
  size_t backslashes = 0;
  for (wchar_t c : wide) {
    if (c == L'\\') {
      ++backslashes;
    } else if (c == L'"') {
      quoted.append(backslashes * 2 + 1, L'\\');
      backslashes = 0;
    } else {
      quoted.append(backslashes, L'\\');
      backslashes = 0;
    }
    if (c != L'\\') quoted.push_back(c);
  }
  quoted.append(backslashes * 2, L'\\');
  quoted.push_back(L'"');
  return quoted;
}

HANDLE openInheritable(const std::wstring& name, bool write) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileW(name.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                     FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                     write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The program's console text has Windows line ends; the tests compare text.
std::string withUnixLineEnds(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    result.push_back(text[i]);
  }
  return result;
}

}  // namespace

BenchRun runBench(const std::vector<std::string>& args, unsigned long fileSizeLimit) {
  BenchRun run;
  if (fileSizeLimit != 0) {
    run.err = "Windows has no per-process file-size limit";
    return run;
  }
  std::wstring command = quoteArgument(BENCH_BINARY);
  for (const std::string& arg : args) command += L" " + quoteArgument(arg);
  // The output goes outside the working directory, which may be read-only.
  static int runCount = 0;
  std::filesystem::path stem =
      std::filesystem::temp_directory_path() /
      ("bench-run-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++runCount));
  std::wstring outName = stem.wstring() + L".out";
  std::wstring errName = stem.wstring() + L".err";
  HANDLE in = openInheritable(L"NUL", false);
  HANDLE out = openInheritable(outName, true);
  HANDLE err = openInheritable(errName, true);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                     &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    run.status = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(in);
  CloseHandle(out);
  CloseHandle(err);
  run.out = withUnixLineEnds(readFile(std::filesystem::path(outName).string()));
  run.err = withUnixLineEnds(readFile(std::filesystem::path(errName).string()));
  DeleteFileW(outName.c_str());
  DeleteFileW(errName.c_str());
  return run;
}

namespace {
// The processes started by startBench, by process id.
std::map<int, HANDLE> startedProcesses;
}  // namespace

int startBench(std::vector<std::string> args) {
  std::wstring command = quoteArgument(BENCH_BINARY);
  for (const std::string& arg : args) command += L" " + quoteArgument(arg);
  HANDLE out = openInheritable(L"NUL", true);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  // A process group of its own: a console event sent to it by interruptBench
  // reaches that program alone, not the tests.
  bool started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE,
                                CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup, &process);
  CloseHandle(out);
  if (!started) return -1;
  CloseHandle(process.hThread);
  startedProcesses[static_cast<int>(process.dwProcessId)] = process.hProcess;
  return static_cast<int>(process.dwProcessId);
}

long interruptBench(int child, unsigned timeoutMs) {
  auto found = startedProcesses.find(child);
  if (found == startedProcesses.end()) return -1;
  long status = -1;
  if (GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, static_cast<DWORD>(child)) &&
      WaitForSingleObject(found->second, timeoutMs) == WAIT_OBJECT_0) {
    DWORD code = 0;
    GetExitCodeProcess(found->second, &code);
    status = static_cast<long>(code);
  }
  killBench(child);
  return status;
}

void killBench(int child) {
  auto found = startedProcesses.find(child);
  if (found == startedProcesses.end()) return;
  TerminateProcess(found->second, 1);
  WaitForSingleObject(found->second, INFINITE);
  CloseHandle(found->second);
  startedProcesses.erase(found);
}

}  // namespace bench::testing
