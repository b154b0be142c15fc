// The module's globals: destroyed the last made first, made anew when used after, and a
// table that refuses, and says so, a global beyond its room.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ModuleGlobal.h"

namespace {

std::vector<std::string>* g_gone = nullptr;

struct Named {
  std::string name;
  ~Named() {
    if (g_gone) g_gone->push_back(name);
  }
};

ModuleGlobal<Named> g_first;
ModuleGlobal<Named> g_second;

void Forget(void*) {}

TEST(ModuleGlobal, TheLastMadeGoesFirstAndAUseAfterwardsMakesItAnew) {
  module_globals::DestroyAll();
  std::vector<std::string> gone;
  g_gone = &gone;
  g_first.Get().name = "first";
  g_second.Get().name = "second";
  EXPECT_EQ(&g_first.Get(), &g_first.Get()) << "made once";
  EXPECT_EQ(module_globals::Count(), 2);
  module_globals::DestroyAll();
  EXPECT_EQ(gone, (std::vector<std::string>{"second", "first"}));
  EXPECT_EQ(g_second.Get().name, "") << "made anew";
  module_globals::DestroyAll();
  g_gone = nullptr;
}

TEST(ModuleGlobal, AGlobalBeyondTheTablesRoomIsRefusedAndRemembered) {
  module_globals::DestroyAll();
  for (int32_t i = 0; i < module_globals::kCapacity; ++i) ASSERT_TRUE(module_globals::Register(&Forget, nullptr));
  EXPECT_FALSE(module_globals::Overflowed());
  EXPECT_FALSE(module_globals::Register(&Forget, nullptr));
  EXPECT_TRUE(module_globals::Overflowed()) << "the library's entry reads this to refuse the load";
  EXPECT_EQ(module_globals::Count(), module_globals::kCapacity);
  module_globals::DestroyAll();
  EXPECT_EQ(module_globals::Count(), 0);
  EXPECT_FALSE(module_globals::Overflowed());
}

}  // namespace
