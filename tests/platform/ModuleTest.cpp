#include <gtest/gtest.h>

#include <cstring>

#include "KernelTestSupport.h"
#include "plat/module.h"
#include "plat/sim.h"

namespace module_test {

using kernel_test::AndError;

TEST(Module, GetModuleFileNameGivesTheNativePath) {
  char path[4096];
  DWORD n = GetModuleFileNameA(GetModuleHandleA("libplat"), path, sizeof path);
  ASSERT_GT(n, 0u);
  EXPECT_EQ(n, std::strlen(path));
  EXPECT_EQ(path[0], '/');
  EXPECT_TRUE(std::string(path).ends_with("/libplat.so")) << path;
  n = GetModuleFileNameA(nullptr, path, sizeof path);
  EXPECT_TRUE(std::string(path, n).ends_with("/platform_tests")) << path;
  char small[5];
  EXPECT_EQ(AndError(GetModuleFileNameA(nullptr, small, sizeof small)), std::pair(DWORD{5}, ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(std::string(small), std::string(path, 4));
  EXPECT_EQ(GetModuleFileNameA(reinterpret_cast<HMODULE>(uintptr_t{0x7FFF0001}), path, sizeof path), 0u);
}

TEST(Module, LoadLibraryAndGetProcAddress) {
  HMODULE libm = LoadLibraryA("libm.so.6");
  ASSERT_NE(libm, nullptr);
  EXPECT_EQ(GetModuleHandleA("LIBM"), libm);
  auto cosine = reinterpret_cast<double (*)(double)>(reinterpret_cast<void*>(GetProcAddress(libm, "cos")));
  ASSERT_NE(cosine, nullptr);
  EXPECT_EQ(cosine(0.0), 1.0);
  EXPECT_EQ(AndError(GetProcAddress(libm, "no_such_function")), std::pair(FARPROC{}, ERROR_PROC_NOT_FOUND));
  SetLastError(0);
  EXPECT_EQ(AndError(GetProcAddress(libm, MAKEINTRESOURCEA(1))), std::pair(FARPROC{}, ERROR_PROC_NOT_FOUND));
  EXPECT_EQ(LoadLibraryA("libm.so.6"), libm);
  EXPECT_TRUE(FreeLibrary(libm));
  EXPECT_TRUE(FreeLibrary(libm));
  EXPECT_EQ(AndError(LoadLibraryA("C:\\nowhere\\Dorvik2.dll")), std::pair(HMODULE{}, ERROR_MOD_NOT_FOUND));
  plat::sim::FailNext("LoadLibraryA");
  EXPECT_EQ(LoadLibraryA("libm.so.6"), nullptr);
  plat::sim::ClearFaults();
}

TEST(Module, ALoadedModuleRegistersItsResourcesAtLoad) {
  EXPECT_EQ(GetModuleHandleA("TestModule"), nullptr);
  plat::sim::MapPathPrefix("C:\\Host\\", PLAT_TEST_MODULE_DIR);
  HMODULE module = LoadLibraryA("C:\\Host\\TESTMODULE.SO");
  plat::sim::ClearPathPrefixes();
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(GetModuleHandleA("testmodule.dll"), module);
  auto answer = reinterpret_cast<int (*)()>(reinterpret_cast<void*>(GetProcAddress(module, "TestModuleAnswer")));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  HRSRC r = FindResourceA(module, MAKEINTRESOURCEA(7), RT_RCDATA);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(std::string(static_cast<const char*>(LockResource(LoadResource(module, r))), SizeofResource(module, r)),
            "loaded");
  EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(7), RT_RCDATA), nullptr);
  const plat::DialogTemplate* dialog = plat::FindDialogTemplate(module, MAKEINTRESOURCEA(101));
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->title, "from the module");
  char path[4096];
  ASSERT_GT(GetModuleFileNameA(module, path, sizeof path), 0u);
  EXPECT_TRUE(std::string(path).ends_with("/TestModule.so")) << path;
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_EQ(GetModuleHandleA("TestModule"), nullptr);
}

}  // namespace module_test
