// Stand-in for the resource manager until its entries exist: the global instance and
// the two operations the widget base calls, answered from a table tests fill.
#include <map>

#include "graphics/XResEntryMgr.h"
#include "graphics/XResEntryMgrStub.h"
#include "plat/ddraw.h"

namespace {

struct StubEntry {
  ComPtr<IDirectDrawSurface4> surface;
  BOOL releaseAnswer = 0;
  int32_t releaseCalls = 0;
};

std::map<int32_t, StubEntry>& Table() {
  static auto* table = new std::map<int32_t, StubEntry>;
  return *table;
}

}  // namespace

namespace xres_stub {

void SetEntry(int32_t handle, const ComPtr<IDirectDrawSurface4>& surface, BOOL releaseAnswer) {
  StubEntry& e = Table()[handle];
  e.surface = surface;
  e.releaseAnswer = releaseAnswer;
}

void Clear() { Table().clear(); }

int32_t ReleaseCalls(int32_t handle) {
  auto it = Table().find(handle);
  return it == Table().end() ? 0 : it->second.releaseCalls;
}

}  // namespace xres_stub

XResEntryMgr& XResEntryMgr::Global() {
  static auto* manager = new XResEntryMgr;
  return *manager;
}

XResEntryMgr::XResEntryMgr() = default;
XResEntryMgr::~XResEntryMgr() = default;
void XResEntryMgr::Lock() {}
void XResEntryMgr::Unlock() {}

BOOL XResEntryMgr::ReleaseEntry(int32_t handle) {
  if (handle == kNoHandle) return 0;
  auto it = Table().find(handle);
  if (it == Table().end()) return 0;
  ++it->second.releaseCalls;
  return it->second.releaseAnswer;
}

ComPtr<IDirectDrawSurface4> XResEntryMgr::GetEntrySurface(int32_t handle) {
  auto it = Table().find(handle);
  if (it == Table().end()) {
    SetLastResult(E_UNEXPECTED);
    return nullptr;
  }
  return it->second.surface;
}
