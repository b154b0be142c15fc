// The system message box, headless: the call is recorded and answered at once.
#include "user/UserState.h"

using namespace plat::detail::user;

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  auto lock = Lock();
  State().messageBoxes.push_back(plat::sim::MessageBoxCall{owner, text ? text : "", caption ? caption : "", type});
  return State().messageBoxAnswer;
}
