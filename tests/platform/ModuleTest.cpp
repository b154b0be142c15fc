#include <gtest/gtest.h>

#include <cstring>

#include "KernelTestSupport.h"
#include "plat/module.h"
#include "plat/sim.h"
#include "plat/threads.h"

namespace module_test {

using kernel_test::AndError;

HMODULE LoadTestModule() {
  plat::sim::MapPathPrefix("C:\\Host\\", PLAT_TEST_MODULE_DIR);
  HMODULE module = LoadLibraryA("C:\\Host\\TestModule.so");
  plat::sim::ClearPathPrefixes();
  return module;
}

// The main program's resource 8, which the test module's detach writes.
std::string DetachMark() {
  HRSRC r = FindResourceA(nullptr, MAKEINTRESOURCEA(8), RT_RCDATA);
  return r ? std::string(static_cast<const char*>(LockResource(LoadResource(nullptr, r))), SizeofResource(nullptr, r))
           : std::string();
}

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

// A reference found from an address of the module keeps it loaded after the loader's
// reference is given back; the last one detaches it, once.
TEST(Module, AReferenceFromAnAddressKeepsTheModuleUntilItIsGivenBack) {
  plat::RegisterResource(nullptr, RT_RCDATA, MAKEINTRESOURCEA(8), "none", 4);
  HMODULE module = LoadTestModule();
  ASSERT_NE(module, nullptr);
  const auto* code = reinterpret_cast<LPCSTR>(reinterpret_cast<void*>(GetProcAddress(module, "TestModuleAnswer")));
  HMODULE held = nullptr, looked = nullptr;
  ASSERT_TRUE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, code, &held));
  EXPECT_EQ(held, module);
  ASSERT_TRUE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, "TestModule", &looked));
  EXPECT_EQ(looked, module);
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_EQ(GetModuleHandleA("TestModule"), module) << "held by the reference from its address";
  EXPECT_EQ(DetachMark(), "none");
  EXPECT_TRUE(FreeLibrary(held));
  EXPECT_EQ(GetModuleHandleA("TestModule"), nullptr) << "the unchanged look-up held nothing";
  EXPECT_EQ(DetachMark(), "detached 1");

  HMODULE out = module;
  EXPECT_EQ(AndError(GetModuleHandleExA(0, "libplat", nullptr)), std::pair(BOOL{FALSE}, ERROR_INVALID_PARAMETER));
  const DWORD both = GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
  EXPECT_EQ(AndError(GetModuleHandleExA(both, "libplat", &out)), std::pair(BOOL{FALSE}, ERROR_INVALID_PARAMETER));
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(AndError(GetModuleHandleExA(0, "NoSuchModule", &out)), std::pair(BOOL{FALSE}, ERROR_MOD_NOT_FOUND));
  static const int onTheStack = 0;
  ASSERT_TRUE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&onTheStack), &out));
  EXPECT_EQ(out, GetModuleHandleA(nullptr)) << "the program's own data";
}

// A thread of the module gives back the last reference as it ends: the module goes
// once the thread's routine has left its code, and the thread keeps its exit code.
TEST(Module, AThreadOfTheModuleGivesBackItsLastReferenceAsItEnds) {
  HMODULE module = LoadTestModule();
  ASSERT_NE(module, nullptr);
  auto* routine =
      reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void*>(GetProcAddress(module, "TestModuleThread")));
  ASSERT_NE(routine, nullptr);
  HMODULE forThread = nullptr;
  ASSERT_TRUE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(routine), &forThread));
  HANDLE thread = CreateThread(nullptr, 0, routine, forThread, CREATE_SUSPENDED, nullptr);
  ASSERT_NE(thread, nullptr);
  plat::RegisterResource(nullptr, RT_RCDATA, MAKEINTRESOURCEA(8), "none", 4);
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_NE(GetModuleHandleA("TestModule"), nullptr);
  ResumeThread(thread);
  ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  DWORD exitCode = 0;
  EXPECT_TRUE(GetExitCodeThread(thread, &exitCode));
  EXPECT_EQ(exitCode, 7u);
  CloseHandle(thread);
  EXPECT_EQ(GetModuleHandleA("TestModule"), nullptr);
  EXPECT_EQ(DetachMark(), "detached 1");
}

TEST(Module, AnEntryThatRefusesFailsTheLoadAndIsDetached) {
  plat::RegisterResource(nullptr, RT_RCDATA, MAKEINTRESOURCEA(8), "none", 4);
  plat::RegisterResource(nullptr, RT_RCDATA, MAKEINTRESOURCEA(9), "refuse", 6);
  SetLastError(0);
  EXPECT_EQ(AndError(LoadTestModule()), std::pair(HMODULE{}, ERROR_DLL_INIT_FAILED));
  plat::RegisterResource(nullptr, RT_RCDATA, MAKEINTRESOURCEA(9), "accept", 6);
  EXPECT_EQ(GetModuleHandleA("TestModule"), nullptr) << "a refused library stays loaded";
  EXPECT_EQ(DetachMark(), "detached 1") << "what the entry made is not undone";
  HMODULE module = LoadTestModule();
  EXPECT_NE(module, nullptr) << "the next load is refused too";
  if (module) FreeLibrary(module);
}

TEST(Module, GetModuleHandleFindsLoadedObjectsByName) {
  HMODULE plat = GetModuleHandleA("libplat");
  ASSERT_NE(plat, nullptr);
  // Case, extension and the "lib" prefix on disk do not matter; the handle is stable.
  for (const char* name : {"LIBPLAT", "plat", "Plat.dll", "libplat.so"}) EXPECT_EQ(GetModuleHandleA(name), plat) << name;
  EXPECT_EQ(plat::ModuleFromAddress(reinterpret_cast<const void*>(&GetModuleHandleA)), plat);

  HMODULE main = GetModuleHandleA(nullptr);
  ASSERT_NE(main, nullptr);
  EXPECT_NE(main, plat);
  EXPECT_EQ(GetModuleHandleA("platform_tests"), main);
  static int local;
  EXPECT_EQ(plat::ModuleFromAddress(&local), main);

  SetLastError(0);
  EXPECT_EQ(GetModuleHandleA("Dorvik2NotLoaded"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  EXPECT_EQ(GetModuleHandleA("libpla"), nullptr);
  EXPECT_TRUE(DisableThreadLibraryCalls(plat));
}

TEST(Module, ResourcesRoundTripByIdAndByName) {
  HMODULE plat = GetModuleHandleA("libplat");
  const uint8_t bitmap[] = {'B', 'M', 1, 2, 3};
  ASSERT_TRUE(plat::RegisterResource(plat, RT_BITMAP, MAKEINTRESOURCEA(101), bitmap, sizeof bitmap));
  ASSERT_TRUE(plat::RegisterResource(nullptr, "WAVE", "Click", "RIFF", 4));

  HRSRC found = FindResourceA(plat, MAKEINTRESOURCEA(101), RT_BITMAP);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(FindResourceA(plat, "#101", "#2"), found);
  EXPECT_EQ(SizeofResource(plat, found), sizeof bitmap);
  const void* bytes = LockResource(LoadResource(plat, found));
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(std::memcmp(bytes, bitmap, sizeof bitmap), 0);

  // Resources registered without a module belong to the main program; names ignore case.
  HRSRC wave = FindResourceA(nullptr, "CLICK", "wave");
  ASSERT_NE(wave, nullptr);
  EXPECT_EQ(FindResourceA(GetModuleHandleA(nullptr), "click", "WAVE"), wave);
  EXPECT_EQ(std::memcmp(LockResource(LoadResource(nullptr, wave)), "RIFF", 4), 0);

  EXPECT_EQ(FindResourceA(plat, "Click", "WAVE"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_TYPE_NOT_FOUND);
  EXPECT_EQ(FindResourceA(nullptr, "Other", "WAVE"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
  EXPECT_EQ(FindResourceA(plat, MAKEINTRESOURCEA(102), RT_BITMAP), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);

  // Registering again replaces the resource for new lookups; the old bytes stay valid.
  ASSERT_TRUE(plat::RegisterResource(nullptr, "WAVE", "click", "OggS!", 5));
  HRSRC replaced = FindResourceA(nullptr, "Click", "WAVE");
  EXPECT_NE(replaced, wave);
  EXPECT_EQ(SizeofResource(nullptr, replaced), 5u);
  EXPECT_EQ(std::memcmp(LockResource(LoadResource(nullptr, wave)), "RIFF", 4), 0);

  EXPECT_EQ(LockResource(reinterpret_cast<HGLOBAL>(uintptr_t{0x7FFF0001})), nullptr);
  EXPECT_EQ(SizeofResource(nullptr, nullptr), 0u);
  plat::sim::FailNext("FindResourceA");
  EXPECT_EQ(FindResourceA(plat, MAKEINTRESOURCEA(101), RT_BITMAP), nullptr);
  plat::sim::FailNext("LockResource");
  EXPECT_EQ(LockResource(LoadResource(plat, found)), nullptr);
  plat::sim::ClearFaults();
}

TEST(Module, DialogTemplatesAreKeptPerModule) {
  // An id no other test registers: the main program must not have it in any run order.
  constexpr WORD kModuleOnlyTemplate = 4101;
  HMODULE plat = GetModuleHandleA("libplat");
  plat::DialogTemplate box;
  box.style = 0x80C80000u;
  box.fontFace = "\xB5\xB8\xBF\xF2";  // 돋움
  box.fontSize = 9;
  box.cx = 187;
  box.cy = 263;
  box.items.push_back({"Button", "OK", 1, 0x0000000Bu, 0, 38, 242, 50, 14});
  box.items.push_back({"Button", "Cancel", 2, 0x0000000Bu, 0, 102, 242, 50, 14});
  ASSERT_TRUE(plat::RegisterDialogTemplate(plat, MAKEINTRESOURCEA(kModuleOnlyTemplate), box));

  const plat::DialogTemplate* found = plat::FindDialogTemplate(plat, "#4101");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->fontFace, box.fontFace);
  ASSERT_EQ(found->items.size(), 2u);
  EXPECT_EQ(found->items[1].text, "Cancel");
  EXPECT_EQ(found->items[1].x, 102);
  EXPECT_EQ(plat::FindDialogTemplate(nullptr, MAKEINTRESOURCEA(kModuleOnlyTemplate)), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);

  box.title = "again";
  ASSERT_TRUE(plat::RegisterDialogTemplate(plat, MAKEINTRESOURCEA(kModuleOnlyTemplate), box));
  EXPECT_EQ(plat::FindDialogTemplate(plat, MAKEINTRESOURCEA(kModuleOnlyTemplate))->title, "again");
  EXPECT_EQ(found->title, "");  // the earlier template is still alive
}

}  // namespace module_test
