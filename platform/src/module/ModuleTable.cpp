// GetModuleHandleA and friends over the dynamic loader (dl_iterate_phdr, dlopen).
#include "module/ModuleTable.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "core/Faults.h"
#include "plat/codepage.h"
#include "plat/error.h"
#include "plat/files.h"
#include "plat/module.h"
#include "text/NoCase.h"

namespace plat::detail {
namespace {

struct ModuleRegistry {
  std::mutex mutex;
  std::map<std::string, uintptr_t> handles;
};

ModuleRegistry& Registry() {
  static ModuleRegistry* registry = new ModuleRegistry;
  return *registry;
}

std::string NativePathOf(const std::string& key) {
  char buf[PATH_MAX];
  if (key.empty()) {
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
  }
  return realpath(key.c_str(), buf) ? std::string(buf) : key;
}

// "dir/libfoo.so.1" → "libfoo"; "Foo.dll" → "Foo".
std::string Stem(std::string_view path) {
  size_t slash = path.find_last_of("/\\");
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  size_t so = name.find(".so");
  if (so != std::string_view::npos && (so + 3 == name.size() || name[so + 3] == '.')) return std::string(name.substr(0, so));
  size_t dot = name.find_last_of('.');
  return std::string(dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot));
}

bool SameModuleName(const std::string& wanted, const std::string& onDisk) {
  return EqualNoCaseAscii(wanted, onDisk) || EqualNoCaseAscii("lib" + wanted, onDisk);
}

struct LoadedObject {
  std::string key;
  uintptr_t base;
  std::vector<std::pair<uintptr_t, uintptr_t>> segments;  // [start, end) of each loaded segment
};

std::vector<LoadedObject> LoadedObjects() {
  std::vector<LoadedObject> out;
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* data) {
        auto* list = static_cast<std::vector<LoadedObject>*>(data);
        LoadedObject o{info->dlpi_name ? info->dlpi_name : "", info->dlpi_addr, {}};
        for (int i = 0; i < info->dlpi_phnum; ++i) {
          const auto& ph = info->dlpi_phdr[i];
          if (ph.p_type == PT_LOAD) o.segments.emplace_back(info->dlpi_addr + ph.p_vaddr, info->dlpi_addr + ph.p_vaddr + ph.p_memsz);
        }
        list->push_back(std::move(o));
        return 0;
      },
      &out);
  return out;
}

}  // namespace

HMODULE ModuleHandleFor(const std::string& key) {
  ModuleRegistry& r = Registry();
  std::lock_guard lock(r.mutex);
  auto it = r.handles.find(key);
  if (it != r.handles.end()) return ToHandle<HMODULE>(it->second);
  auto module = std::make_shared<ModuleObject>();
  module->key = key;
  module->path = NativePathOf(key);
  uintptr_t value = Handles().Insert(HandleKind::Module, module);
  if (value) r.handles.emplace(key, value);
  return ToHandle<HMODULE>(value);
}

HMODULE MainModule() { return ModuleHandleFor(""); }

std::shared_ptr<ModuleObject> FindModule(HMODULE module) {
  if (!module) module = MainModule();
  return Handles().Get<ModuleObject>(FromHandle(module), HandleKind::Module);
}

}  // namespace plat::detail

using plat::detail::FindModule;

HMODULE GetModuleHandleA(LPCSTR moduleName) {
  if (!moduleName) return plat::detail::MainModule();
  const std::string wanted = plat::detail::Stem(moduleName);
  for (const auto& object : plat::detail::LoadedObjects()) {
    std::string path = object.key.empty() ? plat::detail::NativePathOf("") : object.key;
    if (plat::detail::SameModuleName(wanted, plat::detail::Stem(path)))
      return plat::detail::ModuleHandleFor(object.key);
  }
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
  auto m = FindModule(module);
  if (!m) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  if (!fileName || size == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  const std::string path = plat::Utf8ToCp949(m->path);
  if (path.size() >= size) {
    std::memcpy(fileName, path.data(), size - 1);
    fileName[size - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
  std::memcpy(fileName, path.c_str(), path.size() + 1);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(path.size());
}

BOOL DisableThreadLibraryCalls(HMODULE) { return TRUE; }

namespace {
thread_local bool t_unloading = false;
// Set by a library's entry, inside the dlopen of its first load, when it refuses.
thread_local bool t_refused = false;
}  // namespace

HMODULE LoadLibraryA(LPCSTR fileName) {
  if (!fileName || !*fileName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (plat::detail::ShouldFail("LoadLibraryA")) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  std::vector<std::string> candidates;
  if (std::strpbrk(fileName, "/\\")) {
    candidates.push_back(plat::MapPath(fileName));
  } else {
    candidates.push_back(fileName);
    std::string stem = plat::detail::Stem(fileName);
    candidates.push_back("lib" + stem + ".so");
    candidates.push_back(stem + ".so");
  }
  for (const auto& candidate : candidates) {
    t_refused = false;
    void* library = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) continue;
    if (t_refused) {
      // The entry refused: its detach runs as the library goes, and the load fails.
      t_refused = false;
      t_unloading = true;
      dlclose(library);
      t_unloading = false;
      SetLastError(ERROR_DLL_INIT_FAILED);
      return nullptr;
    }
    link_map* map = nullptr;
    if (dlinfo(library, RTLD_DI_LINKMAP, &map) != 0 || !map) {
      dlclose(library);
      continue;
    }
    HMODULE h = plat::detail::ModuleHandleFor(map->l_name ? map->l_name : "");
    auto m = FindModule(h);
    if (!m) {
      dlclose(library);
      break;
    }
    std::lock_guard lock(plat::detail::Registry().mutex);
    if (m->loads++ > 0) dlclose(library);  // one loader reference stands for all of ours
    else m->library = library;
    return h;
  }
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

BOOL FreeLibrary(HMODULE module) {
  auto m = FindModule(module);
  if (!m || !module) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  void* library = nullptr;
  {
    std::lock_guard lock(plat::detail::Registry().mutex);
    if (m->loads > 0 && --m->loads == 0) std::swap(library, m->library);
  }
  // Outside the lock: the library's detach runs inside dlclose and may ask for modules.
  if (library) {
    t_unloading = true;
    dlclose(library);
    t_unloading = false;
  }
  return TRUE;
}

BOOL GetModuleHandleExA(DWORD flags, LPCSTR moduleName, HMODULE* module) {
  if (module) *module = nullptr;
  if (!module || ((flags & GET_MODULE_HANDLE_EX_FLAG_PIN) && (flags & GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  HMODULE found = (flags & GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS) ? plat::ModuleFromAddress(moduleName)
                                                                  : GetModuleHandleA(moduleName);
  auto m = found ? FindModule(found) : nullptr;
  if (!m) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return FALSE;
  }
  if (!(flags & GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT) && !m->key.empty()) {
    if (flags & GET_MODULE_HANDLE_EX_FLAG_PIN) {
      // A loader reference never given back.
      dlopen(m->key.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    } else {
      // The same as a LoadLibraryA of it: one more of our references, which hold one
      // of the loader's between them.
      void* library = dlopen(m->key.c_str(), RTLD_NOW | RTLD_NOLOAD);
      std::lock_guard lock(plat::detail::Registry().mutex);
      if (m->loads++ > 0 || !library) {
        if (library) dlclose(library);
      } else {
        m->library = library;
      }
    }
  }
  *module = found;
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR procName) {
  auto m = FindModule(module);
  if (!m) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (!procName || IS_INTRESOURCE(procName)) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  void* library = m->key.empty() ? dlopen(nullptr, RTLD_LAZY) : dlopen(m->key.c_str(), RTLD_LAZY | RTLD_NOLOAD);
  if (!library) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  void* symbol = dlsym(library, procName);
  dlclose(library);
  if (!symbol) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(symbol);
}

namespace plat {

bool LibraryUnloading() { return t_unloading; }

void RefuseLibraryLoad() { t_refused = true; }

HMODULE ModuleFromAddress(const void* address) {
  const auto a = reinterpret_cast<uintptr_t>(address);
  for (const auto& object : detail::LoadedObjects()) {
    for (const auto& [start, end] : object.segments) {
      if (a >= start && a < end) return detail::ModuleHandleFor(object.key);
    }
  }
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

}  // namespace plat
