// The sprite resource manager's slots, name look-up, loading by extension and release.
#include "graphics/K_SpriteRscManager.h"
#include "base/ModuleGlobal.h"

#include <algorithm>

#include "graphics/KK_LLESprite.h"
#include "graphics/K_Animation_RSC.h"
#include "graphics/K_Sprite.h"

namespace _QLSRsc_MANAGER_ {
namespace {

class TableGuard {
 public:
  explicit TableGuard(CRITICAL_SECTION& lock) : lock_(lock) { EnterCriticalSection(&lock_); }
  ~TableGuard() { LeaveCriticalSection(&lock_); }
  TableGuard(const TableGuard&) = delete;
  TableGuard& operator=(const TableGuard&) = delete;

 private:
  CRITICAL_SECTION& lock_;
};

}  // namespace

int32_t K_RefObj::Reset() {
  m_handle = 0;
  m_count = 0;
  return 0;
}

K_RscObj::~K_RscObj() { Reset(); }

int32_t K_RscObj::Reset() {
  m_sprite.reset();
  m_set.reset();
  m_animation.reset();
  m_name.clear();
  m_name.shrink_to_fit();
  return K_RefObj::Reset();
}

bool K_RscObj::Create(uint32_t handle, std::string_view name) {
  const uint32_t type = handle & 0xFFFF;
  if (m_count > 0 || type < kTypeSprite || type > kTypeGifSet) return false;
  Reset();
  if (type == kTypeSprite) m_sprite = std::make_unique<KK_LLESprite>();
  else if (type == kTypeAnimation) m_animation = std::make_unique<K_Animation_RSC>();
  else m_set = std::make_unique<K_Sprite>();
  m_handle = handle;
  m_name.assign(name);
  m_count = 1;
  return true;
}

int32_t K_RscObj::LoadFile(const char* path) {
  switch (Type()) {
    case kTypeSprite: return m_sprite->Load(path, 0, 1);
    case kTypeSpriteSet: return m_set->LoadSpriteSetFile(path, 1);
    case kTypeAnimation: return m_animation->Load(path);
    case kTypeGifSet: return m_set->LoadGifAsSpriteSet(path, 0);
    default: return 0;
  }
}

QLSprite_RSCManager::QLSprite_RSCManager() { InitializeCriticalSection(&m_lock); }

QLSprite_RSCManager::~QLSprite_RSCManager() { DeleteCriticalSection(&m_lock); }

bool QLSprite_RSCManager::AnyHeld() const {
  for (int32_t i = 1; i < m_slotCount; ++i)
    if (m_slots[size_t(i)].IsUsed()) return true;
  return false;
}

int32_t QLSprite_RSCManager::Open(int32_t slotCount) {
  TableGuard guard(m_lock);
  if (m_slotCount >= std::min(slotCount, kMaxSlots)) return 1;
  if (AnyHeld()) return 0;
  return Init(slotCount, nullptr);
}

int32_t QLSprite_RSCManager::Init(int32_t slotCount, const char* baseDirectory) {
  TableGuard guard(m_lock);
  m_slots.reset();
  m_slotCount = 0;
  m_highest = 0;
  m_hasBase = baseDirectory != nullptr;
  m_base = baseDirectory ? baseDirectory : "";
  if (slotCount > 0) {
    m_slotCount = std::min(slotCount, kMaxSlots);
    m_slots = std::make_unique<K_RscObj[]>(size_t(m_slotCount));
  }
  return 1;
}

std::string QLSprite_RSCManager::RelativeName(std::string_view path) const {
  if (m_hasBase && !m_base.empty() && path.size() > m_base.size() && path.substr(0, m_base.size()) == m_base)
    return std::string(path.substr(m_base.size()));
  return std::string(path);
}

uint32_t QLSprite_RSCManager::SpriteFileTypeByExt(std::string_view name) {
  const size_t dot = name.rfind('.');
  const size_t slash = name.rfind('\\');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return kTypeNone;
  const std::string_view ext = name.substr(dot);
  if (ext == ".qls" || ext == ".QLS") return kTypeSprite;
  if (ext == ".psp") return kTypeSpriteSet;
  if (ext == ".qla") return kTypeAnimation;
  if (ext == ".gif") return kTypeGifSet;
  return kTypeNone;
}

uint32_t QLSprite_RSCManager::FindByName(std::string_view name) const {
  TableGuard guard(m_lock);
  for (int32_t i = 1; i <= m_highest && i < SlotCount(); ++i)
    if (m_slots[size_t(i)].NameEquals(name)) return m_slots[size_t(i)].GetHandle();
  return 0;
}

int32_t QLSprite_RSCManager::FindFreeSlot() const {
  TableGuard guard(m_lock);
  for (int32_t i = 1; i < SlotCount(); ++i)
    if (m_slots[size_t(i)].Count() < 1) return i;
  return -1;
}

K_RscObj* QLSprite_RSCManager::GetSlot(uint32_t handle) {
  TableGuard guard(m_lock);
  const uint32_t slot = handle >> 16;
  if (slot == 0 || slot >= uint32_t(SlotCount())) return nullptr;
  K_RscObj& obj = m_slots[slot];
  return obj.IsUsed() && obj.GetHandle() == handle ? &obj : nullptr;
}

uint32_t QLSprite_RSCManager::Load(const char* path) {
  if (!path) return 0;
  // The file is read under the lock: a second game asking for the same name meanwhile
  // must not get a handle to an object still loading.
  TableGuard guard(m_lock);
  const std::string name = RelativeName(path);
  if (const uint32_t found = FindByName(name)) {
    m_slots[found >> 16].AddRef();
    return found;
  }
  const int32_t slot = FindFreeSlot();
  if (slot < 0) return 0;
  const uint32_t type = SpriteFileTypeByExt(name);
  if (type == kTypeNone) return 0;
  const uint32_t handle = uint32_t(slot) << 16 | type;
  K_RscObj& obj = m_slots[size_t(slot)];
  if (!obj.Create(handle, name)) return 0;
  // The file is opened by the path as given, not by the relative name.
  if (!obj.LoadFile(path)) {
    obj.Reset();
    return 0;
  }
  m_highest = std::max(m_highest, slot);
  return handle;
}

void QLSprite_RSCManager::Release(uint32_t handle) {
  TableGuard guard(m_lock);
  K_RscObj* obj = GetSlot(handle);
  if (obj && obj->DropRef() <= 0) obj->Reset();
}

namespace {
ModuleGlobal<QLSprite_RSCManager> g_spriteManager;
}  // namespace

QLSprite_RSCManager& Manager() { return g_spriteManager.Get(); }

int32_t InitSpriteResourceManager(int32_t slotCount, const char* baseDirectory) {
  return Manager().Init(slotCount, baseDirectory);
}

int32_t OpenSpriteResourceManager(int32_t slotCount) { return Manager().Open(slotCount); }

uint32_t LoadSpriteResourceByName(const char* path) { return Manager().Load(path); }

void ReleaseSpriteResource(uint32_t handle) { Manager().Release(handle); }

KK_LLESprite* GetLLESprite(uint32_t handle) {
  K_RscObj* obj = Manager().GetSlot(handle);
  return obj ? obj->Sprite() : nullptr;
}

K_Sprite* GetSpriteSet(uint32_t handle) {
  K_RscObj* obj = Manager().GetSlot(handle);
  return obj ? obj->SpriteSet() : nullptr;
}

K_Animation_RSC* GetAnimationRsc(uint32_t handle) {
  K_RscObj* obj = Manager().GetSlot(handle);
  return obj ? obj->Animation() : nullptr;
}

const KK_LLESprite* GetSpriteFrame(uint32_t handle, int32_t i) {
  K_Sprite* set = GetSpriteSet(handle);
  return set ? set->GetFrame(i) : nullptr;
}

}  // namespace _QLSRsc_MANAGER_
