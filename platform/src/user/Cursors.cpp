// Cursor and icon handles: the shared system ones, and cursors read from files.
#include <fstream>
#include <iterator>
#include <map>
#include <vector>

#include "core/HandleTable.h"
#include "files/FileObject.h"
#include "plat/error.h"
#include "user/CursorFile.h"
#include "user/UserState.h"

#include "plat/files.h"

using namespace plat::detail;

namespace {

struct CursorObject : Object {
  int systemId = 0;  // 0: loaded from a file, destroyable
  bool icon = false;
  CursorFileInfo file;
};

constexpr DWORD kErrorInvalidCursorHandle = 1402;
constexpr size_t kMaxCursorFile = 4u << 20;

bool KnownSystemCursor(int id) {
  switch (id) {
    case 32512: case 32513: case 32514: case 32515: case 32516: case 32640: case 32641: case 32642:
    case 32643: case 32644: case 32645: case 32646: case 32648: case 32649: case 32650: case 32651:
      return true;
    default: return false;
  }
}

bool KnownSystemIcon(int id) { return id >= 32512 && id <= 32518; }

HICON SharedHandle(int id, bool icon) {
  static auto* table = new std::map<int, HICON>;
  auto lock = user::Lock();
  int key = icon ? -id : id;
  auto it = table->find(key);
  if (it != table->end()) return it->second;
  auto obj = std::make_shared<CursorObject>();
  obj->systemId = id;
  obj->icon = icon;
  HICON h = ToHandle<HICON>(Handles().Insert(HandleKind::Cursor, obj));
  (*table)[key] = h;
  return h;
}

std::string HostPath(LPCSTR path) { return plat::MapPath(path); }

}  // namespace

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
  if (!instance && IS_INTRESOURCE(name) && KnownSystemCursor(static_cast<int>(reinterpret_cast<uintptr_t>(name))))
    return SharedHandle(static_cast<int>(reinterpret_cast<uintptr_t>(name)), false);
  SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
  return nullptr;
}

HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
  if (!instance && IS_INTRESOURCE(name) && KnownSystemIcon(static_cast<int>(reinterpret_cast<uintptr_t>(name))))
    return SharedHandle(static_cast<int>(reinterpret_cast<uintptr_t>(name)), true);
  SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
  return nullptr;
}

HCURSOR LoadCursorFromFileA(LPCSTR path) {
  plat::detail::OpenFileTable().NoteRequested(path);
  if (!path || !*path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::ifstream in(HostPath(path), std::ios::binary);
  if (!in) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  std::vector<uint8_t> bytes;
  char buffer[4096];
  while (in && bytes.size() <= kMaxCursorFile) {
    in.read(buffer, sizeof buffer);
    bytes.insert(bytes.end(), buffer, buffer + in.gcount());
  }
  auto info = bytes.size() <= kMaxCursorFile ? ParseCursorFile(bytes.data(), bytes.size()) : std::nullopt;
  if (!info) {
    SetLastError(ERROR_BAD_FORMAT);
    return nullptr;
  }
  auto obj = std::make_shared<CursorObject>();
  obj->file = *info;
  return ToHandle<HCURSOR>(Handles().Insert(HandleKind::Cursor, obj));
}

namespace {

BOOL DestroyCursorObject(HICON h) {
  auto obj = Handles().Get<CursorObject>(FromHandle(h), HandleKind::Cursor);
  if (!obj) {
    SetLastError(kErrorInvalidCursorHandle);
    return FALSE;
  }
  // Shared system cursors stay; destroying one is accepted and does nothing.
  if (obj->systemId) return TRUE;
  Handles().Remove(FromHandle(h), HandleKind::Cursor);
  return TRUE;
}

}  // namespace

BOOL DestroyCursor(HCURSOR cursor) { return DestroyCursorObject(cursor); }
BOOL DestroyIcon(HICON icon) { return DestroyCursorObject(icon); }
