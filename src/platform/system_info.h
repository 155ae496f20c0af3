// Facts about the machine and the operating system that a result is stored
// with: nothing that names the machine or its user (no host name, user name
// or path), since results are sent to strangers.
//
// Every function may be called from any thread; none keeps state.
#ifndef BENCH_PLATFORM_SYSTEM_INFO_H_
#define BENCH_PLATFORM_SYSTEM_INFO_H_

#include <cstdint>
#include <string>

namespace bench::platform {

// The operating system this program was built for: "linux" or "windows".
const char* buildOperatingSystem();

// The running operating system's name and version, e.g. "Linux" and
// "6.1.0-13-amd64", or "Windows" and "10.0.19045"; empty when unknown.
std::string operatingSystemName();
std::string operatingSystemVersion();

// The number of logical processors the program may run on; 0 when unknown.
int logicalProcessors();

// The physical memory of the machine in bytes; 0 when unknown.
uint64_t physicalMemoryBytes();

}  // namespace bench::platform

#endif  // BENCH_PLATFORM_SYSTEM_INFO_H_
