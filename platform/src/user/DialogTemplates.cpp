// Dialog templates a module registers at load time, found by (module, name or id).
#if !__has_include("plat/module.h")
#include <map>
#include <mutex>
#include <string>

#include "plat/dialogs.h"

namespace plat {
namespace {

struct TemplateStore {
  std::mutex mutex;
  std::map<std::pair<HMODULE, std::string>, DialogTemplate> templates;
};

TemplateStore& Store() {
  static TemplateStore* s = new TemplateStore;
  return *s;
}

std::string KeyOf(LPCSTR name) {
  if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<uintptr_t>(name));
  std::string s = name;
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return s;
}

}  // namespace

BOOL RegisterDialogTemplate(HMODULE module, LPCSTR name, const DialogTemplate& dialog) {
  if (!name) return FALSE;
  std::lock_guard lock(Store().mutex);
  Store().templates[{module, KeyOf(name)}] = dialog;
  return TRUE;
}

const DialogTemplate* FindDialogTemplate(HMODULE module, LPCSTR name) {
  if (!name) return nullptr;
  std::lock_guard lock(Store().mutex);
  auto it = Store().templates.find({module, KeyOf(name)});
  return it == Store().templates.end() ? nullptr : &it->second;
}

}  // namespace plat
#endif
