// script-cache-race: three threads of a fresh process, each with a window of its own and
// an edit control in it with a font of its own, set their edits' texts at the same
// moment: the process's first text shaping, as three window threads of a host that make
// their first games at once do (the room's help pop-up fills its edits). Uniscribe's
// documented contract makes this safe: its functions are re-entrant and the making of
// its caches is interlocked through one process-wide lock. Nothing is shared between
// the threads but the process.
//   script-cache-race.exe [RUNS]   the case in RUNS fresh processes (25 when not given),
//                                  each counted as passed, crashed or hung; exit 1 unless
//                                  every one passed
//   script-cache-race.exe --once   the case itself, in this process
// A crashed case names the faulting place, a hung one each table thread's stack, as
// module+offset (the return addresses along the frame pointers).
#include <windows.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int32_t kThreads = 3;
// Far beyond what a case takes (under a second): past it, the case is hung.
constexpr DWORD kCaseLimitMs = 15000;
constexpr int32_t kFramesShown = 16;
constexpr int32_t kDefaultRuns = 25;
constexpr DWORD kHungExitCode = 2;
constexpr DWORD kCrashExitCode = 3;
// The module's edits: a 12-pixel 돋움 of the Korean character set, right-aligned numbers.
constexpr int kFontHeight = 12;
const auto* const kFace = reinterpret_cast<const WCHAR*>(u"돋움");
constexpr DWORD kEditStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | ES_AUTOHSCROLL | ES_RIGHT;

std::string Where(uintptr_t at) {
  HMODULE module = nullptr;
  char path[MAX_PATH] = "?";
  if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(at), &module))
    GetModuleFileNameA(module, path, sizeof path);
  const char* slash = std::strrchr(path, '\\');
  char text[MAX_PATH + 32];
  std::snprintf(text, sizeof text, "%s+0x%" PRIxPTR, slash ? slash + 1 : path, at - uintptr_t(module));
  return text;
}

bool Readable(const void* p) {
  MEMORY_BASIC_INFORMATION region{};
  return VirtualQuery(p, &region, sizeof region) && region.State == MEM_COMMIT &&
         !(region.Protect & (PAGE_NOACCESS | PAGE_GUARD));
}

// The place, then the return addresses along the chain of frame pointers.
void PrintStack(const char* whose, uintptr_t ip, uintptr_t frame) {
  std::printf("  %s: at %s", whose, Where(ip).c_str());
  auto* f = reinterpret_cast<const uintptr_t*>(frame);
  for (int32_t i = 0; i < kFramesShown && f && Readable(f); ++i) {
    std::printf(" <- %s", Where(f[1]).c_str());
    const auto* next = reinterpret_cast<const uintptr_t*>(f[0]);
    if (next <= f) break;
    f = next;
  }
  std::printf("\n");
  std::fflush(stdout);
}

LONG WINAPI EndOnCrash(EXCEPTION_POINTERS* info) {
  std::printf("  exception 0x%08x\n", unsigned(info->ExceptionRecord->ExceptionCode));
  PrintStack("crashed", info->ContextRecord->Eip, info->ContextRecord->Ebp);
  TerminateProcess(GetCurrentProcess(), kCrashExitCode);
  return EXCEPTION_EXECUTE_HANDLER;
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

struct Shared {
  volatile LONG ready = 0;
  HANDLE go = nullptr;
};

DWORD WINAPI Table(LPVOID p) {
  auto& shared = *static_cast<Shared*>(p);
  HWND frame = CreateWindowExA(0, "ScriptCacheRace", "table", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 320, 200, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  HWND edit = CreateWindowExA(0, "edit", "", kEditStyle, 10, 10, 80, 16, frame, nullptr, GetModuleHandleA(nullptr),
                              nullptr);
  HFONT font = CreateFontW(kFontHeight, 0, 0, 0, FW_THIN, 0, 0, 0, HANGUL_CHARSET, OUT_STROKE_PRECIS,
                           CLIP_STROKE_PRECIS, DRAFT_QUALITY, VARIABLE_PITCH | FF_MODERN, kFace);
  if (!frame || !edit || !font) {
    std::printf("  a table could not be made: error %u\n", unsigned(GetLastError()));
    std::exit(1);
  }
  SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  InterlockedIncrement(&shared.ready);
  WaitForSingleObject(shared.go, INFINITE);
  SetWindowTextA(edit, "300");
  DestroyWindow(frame);
  DeleteObject(font);
  return 0;
}

int Once() {
  SetUnhandledExceptionFilter(EndOnCrash);
  WNDCLASSA wc{};
  wc.lpfnWndProc = FrameProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "ScriptCacheRace";
  if (!RegisterClassA(&wc)) return 1;
  Shared shared;
  shared.go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE threads[kThreads];
  for (HANDLE& t : threads) t = CreateThread(nullptr, 0, Table, &shared, 0, nullptr);
  while (shared.ready < kThreads) Sleep(1);
  SetEvent(shared.go);
  if (WaitForMultipleObjects(kThreads, threads, TRUE, kCaseLimitMs) == WAIT_OBJECT_0) return 0;
  for (HANDLE t : threads) {
    if (WaitForSingleObject(t, 0) == WAIT_OBJECT_0) continue;
    SuspendThread(t);
    CONTEXT c{};
    c.ContextFlags = CONTEXT_CONTROL;
    if (GetThreadContext(t, &c)) PrintStack("hung", c.Eip, c.Ebp);
  }
  return int(kHungExitCode);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--once") == 0) return Once();
  const int32_t runs = argc > 1 ? std::atoi(argv[1]) : kDefaultRuns;
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, sizeof self);
  int32_t passed = 0, crashed = 0, hung = 0, other = 0;
  for (int32_t i = 1; i <= runs; ++i) {
    std::string command = std::string("\"") + self + "\" --once";
    STARTUPINFOA start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process)) {
      std::printf("script-cache-race: cannot start a case: error %u\n", unsigned(GetLastError()));
      return 1;
    }
    // The case bounds itself; this bound is for a case whose own wait never ends.
    if (WaitForSingleObject(process.hProcess, 2 * kCaseLimitMs) != WAIT_OBJECT_0)
      TerminateProcess(process.hProcess, kHungExitCode);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    int32_t& tally = code == 0 ? passed : code == kCrashExitCode ? crashed : code == kHungExitCode ? hung : other;
    ++tally;
    const char* verdict = &tally == &passed    ? "passed"
                          : &tally == &crashed ? "crashed"
                          : &tally == &hung    ? "hung"
                                               : "failed";
    std::printf("case %d: %s\n", int(i), verdict);
    std::fflush(stdout);
  }
  std::printf("script-cache-race: %d runs: %d passed, %d crashed, %d hung, %d failed otherwise\n", int(runs),
              int(passed), int(crashed), int(hung), int(other));
  return passed == runs ? 0 : 1;
}
