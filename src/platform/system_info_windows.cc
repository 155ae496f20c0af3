#include <windows.h>

#include <cstdio>
#include <thread>

#include "platform/system_info.h"

namespace bench::platform {

namespace {

// The version as the kernel reports it: GetVersionEx answers what the
// program's manifest allows it to know, RtlGetVersion the real version.
bool kernelVersion(RTL_OSVERSIONINFOW* info) {
  using RtlGetVersionFunction = LONG(WINAPI*)(RTL_OSVERSIONINFOW*);
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  if (ntdll == nullptr) return false;
  // GetProcAddress returns every function as one type; the cast goes
  // through the generic function type, which the compiler takes as meant.
  auto rtlGetVersion = reinterpret_cast<RtlGetVersionFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(ntdll, "RtlGetVersion")));
  if (rtlGetVersion == nullptr) return false;
  *info = RTL_OSVERSIONINFOW{};
  info->dwOSVersionInfoSize = sizeof *info;
  return rtlGetVersion(info) == 0;
}

}  // namespace

const char* buildOperatingSystem() { return "windows"; }

std::string operatingSystemName() { return "Windows"; }

std::string operatingSystemVersion() {
  RTL_OSVERSIONINFOW info;
  if (!kernelVersion(&info)) return "";
  char text[48];
  std::snprintf(text, sizeof text, "%lu.%lu.%lu", info.dwMajorVersion, info.dwMinorVersion,
                info.dwBuildNumber);
  return text;
}

int logicalProcessors() { return static_cast<int>(std::thread::hardware_concurrency()); }

uint64_t physicalMemoryBytes() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return 0;
  return status.ullTotalPhys;
}

}  // namespace bench::platform
