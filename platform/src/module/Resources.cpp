// The in-process resource registry: byte resources and dialog templates that modules
// register at load time, found the Windows way by type and name or integer id.
#include <cstring>
#include <map>
#include <mutex>
#include <tuple>
#include <vector>

#include "core/Faults.h"
#include "module/ModuleTable.h"
#include "plat/error.h"
#include "plat/module.h"
#include "text/NoCase.h"

namespace plat::detail {
namespace {

// A resource type or name: an integer id, or a string compared without ASCII case.
struct ResName {
  bool isId = false;
  WORD id = 0;
  std::string folded;
  auto operator<=>(const ResName&) const = default;
};

ResName ToResName(LPCSTR s) {
  ResName r;
  if (IS_INTRESOURCE(s)) {
    r.isId = true;
    r.id = static_cast<WORD>(reinterpret_cast<uintptr_t>(s));
    return r;
  }
  // "#123" names id 123.
  if (s[0] == '#' && s[1] != '\0' && std::strspn(s + 1, "0123456789") == std::strlen(s + 1) && std::strlen(s + 1) <= 5) {
    uint32_t v = static_cast<uint32_t>(std::strtoul(s + 1, nullptr, 10));
    if (v <= 0xFFFF) {
      r.isId = true;
      r.id = static_cast<WORD>(v);
      return r;
    }
  }
  r.folded = FoldCp949(s);
  return r;
}

struct ResourceObject : Object {
  std::vector<uint8_t> bytes;  // never empty, so LockResource always has an address
  DWORD size = 0;
};

struct ResourceRegistry {
  std::mutex mutex;
  // (module, type, name) → handle value of a ResourceObject
  std::map<std::tuple<uintptr_t, ResName, ResName>, uintptr_t> resources;
  std::map<std::pair<uintptr_t, ResName>, std::shared_ptr<DialogTemplate>> dialogs;
  // Replaced templates stay alive: their pointers may still be in use.
  std::vector<std::shared_ptr<DialogTemplate>> retired;
};

ResourceRegistry& Resources() {
  static ResourceRegistry* registry = new ResourceRegistry;
  return *registry;
}

// The module's handle value, the main program for null; 0 when not a module.
uintptr_t ModuleKey(HMODULE module) {
  if (!module) module = MainModule();
  return FindModule(module) ? FromHandle(module) : 0;
}

// ModuleKey, after checking the module and the name; 0 with the last error set.
uintptr_t CheckedModuleKey(HMODULE module, LPCSTR name) {
  const uintptr_t key = ModuleKey(module);
  if (!key || !name) {
    SetLastError(key ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return 0;
  }
  return key;
}

std::shared_ptr<ResourceObject> FindResourceObject(const void* handle) {
  return Handles().Get<ResourceObject>(FromHandle(handle), HandleKind::Resource);
}

}  // namespace
}  // namespace plat::detail

using namespace plat::detail;

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
  const uintptr_t key = CheckedModuleKey(module, type ? name : nullptr);
  if (!key) return nullptr;
  if (ShouldFail("FindResourceA")) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  const ResName t = ToResName(type), n = ToResName(name);
  auto& r = Resources();
  std::lock_guard lock(r.mutex);
  auto it = r.resources.find({key, t, n});
  if (it != r.resources.end()) return ToHandle<HRSRC>(it->second);
  auto first = r.resources.lower_bound({key, t, ResName{}});
  bool typeKnown = first != r.resources.end() && std::get<0>(first->first) == key && std::get<1>(first->first) == t;
  SetLastError(typeKnown ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
  return nullptr;
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) {
  if (!FindResourceObject(resource)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (ShouldFail("LoadResource")) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<HGLOBAL>(resource);
}

LPVOID LockResource(HGLOBAL resourceData) {
  auto object = FindResourceObject(resourceData);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (ShouldFail("LockResource")) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return nullptr;
  }
  // The registry keeps every resource object alive, so the bytes outlive this call.
  return object->bytes.data();
}

DWORD SizeofResource(HMODULE, HRSRC resource) {
  auto object = FindResourceObject(resource);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return object->size;
}

BOOL FreeResource(HGLOBAL) { return FALSE; }

namespace plat {

bool RegisterResource(HMODULE module, LPCSTR type, LPCSTR name, const void* bytes, size_t size) {
  const uintptr_t key = CheckedModuleKey(module, type ? name : nullptr);
  if (!key) return false;
  if ((!bytes && size) || size > UINT32_MAX) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  auto object = std::make_shared<ResourceObject>();
  object->bytes.assign(static_cast<const uint8_t*>(bytes), static_cast<const uint8_t*>(bytes) + size);
  if (object->bytes.empty()) object->bytes.push_back(0);
  object->size = static_cast<DWORD>(size);
  uintptr_t value = Handles().Insert(HandleKind::Resource, object);
  if (!value) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
  auto& r = Resources();
  std::lock_guard lock(r.mutex);
  // A replaced resource keeps its handle (and bytes) for whoever already holds it.
  r.resources[{key, ToResName(type), ToResName(name)}] = value;
  return true;
}

bool RegisterDialogTemplate(HMODULE module, LPCSTR idOrName, DialogTemplate dialog) {
  const uintptr_t key = CheckedModuleKey(module, idOrName);
  if (!key) return false;
  auto& r = Resources();
  std::lock_guard lock(r.mutex);
  auto& slot = r.dialogs[{key, ToResName(idOrName)}];
  if (slot) r.retired.push_back(std::move(slot));
  slot = std::make_shared<DialogTemplate>(std::move(dialog));
  return true;
}

const DialogTemplate* FindDialogTemplate(HMODULE module, LPCSTR idOrName) {
  const uintptr_t key = CheckedModuleKey(module, idOrName);
  if (!key) return nullptr;
  auto& r = Resources();
  std::lock_guard lock(r.mutex);
  auto it = r.dialogs.find({key, ToResName(idOrName)});
  if (it == r.dialogs.end()) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  return it->second.get();
}

}  // namespace plat
