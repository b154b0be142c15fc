// GetSystemInfo and GetVersionExA: a fixed 32-bit machine whose processor count a
// test may change.
#include "plat/sysinfo.h"

#include <atomic>
#include <cstring>

#include "plat/error.h"
#include "plat/sim.h"

namespace {

constexpr DWORD kPageSize = 4096;
constexpr DWORD kAllocationGranularity = 65536;
constexpr uintptr_t kMinimumApplicationAddress = 0x00010000;
constexpr uintptr_t kMaximumApplicationAddress = 0x7FFEFFFF;
constexpr WORD kProcessorLevel = 6;
constexpr DWORD kMajorVersion = 5;
constexpr DWORD kMinorVersion = 1;
constexpr DWORD kBuildNumber = 2600;
constexpr WORD kServicePack = 3;
constexpr const char* kServicePackText = "Service Pack 3";
constexpr BYTE kProductWorkstation = 1;
constexpr DWORD kMaxProcessors = 32;  // one bit each in the 32-bit affinity mask

std::atomic<DWORD>& ProcessorCount() {
  static auto* count = new std::atomic<DWORD>(1);
  return *count;
}

}  // namespace

void GetSystemInfo(LPSYSTEM_INFO info) {
  const DWORD processors = ProcessorCount().load();
  *info = SYSTEM_INFO{};
  info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_INTEL;
  info->dwPageSize = kPageSize;
  info->lpMinimumApplicationAddress = reinterpret_cast<LPVOID>(kMinimumApplicationAddress);
  info->lpMaximumApplicationAddress = reinterpret_cast<LPVOID>(kMaximumApplicationAddress);
  info->dwActiveProcessorMask = processors >= kMaxProcessors ? 0xFFFFFFFFu : (DWORD_PTR{1} << processors) - 1;
  info->dwNumberOfProcessors = processors;
  info->dwProcessorType = PROCESSOR_INTEL_PENTIUM;
  info->dwAllocationGranularity = kAllocationGranularity;
  info->wProcessorLevel = kProcessorLevel;
}

BOOL GetVersionExA(LPOSVERSIONINFOA info) {
  if (!info) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const DWORD size = info->dwOSVersionInfoSize;
  if (size != sizeof(OSVERSIONINFOA) && size != sizeof(OSVERSIONINFOEXA)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  info->dwMajorVersion = kMajorVersion;
  info->dwMinorVersion = kMinorVersion;
  info->dwBuildNumber = kBuildNumber;
  info->dwPlatformId = VER_PLATFORM_WIN32_NT;
  std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
  std::strcpy(info->szCSDVersion, kServicePackText);
  if (size == sizeof(OSVERSIONINFOEXA)) {
    auto* ex = static_cast<OSVERSIONINFOEXA*>(info);  // the size says it is one
    ex->wServicePackMajor = kServicePack;
    ex->wServicePackMinor = 0;
    ex->wSuiteMask = 0;
    ex->wProductType = kProductWorkstation;
    ex->wReserved = 0;
  }
  return TRUE;
}

void plat::sim::SetProcessorCount(uint32_t count) { ProcessorCount().store(count == 0 ? 1 : count); }
