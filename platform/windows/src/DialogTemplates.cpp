// Dialog templates on Windows are resources compiled into the module. Finding one reads
// the extended template out of the module's resources; registering one checks that the
// compiled-in resource says what the module's table says, so a resource script that
// has fallen behind the table is refused.
#include <map>
#include <memory>
#include <utility>

#include "plat/module.h"

namespace plat {
namespace {

// Templates read once per module and name. The cache is a static object of the module
// that holds this code: made as the library loads and gone as it unloads, as the
// resources read into it are. Its lock is the system's, whose handles go with it.
struct TemplateCache {
  TemplateCache() { InitializeCriticalSection(&lock); }
  ~TemplateCache() { DeleteCriticalSection(&lock); }
  CRITICAL_SECTION lock;
  std::map<std::pair<HMODULE, std::string>, std::unique_ptr<DialogTemplate>> read;
};
TemplateCache g_cache;

std::string KeyOf(LPCSTR idOrName) {
  if (IS_INTRESOURCE(idOrName)) return "#" + std::to_string(reinterpret_cast<uintptr_t>(idOrName));
  return idOrName ? std::string(idOrName) : std::string();
}

// Under the cache's lock.
const DialogTemplate* FindLocked(TemplateCache& cache, HMODULE module, LPCSTR idOrName) {
  auto key = std::make_pair(module, KeyOf(idOrName));
  if (auto it = cache.read.find(key); it != cache.read.end()) return it->second.get();
  HRSRC found = FindResourceA(module, idOrName, RT_DIALOG);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const auto* bytes = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
  auto dialog = std::make_unique<DialogTemplate>();
  if (!bytes || !ReadDialogTemplate(bytes, SizeofResource(module, found), dialog.get())) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  return cache.read.emplace(std::move(key), std::move(dialog)).first->second.get();
}

}  // namespace

const DialogTemplate* FindDialogTemplate(HMODULE module, LPCSTR idOrName) {
  EnterCriticalSection(&g_cache.lock);
  const DialogTemplate* found = FindLocked(g_cache, module, idOrName);
  LeaveCriticalSection(&g_cache.lock);
  return found;
}

bool RegisterDialogTemplate(HMODULE module, LPCSTR idOrName, DialogTemplate dialog) {
  const DialogTemplate* compiled = FindDialogTemplate(module, idOrName);
  return compiled && SameDialogTemplate(*compiled, dialog);
}

}  // namespace plat
