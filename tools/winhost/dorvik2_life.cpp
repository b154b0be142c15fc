// dorvik2-life: the module's whole life in one host process, as a portal lives with it:
// load, play, destroy and unload, many times over, and the unloads a host does at the
// awkward moments (while the loader builds, inside a callback of the module, inside a
// message box of the module, inside the load-failed event on either thread, inside a
// message of the game window, at stepped moments of the build). It fails on a fault, on
// a cycle that does not work, on counts of the process that grow from cycle to cycle,
// and on anything of a game that reaches the host after its DestroyGameWnd returned.
//   dorvik2-life.exe DLL GAME-FOLDER PORTAL-FOLDER ROOM-SCRIPT BOX-SCRIPT --broken-game FOLDER
//                    [--only NAME] [--cycles N] [--diagnose]
// The broken game folder is the game folder with a card picture missing. NAME is cycles,
// callback, box, held, failed-threaded, failed-init, failed-reported, message, again,
// third-box, third-wait, third-idle, third-init, third-taken, third-top, third-joined,
// third-slow, loader-held, first-games, next-table, pictures or sweep: that scenario alone
// (to see one fault by itself). --diagnose lists
// the memory regions, handles and heap blocks the second cycle left behind.
#include <windows.h>
#include <ddraw.h>
#include <dsound.h>
#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <atomic>
#include <cinttypes>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "host/Dorvik2Api.h"
#include "host/Dorvik2Messages.h"
#include "testhost/ScriptMessages.h"
#include "tools/winhost/GuiObjects.h"
#include "tools/winhost/HostChecks.h"
#include "tools/winhost/ModuleExports.h"
#include "tools/winhost/PumpUntil.h"
#include "tools/winhost/ScreenCapture.h"
#include "tools/winhost/ThreadDialogs.h"

namespace {

constexpr int32_t kLoadErrorEvent = 36;
// The event the room entry asks the host about: the commonest place a host ends a game.
constexpr int32_t kRoomEntryEvent = 62;
// The room entry's notice, its first event: where a host ending one table makes the next.
constexpr int32_t kRoomNoticeEvent = 0;
constexpr DWORD kLoadLimitMs = 60000;
// Time between two host messages: a handler's animations and the next tick's dispatch.
constexpr DWORD kMessageGapMs = 250;
// After an unload: long enough for every timer of the module (the tick is 50 ms) to
// have fired into the freed code.
constexpr DWORD kAfterUnloadMs = 500;
// A freed module whose loader still runs goes when the loader has seen the stop.
constexpr DWORD kUnloadLimitMs = 10000;
// Room entry, the two joins and the return to waiting: the scene's busiest handlers
// short of a deal.
constexpr size_t kGameMessages = 4;
// Memory committed outside the heaps (stacks, and what the module or the system reserve
// and commit themselves) stays as it was, but for a page a load; a commit the module
// never releases is a fixed sum a load (the one this test was made for was 2.3 MB).
// The heaps' own commit is not bounded: how far a heap stays committed after its blocks
// are freed depends on how two threads' blocks interleaved, which the machine's load
// decides (nine cycles once grew it by 101945 bytes a cycle at a load of 8, its bytes in
// use exact); the blocks in use there are counted to the byte instead, and no heap may
// be left made.
constexpr int64_t kPrivateBytesPerLoad = 4 * 1024;
// The heaps' live blocks are counted to the byte. The threads library linked into the
// module keeps what it made for the thread that loaded it (a record of 184 bytes) and
// for two locks it set up on first use (20 bytes each): it frees none of them when the
// library is freed. The system keeps a little of each display and sound device made
// and released (measured before the cycles, and allowed for each game). Nothing else
// may stay.
constexpr int64_t kHeapBytesPerLoad = 224;
// The system's tables that grow in steps (lists doubled when full) over a run. With the
// renderer fixed, Wine 8's figures meet the allowances to the byte at both depths, alone
// in a prefix and after the seam suite; the slack stays below what one object left a
// game adds over the cycles (a clipper is 20 heap bytes: 360 over nine cycles of two
// games).
constexpr int64_t kHeapSlack = 256;
constexpr int32_t kGamesPerCycle = 2;
// The static threads library of the module's runtime keeps a record of the thread
// that loaded it (a handle of the thread, an event and the thread's own values). The
// module gives back what it can when that thread unloads it; when the last reference
// goes on another thread (a loader left running past DestroyGameWnd) the loading
// thread's record stays whole (68 heap bytes more, as measured), and the unloading
// thread's record, made at the detach to find the library's storage index and give it
// back, stays in the library's pool of records (184 bytes).
constexpr DWORD kHandlesOfAnUnloadElsewhere = 2;
constexpr int64_t kHeapBytesOfAnUnloadElsewhere = 68 + 184;
// The system DLLs the module imports, held by the host as a portal holds them: what
// they make once per process is then not counted per cycle.
const char* const kSystemDlls[] = {"kernel32.dll", "user32.dll",  "gdi32.dll",    "msimg32.dll",
                                   "ddraw.dll",    "dsound.dll",  "winmm.dll",    "advapi32.dll",
                                   "oleaut32.dll", "shell32.dll", "msvcrt.dll"};

using winhost::Expect;
using winhost::Fail;
using winhost::Failure;
using winhost::Wide;

// ---- Faults ---------------------------------------------------------------------------
// Where the module stood while it was loaded: a fault there after the unload is the
// module's code running when it must not.
struct ModuleRange {
  uintptr_t start = 0, end = 0;
};
volatile LONG g_faults = 0;
ModuleRange g_lastModule;

// Counts access violations and ends the process on one in code that is not there (a
// freed module): it cannot go on, and its exit code tells the runner what happened.
LONG CALLBACK CountFault(EXCEPTION_POINTERS* info) {
  if (info->ExceptionRecord->ExceptionCode != EXCEPTION_ACCESS_VIOLATION) return EXCEPTION_CONTINUE_SEARCH;
  InterlockedIncrement(&g_faults);
  const auto at = reinterpret_cast<uintptr_t>(info->ExceptionRecord->ExceptionAddress);
  MEMORY_BASIC_INFORMATION region{};
  const bool mapped = VirtualQuery(info->ExceptionRecord->ExceptionAddress, &region, sizeof region) &&
                      region.State == MEM_COMMIT;
  const bool inModule = at >= g_lastModule.start && at < g_lastModule.end;
  const ULONG_PTR* detail = info->ExceptionRecord->ExceptionInformation;
  std::fprintf(stderr,
               "dorvik2-life: access violation at 0x%08" PRIxPTR " (module+0x%" PRIxPTR ") on thread %u%s, "
               "%s 0x%08" PRIxPTR "\n",
               at, inModule ? at - g_lastModule.start : 0, unsigned(GetCurrentThreadId()),
               mapped ? "" : ", where no code is mapped",
               detail[0] == 0 ? "reading" : detail[0] == 1 ? "writing" : "executing",
               uintptr_t(detail[1]));
  std::fflush(stderr);
  if (!mapped) TerminateProcess(GetCurrentProcess(), 3);
  return EXCEPTION_CONTINUE_SEARCH;
}

// Any other exception nothing handles ends the run at once, with its code and place:
// the system's debugger would otherwise wait for someone to answer it.
LONG WINAPI EndOnUnhandled(EXCEPTION_POINTERS* info) {
  const auto at = reinterpret_cast<uintptr_t>(info->ExceptionRecord->ExceptionAddress);
  const bool inModule = at >= g_lastModule.start && at < g_lastModule.end;
  std::fprintf(stderr, "dorvik2-life: unhandled exception 0x%08x at 0x%08" PRIxPTR " (module+0x%" PRIxPTR ")\n",
               unsigned(info->ExceptionRecord->ExceptionCode), at, inModule ? at - g_lastModule.start : 0);
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), 4);
  return EXCEPTION_EXECUTE_HANDLER;
}

// ---- Counts of the process ------------------------------------------------------------
// The notes a count keeps of what it saw live in a heap of their own, which the heap
// count leaves out: one count's notes would otherwise be counted by the next.
HANDLE NotesHeap() {
  constexpr SIZE_T kCommitted = 256 * 1024;
  static HANDLE heap = HeapCreate(0, kCommitted, 0);
  return heap;
}

template <typename T>
struct NoteAllocator {
  using value_type = T;
  NoteAllocator() = default;
  template <typename U>
  NoteAllocator(const NoteAllocator<U>&) {}
  T* allocate(size_t n) {
    void* p = HeapAlloc(NotesHeap(), 0, n * sizeof(T));
    if (!p) throw std::bad_alloc();
    return static_cast<T*>(p);
  }
  void deallocate(T* p, size_t) { HeapFree(NotesHeap(), 0, p); }
  template <typename U>
  bool operator==(const NoteAllocator<U>&) const { return true; }
};

struct HandleNote {
  uintptr_t value;
  char kind[120];
};

// Where the GDI and USER objects are counted from, decided once the host window is up.
winhost::GuiSource g_gdiSource = winhost::GuiSource::kNone, g_userSource = winhost::GuiSource::kNone;

struct Counts {
  DWORD gdi = 0, user = 0, handles = 0, threads = 0;
  // DCs that belong to no window: what the system keeps of its window DCs for the next
  // GetDC or BeginPaint (see IdleWindowDcs).
  DWORD idleDcs = 0;
  int64_t privateBytes = 0, heapBytes = 0;
  // The heaps and what they keep committed: the count bounded, the commit for reading.
  DWORD heaps = 0;
  int64_t heapCommitted = 0;
  DWORD tlsIndexes = 0;
  // What a count that went down lost: the handles with what they were, the indexes.
  std::vector<HandleNote, NoteAllocator<HandleNote>> handleList;
  std::vector<DWORD, NoteAllocator<DWORD>> tlsList;
};

// The reservations the heaps hold (each region's allocation base): how much of them a
// heap keeps committed depends on how the threads' blocks interleaved, which the
// machine's load decides; the blocks in use there are counted to the byte instead.
std::vector<uintptr_t> HeapReservations(DWORD& heapCount) {
  std::vector<uintptr_t> bases;
  constexpr DWORD kMostHeaps = 64;
  HANDLE heaps[kMostHeaps];
  heapCount = GetProcessHeaps(kMostHeaps, heaps);
  for (DWORD i = 0; i < std::min(heapCount, kMostHeaps); ++i) {
    if (!HeapLock(heaps[i])) continue;
    PROCESS_HEAP_ENTRY entry{};
    MEMORY_BASIC_INFORMATION region;
    while (HeapWalk(heaps[i], &entry))
      if ((entry.wFlags & PROCESS_HEAP_REGION) && VirtualQuery(entry.lpData, &region, sizeof region) == sizeof region)
        bases.push_back(reinterpret_cast<uintptr_t>(region.AllocationBase));
    HeapUnlock(heaps[i]);
  }
  std::sort(bases.begin(), bases.end());
  return bases;
}

// Committed private memory outside the heaps' reservations, region by region: the stacks
// and what is reserved and committed directly (the module's and the system's own
// allocations), without the images of the loaded DLLs. Unlike a heap's, this commit
// follows what was asked, whatever order the threads ran in.
int64_t PrivateBytes(DWORD& heapCount, int64_t& heapCommitted) {
  const std::vector<uintptr_t> heapBases = HeapReservations(heapCount);
  int64_t total = 0;
  heapCommitted = 0;
  MEMORY_BASIC_INFORMATION region;
  for (auto* at = static_cast<BYTE*>(nullptr); VirtualQuery(at, &region, sizeof region) == sizeof region;
       at = static_cast<BYTE*>(region.BaseAddress) + region.RegionSize) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) {
      const bool inHeap =
          std::binary_search(heapBases.begin(), heapBases.end(), reinterpret_cast<uintptr_t>(region.AllocationBase));
      (inHeap ? heapCommitted : total) += static_cast<int64_t>(region.RegionSize);
    }
    if (region.RegionSize == 0) break;
  }
  return total;
}

// The thread-local storage indexes the process has taken, read from the bitmaps the
// system keeps of them in the process environment block (their places on 32-bit
// Windows): taking them all to count them would make the system grow the heaps counted
// beside them.
std::vector<DWORD, NoteAllocator<DWORD>> UsedTlsIndexes() {
  // The thread's environment block names the process's at 0x30 of the fs segment.
  const BYTE* peb;
  asm("movl %%fs:0x30, %0" : "=r"(peb));
  constexpr size_t kTlsBitmapBits = 0x44, kTlsExpansionBitmapBits = 0x154;
  constexpr size_t kBitmapWords = 2, kExpansionBitmapWords = 32;
  constexpr DWORD kWordBits = 32, kFirstExpansionIndex = 64;
  std::vector<DWORD, NoteAllocator<DWORD>> used;
  const auto list = [&](size_t offset, size_t words, DWORD first) {
    for (size_t i = 0; i < words; ++i) {
      DWORD bits;
      std::memcpy(&bits, peb + offset + i * sizeof bits, sizeof bits);
      for (DWORD bit = 0; bit < kWordBits; ++bit)
        if (bits & (DWORD(1) << bit)) used.push_back(first + DWORD(i) * kWordBits + bit);
    }
  };
  list(kTlsBitmapBits, kBitmapWords, 0);
  list(kTlsExpansionBitmapBits, kExpansionBitmapWords, kFirstExpansionIndex);
  return used;
}

// The process's threads as the system lists them, in its thread list or its process entry.
DWORD ThreadCount() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD | TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  DWORD listed = 0, counted = 0;
  THREADENTRY32 thread{};
  thread.dwSize = sizeof thread;
  for (BOOL more = Thread32First(snapshot, &thread); more; more = Thread32Next(snapshot, &thread))
    if (thread.th32OwnerProcessID == GetCurrentProcessId()) ++listed;
  PROCESSENTRY32 process{};
  process.dwSize = sizeof process;
  for (BOOL more = Process32First(snapshot, &process); more; more = Process32Next(snapshot, &process))
    if (process.th32ProcessID == GetCurrentProcessId()) counted = process.cntThreads;
  CloseHandle(snapshot);
  return listed > counted ? listed : counted;
}

// The kernel handles of the process, found one by one: handle values are small
// multiples of four.
std::vector<uintptr_t> HandleValues() {
  std::vector<uintptr_t> values;
  constexpr uintptr_t kHighestProbed = 0x8000;
  for (uintptr_t value = 4; value < kHighestProbed; value += 4) {
    DWORD flags;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) values.push_back(value);
  }
  return values;
}

// Their number; a system that keeps no count (Wine answers 0) is asked handle by handle.
DWORD HandleCount() {
  DWORD count = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &count) && count) return count;
  return DWORD(HandleValues().size());
}

// What stayed behind between two points: the private regions and handles that are new.
struct Snapshot {
  std::vector<std::pair<uintptr_t, size_t>> regions;
  std::vector<uintptr_t> handles;
};

Snapshot Take() {
  Snapshot snap;
  MEMORY_BASIC_INFORMATION region;
  for (auto* at = static_cast<BYTE*>(nullptr); VirtualQuery(at, &region, sizeof region) == sizeof region;
       at = static_cast<BYTE*>(region.BaseAddress) + region.RegionSize) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
      snap.regions.emplace_back(reinterpret_cast<uintptr_t>(region.BaseAddress), region.RegionSize);
    if (region.RegionSize == 0) break;
  }
  snap.handles = HandleValues();
  return snap;
}

// A thread's start address, from the system's own record of it.
uintptr_t StartAddressOf(HANDLE thread) {
  using Query = LONG(WINAPI*)(HANDLE, int, PVOID, ULONG, PULONG);
  auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationThread")));
  constexpr int kWin32StartAddress = 9;
  uintptr_t start = 0;
  if (query) query(thread, kWin32StartAddress, &start, sizeof start, nullptr);
  return start;
}

// The kind of object a handle names, as the system calls it ("Event", "Thread", "File").
std::string ObjectTypeName(HANDLE h) {
  alignas(8) BYTE buffer[512] = {};
  ULONG length = 0;
  if (NtQueryObject(h, ObjectTypeInformation, buffer, sizeof buffer, &length) < 0) return "?";
  const auto* name = reinterpret_cast<const UNICODE_STRING*>(buffer);
  std::string text;
  for (USHORT i = 0; name->Buffer && i < name->Length / sizeof(WCHAR); ++i)
    text += name->Buffer[i] < 0x80 ? char(name->Buffer[i]) : '?';
  return text;
}

// What a handle names, read without changing it (no wait, which would take an event's
// signal).
std::string HandleKind(HANDLE h) {
  const std::string type = ObjectTypeName(h);
  if (type == "File") {
    char path[MAX_PATH] = "?";
    GetFinalPathNameByHandleA(h, path, sizeof path, 0);
    return "file " + std::string(path);
  }
  if (type == "Thread") {
    DWORD code = 0;
    GetExitCodeThread(h, &code);
    const uintptr_t start = StartAddressOf(h);
    char module[MAX_PATH] = "?";
    HMODULE owner = nullptr;
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(start), &owner))
      GetModuleFileNameA(owner, module, sizeof module);
    char text[400];
    std::snprintf(text, sizeof text, "thread %u, %s, started at 0x%08" PRIxPTR " in %s",
                  unsigned(GetThreadId(h)), code == STILL_ACTIVE ? "running" : "ended", start, module);
    return text;
  }
  return type;
}

// The process's live threads, found by id (the system's list may leave some out).
void PrintThreads() {
  for (DWORD id = 4; id < 0x4000; id += 4) {
    HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, id);
    if (!thread) continue;
    if (GetProcessIdOfThread(thread) == GetCurrentProcessId())
      std::printf("  live %s\n", HandleKind(thread).c_str());
    CloseHandle(thread);
  }
}

void PrintNew(const Snapshot& a, const Snapshot& b) {
  for (const auto& r : b.regions) {
    bool old = false;
    for (const auto& o : a.regions) old = old || o == r;
    if (!old) {
      MEMORY_BASIC_INFORMATION info{};
      VirtualQuery(reinterpret_cast<void*>(r.first), &info, sizeof info);
      std::printf("  new region 0x%08" PRIxPTR " %u bytes (allocation base 0x%08" PRIxPTR ", protect 0x%x)\n", r.first,
                  unsigned(r.second), reinterpret_cast<uintptr_t>(info.AllocationBase),
                  unsigned(info.Protect));
    }
  }
  for (uintptr_t h : b.handles) {
    bool old = false;
    for (uintptr_t o : a.handles) old = old || o == h;
    if (!old) std::printf("  new handle 0x%" PRIxPTR ": %s\n", h, HandleKind(reinterpret_cast<HANDLE>(h)).c_str());
  }
}

// The blocks in use in every heap of the process (the C runtime's among them), by
// address: unlike committed memory, which grows in steps, they count to the byte.
using HeapBlock = std::pair<uintptr_t, size_t>;
std::vector<HeapBlock> HeapBlocks() {
  std::vector<HeapBlock> blocks;
  constexpr DWORD kMostHeaps = 64;
  HANDLE heaps[kMostHeaps];
  const DWORD count = std::min(GetProcessHeaps(kMostHeaps, heaps), kMostHeaps);
  for (DWORD i = 0; i < count; ++i) {
    if (heaps[i] == NotesHeap() || !HeapLock(heaps[i])) continue;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heaps[i], &entry))
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
        blocks.emplace_back(reinterpret_cast<uintptr_t>(entry.lpData), entry.cbData);
    HeapUnlock(heaps[i]);
  }
  std::sort(blocks.begin(), blocks.end());
  return blocks;
}

int64_t HeapBytes() {
  int64_t total = 0;
  for (const auto& block : HeapBlocks()) total += static_cast<int64_t>(block.second);
  return total;
}

// The heap blocks that are new, with their first bytes: what they hold tells whose
// they are.
void PrintNewBlocks(const std::vector<HeapBlock>& before, const std::vector<HeapBlock>& after) {
  size_t total = 0, count = 0;
  for (const HeapBlock& block : after) {
    if (std::binary_search(before.begin(), before.end(), block)) continue;
    total += block.second;
    ++count;
    std::printf("  new heap block 0x%08" PRIxPTR ", %u bytes:", block.first, unsigned(block.second));
    const auto* bytes = reinterpret_cast<const uint8_t*>(block.first);
    constexpr size_t kShown = 32;
    for (size_t k = 0; k < block.second && k < kShown; ++k) std::printf(" %02x", bytes[k]);
    std::printf("\n");
  }
  std::printf("  %u new heap blocks, %u bytes\n", unsigned(count), unsigned(total));
}

bool g_traceStages = false;
void Stage(const char* name) {
  if (g_traceStages) std::printf("  %s: %u handles\n", name, unsigned(HandleCount()));
}

// The system keeps the window DCs it made for GetDC and BeginPaint for the next ones:
// when more are out at once, or in other windows, than ever before in the process, it
// makes one more and keeps it, a DC of no window, with its region (2 GDI objects under
// Wine 8; window-dc-cache.exe shows it without the module). Window threads painting at
// once reach a new peak now and then (a game's thread beside a third thread's destroy,
// three games at once), and the process keeps what it made. The module makes no DC of
// its own (it imports neither CreateDC nor CreateIC), and a window DC it kept out
// belongs to its window, or goes with it: a DC of no window is the system's.
constexpr DWORD kObjectsOfAnIdleDc = 2;
DWORD IdleWindowDcs() {
  if (g_gdiSource != winhost::GuiSource::kHandles) return 0;
  DWORD count = 0;
  for (uintptr_t value = 1; value < 0x10000; ++value) {
    const auto dc = reinterpret_cast<HDC>(value);
    if (GetObjectType(dc) == OBJ_DC && !WindowFromDC(dc)) ++count;
  }
  return count;
}

Counts Measure() {
  Counts c;
  c.gdi = winhost::GdiObjects(g_gdiSource);
  c.idleDcs = IdleWindowDcs();
  c.user = winhost::UserObjects(g_userSource);
  c.handles = HandleCount();
  for (uintptr_t value : HandleValues()) {
    HandleNote note{value, {}};
    std::snprintf(note.kind, sizeof note.kind, "%s", HandleKind(reinterpret_cast<HANDLE>(value)).c_str());
    c.handleList.push_back(note);
  }
  c.threads = ThreadCount();
  c.privateBytes = PrivateBytes(c.heaps, c.heapCommitted);
  c.heapBytes = HeapBytes();
  c.tlsList = UsedTlsIndexes();
  c.tlsIndexes = DWORD(c.tlsList.size());
  return c;
}

// A count that went down: what it lost (and what came in its place), named.
void PrintDecrease(const char* what, const Counts& a, const Counts& b) {
  if (b.handles < a.handles) {
    std::printf("%s: %u handles fewer after than before\n", what, unsigned(a.handles - b.handles));
    const auto listed = [](const auto& list, const HandleNote& note) {
      return std::any_of(list.begin(), list.end(), [&](const HandleNote& h) {
        return h.value == note.value && std::strcmp(h.kind, note.kind) == 0;
      });
    };
    for (const HandleNote& note : a.handleList)
      if (!listed(b.handleList, note)) std::printf("  gone: handle 0x%" PRIxPTR ", %s\n", note.value, note.kind);
    for (const HandleNote& note : b.handleList)
      if (!listed(a.handleList, note)) std::printf("  new: handle 0x%" PRIxPTR ", %s\n", note.value, note.kind);
  }
  if (b.tlsIndexes < a.tlsIndexes) {
    std::printf("%s: %u TLS indexes fewer after than before\n", what, unsigned(a.tlsIndexes - b.tlsIndexes));
    for (DWORD index : a.tlsList)
      if (std::find(b.tlsList.begin(), b.tlsList.end(), index) == b.tlsList.end())
        std::printf("  given back: TLS index %u\n", unsigned(index));
    for (DWORD index : b.tlsList)
      if (std::find(a.tlsList.begin(), a.tlsList.end(), index) == a.tlsList.end())
        std::printf("  taken: TLS index %u\n", unsigned(index));
  }
}

// ---- The host -------------------------------------------------------------------------
class LifeHost;
struct HostWindowState {
  int32_t loaded = 0;
  WPARAM loadedResult = 0;
  LifeHost* host = nullptr;
  // Set once DestroyGameWnd has returned (on whichever thread): the game's messages
  // that reach the host window from then on are counted.
  std::atomic<bool> destroyReturned{false};
  int32_t lateLoaded = 0, lateClose = 0;
  WPARAM lateLoadedResult = 0;
};
HostWindowState g_window;

// A new game of the host window: nothing of an earlier one counts.
void ResetHostWindow() {
  g_window.loaded = 0;
  g_window.loadedResult = 0;
  g_window.destroyReturned = false;
  g_window.lateLoaded = g_window.lateClose = 0;
}

// What a portal answers; it can end the game inside a callback, and it can hold the
// loader inside one.
class LifeHost final : public IHostInterface {
 public:
  explicit LifeHost(const winhost::ModuleExports& e) : exports_(e) {
    released_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    holding_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  }
  ~LifeHost() {
    CloseHandle(released_);
    CloseHandle(holding_);
  }

  IClientInterface* client = nullptr;
  std::atomic<int32_t> loadErrors{0};
  std::atomic<bool> destroyed{false};
  std::atomic<int32_t> callsAfterDestroy{0};
  bool destroyOnRoomEntry = false;  // DestroyGameWnd inside the room entry's event
  bool destroyOnLoadError = false;  // DestroyGameWnd inside the load-failed event
  bool holdLoader = false;          // a load error on another thread waits for Release()
  // Made right after a DestroyGameWnd inside the room entry's notice, when set.
  std::function<void()> nextTable;
  // Run inside the room entry's event, when set.
  std::function<void()> inRoomEntry;
  // What the host's DestroyGameWnd answered, and on which thread it was called.
  std::atomic<int32_t> destroyResult{0};
  std::atomic<DWORD> destroyThread{0};
  // The host is inside a call of the client (OnReceive, InitGameWnd) on its own thread.
  bool inClientCall = false;
  bool destroyedInClientCall = false;

  // The host's DestroyGameWnd, wherever it is called from: inside a call of the module
  // nothing may be thrown back through it, so the answer is kept for the host's own
  // code to check (Destroyed).
  void Destroy() {
    destroyResult = exports_.destroy(client);
    destroyThread = GetCurrentThreadId();
    destroyedInClientCall = inClientCall && GetCurrentThreadId() == windowThread_;
    g_window.destroyReturned = true;
    destroyed = true;
  }
  void ExpectDestroyed(const char* where) const {
    if (!destroyed) Fail("%s: the host never got to DestroyGameWnd", where);
    if (destroyResult != 0) Fail("%s: DestroyGameWnd answered %d", where, int(destroyResult));
  }
  // Lets a held loader go on.
  void Release() { SetEvent(released_); }
  bool WaitHeld(DWORD ms) { return WaitForSingleObject(holding_, ms) == WAIT_OBJECT_0; }

  int32_t STDMETHODCALLTYPE Send(int32_t, int32_t, const BYTE*, int32_t) override { return Called(), 0; }
  int32_t STDMETHODCALLTYPE GetAvatar(BSTR, BSTR, BSTR* out) override {
    Called();
    if (out) *out = nullptr;
    return 0;
  }
  int32_t STDMETHODCALLTYPE SetText(BSTR, uint32_t, BSTR) override { return Called(), 0; }
  int32_t STDMETHODCALLTYPE SetPlayState(uint32_t) override { return Called(), 0; }
  int32_t STDMETHODCALLTYPE SetPlayerList(BSTR) override { return Called(), 0; }
  int32_t STDMETHODCALLTYPE AddText(BSTR, int32_t, int32_t, int32_t, BSTR, int32_t) override { return Called(), 0; }
  int32_t STDMETHODCALLTYPE RequestScreenMode(int32_t, int32_t, int32_t, int32_t) override { return Called(), 0; }
  int32_t STDMETHODCALLTYPE NotifyEvent(uint32_t, int32_t* code, void*, int32_t*) override {
    Called();
    if (!code) return 0;
    if (*code == kLoadErrorEvent) {
      ++loadErrors;
      if (holdLoader && GetCurrentThreadId() != windowThread_) {
        SetEvent(holding_);
        WaitForSingleObject(released_, INFINITE);
      }
      if (destroyOnLoadError && !destroyed) Destroy();
    }
    if (*code == kRoomEntryEvent && destroyOnRoomEntry && !destroyed) Destroy();
    if (*code == kRoomEntryEvent && inRoomEntry) inRoomEntry();
    if (*code == kRoomNoticeEvent && nextTable && !destroyed) {
      Destroy();
      nextTable();
    }
    return 0;
  }

 private:
  void Called() {
    if (destroyed) ++callsAfterDestroy;
  }

 public:
  DWORD WindowThread() const { return windowThread_; }

 private:
  winhost::ModuleExports exports_;
  HANDLE released_, holding_;
  DWORD windowThread_ = GetCurrentThreadId();
};

// While a box of the module is up, its modal loop dispatches the host window's timer:
// a visible dialog of this thread other than the host's own is the module's box.
constexpr UINT_PTR kBoxWatchTimer = 1;

LRESULT CALLBACK HostWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GAME_LOADED:
      ++g_window.loaded;
      g_window.loadedResult = wParam;
      if (g_window.destroyReturned) {
        ++g_window.lateLoaded;
        g_window.lateLoadedResult = wParam;
      }
      return 0;
    case WM_GAME_CLOSE:
      if (g_window.destroyReturned) ++g_window.lateClose;
      return 0;
    case WM_TIMER:
      if (wParam == kBoxWatchTimer && g_window.host && !g_window.host->destroyed) {
        if (!winhost::VisibleDialogsOfThisThread().empty()) {
          KillTimer(hwnd, kBoxWatchTimer);
          g_window.host->Destroy();
        }
      }
      return 0;
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

HWND MakeHostWindow() { return winhost::MakeHostWindow(HostWindowProc, "Dorvik2LifeHost", "Dorvik2 life host"); }

std::vector<std::vector<uint8_t>> ScriptMessages(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::vector<testhost::TimedMessage> timed;
  std::string error;
  if (!in || !testhost::ReadScriptMessages(text.str(), timed, error)) Fail("cannot read %s %s", path, error.c_str());
  std::vector<std::vector<uint8_t>> out;
  for (auto& m : timed) out.push_back(std::move(m.bytes));
  return out;
}

struct Setup {
  std::string dll;
  std::u16string game, portal;
  std::string gameFolder;
  // The same game folder with a card picture missing: the scene build fails on it.
  std::u16string brokenGame;
  std::vector<std::vector<uint8_t>> roomMessages, boxMessages;
  HWND hostWnd = nullptr;
};

// One load of the library: its exports, and the unload that checks the library went.
class Loaded {
 public:
  explicit Loaded(const Setup& s) {
    module_ = LoadLibraryA(s.dll.c_str());
    if (!module_) Fail("LoadLibraryA(%s) failed: error %u", s.dll.c_str(), unsigned(GetLastError()));
    MODULEINFO info{};
    GetModuleInformation(GetCurrentProcess(), module_, &info, sizeof info);
    g_lastModule = {reinterpret_cast<uintptr_t>(info.lpBaseOfDll),
                    reinterpret_cast<uintptr_t>(info.lpBaseOfDll) + info.SizeOfImage};
    std::string error;
    if (!winhost::FindExports(module_, exports, error)) Fail("%s", error.c_str());
  }
  // FreeLibrary, then every message for a while: a timer or thread of the module
  // left behind runs into the freed code now.
  void Unload(DWORD pumpMs = kAfterUnloadMs) {
    Expect(FreeLibrary(module_) != 0, "FreeLibrary failed");
    winhost::PumpUntil(pumpMs, [] { return false; });
  }
  // The library is gone from the process (a loader it let go may hold it a little longer).
  static void ExpectGone(const char* name) {
    if (!winhost::PumpUntil(kUnloadLimitMs, [&] { return GetModuleHandleA(name) == nullptr; }))
      Fail("the module is still loaded %u ms after its unload", unsigned(kUnloadLimitMs));
  }
  // The host's reference, for a thread of its own that frees it.
  HMODULE Handle() const { return module_; }
  winhost::ModuleExports exports;

 private:
  HMODULE module_ = nullptr;
};

const char* BaseName(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return path.c_str() + (slash == std::string::npos ? 0 : slash + 1);
}

// CreateGameWnd and InitGameWnd on the game folder, or on `game`; null when InitGameWnd
// gave no window.
HWND TryInitGame(const Setup& s, LifeHost& host, const winhost::ModuleExports& e, int32_t loadInThread,
                 const std::u16string* game = nullptr) {
  Expect(e.create(&host, &host.client) == 0 && host.client, "CreateGameWnd failed");
  ResetHostWindow();
  host.inClientCall = true;
  HWND wnd = e.init(host.client, 0, s.hostWnd, (game ? *game : s.game).c_str(), s.portal.c_str(), u"", 0, 0, 0, 0,
                    loadInThread);
  host.inClientCall = false;
  return wnd;
}

HWND InitGame(const Setup& s, LifeHost& host, const winhost::ModuleExports& e, int32_t loadInThread,
              const std::u16string* game = nullptr) {
  HWND wnd = TryInitGame(s, host, e, loadInThread, game);
  if (!wnd)
    Fail("InitGameWnd (load in thread %d) gave no window (%d load errors)", loadInThread, int(host.loadErrors));
  return wnd;
}

void AwaitLoaded(const LifeHost& host) {
  if (!winhost::PumpUntil(kLoadLimitMs, [] { return g_window.loaded > 0; })) Fail("no WM_GAME_LOADED");
  if (g_window.loadedResult != 1) Fail("WM_GAME_LOADED reported %u (%d load errors)",
                                       unsigned(g_window.loadedResult), int(host.loadErrors));
}

// Dispatches one message at a time until `ms` passed or the host destroyed the game: a
// host that unloads at once gives the module no message after the one it was destroyed in.
void PumpUntilDestroyed(const LifeHost& host, DWORD ms) {
  const DWORD start = GetTickCount();
  while (!host.destroyed && GetTickCount() - start < ms) {
    MSG m;
    if (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    } else {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
  }
}

// Each message as the network layer delivers it, with the time the scene takes for it;
// stops as soon as the host has destroyed the game.
void Deliver(LifeHost& host, const std::vector<std::vector<uint8_t>>& messages, size_t count) {
  for (size_t i = 0; i < count && i < messages.size() && !host.destroyed; ++i) {
    int32_t length = static_cast<int32_t>(messages[i].size());
    host.inClientCall = true;
    const int32_t answer = host.client->OnReceive(0, 0, messages[i].data(), &length);
    host.inClientCall = false;
    Expect(answer == 0, "OnReceive did not answer 0");
    PumpUntilDestroyed(host, kMessageGapMs);
  }
}

// A game of one load as a portal plays it: create, init, the room entry and a few
// messages, destroy.
void PlayGame(const Setup& s, const winhost::ModuleExports& e, int32_t loadInThread) {
  LifeHost host(e);
  HWND wnd = InitGame(s, host, e, loadInThread);
  Stage("init");
  if (loadInThread) AwaitLoaded(host);
  Stage("loaded");
  Expect(host.client->RefreshScreen(0) == 0, "RefreshScreen did not answer 0");
  Stage("refresh");
  Deliver(host, s.roomMessages, kGameMessages);
  Stage("messages");
  if (host.loadErrors) Fail("the module reported %d load errors", int(host.loadErrors));
  // The loader tells of its end once, and a build on the calling thread not at all.
  if (g_window.loaded != loadInThread)
    Fail("%d WM_GAME_LOADED in a game built %s", int(g_window.loaded),
         loadInThread ? "on the loader thread" : "on the calling thread");
  host.Destroy();
  host.ExpectDestroyed("a game");
  Stage("destroy");
  Expect(!IsWindow(wnd), "the game window outlived DestroyGameWnd");
}

// What the system keeps of a DirectDraw and a DirectSound object made and released as
// the module makes them, in heap bytes a pair: the mean over a few, after a first that
// may set up what the system keeps for the process.
int64_t SystemResiduePerGame(HWND wnd) {
  const auto pair = [wnd] {
    IDirectDraw* dd = nullptr;
    if (SUCCEEDED(DirectDrawCreate(nullptr, &dd, nullptr))) {
      IDirectDraw4* dd4 = nullptr;
      if (SUCCEEDED(dd->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&dd4)))) {
        dd4->SetCooperativeLevel(wnd, DDSCL_NORMAL);
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        IDirectDrawSurface4* primary = nullptr;
        if (SUCCEEDED(dd4->CreateSurface(&desc, &primary, nullptr))) primary->Release();
        dd4->Release();
      }
      dd->Release();
    }
    IDirectSound* ds = nullptr;
    if (SUCCEEDED(DirectSoundCreate(nullptr, &ds, nullptr))) {
      ds->SetCooperativeLevel(wnd, DSSCL_PRIORITY);
      DSBUFFERDESC desc{};
      desc.dwSize = sizeof desc;
      desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
      IDirectSoundBuffer* primary = nullptr;
      if (SUCCEEDED(ds->CreateSoundBuffer(&desc, &primary, nullptr))) primary->Release();
      ds->Release();
    }
  };
  pair();
  constexpr int32_t kPairs = 4;
  const int64_t before = HeapBytes();
  for (int32_t i = 0; i < kPairs; ++i) pair();
  return std::max<int64_t>(0, (HeapBytes() - before + kPairs - 1) / kPairs);
}

// Nothing of the game reached the host window after its DestroyGameWnd returned.
void CheckNoLateMessage(const char* scenario) {
  if (g_window.lateLoaded)
    Fail("%s: WM_GAME_LOADED(%u) reached the host window after DestroyGameWnd returned", scenario,
         unsigned(g_window.lateLoadedResult));
  if (g_window.lateClose)
    Fail("%s: WM_GAME_CLOSE reached the host window %d times after DestroyGameWnd returned", scenario,
         int(g_window.lateClose));
}

void CheckQuiet(const LifeHost& host, const char* scenario) {
  if (host.callsAfterDestroy) Fail("%s: %d host calls after DestroyGameWnd", scenario, int(host.callsAfterDestroy));
  CheckNoLateMessage(scenario);
}

void Cycle(const Setup& s) {
  Loaded loaded(s);
  Stage("load");
  PlayGame(s, loaded.exports, 0);
  CheckNoLateMessage("a game loaded on the host's thread");
  PlayGame(s, loaded.exports, 1);
  loaded.Unload();
  Loaded::ExpectGone(BaseName(s.dll));
  CheckNoLateMessage("a game loaded on the loader thread");
  Stage("unload");
}


// The host ends the game in answer to the room entry's event, and unloads as soon as
// the room entry's OnReceive has returned.
void DestroyInCallback(const Setup& s) {
  Loaded loaded(s);
  LifeHost host(loaded.exports);
  InitGame(s, host, loaded.exports, 0);
  host.destroyOnRoomEntry = true;
  Deliver(host, s.roomMessages, 1);
  Expect(host.destroyed, "the room entry did not ask the host about its event");
  host.ExpectDestroyed("destroy inside a callback");
  loaded.Unload();
  Loaded::ExpectGone(BaseName(s.dll));
  CheckQuiet(host, "destroy inside a callback");
}

// The host ends the game while the module's box is up (its timer reaches the host
// through the box's modal loop), and unloads as soon as its own loop has control.
void DestroyInBox(const Setup& s) {
  Loaded loaded(s);
  LifeHost host(loaded.exports);
  InitGame(s, host, loaded.exports, 0);
  g_window.host = &host;
  SetTimer(s.hostWnd, kBoxWatchTimer, 20, nullptr);
  Deliver(host, s.boxMessages, s.boxMessages.size());
  PumpUntilDestroyed(host, kLoadLimitMs);
  const bool destroyed = host.destroyed;
  KillTimer(s.hostWnd, kBoxWatchTimer);
  g_window.host = nullptr;
  Expect(destroyed, "no box of the module came up");
  host.ExpectDestroyed("destroy inside a box");
  loaded.Unload();
  Loaded::ExpectGone(BaseName(s.dll));
  CheckQuiet(host, "destroy inside a box");
}

// The build on the loader thread stops at a card picture the host holds open for
// itself: the load error's event waits in the host until the host has destroyed the
// game and freed the library. Then the loader goes on.
void DestroyWhileLoading(const Setup& s) {
  const std::string card = s.gameFolder + "GameImage\\Hwatoo\\normal.bmp";
  HANDLE held = CreateFileA(card.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (held == INVALID_HANDLE_VALUE) Fail("cannot hold %s: error %u", card.c_str(), unsigned(GetLastError()));
  Loaded loaded(s);
  LifeHost host(loaded.exports);
  host.holdLoader = true;
  InitGame(s, host, loaded.exports, 1);
  const bool reached = host.WaitHeld(kLoadLimitMs);
  CloseHandle(held);
  Expect(reached, "the loader never reported the held picture");
  const DWORD start = GetTickCount();
  host.Destroy();
  const DWORD destroyMs = GetTickCount() - start;
  host.ExpectDestroyed("destroy while loading");
  loaded.Unload();
  host.Release();
  Loaded::ExpectGone(BaseName(s.dll));
  winhost::PumpUntil(kAfterUnloadMs, [] { return false; });
  CheckQuiet(host, "destroy while loading");
  std::printf("destroy while loading: DestroyGameWnd returned in %u ms\n", unsigned(destroyMs));
}

// The windows inside the host window: the game window, while there is one.
DWORD WindowsInside(HWND hostWnd) {
  DWORD count = 0;
  EnumChildWindows(hostWnd, winhost::CountChildWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

// What a host does after an unload: its window repainted, children and all. A window
// whose procedure was in the freed module faults here.
void RepaintHostWindow(HWND hostWnd) {
  RedrawWindow(hostWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  UpdateWindow(hostWnd);
  winhost::PumpUntil(kAfterUnloadMs, [] { return false; });
}

// A game the module no longer has: DestroyGameWnd must know it and leave it alone.
void ExpectNotAlive(const winhost::ModuleExports& e, IClientInterface* client, const char* scenario,
                    const char* what) {
  const int32_t answer = e.destroy(client);
  if (answer != -1) Fail("%s: DestroyGameWnd of %s answered %d, not -1", scenario, what, int(answer));
}

void PrintFailure(const char* scenario, const char* what) {
  std::printf("FAIL: %s: %s\n", scenario, what);
  std::fflush(stdout);
}

// The scene build on the loader thread cannot load a card picture; the host ends the
// game in answer to the load-failed event, there on the loader thread. Its own thread
// frees the library as soon as it sees the game ended, and repaints its window.
void DestroyOnLoadFailureThreaded(const Setup& s) {
  const char* const name = "destroy inside the load-failed event on the loader thread";
  Loaded loaded(s);
  LifeHost host(loaded.exports);
  host.destroyOnLoadError = true;
  HWND wnd = InitGame(s, host, loaded.exports, 1, &s.brokenGame);
  const DWORD start = GetTickCount();
  if (!winhost::PumpUntil(kLoadLimitMs, [&] { return host.destroyed.load(); }))
    Fail("%s: no load-failed event (WM_GAME_LOADED %d)", name, int(g_window.loaded));
  std::printf("%s: DestroyGameWnd returned %d after %u ms\n", name, int(host.destroyResult),
              unsigned(GetTickCount() - start));
  host.ExpectDestroyed(name);
  if (host.destroyThread == host.WindowThread()) Fail("%s: the event came on the host's thread", name);
  // Seen before the unload, failed after it: the repaint shows what the window left does.
  const bool windowLeft = IsWindow(wnd);
  if (windowLeft) PrintFailure(name, "the game window outlived DestroyGameWnd; freeing the library anyway");
  loaded.Unload();
  RepaintHostWindow(s.hostWnd);
  Loaded::ExpectGone(BaseName(s.dll));
  if (windowLeft || IsWindow(wnd)) Fail("%s: the game window outlived DestroyGameWnd", name);
  CheckQuiet(host, name);
}

// The same on the host's thread: the build runs inside InitGameWnd, and the event comes
// from there. InitGameWnd then gives no window, and the game is gone when it returns.
void DestroyOnLoadFailureInInit(const Setup& s) {
  const char* const name = "destroy inside the load-failed event inside InitGameWnd";
  Loaded loaded(s);
  LifeHost host(loaded.exports);
  host.destroyOnLoadError = true;
  HWND wnd = TryInitGame(s, host, loaded.exports, 0, &s.brokenGame);
  host.ExpectDestroyed(name);
  if (host.destroyThread != host.WindowThread() || !host.destroyedInClientCall)
    Fail("%s: the event did not come inside InitGameWnd", name);
  if (wnd) Fail("%s: InitGameWnd gave a window for a game ended inside it", name);
  if (WindowsInside(s.hostWnd)) Fail("%s: a game window is left in the host window", name);
  ExpectNotAlive(loaded.exports, host.client, name, "the game ended inside InitGameWnd");
  loaded.Unload();
  RepaintHostWindow(s.hostWnd);
  Loaded::ExpectGone(BaseName(s.dll));
  CheckQuiet(host, name);
}

// The scene build on the loader thread cannot load a card picture and the host lets the
// load-failed event pass: the loader tells the host window once that the build failed,
// and the host ends the game in its own time.
void FailedThreadedBuildReported(const Setup& s) {
  const char* const name = "a failed build on the loader thread, the host ending the game later";
  Loaded loaded(s);
  LifeHost host(loaded.exports);
  HWND wnd = InitGame(s, host, loaded.exports, 1, &s.brokenGame);
  if (!winhost::PumpUntil(kLoadLimitMs, [] { return g_window.loaded > 0; })) Fail("%s: no WM_GAME_LOADED", name);
  // A second report would come soon after the first.
  winhost::PumpUntil(kMessageGapMs, [] { return false; });
  if (g_window.loaded != 1 || g_window.loadedResult != 0 || host.loadErrors == 0)
    Fail("%s: %d WM_GAME_LOADED, the last reporting %u, after %d load errors", name, int(g_window.loaded),
         unsigned(g_window.loadedResult), int(host.loadErrors));
  host.Destroy();
  host.ExpectDestroyed(name);
  if (IsWindow(wnd)) Fail("%s: the game window outlived DestroyGameWnd", name);
  loaded.Unload();
  RepaintHostWindow(s.hostWnd);
  Loaded::ExpectGone(BaseName(s.dll));
  CheckQuiet(host, name);
}

// The room entry arrives while the loader thread builds the scene: it waits in the
// module's queue until a message of the game window (the dispatch after the build, or
// the timer's tick) hands it to the scene, whose event the host answers by ending the
// game. The game goes when that message returns; the host frees the library at once.
void DestroyInWindowMessage(const Setup& s) {
  const char* const name = "destroy inside a message of the game window";
  Loaded loaded(s);
  LifeHost host(loaded.exports);
  HWND wnd = InitGame(s, host, loaded.exports, 1);
  host.destroyOnRoomEntry = true;
  int32_t length = static_cast<int32_t>(s.roomMessages.front().size());
  host.inClientCall = true;
  const int32_t answer = host.client->OnReceive(0, 0, s.roomMessages.front().data(), &length);
  host.inClientCall = false;
  Expect(answer == 0, "OnReceive did not answer 0");
  if (host.destroyed) Fail("%s: the room entry was handled inside OnReceive, before the build ended", name);
  PumpUntilDestroyed(host, kLoadLimitMs);
  Expect(host.destroyed, "the room entry did not ask the host about its event");
  host.ExpectDestroyed(name);
  if (host.destroyedInClientCall || host.destroyThread != host.WindowThread())
    Fail("%s: the event came inside a call of the host or on another thread", name);
  if (IsWindow(wnd)) Fail("%s: the game window outlived the message it was ended in", name);
  ExpectNotAlive(loaded.exports, host.client, name, "the game ended inside a window message");
  loaded.Unload();
  RepaintHostWindow(s.hostWnd);
  Loaded::ExpectGone(BaseName(s.dll));
  CheckQuiet(host, name);
}

// DestroyGameWnd of a game already destroyed, and of a pointer the module never made
// (a page no one may read: a look at it faults).
void DestroyTwice(const Setup& s) {
  const char* const name = "a second destroy";
  Loaded loaded(s);
  LifeHost host(loaded.exports);
  InitGame(s, host, loaded.exports, 0);
  host.Destroy();
  host.ExpectDestroyed(name);
  ExpectNotAlive(loaded.exports, host.client, name, "a game destroyed already");
  constexpr SIZE_T kPage = 4096;
  void* stranger = VirtualAlloc(nullptr, kPage, MEM_RESERVE | MEM_COMMIT, PAGE_NOACCESS);
  Expect(stranger != nullptr, "VirtualAlloc failed");
  ExpectNotAlive(loaded.exports, static_cast<IClientInterface*>(stranger), name, "a pointer it never made");
  VirtualFree(stranger, 0, MEM_RELEASE);
  loaded.Unload();
  RepaintHostWindow(s.hostWnd);
  Loaded::ExpectGone(BaseName(s.dll));
  CheckQuiet(host, name);
}

// ---- A destroy on a third thread --------------------------------------------------------
// A thread of the host's that is neither the window's nor the loader's (its network
// thread on a lost connection, say) ends the game and frees the library at once, while
// the window's thread is inside the module's box, inside the scene's nested wait, or
// only pumping the host's loop. Anything of the module the window's thread still runs
// then faults in freed code.
enum class ThirdThreadMoment { kBox, kNestedWait, kIdle };
struct ThirdThreadState {
  LifeHost* host = nullptr;
  HMODULE module = nullptr;
  ThirdThreadMoment moment = ThirdThreadMoment::kIdle;
  HANDLE thread = nullptr;
  // The host's own loop is dispatching a message of the game window: a host timer that
  // fires now fires inside a frame of the module.
  bool dispatchingToGame = false;
  HWND gameWnd = nullptr;
};
ThirdThreadState g_third;
constexpr UINT_PTR kThirdThreadTimer = 3;

DWORD WINAPI DestroyAndFreeLibrary(LPVOID) {
  g_third.host->Destroy();
  FreeLibrary(g_third.module);
  return 0;
}

void CALLBACK OnThirdThreadTimer(HWND hwnd, UINT, UINT_PTR id, DWORD) {
  if (g_third.thread) return;
  const bool box = !winhost::VisibleDialogsOfThisThread().empty();
  const bool insideModule = g_third.host->inClientCall || g_third.dispatchingToGame;
  const bool there = g_third.moment == ThirdThreadMoment::kBox        ? box
                     : g_third.moment == ThirdThreadMoment::kNestedWait ? insideModule && !box
                                                                         : !insideModule;
  if (!there) return;
  KillTimer(hwnd, id);
  g_third.thread = CreateThread(nullptr, 0, DestroyAndFreeLibrary, nullptr, 0, nullptr);
  if (!g_third.thread) Fail("cannot start the host's third thread: error %u", unsigned(GetLastError()));
}

// The host's loop, noting which messages are the game window's.
void PumpNotingGame(DWORD ms) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    MSG m;
    if (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      g_third.dispatchingToGame = m.hwnd && (m.hwnd == g_third.gameWnd || IsChild(g_third.gameWnd, m.hwnd));
      TranslateMessage(&m);
      DispatchMessageA(&m);
      g_third.dispatchingToGame = false;
    } else {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
  }
}

void DestroyOnThirdThread(const Setup& s, ThirdThreadMoment moment, const char* name) {
  Loaded loaded(s);
  LifeHost host(loaded.exports);
  const HWND wnd = InitGame(s, host, loaded.exports, 0);
  g_third = {};
  g_third.host = &host;
  g_third.module = loaded.Handle();
  g_third.moment = moment;
  g_third.gameWnd = wnd;
  SetTimer(s.hostWnd, kThirdThreadTimer, 10, OnThirdThreadTimer);
  // The box comes with the box script's fourth message; the nested waits with the
  // deal and the plays of the room script.
  const auto& messages = moment == ThirdThreadMoment::kBox ? s.boxMessages : s.roomMessages;
  for (size_t i = 0; moment != ThirdThreadMoment::kIdle && i < messages.size() && !g_third.thread; ++i) {
    int32_t length = static_cast<int32_t>(messages[i].size());
    host.inClientCall = true;
    host.client->OnReceive(0, 0, messages[i].data(), &length);
    host.inClientCall = false;
    PumpNotingGame(kMessageGapMs);
  }
  if (moment == ThirdThreadMoment::kIdle) PumpNotingGame(kMessageGapMs);
  KillTimer(s.hostWnd, kThirdThreadTimer);
  if (!g_third.thread) Fail("%s: the window's thread never got there", name);
  const DWORD waited = WaitForSingleObject(g_third.thread, kLoadLimitMs);
  CloseHandle(g_third.thread);
  g_third = {};
  if (waited != WAIT_OBJECT_0) Fail("%s: the third thread's DestroyGameWnd and FreeLibrary did not return", name);
  host.ExpectDestroyed(name);
  if (IsWindow(wnd)) Fail("%s: the game window outlived DestroyGameWnd", name);
  RepaintHostWindow(s.hostWnd);
  Loaded::ExpectGone(BaseName(s.dll));
  CheckQuiet(host, name);
}

void DestroyOnThirdThreadInBox(const Setup& s) {
  DestroyOnThirdThread(s, ThirdThreadMoment::kBox, "destroy on a third thread while a box of the module is up");
}
void DestroyOnThirdThreadInWait(const Setup& s) {
  DestroyOnThirdThread(s, ThirdThreadMoment::kNestedWait, "destroy on a third thread inside the nested wait");
}
void DestroyOnThirdThreadIdle(const Setup& s) {
  DestroyOnThirdThread(s, ThirdThreadMoment::kIdle, "destroy on a third thread while the host pumps");
}

// A destroy on a third thread, followed there by FreeLibrary, while the window's thread
// is inside InitGameWnd before the game window exists (the host's creation hook starts
// the thread and returns at once), or inside a host call after the host destroyed the
// frame that held the game window. Either answer that comes before the window's thread
// has left the game's code unmaps the code it still runs.
HHOOK g_creationHook = nullptr;
HWND g_creationParent = nullptr;
// How long the window's thread stays inside the host's code once the third thread runs.
constexpr DWORD kInsideHostCallMs = 200;

LRESULT CALLBACK StartThirdThreadOnCreation(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && !g_third.thread) {
    const auto* create = reinterpret_cast<const CBT_CREATEWNDA*>(lParam);
    if (create && create->lpcs && create->lpcs->hwndParent == g_creationParent) {
      g_third.thread = CreateThread(nullptr, 0, DestroyAndFreeLibrary, nullptr, 0, nullptr);
      // The creation goes on once the thread has had its chance: a destroy that answers
      // at once has freed the library by then.
      if (g_third.thread) WaitForSingleObject(g_third.thread, kInsideHostCallMs);
    }
  }
  return CallNextHookEx(g_creationHook, code, wParam, lParam);
}

// The host's loop until the third thread has destroyed and unloaded; then what the host
// must see.
void AwaitThirdThread(const Setup& s, LifeHost& host, HWND wnd, const char* name) {
  if (!g_third.thread) Fail("%s: the window's thread never got there", name);
  const HANDLE thread = g_third.thread;
  winhost::PumpUntil(kLoadLimitMs, [thread] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; });
  const DWORD waited = WaitForSingleObject(thread, 0);
  CloseHandle(thread);
  g_third = {};
  if (waited != WAIT_OBJECT_0) Fail("%s: the third thread's DestroyGameWnd and FreeLibrary did not return", name);
  host.ExpectDestroyed(name);
  if (wnd && IsWindow(wnd)) Fail("%s: the game window outlived DestroyGameWnd", name);
  RepaintHostWindow(s.hostWnd);
  Loaded::ExpectGone(BaseName(s.dll));
  CheckQuiet(host, name);
}

void DestroyOnThirdThreadInInit(const Setup& s) {
  const char* name = "destroy on a third thread inside InitGameWnd, before the game window exists";
  Loaded loaded(s);
  LifeHost host(loaded.exports);
  g_third = {};
  g_third.host = &host;
  g_third.module = loaded.Handle();
  g_creationParent = s.hostWnd;
  g_creationHook = SetWindowsHookExA(WH_CBT, StartThirdThreadOnCreation, nullptr, GetCurrentThreadId());
  if (!g_creationHook) Fail("%s: no creation hook: error %u", name, unsigned(GetLastError()));
  const HWND wnd = TryInitGame(s, host, loaded.exports, 0);
  UnhookWindowsHookEx(g_creationHook);
  g_creationHook = nullptr;
  AwaitThirdThread(s, host, wnd, name);
}

void DestroyOnThirdThreadAfterTheFrameWent(const Setup& s) {
  const char* name = "destroy on a third thread inside a host call, the host's frame gone with the game window";
  Loaded loaded(s);
  LifeHost host(loaded.exports);
  Setup framed = s;
  framed.hostWnd = CreateWindowExA(0, "STATIC", "frame", WS_CHILD | WS_VISIBLE, 0, 0, 810, 610, s.hostWnd, nullptr,
                                   nullptr, nullptr);
  if (!framed.hostWnd) Fail("%s: no frame window: error %u", name, unsigned(GetLastError()));
  const HWND wnd = InitGame(framed, host, loaded.exports, 0);
  DestroyWindow(framed.hostWnd);
  if (IsWindow(wnd)) Fail("%s: the game window outlived its frame", name);
  g_third = {};
  g_third.host = &host;
  g_third.module = loaded.Handle();
  host.inRoomEntry = [&] {
    if (g_third.thread) return;
    g_third.thread = CreateThread(nullptr, 0, DestroyAndFreeLibrary, nullptr, 0, nullptr);
    if (g_third.thread) Sleep(kInsideHostCallMs);
  };
  if (s.roomMessages.empty()) Fail("%s: the room script has no messages", name);
  int32_t length = static_cast<int32_t>(s.roomMessages[0].size());
  host.inClientCall = true;
  host.client->OnReceive(0, 0, s.roomMessages[0].data(), &length);
  host.inClientCall = false;
  host.inRoomEntry = nullptr;
  AwaitThirdThread(s, host, nullptr, name);
}

// After the host's frame took the game window along, the window's thread, with no frame
// of the game on it, starts a thread that destroys the game and frees the library, and
// waits for that thread serving nothing: the destroy must not wait for it.
constexpr DWORD kJoinLimitMs = 10000;

void WindowThreadJoinsTheDestroyer(const Setup& s) {
  const char* const name = "the window's thread joining a third thread that destroys, the frame gone with the window";
  Loaded loaded(s);
  LifeHost host(loaded.exports);
  Setup framed = s;
  framed.hostWnd = CreateWindowExA(0, "STATIC", "frame", WS_CHILD | WS_VISIBLE, 0, 0, 810, 610, s.hostWnd, nullptr,
                                   nullptr, nullptr);
  if (!framed.hostWnd) Fail("%s: no frame window: error %u", name, unsigned(GetLastError()));
  const HWND wnd = InitGame(framed, host, loaded.exports, 0);
  DestroyWindow(framed.hostWnd);
  if (IsWindow(wnd)) Fail("%s: the game window outlived its frame", name);
  g_third = {};
  g_third.host = &host;
  g_third.module = loaded.Handle();
  g_third.thread = CreateThread(nullptr, 0, DestroyAndFreeLibrary, nullptr, 0, nullptr);
  if (!g_third.thread) Fail("%s: cannot start the host's third thread: error %u", name, unsigned(GetLastError()));
  if (WaitForSingleObject(g_third.thread, kJoinLimitMs) != WAIT_OBJECT_0)
    Fail("%s: DestroyGameWnd waited for the window's thread, which waited for it", name);
  AwaitThirdThread(s, host, nullptr, name);
}

// ---- The window's thread still returning through the module after the game went -----------
// A destroy on a third thread while the window's thread is inside a host call of the
// game (the room entry's event), where the host serves what is sent to it until the
// game window has gone and a moment more: the end runs there, and the game's last
// frame ends as the module's call returns, setting the signal the destroy waits for
// from the module's code, which that thread still has to return out of. The host
// stalls the window's thread right after each event the module sets there once the
// game window is gone (the module's import of SetEvent points at the host's own),
// until the third thread has freed the library or long enough for it to: an answer
// that does not wait for the window's thread to be back in the host's loop has the
// library unmapped under it.
constexpr DWORD kStallMs = 100;
// Ample, also on a loaded machine, for the third thread to leave its own frame of the
// end once the window's thread has answered the end it sent.
constexpr DWORD kEndSenderLeavesMs = 250;

// Read by every thread that runs the module's code (its timers' too).
struct Stall {
  std::atomic<DWORD> windowThread{0};
  std::atomic<HWND> gameWnd{nullptr};
  std::atomic<HANDLE> destroyer{nullptr};
  std::atomic<void*> setEvent{nullptr};
  std::atomic<int32_t> stalls{0};
};
Stall g_stall;

BOOL WINAPI SetEventThenStall(HANDLE event) {
  const BOOL set = reinterpret_cast<BOOL(WINAPI*)(HANDLE)>(g_stall.setEvent.load())(event);
  if (GetCurrentThreadId() == g_stall.windowThread && g_stall.destroyer && !IsWindow(g_stall.gameWnd)) {
    ++g_stall.stalls;
    WaitForSingleObject(g_stall.destroyer, kStallMs);
  }
  return set;
}

// Points the module's import of `function` from `dll` at `replacement`, once `was` holds
// the import it had; false when the module imports no such function.
bool ReplaceImport(HMODULE module, const char* dll, const char* function, void* replacement,
                   std::atomic<void*>& was) {
  auto* base = reinterpret_cast<uint8_t*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!dir.VirtualAddress) return false;
  for (auto* imp = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name; ++imp) {
    if (lstrcmpiA(reinterpret_cast<const char*>(base + imp->Name), dll) != 0) continue;
    const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
      DWORD protection = 0;
      if (!VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &protection)) return false;
      was = reinterpret_cast<void*>(slots->u1.Function);
      slots->u1.Function = reinterpret_cast<uintptr_t>(replacement);
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
      return true;
    }
  }
  return false;
}

// Until `object` (when given) is signalled or `done` holds, serving only what other
// threads send to this one: the host's wait inside a call of the module.
bool WaitServingSends(HANDLE object, DWORD ms, const std::function<bool()>& done) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (done()) return true;
    const DWORD spent = GetTickCount() - start;
    if (spent >= ms) return false;
    const DWORD woke = MsgWaitForMultipleObjects(object ? 1 : 0, &object, FALSE, ms - spent, QS_SENDMESSAGE);
    if (object && woke == WAIT_OBJECT_0) return true;
    MSG m;
    PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

void DestroyOnThirdThreadWindowThreadSlow(const Setup& s) {
  const char* const name = "destroy on a third thread inside a host call, the window's thread slow out of the module";
  Loaded loaded(s);
  LifeHost host(loaded.exports);
  const HWND wnd = InitGame(s, host, loaded.exports, 0);
  g_stall.windowThread = GetCurrentThreadId();
  g_stall.gameWnd = wnd;
  g_stall.stalls = 0;
  if (!ReplaceImport(loaded.Handle(), "kernel32.dll", "SetEvent", reinterpret_cast<void*>(&SetEventThenStall),
                     g_stall.setEvent))
    Fail("%s: the module imports no SetEvent", name);
  g_third = {};
  g_third.host = &host;
  g_third.module = loaded.Handle();
  bool windowWent = false;
  host.inRoomEntry = [&] {
    if (g_third.thread) return;
    g_third.thread = CreateThread(nullptr, 0, DestroyAndFreeLibrary, nullptr, 0, nullptr);
    g_stall.destroyer = g_third.thread;
    if (!g_third.thread) return;
    windowWent = WaitServingSends(nullptr, kLoadLimitMs, [wnd] { return !IsWindow(wnd); });
    // And a moment more: the third thread leaves its own frame of the end, so that
    // the game's last frame is this call's.
    WaitServingSends(nullptr, kEndSenderLeavesMs, [] { return false; });
  };
  Deliver(host, s.roomMessages, 1);
  host.inRoomEntry = nullptr;
  if (g_third.thread && !windowWent) PrintFailure(name, "the game window outlived the end sent to its thread");
  AwaitThirdThread(s, host, wnd, name);
  const int32_t stalls = g_stall.stalls;
  g_stall.destroyer = nullptr;
  g_stall.windowThread = 0;
  std::printf("%s: the window's thread stalled after %d events set\n", name, int(stalls));
  if (!windowWent) Fail("%s: the game window outlived the end sent to its thread", name);
  if (!stalls) Fail("%s: the window's thread set no event after the game window went (the game's last frame was "
                    "another thread's)", name);
}

// The host closes its own top window inside a host call of the game (the room entry's
// event), the game window going with it, and starts a thread there that destroys the
// game and frees the library at once, staying in the event a while. The destroy answers
// once the call's frame has ended, with the window's thread still returning through the
// module and no window of the host's left to tell when it is out; the window's thread is
// stalled after each event the module sets there, as in the case before.
void DestroyOnThirdThreadAfterTheTopWent(const Setup& s) {
  const char* const name = "destroy on a third thread inside a host call, the host's top window closed there";
  Loaded loaded(s);
  LifeHost host(loaded.exports);
  Setup topped = s;
  topped.hostWnd = CreateWindowExA(0, "STATIC", "top", WS_POPUP | WS_VISIBLE, 0, 0, 820, 620, nullptr, nullptr,
                                   nullptr, nullptr);
  if (!topped.hostWnd) Fail("%s: no top window: error %u", name, unsigned(GetLastError()));
  const HWND wnd = InitGame(topped, host, loaded.exports, 0);
  g_stall.windowThread = GetCurrentThreadId();
  g_stall.gameWnd = wnd;
  g_stall.stalls = 0;
  if (!ReplaceImport(loaded.Handle(), "kernel32.dll", "SetEvent", reinterpret_cast<void*>(&SetEventThenStall),
                     g_stall.setEvent))
    Fail("%s: the module imports no SetEvent", name);
  g_third = {};
  g_third.host = &host;
  g_third.module = loaded.Handle();
  host.inRoomEntry = [&] {
    if (g_third.thread) return;
    DestroyWindow(topped.hostWnd);
    g_third.thread = CreateThread(nullptr, 0, DestroyAndFreeLibrary, nullptr, 0, nullptr);
    g_stall.destroyer = g_third.thread;
    if (g_third.thread) Sleep(kInsideHostCallMs);
  };
  Deliver(host, s.roomMessages, 1);
  host.inRoomEntry = nullptr;
  if (IsWindow(topped.hostWnd)) DestroyWindow(topped.hostWnd);
  AwaitThirdThread(s, host, wnd, name);
  g_stall.destroyer = nullptr;
  g_stall.windowThread = 0;
}

// ---- A loader that asked for the end holds the library ------------------------------------
// The threaded build fails while the window's thread is inside a message of the game
// window: its default handling hands it to the host's frame (WM_CONTEXTMENU goes to the
// parent), whose procedure lets the held load-failed event go on and serves what is sent
// to it until the loader thread has ended. There, on the loader thread, the host destroys
// the game, and a thread of the host's frees the library as soon as that destroy has
// returned. The loader's own reference goes as its thread ends, while the window's
// thread is still inside the game's message: only a hold of the library until that
// frame has ended keeps the code the window's thread returns through mapped.
struct FrameWait {
  LifeHost* host = nullptr;
  HMODULE module = nullptr;
  WNDPROC frameProc = nullptr;
  std::string dll;
  bool inside = false, freed = false, mappedAfter = false;
};
FrameWait g_frameWait;

// The host's reference given back once the game is destroyed, and the loader that
// destroyed it waited for.
DWORD WINAPI FreeOnceDestroyed(LPVOID) {
  const DWORD start = GetTickCount();
  while (!g_frameWait.host->destroyed && GetTickCount() - start < kLoadLimitMs) Sleep(1);
  if (!g_frameWait.host->destroyed) return 1;
  HANDLE loader = OpenThread(SYNCHRONIZE, FALSE, g_frameWait.host->destroyThread);
  FreeLibrary(g_frameWait.module);
  if (loader) {
    WaitForSingleObject(loader, kLoadLimitMs);
    CloseHandle(loader);
  }
  return 0;
}

LRESULT CALLBACK FrameWaitingForTheLoader(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_CONTEXTMENU || !g_frameWait.host || g_frameWait.inside)
    return CallWindowProcA(g_frameWait.frameProc, hwnd, message, wParam, lParam);
  g_frameWait.inside = true;
  HANDLE freeing = CreateThread(nullptr, 0, FreeOnceDestroyed, nullptr, 0, nullptr);
  g_frameWait.host->Release();
  DWORD result = 1;
  if (freeing && WaitServingSends(freeing, kLoadLimitMs, [] { return false; })) GetExitCodeThread(freeing, &result);
  if (freeing) CloseHandle(freeing);
  g_frameWait.freed = result == 0;
  // The host's own look, before it returns into the module: the library is still there.
  g_frameWait.mappedAfter = GetModuleHandleA(g_frameWait.dll.c_str()) != nullptr;
  if (g_frameWait.freed && !g_frameWait.mappedAfter)
    PrintFailure("a loader that ended the game",
                 "the library was unmapped with the window's thread still inside a message of the game");
  return 0;
}

void DestroyOnLoaderWhileInsideMessage(const Setup& s) {
  const char* const name = "destroy on the loader thread, the library freed at once, the window's thread inside a "
                           "message of the game";
  Loaded loaded(s);
  LifeHost host(loaded.exports);
  host.holdLoader = true;
  host.destroyOnLoadError = true;
  Setup framed = s;
  framed.hostWnd = CreateWindowExA(0, "STATIC", "frame", WS_CHILD | WS_VISIBLE, 0, 0, 810, 610, s.hostWnd, nullptr,
                                   nullptr, nullptr);
  if (!framed.hostWnd) Fail("%s: no frame window: error %u", name, unsigned(GetLastError()));
  g_frameWait = {};
  g_frameWait.host = &host;
  g_frameWait.module = loaded.Handle();
  g_frameWait.dll = BaseName(s.dll);
  g_frameWait.frameProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(framed.hostWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FrameWaitingForTheLoader)));
  const HWND wnd = InitGame(framed, host, loaded.exports, 1, &s.brokenGame);
  if (!host.WaitHeld(kLoadLimitMs)) Fail("%s: no load-failed event on the loader thread", name);
  SendMessageA(wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(-1, -1));
  const FrameWait seen = g_frameWait;
  g_frameWait = {};
  if (!seen.inside) Fail("%s: the game window's message never reached the host's frame", name);
  if (!seen.freed) Fail("%s: the loader's destroy or its thread's end never came", name);
  host.ExpectDestroyed(name);
  if (host.destroyThread == host.WindowThread()) Fail("%s: the load-failed event came on the host's thread", name);
  if (!seen.mappedAfter) Fail("%s: the library was unmapped under the window's thread", name);
  if (IsWindow(wnd)) Fail("%s: the game window outlived DestroyGameWnd", name);
  DestroyWindow(framed.hostWnd);
  RepaintHostWindow(s.hostWnd);
  Loaded::ExpectGone(BaseName(s.dll));
  CheckQuiet(host, name);
}

// The next table's host: a game that has entered no room sends nothing, sets no play
// state and writes no text, so each of those it hears is the first game's.
class NextTableHost final : public IHostInterface {
 public:
  std::atomic<int32_t> foreign{0};
  std::atomic<int32_t> calls{0};
  int32_t STDMETHODCALLTYPE Send(int32_t, int32_t, const BYTE*, int32_t) override { return Foreign(), 0; }
  int32_t STDMETHODCALLTYPE GetAvatar(BSTR, BSTR, BSTR* out) override {
    ++calls;
    if (out) *out = nullptr;
    return 0;
  }
  int32_t STDMETHODCALLTYPE SetText(BSTR, uint32_t, BSTR) override { return ++calls, 0; }
  int32_t STDMETHODCALLTYPE SetPlayState(uint32_t) override { return Foreign(), 0; }
  int32_t STDMETHODCALLTYPE SetPlayerList(BSTR) override { return ++calls, 0; }
  int32_t STDMETHODCALLTYPE AddText(BSTR, int32_t, int32_t, int32_t, BSTR, int32_t) override { return Foreign(), 0; }
  int32_t STDMETHODCALLTYPE RequestScreenMode(int32_t, int32_t, int32_t, int32_t) override { return ++calls, 0; }
  int32_t STDMETHODCALLTYPE NotifyEvent(uint32_t, int32_t*, void*, int32_t*) override { return ++calls, 0; }

 private:
  void Foreign() {
    ++calls;
    ++foreign;
  }
};

// The host ends the first game inside its room entry's notice and makes the next game
// there, in the same host window, built on the loader thread. Nothing of the first may
// reach either host after its DestroyGameWnd; the next game loads, plays on once the
// first is gone, and ends; the host frees the library at once and repaints.
void NextTable(const Setup& s) {
  const char* const name = "the next table made inside the first game's room notice";
  Loaded loaded(s);
  LifeHost first(loaded.exports);
  InitGame(s, first, loaded.exports, 0);
  NextTableHost nextHost;
  IClientInterface* next = nullptr;
  HWND nextWnd = nullptr;
  first.nextTable = [&] {
    if (loaded.exports.create(&nextHost, &next) != 0 || !next) return;
    nextWnd = loaded.exports.init(next, 0, s.hostWnd, s.game.c_str(), s.portal.c_str(), u"", 0, 0, 0, 0, 1);
  };
  Deliver(first, s.roomMessages, 1);
  first.ExpectDestroyed(name);
  if (!nextWnd) Fail("%s: the next game gave no window", name);
  if (!winhost::PumpUntil(kLoadLimitMs, [] { return g_window.loaded > 0; }))
    Fail("%s: no WM_GAME_LOADED of the next game", name);
  if (g_window.loaded != 1 || g_window.loadedResult != 1)
    Fail("%s: %d WM_GAME_LOADED, the last reporting %u", name, int(g_window.loaded),
         unsigned(g_window.loadedResult));
  // That one was the next game's own, counted late only because the first's destroy came
  // before it; the first game's build posted none.
  g_window.lateLoaded = 0;
  // The next game's ticks and paints run on with the first gone.
  winhost::PumpUntil(kMessageGapMs, [] { return false; });
  if (first.callsAfterDestroy) Fail("%s: %d calls at the first game's host after its destroy", name,
                                    int(first.callsAfterDestroy));
  if (nextHost.foreign)
    Fail("%s: %d calls of the first game (texts, play states, commands) at the next game's host", name,
         int(nextHost.foreign));
  if (g_window.lateClose) Fail("%s: WM_GAME_CLOSE reached the host window after the first's destroy", name);
  const int32_t nextDestroyed = loaded.exports.destroy(next);
  if (nextDestroyed != 0) Fail("%s: DestroyGameWnd of the next game answered %d", name, int(nextDestroyed));
  const int32_t nextCalls = nextHost.calls;
  loaded.Unload();
  RepaintHostWindow(s.hostWnd);
  Loaded::ExpectGone(BaseName(s.dll));
  if (IsWindow(nextWnd)) Fail("%s: the next game window outlived its DestroyGameWnd", name);
  if (nextHost.calls != nextCalls) Fail("%s: a call at the next game's host after its destroy", name);
  CheckQuiet(first, name);
}

// ---- Two games of one folder draw the table a game alone draws ---------------------------
// The table drawn whole (RefreshScreen) by a game alone, by a second game of the same
// folder beside a live first, by that first after the second's hand-over, and by the
// next table made inside the first game's room notice, as the host reads each game
// window's client back through its DC: a picture one game's DirectDraw object made
// cannot be blitted onto another's surfaces, and the table would show holes there.
constexpr DWORD kRedrawMs = 300;

winhost::RgbPicture RedrawnTable(IClientInterface* client, HWND wnd) {
  // Over any other game window in the host window: the screen shows this one whole.
  SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Expect(client->RefreshScreen(0) == 0, "RefreshScreen did not answer 0");
  winhost::PumpUntil(kRedrawMs, [] { return false; });
  HDC dc = GetDC(wnd);
  winhost::RgbPicture picture = winhost::CaptureDc(dc, 0, 0, winhost::kGameWidth, winhost::kGameHeight);
  if (dc) ReleaseDC(wnd, dc);
  return picture;
}

void ExpectAloneTable(const winhost::RgbPicture& alone, const winhost::RgbPicture& seen, const char* name,
                      const char* whose) {
  if (seen.width == alone.width && seen.height == alone.height && seen.rgb == alone.rgb) return;
  size_t differing = std::max(seen.rgb.size(), alone.rgb.size());
  if (seen.rgb.size() == alone.rgb.size()) {
    differing = 0;
    for (size_t i = 0; i < seen.rgb.size(); ++i) differing += seen.rgb[i] != alone.rgb[i] ? 1 : 0;
  }
  Fail("%s: %u of %u bytes of %s (%dx%d) differ from the table a game alone draws (%dx%d)", name,
       unsigned(differing), unsigned(alone.rgb.size()), whose, seen.width, seen.height, alone.width, alone.height);
}

void TwoGamesOfOneFolder(const Setup& s) {
  const char* const name = "two games of one folder";
  Loaded loaded(s);
  const auto& e = loaded.exports;
  winhost::RgbPicture alone;
  {
    LifeHost host(e);
    const HWND wnd = InitGame(s, host, e, 0);
    alone = RedrawnTable(host.client, wnd);
    host.Destroy();
    host.ExpectDestroyed(name);
  }
  if (alone.rgb.size() < size_t(winhost::kGameWidth) * winhost::kGameHeight * 3)
    Fail("%s: the game window shows no table", name);

  LifeHost firstHost(e), secondHost(e);
  const HWND first = InitGame(s, firstHost, e, 0);
  const HWND second = InitGame(s, secondHost, e, 0);
  ExpectAloneTable(alone, RedrawnTable(secondHost.client, second), name, "the second game's table");
  ExpectAloneTable(alone, RedrawnTable(firstHost.client, first), name,
                   "the first game's table, drawn after the second's");
  secondHost.Destroy();
  secondHost.ExpectDestroyed(name);
  firstHost.Destroy();
  firstHost.ExpectDestroyed(name);

  // The next table, made inside the first game's room notice.
  LifeHost ending(e);
  InitGame(s, ending, e, 0);
  NextTableHost nextHost;
  IClientInterface* next = nullptr;
  HWND nextWnd = nullptr;
  ending.nextTable = [&] {
    if (e.create(&nextHost, &next) != 0 || !next) return;
    nextWnd = e.init(next, 0, s.hostWnd, s.game.c_str(), s.portal.c_str(), u"", 0, 0, 0, 0, 1);
  };
  Deliver(ending, s.roomMessages, 1);
  ending.ExpectDestroyed(name);
  if (!nextWnd) Fail("%s: the next table gave no window", name);
  if (!winhost::PumpUntil(kLoadLimitMs, [] { return g_window.loaded > 0; }) || g_window.loadedResult != 1)
    Fail("%s: the next table was not built", name);
  // The next table's own, counted late only because the first's destroy came before it.
  g_window.lateLoaded = 0;
  ExpectAloneTable(alone, RedrawnTable(next, nextWnd), name, "the next table");
  const int32_t nextDestroyed = e.destroy(next);
  if (nextDestroyed != 0) Fail("%s: DestroyGameWnd of the next table answered %d", name, int(nextDestroyed));
  loaded.Unload();
  RepaintHostWindow(s.hostWnd);
  Loaded::ExpectGone(BaseName(s.dll));
  CheckQuiet(ending, name);
}

// ---- Destroys at stepped moments of a threaded build ------------------------------------
// The steps span the build as measured on this machine, and half as much again: 1 to
// 2 ms apart, each taken by a host that pumps its messages and by one busy elsewhere.
constexpr int32_t kSweepSteps = 75;
// How long the host listens for the game's messages after DestroyGameWnd, and after the
// unload.
constexpr DWORD kSweepListenMs = 60;
constexpr int32_t kSweepFailuresShown = 5;

// What each trial of the sweep left in the heaps, in heap bytes.
std::vector<int64_t> g_sweepResidues;

struct SweepTally {
  int32_t trials = 0, loadedBefore = 0, late = 0, lateWhileQueued = 0;
};

// How long a threaded build takes here, from InitGameWnd to WM_GAME_LOADED.
DWORD MeasureBuild(const Setup& s) {
  Loaded loaded(s);
  LifeHost host(loaded.exports);
  const DWORD start = GetTickCount();
  InitGame(s, host, loaded.exports, 1);
  AwaitLoaded(host);
  const DWORD built = GetTickCount() - start;
  host.Destroy();
  host.ExpectDestroyed("the build measured");
  loaded.Unload(kSweepListenMs);
  Loaded::ExpectGone(BaseName(s.dll));
  return built;
}

bool GameMessageQueued(HWND hostWnd) {
  MSG m;
  return PeekMessageA(&m, hostWnd, WM_GAME_LOADED, WM_GAME_LOADED, PM_NOREMOVE) ||
         PeekMessageA(&m, hostWnd, WM_GAME_CLOSE, WM_GAME_CLOSE, PM_NOREMOVE);
}

// One trial: the destroy `delayMs` after InitGameWnd returned, the host pumping its
// messages meanwhile or busy elsewhere (its queue then keeps what the game posted);
// then the host listens, frees the library and listens until it is gone.
void DestroyAtStep(const Setup& s, DWORD delayMs, bool pumping, SweepTally& tally) {
  Loaded loaded(s);
  LifeHost host(loaded.exports);
  HWND wnd = InitGame(s, host, loaded.exports, 1);
  if (pumping) {
    winhost::PumpUntil(delayMs, [] { return false; });
  } else {
    Sleep(delayMs);
  }
  host.Destroy();
  const bool queued = GameMessageQueued(s.hostWnd);
  host.ExpectDestroyed("a destroy while the loader builds");
  if (IsWindow(wnd)) Fail("a destroy %u ms into the build: the game window outlived it", unsigned(delayMs));
  const int32_t loadedBefore = g_window.loaded;
  winhost::PumpUntil(kSweepListenMs, [] { return false; });
  loaded.Unload(kSweepListenMs);
  Loaded::ExpectGone(BaseName(s.dll));
  ++tally.trials;
  if (loadedBefore) ++tally.loadedBefore;
  if (!g_window.lateLoaded && !g_window.lateClose && !host.callsAfterDestroy) return;
  ++tally.late;
  if (queued) ++tally.lateWhileQueued;
  if (tally.late <= kSweepFailuresShown)
    std::printf("FAIL: destroy %u ms into the build (host %s): %d WM_GAME_LOADED (last %u), %d WM_GAME_CLOSE, "
                "%d host calls after DestroyGameWnd returned%s\n",
                unsigned(delayMs), pumping ? "pumping" : "busy", int(g_window.lateLoaded),
                unsigned(g_window.lateLoadedResult), int(g_window.lateClose), int(host.callsAfterDestroy),
                queued ? "; already in the host's queue at the return" : "");
}

// Destroys at stepped moments of the threaded build, each followed by the unload: no
// message and no call of the game may reach the host after DestroyGameWnd returned.
void DestroySweep(const Setup& s) {
  const DWORD build = MeasureBuild(s);
  const DWORD span = build + build / 2;
  SweepTally tally;
  const DWORD start = GetTickCount();
  g_sweepResidues.clear();
  // Room for every figure before the first is taken: the list's own growth is not a
  // trial's.
  g_sweepResidues.reserve(size_t(kSweepSteps + 1) * 2);
  for (int32_t step = 0; step <= kSweepSteps; ++step) {
    const DWORD delay = span * DWORD(step) / DWORD(kSweepSteps);
    for (bool pumping : {true, false}) {
      const int64_t before = HeapBytes();
      DestroyAtStep(s, delay, pumping, tally);
      g_sweepResidues.push_back(HeapBytes() - before);
    }
  }
  std::printf("destroys while the loader builds (%u ms here): %d trials from 0 to %u ms in %u ms, the game loaded "
              "before the destroy in %d; something of the game reached the host after the return in %d (%d of them "
              "in its queue at the return)\n",
              unsigned(build), int(tally.trials), unsigned(span), unsigned(GetTickCount() - start),
              int(tally.loadedBefore), int(tally.late), int(tally.lateWhileQueued));
  if (tally.late) Fail("destroys while the loader builds: the game reached the host after DestroyGameWnd returned");
}

// A GUI count as printed: none where its kind is not counted.
std::string GuiFigure(const char* name, winhost::GuiSource source, double value, const char* format) {
  if (source == winhost::GuiSource::kNone) return std::string(name) + " not counted";
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return std::string(name) + " " + text;
}

void PrintGrowth(const char* what, const Counts& a, const Counts& b, int32_t cycles) {
  std::printf("%s, per cycle over %d: %s, %s, handles %+.1f, threads %+.1f, private bytes %+.0f, "
              "heap bytes %+.0f (heaps %+.1f, committed %+.0f), TLS indexes %+.1f\n",
              what, cycles, GuiFigure("GDI", g_gdiSource, (double(b.gdi) - a.gdi) / cycles, "%+.1f").c_str(),
              GuiFigure("USER", g_userSource, (double(b.user) - a.user) / cycles, "%+.1f").c_str(),
              (double(b.handles) - a.handles) / cycles, (double(b.threads) - a.threads) / cycles,
              double(b.privateBytes - a.privateBytes) / cycles, double(b.heapBytes - a.heapBytes) / cycles,
              (double(b.heaps) - a.heaps) / cycles, double(b.heapCommitted - a.heapCommitted) / cycles,
              (double(b.tlsIndexes) - a.tlsIndexes) / cycles);
  if (b.idleDcs > a.idleDcs)
    std::printf("%s: the system kept %u more window DCs for its next GetDC (%u GDI objects each, allowed)\n", what,
                unsigned(b.idleDcs - a.idleDcs), unsigned(kObjectsOfAnIdleDc));
  PrintDecrease(what, a, b);
}

void PrintCounts(const char* when, const Counts& c) {
  std::printf("%s: %s, %s, handles %u, threads %u, private bytes %" PRId64 ", heap bytes %" PRId64
              " (%u heaps, %" PRId64 " committed), TLS indexes %u\n",
              when, GuiFigure("GDI", g_gdiSource, c.gdi, "%.0f").c_str(),
              GuiFigure("USER", g_userSource, c.user, "%.0f").c_str(), unsigned(c.handles), unsigned(c.threads),
              c.privateBytes, c.heapBytes, unsigned(c.heaps), c.heapCommitted, unsigned(c.tlsIndexes));
}

// What the system keeps of a game's devices, measured once the host window is up.
int64_t g_heapBytesPerGame = 0;
// What may stay beyond a load's and a game's own: the records of an unload on another
// thread.
struct Allowance {
  DWORD handles = 0;
  int64_t heapBytes = 0;
  // Committed outside the heaps, beyond a page a load.
  int64_t privateBytes = 0;
};
// Nothing counted may grow but memory, and that by no more than the bounds.
bool WithinBounds(const Counts& a, const Counts& b, int32_t loads, int32_t games, Allowance extra = {}) {
  const DWORD keptDcs = b.idleDcs > a.idleDcs ? b.idleDcs - a.idleDcs : 0;
  return b.gdi <= a.gdi + kObjectsOfAnIdleDc * keptDcs && b.user <= a.user &&
         b.handles <= a.handles + extra.handles && b.threads <= a.threads && b.tlsIndexes <= a.tlsIndexes &&
         b.heaps <= a.heaps &&
         b.heapBytes - a.heapBytes <=
             kHeapBytesPerLoad * loads + g_heapBytesPerGame * games + extra.heapBytes + kHeapSlack &&
         b.privateBytes - a.privateBytes <= kPrivateBytesPerLoad * loads + extra.privateBytes;
}

// ---- Heap residues measured to the byte --------------------------------------------------
// A leak of a few bytes each time hides under the slack the whole run's bound keeps for
// the system's tables that grow in steps. It shows where each time is measured on its
// own: what each cycle or trial leaves is one of the sums the allowances make (Wine 8
// meets them to the byte at both depths), and an awkward case leaves no more than its
// own.

// The sums a load with `games` games may leave: the load's, each game's devices, and an
// unload on another thread.
std::vector<int64_t> AllowedResidues(int32_t games) {
  std::vector<int64_t> out;
  for (int32_t g = 0; g <= games; ++g)
    for (int64_t elsewhere : {int64_t{0}, kHeapBytesOfAnUnloadElsewhere})
      out.push_back(kHeapBytesPerLoad + g_heapBytesPerGame * g + elsewhere);
  return out;
}

std::string ResidueList(const std::vector<int64_t>& residues) {
  std::vector<int64_t> sorted = residues;
  std::sort(sorted.begin(), sorted.end());
  std::string out;
  for (size_t i = 0; i < sorted.size();) {
    size_t j = i;
    while (j < sorted.size() && sorted[j] == sorted[i]) ++j;
    out += (out.empty() ? "" : ", ") + std::to_string(sorted[i]) + (j - i > 1 ? " x" + std::to_string(j - i) : "");
    i = j;
  }
  return out;
}

// Every residue is one of the sums the allowances make.
bool ResiduesExact(const char* what, const std::vector<int64_t>& residues, int32_t games) {
  const std::vector<int64_t> allowed = AllowedResidues(games);
  std::vector<int64_t> other;
  for (int64_t r : residues)
    if (std::find(allowed.begin(), allowed.end(), r) == allowed.end()) other.push_back(r);
  std::printf("%s: heap bytes left each time: %s\n", what, ResidueList(residues).c_str());
  if (!other.empty())
    std::printf("FAIL: %s leave heap bytes that no load, its games and an unload elsewhere leave (%s): %s\n", what,
                ResidueList(allowed).c_str(), ResidueList(other).c_str());
  return other.empty();
}

// One awkward case's counts, bounded to the byte: no slack.
bool WithinExactBounds(const Counts& a, const Counts& b, int32_t games, Allowance extra) {
  const int64_t most = kHeapBytesPerLoad + g_heapBytesPerGame * games + extra.heapBytes;
  return WithinBounds(a, b, 1, games, extra) && b.heapBytes - a.heapBytes <= most;
}

// ---- A load's first games made at once on three window threads ---------------------------
// Each thread of the host has a frame window of its own (hidden: a visible top-level
// window of another thread takes Wine 2 s to destroy) and makes its game there; the
// three meet just before InitGameWnd. Every InitGameWnd answers with a window (the game
// window's class is one for them all), each game is ended on its thread while its loader
// builds, and the load goes. Each round is measured on its own, to the byte: what the
// games share (the effect manager of the screen's format among it) is made once, not
// once a thread. Fifteen rounds on a 32-bit desktop, two on a 16-bit one.
constexpr int32_t kFirstGamesThreads = 3;
constexpr int32_t kFirstGamesRounds32 = 15;
constexpr int32_t kFirstGamesRounds16 = 2;
constexpr const char* kFirstGamesFrameClass = "Dorvik2LifeFrame";
// Each round's unload is followed by the module's tick twice over, not the cycles' half
// second: the rounds stay short.
constexpr DWORD kFirstGamesUnloadMs = 120;
// Threads of the host that ended leave the system some of their stacks' commit for a
// while: up to 128 KB after the case under Wine 8, after two rounds as after fifteen.
constexpr int64_t kFirstGamesThreadsPrivateBytes = 256 * 1024;

struct FirstGameThread {
  const Setup* setup = nullptr;
  const winhost::ModuleExports* exports = nullptr;
  std::atomic<int32_t>* atInit = nullptr;
  HWND window = nullptr;
  DWORD error = 0;
  int32_t destroyed = -99;
};

DWORD WINAPI MakeFirstGame(LPVOID param) {
  FirstGameThread& t = *static_cast<FirstGameThread*>(param);
  const winhost::ModuleExports& e = *t.exports;
  const HWND frame = CreateWindowExA(0, kFirstGamesFrameClass, "frame", WS_POPUP, 0, 0,
                                     winhost::kGameWidth + 2 * winhost::kGameOffset,
                                     winhost::kGameHeight + 2 * winhost::kGameOffset, nullptr, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
  LifeHost host(e);
  const bool made = frame && e.create(&host, &host.client) == 0 && host.client;
  ++*t.atInit;
  while (*t.atInit < kFirstGamesThreads) SwitchToThread();
  if (made) {
    t.window = e.init(host.client, 0, frame, t.setup->game.c_str(), t.setup->portal.c_str(), u"", 0, 0, 0, 0, 1);
    t.error = GetLastError();
    host.Destroy();
    t.destroyed = host.destroyResult;
  }
  if (frame) DestroyWindow(frame);
  return 0;
}

void FirstGamesRound(const Setup& s, int32_t round) {
  Loaded loaded(s);
  std::atomic<int32_t> atInit{0};
  FirstGameThread threads[kFirstGamesThreads];
  HANDLE handles[kFirstGamesThreads] = {};
  for (int32_t i = 0; i < kFirstGamesThreads; ++i) {
    threads[i].setup = &s;
    threads[i].exports = &loaded.exports;
    threads[i].atInit = &atInit;
    handles[i] = CreateThread(nullptr, 0, MakeFirstGame, &threads[i], 0, nullptr);
    if (!handles[i]) Fail("first games: no thread %d: error %u", int(i), unsigned(GetLastError()));
  }
  // This thread serves what the games' threads send to its windows meanwhile.
  if (!winhost::PumpUntil(kLoadLimitMs, [&] {
        return WaitForMultipleObjects(kFirstGamesThreads, handles, TRUE, 0) == WAIT_OBJECT_0;
      }))
    Fail("first games, round %d: a window thread did not end within %u ms", int(round), unsigned(kLoadLimitMs));
  for (HANDLE h : handles) CloseHandle(h);
  for (int32_t i = 0; i < kFirstGamesThreads; ++i) {
    const FirstGameThread& t = threads[i];
    if (!t.window)
      Fail("first games, round %d: InitGameWnd on thread %d answered no window (last error %u)", int(round), int(i),
           unsigned(t.error));
    if (t.destroyed != 0) Fail("first games, round %d: DestroyGameWnd on thread %d answered %d", int(round), int(i),
                               int(t.destroyed));
  }
  loaded.Unload(kFirstGamesUnloadMs);
  Loaded::ExpectGone(BaseName(s.dll));
}

int32_t FirstGamesRounds() {
  HDC screen = GetDC(nullptr);
  const int32_t depth = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  return depth == 32 ? kFirstGamesRounds32 : kFirstGamesRounds16;
}

void FirstGamesOnThreeThreads(const Setup& s) {
  // The case's first call settles the process with one round: the first threads of the
  // host to make games make what the system keeps for the process (6 GDI objects under
  // Wine 8).
  static bool settled = false;
  WNDCLASSA frame{};
  if (!GetClassInfoA(GetModuleHandleA(nullptr), kFirstGamesFrameClass, &frame)) {
    frame.lpfnWndProc = DefWindowProcA;
    frame.hInstance = GetModuleHandleA(nullptr);
    frame.lpszClassName = kFirstGamesFrameClass;
    if (!RegisterClassA(&frame)) Fail("first games: no frame class: error %u", unsigned(GetLastError()));
  }
  const int32_t rounds = settled ? FirstGamesRounds() : 1;
  settled = true;
  const DWORD start = GetTickCount();
  std::vector<int64_t> residues;
  for (int32_t round = 0; round < rounds; ++round) {
    const int64_t before = HeapBytes();
    FirstGamesRound(s, round);
    residues.push_back(HeapBytes() - before);
  }
  // A round is bounded by what a load, its three games' devices and an unload elsewhere
  // leave; not to the byte, as Wine's tables of the threads grow in steps (12 bytes in
  // one round of 15, measured under Wine 8). A manager made once a thread leaves its
  // tables (2.2 MB at 32 bits).
  const std::vector<int64_t> allowed = AllowedResidues(kFirstGamesThreads);
  const int64_t most = *std::max_element(allowed.begin(), allowed.end());
  std::printf("the first games' rounds: heap bytes left each time: %s (%d rounds in %u ms)\n",
              ResidueList(residues).c_str(), int(rounds), unsigned(GetTickCount() - start));
  for (int64_t r : residues)
    if (r > most) Fail("first games: a round left %d heap bytes, more than %d", int(r), int(most));
}

int Run(int argc, char** argv) {
  if (argc < 6) {
    std::fprintf(stderr, "usage: dorvik2-life.exe DLL GAME PORTAL ROOM-SCRIPT BOX-SCRIPT [--broken-game FOLDER] "
                         "[--only NAME] [--cycles N] [--diagnose]\n");
    return 2;
  }
  Setup s;
  s.dll = argv[1];
  s.gameFolder = argv[2];
  s.game = Wide(argv[2]);
  s.portal = Wide(argv[3]);
  s.roomMessages = ScriptMessages(argv[4]);
  s.boxMessages = ScriptMessages(argv[5]);
  // The box script up to the message that brings the box.
  constexpr size_t kBoxMessage = 4;
  if (s.boxMessages.size() > kBoxMessage) s.boxMessages.resize(kBoxMessage);
  std::string only;
  int32_t cycles = 10;
  bool diagnose = false;
  for (int i = 6; i < argc; ++i)
    if (std::string(argv[i]) == "--diagnose") diagnose = true;
  for (int i = 6; i + 1 < argc; i += 2) {
    if (std::string(argv[i]) == "--only") only = argv[i + 1];
    if (std::string(argv[i]) == "--cycles") cycles = std::atoi(argv[i + 1]);
    if (std::string(argv[i]) == "--broken-game") s.brokenGame = Wide(argv[i + 1]);
  }
  const auto wanted = [&](const char* name) { return only.empty() || only == name; };
  if (s.brokenGame.empty() && (wanted("failed-threaded") || wanted("failed-init") || wanted("failed-reported") ||
                                 wanted("loader-held")))
    Fail("the load-failed scenarios need --broken-game FOLDER");
  AddVectoredExceptionHandler(1, CountFault);
  SetUnhandledExceptionFilter(EndOnUnhandled);
  for (const char* dll : kSystemDlls) LoadLibraryA(dll);
  s.hostWnd = MakeHostWindow();
  g_gdiSource = winhost::GdiSource();
  g_userSource = winhost::UserSource();
  std::printf("GDI objects: %s; USER objects (windows, menus, icons and cursors): %s\n",
              winhost::GuiSourceName(g_gdiSource), winhost::GuiSourceName(g_userSource));
  HDC screen = GetDC(nullptr);
  std::printf("dorvik2-life: screen %d bits per pixel\n", GetDeviceCaps(screen, BITSPIXEL));
  ReleaseDC(nullptr, screen);
  g_heapBytesPerGame = SystemResiduePerGame(s.hostWnd);
  std::printf("the system keeps %d heap bytes of a display and a sound device made and released\n",
              int(g_heapBytesPerGame));

  bool ok = true;
  if (wanted("cycles")) {
    const DWORD start = GetTickCount();
    Cycle(s);
    const Counts first = Measure();
    if (diagnose) {
      const Snapshot a = Take();
      const auto blocksBefore = HeapBlocks();
      g_traceStages = true;
      Cycle(s);
      g_traceStages = false;
      const Snapshot b = Take();
      std::printf("left behind by one cycle:\n");
      PrintNew(a, b);
      PrintNewBlocks(blocksBefore, HeapBlocks());
      PrintThreads();
    }
    std::vector<int64_t> residues;
    residues.reserve(size_t(std::max(cycles, 1)));
    for (int32_t i = diagnose ? 2 : 1; i < cycles; ++i) {
      const int64_t before = HeapBytes();
      Cycle(s);
      residues.push_back(HeapBytes() - before);
    }
    const Counts last = Measure();
    PrintCounts("after cycle 1", first);
    PrintCounts("after the last cycle", last);
    PrintGrowth("load-play-unload cycles", first, last, cycles - 1);
    std::printf("%d cycles in %u ms\n", cycles, unsigned(GetTickCount() - start));
    if (cycles > 1 && !WithinBounds(first, last, cycles - 1, kGamesPerCycle * (cycles - 1))) {
      std::printf("FAIL: the cycles leave things behind (bound: nothing counted grows, heap bytes by at most %d a "
                  "cycle and %d in all, private bytes outside the heaps by at most %d a cycle, no heap more)\n",
                  int(kHeapBytesPerLoad + kGamesPerCycle * g_heapBytesPerGame), int(kHeapSlack),
                  int(kPrivateBytesPerLoad));
      ok = false;
    }
    // A cycle is one load and two games, on the loading thread.
    if (!residues.empty() && !ResiduesExact("the cycles", residues, kGamesPerCycle)) ok = false;
  }
  // A case asked for alone runs in a process the cycles did not settle: one cycle
  // settles it as they would.
  if (!only.empty() && !wanted("cycles")) Cycle(s);
  // Each unload that follows a destroy in an awkward place, measured on its own: one
  // load and one game each, bounded once the cycles have settled the process. The
  // process's first dialog box makes GDI objects the system keeps for the next (6
  // under Wine 8, none for the second box of a process): the box runs once unmeasured.
  // So does the next table: two games alive at once take the heaps to a size one game
  // never needed, which they keep committed (up to 256 KB more of their commit at 16 bits).
  const struct {
    const char* name;
    void (*run)(const Setup&);
    const char* done;
    Allowance extra;
    bool settleFirst;
    // The games whose devices the case makes (the system keeps a little of each).
    int32_t games = 1;
  } awkward[] = {
      {"callback", DestroyInCallback, "destroy inside a host callback, unloaded", {}, false},
      {"box", DestroyInBox, "destroy inside a module box, unloaded", {}, true},
      {"held", DestroyWhileLoading, "destroy while the loader builds, unloaded",
       {kHandlesOfAnUnloadElsewhere, kHeapBytesOfAnUnloadElsewhere}, false},
      {"failed-threaded", DestroyOnLoadFailureThreaded,
       "destroy inside the load-failed event on the loader thread, unloaded, host window repainted",
       {kHandlesOfAnUnloadElsewhere, kHeapBytesOfAnUnloadElsewhere}, false},
      {"failed-init", DestroyOnLoadFailureInInit,
       "destroy inside the load-failed event inside InitGameWnd, unloaded, host window repainted", {}, false, 0},
      {"message", DestroyInWindowMessage, "destroy inside a message of the game window, unloaded", {}, false},
      {"failed-reported", FailedThreadedBuildReported,
       "a failed build on the loader thread reported as failed, destroyed later, unloaded", {}, false},
      // Its game's devices may or may not be made before the destroy comes, as the
      // machine's load has it: the bound is a game's, as for the other cases.
      {"again", DestroyTwice, "a second destroy and a destroy of a stranger, refused", {}, false},
      {"third-box", DestroyOnThirdThreadInBox, "destroy on a third thread inside a module box, unloaded there",
       {kHandlesOfAnUnloadElsewhere, kHeapBytesOfAnUnloadElsewhere}, true, 2},
      {"third-wait", DestroyOnThirdThreadInWait, "destroy on a third thread inside the nested wait, unloaded there",
       {kHandlesOfAnUnloadElsewhere, kHeapBytesOfAnUnloadElsewhere}, false, 2},
      {"third-idle", DestroyOnThirdThreadIdle, "destroy on a third thread while the host pumps, unloaded there",
       {kHandlesOfAnUnloadElsewhere, kHeapBytesOfAnUnloadElsewhere}, false, 2},
      {"third-init", DestroyOnThirdThreadInInit,
       "destroy on a third thread inside InitGameWnd before the window exists, unloaded there",
       {kHandlesOfAnUnloadElsewhere, kHeapBytesOfAnUnloadElsewhere}, false},
      {"third-taken", DestroyOnThirdThreadAfterTheFrameWent,
       "destroy on a third thread inside a host call after the frame took the window, unloaded there",
       {kHandlesOfAnUnloadElsewhere, kHeapBytesOfAnUnloadElsewhere}, false, 2},
      {"third-top", DestroyOnThirdThreadAfterTheTopWent,
       "destroy on a third thread inside a host call that closed the host's top window, unloaded there",
       {kHandlesOfAnUnloadElsewhere, kHeapBytesOfAnUnloadElsewhere}, false, 2},
      {"third-joined", WindowThreadJoinsTheDestroyer,
       "destroy on a third thread the window's thread waits for, the frame gone with the window, unloaded there",
       {kHandlesOfAnUnloadElsewhere, kHeapBytesOfAnUnloadElsewhere}, false, 2},
      {"third-slow", DestroyOnThirdThreadWindowThreadSlow,
       "destroy on a third thread inside a host call, the window's thread slow out of the module, unloaded there",
       {kHandlesOfAnUnloadElsewhere, kHeapBytesOfAnUnloadElsewhere}, false, 2},
      {"loader-held", DestroyOnLoaderWhileInsideMessage,
       "destroy and free on the loader thread, the window's thread inside a message of the game, unloaded after it",
       {kHandlesOfAnUnloadElsewhere, kHeapBytesOfAnUnloadElsewhere}, false},
      {"next-table", NextTable,
       "the next table made inside the first game's room notice, nothing of the first after its destroy, unloaded "
       "once the next ended",
       {kHandlesOfAnUnloadElsewhere, g_heapBytesPerGame + kHeapBytesOfAnUnloadElsewhere}, true},
      {"first-games", FirstGamesOnThreeThreads,
       "a load's first games made at once on three window threads, each given a window, ended there, unloaded",
       {kHandlesOfAnUnloadElsewhere * kFirstGamesRounds32,
        (kFirstGamesRounds32 - 1) * kHeapBytesPerLoad + kHeapBytesOfAnUnloadElsewhere * kFirstGamesRounds32,
        kFirstGamesThreadsPrivateBytes},
       true, kFirstGamesThreads * kFirstGamesRounds32},
      {"pictures", TwoGamesOfOneFolder,
       "a game alone, two games of one folder side by side and the next table drew the same table, unloaded",
       {0, 0}, false, 5},
  };
  for (const auto& scenario : awkward) {
    if (!wanted(scenario.name)) continue;
    if (scenario.settleFirst) scenario.run(s);
    const Counts before = Measure();
    scenario.run(s);
    const Counts after = Measure();
    std::printf("%s\n", scenario.done);
    PrintGrowth(scenario.name, before, after, 1);
    if (!WithinExactBounds(before, after, scenario.games, scenario.extra)) {
      std::printf("FAIL: %s leaves things behind (heap bytes: at most %d)\n", scenario.name,
                  int(kHeapBytesPerLoad + g_heapBytesPerGame * scenario.games + scenario.extra.heapBytes));
      ok = false;
    }
  }
  if (wanted("sweep")) {
    const Counts before = Measure();
    DestroySweep(s);
    const Counts after = Measure();
    PrintGrowth("sweep", before, after, 1);
    // Each trial loads once and may make its game's devices and unload on the loader's
    // thread; the build measured first is a load and a game.
    const auto trials = int32_t(g_sweepResidues.size()) + 1;
    if (!WithinBounds(before, after, trials, trials,
                      {kHandlesOfAnUnloadElsewhere, kHeapBytesOfAnUnloadElsewhere * trials}) ||
        !ResiduesExact("the sweep's trials", g_sweepResidues, 1))
      ok = false;
  }
  std::printf("access violations: %d\n", int(g_faults));
  if (g_faults) ok = false;
  DestroyWindow(s.hostWnd);
  std::printf("dorvik2-life: %s\n", ok ? "passed" : "failed");
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const Failure& f) {
    std::fprintf(stderr, "dorvik2-life: %s\n", f.what.c_str());
    return 1;
  }
}
