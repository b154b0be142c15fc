// Dialog templates on Windows are resources compiled into the module. Finding one reads
// the extended template out of the module's resources; registering one checks that the
// compiled-in resource says what the module's table says, so a resource script that
// has fallen behind the table is refused.
#include <map>
#include <memory>
#include <mutex>
#include <utility>

#include "plat/module.h"

namespace plat {
namespace {

// Templates read once per module and name; they live as long as the process, as the
// resources they are read from do.
struct TemplateCache {
  std::mutex lock;
  std::map<std::pair<HMODULE, std::string>, std::unique_ptr<DialogTemplate>> read;
};
TemplateCache& Cache() {
  static auto* cache = new TemplateCache;
  return *cache;
}

std::string KeyOf(LPCSTR idOrName) {
  if (IS_INTRESOURCE(idOrName)) return "#" + std::to_string(reinterpret_cast<uintptr_t>(idOrName));
  return idOrName ? std::string(idOrName) : std::string();
}

}  // namespace

const DialogTemplate* FindDialogTemplate(HMODULE module, LPCSTR idOrName) {
  TemplateCache& cache = Cache();
  const std::lock_guard<std::mutex> hold(cache.lock);
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

bool RegisterDialogTemplate(HMODULE module, LPCSTR idOrName, DialogTemplate dialog) {
  const DialogTemplate* compiled = FindDialogTemplate(module, idOrName);
  return compiled && SameDialogTemplate(*compiled, dialog);
}

}  // namespace plat
