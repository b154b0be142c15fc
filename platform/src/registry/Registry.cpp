// The registry functions. A key handle remembers its path, not a node: the tree is
// replaced whenever the file changes on disk, and a key deleted meanwhile answers
// ERROR_KEY_DELETED instead of pointing at stale memory.
#include "plat/registry.h"

#include <cstring>
#include <string>
#include <vector>

#include "core/Faults.h"
#include "core/HandleTable.h"
#include "registry/RegistryStore.h"

namespace {

using plat::detail::HandleKind;
using plat::detail::RegistryStore;
using plat::detail::RegNode;
using plat::detail::RegTree;
using plat::detail::RegValue;

constexpr LONG Code(DWORD error) { return static_cast<LONG>(error); }

struct KeyRef {
  uint32_t root = 0;
  std::vector<std::string> path;
  REGSAM access = 0;
};

struct RegKeyObject : plat::detail::Object {
  KeyRef ref;
};

bool Resolve(HKEY key, KeyRef* out) {
  const uintptr_t value = plat::detail::FromHandle(key);
  if (value >= plat::detail::kRegRootBase && value < plat::detail::kRegRootBase + plat::detail::kRegRootCount) {
    *out = KeyRef{static_cast<uint32_t>(value - plat::detail::kRegRootBase), {}, KEY_ALL_ACCESS};
    return true;
  }
  auto object = plat::detail::Handles().Get<RegKeyObject>(value, HandleKind::RegistryKey);
  if (!object) return false;
  *out = object->ref;
  return true;
}

// Splits a sub-key path at '\' (never a CP949 trail byte). One trailing '\' is
// tolerated; a leading one or an empty component is not.
LONG SplitPath(LPCSTR subKey, std::vector<std::string>* parts) {
  if (!subKey || !*subKey) return Code(ERROR_SUCCESS);
  if (subKey[0] == '\\') return Code(ERROR_BAD_PATHNAME);
  std::string_view rest(subKey);
  if (rest.back() == '\\') rest.remove_suffix(1);
  while (true) {
    const size_t cut = rest.find('\\');
    const std::string_view part = rest.substr(0, cut);
    if (part.empty()) return Code(ERROR_BAD_PATHNAME);
    if (part.size() > plat::detail::kRegMaxKeyName) return Code(ERROR_INVALID_PARAMETER);
    parts->emplace_back(part);
    if (cut == std::string_view::npos) return Code(ERROR_SUCCESS);
    rest.remove_prefix(cut + 1);
  }
}

template <class Tree>
auto Walk(Tree& tree, uint32_t root, const std::vector<std::string>& path) -> decltype(&tree.roots[0]) {
  auto* node = &tree.roots[root];
  for (const std::string& name : path) {
    node = node->Child(name);
    if (!node) return nullptr;
  }
  return node;
}

LONG NewHandle(KeyRef ref, PHKEY result) {
  auto object = std::make_shared<RegKeyObject>();
  object->ref = std::move(ref);
  const uintptr_t value = plat::detail::Handles().Insert(HandleKind::RegistryKey, std::move(object));
  if (value == 0) return Code(ERROR_NOT_ENOUGH_MEMORY);
  *result = plat::detail::ToHandle<HKEY>(value);
  return Code(ERROR_SUCCESS);
}

// A key and the path below it, ready to be looked up under the store's lock.
struct Target {
  KeyRef key;
  std::vector<std::string> full;
};

LONG PrepareTarget(HKEY key, LPCSTR subKey, Target* target) {
  if (!Resolve(key, &target->key)) return Code(ERROR_INVALID_HANDLE);
  std::vector<std::string> parts;
  if (LONG r = SplitPath(subKey, &parts); r != Code(ERROR_SUCCESS)) return r;
  target->full = target->key.path;
  target->full.insert(target->full.end(), parts.begin(), parts.end());
  if (target->full.size() > plat::detail::kRegMaxDepth) return Code(ERROR_INVALID_PARAMETER);
  return Code(ERROR_SUCCESS);
}

// Runs `change` on a copy of the tree, at the node of an open key, and keeps the
// copy only when it reached the file.
template <class Change>
LONG ChangeValueOf(HKEY key, Change change) {
  KeyRef ref;
  if (!Resolve(key, &ref)) return Code(ERROR_INVALID_HANDLE);
  if (!(ref.access & KEY_SET_VALUE)) return Code(ERROR_ACCESS_DENIED);
  RegistryStore& store = RegistryStore::Instance();
  std::lock_guard lock(store.Mutex());
  if (LONG r = store.Refresh(); r != Code(ERROR_SUCCESS)) return r;
  RegTree next = store.Tree();
  RegNode* node = Walk(next, ref.root, ref.path);
  if (!node) return Code(ERROR_KEY_DELETED);
  if (LONG r = change(*node); r != Code(ERROR_SUCCESS)) return r;
  return store.Commit(std::move(next));
}

}  // namespace

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM access, PHKEY result) {
  if (!result) return Code(ERROR_INVALID_PARAMETER);
  *result = nullptr;
  Target target;
  if (LONG r = PrepareTarget(key, subKey, &target); r != Code(ERROR_SUCCESS)) return r;
  RegistryStore& store = RegistryStore::Instance();
  std::lock_guard lock(store.Mutex());
  if (LONG r = store.Refresh(); r != Code(ERROR_SUCCESS)) return r;
  if (!Walk(store.Tree(), target.key.root, target.key.path)) return Code(ERROR_KEY_DELETED);
  if (!Walk(store.Tree(), target.key.root, target.full)) return Code(ERROR_FILE_NOT_FOUND);
  return NewHandle(KeyRef{target.key.root, std::move(target.full), access}, result);
}

LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM access, const void*, PHKEY result,
                     LPDWORD disposition) {
  if (!result) return Code(ERROR_INVALID_PARAMETER);
  *result = nullptr;
  Target target;
  if (LONG r = PrepareTarget(key, subKey, &target); r != Code(ERROR_SUCCESS)) return r;
  RegistryStore& store = RegistryStore::Instance();
  std::lock_guard lock(store.Mutex());
  if (LONG r = store.Refresh(); r != Code(ERROR_SUCCESS)) return r;
  if (!Walk(store.Tree(), target.key.root, target.key.path)) return Code(ERROR_KEY_DELETED);
  DWORD how = REG_OPENED_EXISTING_KEY;
  if (!Walk(store.Tree(), target.key.root, target.full)) {
    if (!(target.key.access & KEY_CREATE_SUB_KEY)) return Code(ERROR_ACCESS_DENIED);
    RegTree next = store.Tree();
    RegNode* node = &next.roots[target.key.root];
    for (const std::string& name : target.full) {
      RegNode* child = node->Child(name);
      if (!child) {
        node->children.push_back(RegNode{name, {}, {}});
        child = &node->children.back();
      }
      node = child;
    }
    if (LONG r = store.Commit(std::move(next)); r != Code(ERROR_SUCCESS)) return r;
    how = REG_CREATED_NEW_KEY;
  }
  LONG r = NewHandle(KeyRef{target.key.root, std::move(target.full), access}, result);
  if (r == Code(ERROR_SUCCESS) && disposition) *disposition = how;
  return r;
}

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD dataSize) {
  if (data && !dataSize) return Code(ERROR_INVALID_PARAMETER);
  KeyRef ref;
  if (!Resolve(key, &ref)) return Code(ERROR_INVALID_HANDLE);
  if (!(ref.access & KEY_QUERY_VALUE)) return Code(ERROR_ACCESS_DENIED);
  RegistryStore& store = RegistryStore::Instance();
  std::lock_guard lock(store.Mutex());
  if (LONG r = store.Refresh(); r != Code(ERROR_SUCCESS)) return r;
  const RegNode* node = Walk(store.Tree(), ref.root, ref.path);
  if (!node) return Code(ERROR_KEY_DELETED);
  const RegValue* value = node->Value(valueName ? valueName : "");
  if (!value) return Code(ERROR_FILE_NOT_FOUND);
  if (type) *type = value->type;
  const DWORD need = static_cast<DWORD>(value->data.size());
  if (!data) {
    if (dataSize) *dataSize = need;
    return Code(ERROR_SUCCESS);
  }
  if (*dataSize < need) {
    *dataSize = need;
    return Code(ERROR_MORE_DATA);
  }
  if (need) std::memcpy(data, value->data.data(), need);
  *dataSize = need;
  return Code(ERROR_SUCCESS);
}

LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD dataSize) {
  if ((!data && dataSize) || dataSize > plat::detail::kRegMaxValueData) return Code(ERROR_INVALID_PARAMETER);
  std::string name(valueName ? valueName : "");
  if (name.size() > plat::detail::kRegMaxValueName) return Code(ERROR_INVALID_PARAMETER);
  std::string bytes = data ? std::string(reinterpret_cast<const char*>(data), dataSize) : std::string();
  if ((type == REG_SZ || type == REG_EXPAND_SZ) && (bytes.empty() || bytes.back() != '\0')) bytes.push_back('\0');
  return ChangeValueOf(key, [&](RegNode& node) {
    if (plat::detail::ShouldFail("RegSetValueExA")) return Code(ERROR_CANTWRITE);
    if (RegValue* v = node.Value(name)) {
      v->type = type;
      v->data = std::move(bytes);
    } else {
      node.values.push_back(RegValue{std::move(name), type, std::move(bytes)});
    }
    return Code(ERROR_SUCCESS);
  });
}

LONG RegDeleteValueA(HKEY key, LPCSTR valueName) {
  const std::string name(valueName ? valueName : "");
  return ChangeValueOf(key, [&](RegNode& node) {
    const RegValue* value = node.Value(name);
    if (!value) return Code(ERROR_FILE_NOT_FOUND);
    node.values.erase(node.values.begin() + (value - node.values.data()));
    return Code(ERROR_SUCCESS);
  });
}

LONG RegDeleteKeyA(HKEY key, LPCSTR subKey) {
  if (!subKey) return Code(ERROR_INVALID_PARAMETER);
  Target target;
  if (LONG r = PrepareTarget(key, subKey, &target); r != Code(ERROR_SUCCESS)) return r;
  if (target.full.empty()) return Code(ERROR_ACCESS_DENIED);  // a predefined root
  RegistryStore& store = RegistryStore::Instance();
  std::lock_guard lock(store.Mutex());
  if (LONG r = store.Refresh(); r != Code(ERROR_SUCCESS)) return r;
  RegTree next = store.Tree();
  const std::string last = target.full.back();
  target.full.pop_back();
  RegNode* parent = Walk(next, target.key.root, target.full);
  RegNode* victim = parent ? parent->Child(last) : nullptr;
  if (!victim) return Code(ERROR_FILE_NOT_FOUND);
  if (!victim->children.empty()) return Code(ERROR_ACCESS_DENIED);
  parent->children.erase(parent->children.begin() + (victim - parent->children.data()));
  return store.Commit(std::move(next));
}

LONG RegCloseKey(HKEY key) {
  const uintptr_t value = plat::detail::FromHandle(key);
  if (value >= plat::detail::kRegRootBase && value < plat::detail::kRegRootBase + plat::detail::kRegRootCount)
    return Code(ERROR_SUCCESS);
  if (!plat::detail::Handles().Remove(value, HandleKind::RegistryKey)) return Code(ERROR_INVALID_HANDLE);
  return Code(ERROR_SUCCESS);
}
