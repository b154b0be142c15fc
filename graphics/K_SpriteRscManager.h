// The sprite resource manager: loads each sprite-library file once into a slot and
// hands out (slot << 16) | type handles with reference counts, so that widgets showing
// the same picture share one copy. Handles carry no serial and are resolved on every use,
// so the table is never remade while a slot is held: every game of the module shares it,
// each holding and giving back only its own references, from its window's thread or its
// loader's (one lock orders them).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "plat/threads.h"

class KK_LLESprite;
class K_Sprite;
class K_Animation_RSC;

namespace _QLSRsc_MANAGER_ {

// Resource types, the low byte of a handle.
constexpr uint32_t kTypeNone = 0, kTypeSprite = 1, kTypeSpriteSet = 2, kTypeAnimation = 3, kTypeGifSet = 4;
constexpr int32_t kMaxSlots = 65536;

class K_RefObj {
 public:
  virtual ~K_RefObj() = default;
  virtual int32_t Reset();
  uint32_t GetHandle() const { return m_handle; }
  int32_t Count() const { return m_count; }
  bool IsUsed() const { return m_count > 0; }
  void AddRef() { ++m_count; }
  int32_t DropRef() { return m_count >= 1 ? --m_count : m_count; }

 protected:
  uint32_t m_handle = 0;
  int32_t m_count = 0;
};

class K_RscObj : public K_RefObj {
 public:
  // Out of line: the objects it owns are only declared here.
  ~K_RscObj() override;
  // Frees the object and the name; the slot is free again.
  int32_t Reset() override;
  // Refused while the slot is used or for a type outside 1..4; makes the empty object.
  bool Create(uint32_t handle, std::string_view name);
  bool NameEquals(std::string_view name) const { return m_count >= 1 && m_name == name; }
  uint32_t Type() const { return m_handle & 0xFF; }

  KK_LLESprite* Sprite() const { return Type() == kTypeSprite ? m_sprite.get() : nullptr; }
  K_Sprite* SpriteSet() const { return Type() == kTypeSpriteSet || Type() == kTypeGifSet ? m_set.get() : nullptr; }
  K_Animation_RSC* Animation() const { return Type() == kTypeAnimation ? m_animation.get() : nullptr; }
  // Reads the file into the object; 1 or 0.
  int32_t LoadFile(const char* path);

 private:
  std::unique_ptr<KK_LLESprite> m_sprite;
  std::unique_ptr<K_Sprite> m_set;
  std::unique_ptr<K_Animation_RSC> m_animation;
  std::string m_name;
};

class QLSprite_RSCManager {
 public:
  QLSprite_RSCManager();
  virtual ~QLSprite_RSCManager();
  QLSprite_RSCManager(const QLSprite_RSCManager&) = delete;
  QLSprite_RSCManager& operator=(const QLSprite_RSCManager&) = delete;

  // Replaces the slot table (objects still held are freed); the count is capped at
  // 65536. A count below 2 gives a manager that loads nothing. For the table's sole
  // user only: a game opens the shared table instead.
  int32_t Init(int32_t slotCount, const char* baseDirectory);
  // The table for a game: kept when it has at least `slotCount` slots or a slot is held,
  // else made anew with that many and no base directory (names are whole paths, so
  // games of different folders share only the same files). 1 when it has the slots.
  int32_t Open(int32_t slotCount);
  uint32_t Load(const char* path);
  void Release(uint32_t handle);
  // The slot a handle resolves to, or null (the empty slot) for 0, stale, forged values.
  K_RscObj* GetSlot(uint32_t handle);
  uint32_t FindByName(std::string_view name) const;
  int32_t FindFreeSlot() const;
  std::string RelativeName(std::string_view path) const;
  static uint32_t SpriteFileTypeByExt(std::string_view name);
  int32_t HighestSlot() const { return m_highest; }
  int32_t SlotCount() const { return m_slotCount; }

 private:
  bool AnyHeld() const;
  // Recursive (a critical section): Load looks names and free slots up under it.
  mutable CRITICAL_SECTION m_lock{};
  std::unique_ptr<K_RscObj[]> m_slots;
  int32_t m_slotCount = 0;
  int32_t m_highest = 0;
  bool m_hasBase = false;
  std::string m_base;
};

// The module's one manager: made with the module's other globals, gone at its unload.
QLSprite_RSCManager& Manager();

int32_t InitSpriteResourceManager(int32_t slotCount, const char* baseDirectory);
int32_t OpenSpriteResourceManager(int32_t slotCount);
uint32_t LoadSpriteResourceByName(const char* path);
void ReleaseSpriteResource(uint32_t handle);
KK_LLESprite* GetLLESprite(uint32_t handle);
K_Sprite* GetSpriteSet(uint32_t handle);
K_Animation_RSC* GetAnimationRsc(uint32_t handle);
const KK_LLESprite* GetSpriteFrame(uint32_t handle, int32_t i);

}  // namespace _QLSRsc_MANAGER_
