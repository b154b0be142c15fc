// ShellExecuteA, headless: a test reads what would have been opened; starting a
// browser or a process from a test run is never wanted.
#include "plat/shell.h"

#include "user/UserState.h"

using namespace plat::detail::user;

namespace {
// What the system answers for a document it opened (any value above 32 is success).
constexpr intptr_t kOpened = 42;
std::string TextOf(LPCSTR text) { return text ? text : ""; }
}  // namespace

HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, int show) {
  {
    auto lock = Lock();
    State().shellExecutes.push_back(plat::sim::ShellExecuteCall{owner, verb != nullptr, TextOf(verb), TextOf(file),
                                                                TextOf(parameters), TextOf(directory), show});
  }
  return reinterpret_cast<HINSTANCE>(kOpened);
}
