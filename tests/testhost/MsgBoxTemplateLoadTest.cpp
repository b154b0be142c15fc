// The loaded library registers the message box's template under its own handle at
// load time, and the test host's modal hook drives a box made from it.
#include <gtest/gtest.h>

#include "plat/sim.h"
#include "plat/user.h"
#include "testhost/TestHost.h"

namespace {

INT_PTR CALLBACK PlainProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
  if (msg == WM_COMMAND) EndDialog(dialog, LOWORD(wParam));
  return msg == WM_INITDIALOG || msg == WM_COMMAND;
}

TEST(MsgBoxTemplateLoad, TheLoadedModuleOwnsTemplate101AndTheHostsModalHookAnswersIt) {
  testhost::TestHost host;
  std::string error;
  ASSERT_TRUE(host.LoadModule(DORVIK2_MODULE_FILE, error)) << error;
  const HMODULE self = GetModuleHandleA("Dorvik2");
  ASSERT_NE(self, nullptr);
  const plat::DialogTemplate* t = plat::FindDialogTemplate(self, MAKEINTRESOURCEA(101));
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->items.size(), 2u);

  std::vector<HWND> seen;
  host.OnModal([&](HWND dialog) {
    seen.push_back(dialog);
    plat::sim::PressKey(VK_ESCAPE);
  });
  EXPECT_EQ(DialogBoxParamA(self, MAKEINTRESOURCEA(101), host.HostWindow(), PlainProc, 0), IDCANCEL);
  host.OnModal(nullptr);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_FALSE(IsWindow(seen[0]));
  plat::sim::ResetWindowSystem();
}

}  // namespace
