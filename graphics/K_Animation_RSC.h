// Animation data (.qla): the 96-byte header, 44-byte frame records and 36-byte part
// records kept exactly as the file's payload, the sprite set behind them, the further
// animations of a set, and the geometry of a part that drawing, hit testing and frame
// rectangles share.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "graphics/K_Dib.h"

class K_Sprite;
class KK_LLESprite;

struct tagAni_Header {
  static constexpr size_t kSize = 96;
  static constexpr size_t kNameSize = 68;
  static constexpr uint32_t kUseBounds = 1;
  int16_t originX = 0, originY = 0;
  uint32_t frameCount = 0;
  uint32_t flags = 0;
  int16_t left = 0, top = 0, right = 0, bottom = 0;  // fixed bounds
  std::string_view name;  // up to the first zero, at most 68 bytes
};

struct tagAni_Frame {
  static constexpr size_t kSize = 44;
  uint16_t duration = 0;  // tens of milliseconds
  uint32_t partCount = 0;
  int16_t loopTarget = 0;
  uint16_t repeat = 0;  // 0 no loop; top bit set: for ever
};

struct tagAni_Part {
  static constexpr size_t kSize = 36;
  static constexpr uint32_t kMoves = 1;
  uint16_t sprite = 0;
  int16_t x = 0, y = 0;
  uint32_t flags = 0;  // placement bits and the effect mode (low 16 bits)
  uint8_t level = 0;
  uint32_t colour = 0;  // COLORREF from the R, G, B bytes
  int16_t dx = 0, dy = 0;
  uint32_t partFlags = 0;
};

class K_Animation_RSC {
 public:
  static constexpr uint32_t kKindSingle = 0x09F90000;
  static constexpr uint32_t kKindSet = 0x09F70000;
  static constexpr uint32_t kMaxSetCount = 1024;
  static constexpr size_t kMaxChunkBytes = size_t(64) << 20;
  static constexpr size_t kMaxFileBytes = size_t(256) << 20;
  // Ownership flags.
  static constexpr uint32_t kBorrowedBlock = 1, kOwnedBlock = 2, kSharedSet = 4, kOwnSet = 8;

  K_Animation_RSC() = default;
  virtual ~K_Animation_RSC();
  K_Animation_RSC(const K_Animation_RSC&) = delete;
  K_Animation_RSC& operator=(const K_Animation_RSC&) = delete;
  virtual void Clear();

  // A single animation or a set with its sprite chunks; 1 or 0 (cleared).
  int32_t Load(const char* fileName);
  // The same from bytes. A nested load takes one single animation and no sprites.
  int32_t LoadFromBytes(std::span<const uint8_t> bytes, bool nested = false, size_t* used = nullptr);
  // Uses a block already in memory (it must start with 'k', 'a' and check out), never
  // freed; refused while a block is held.
  int32_t AttachMemory(const uint8_t* block, size_t size);
  // The block when it is owned, with the size its frames and parts take.
  const uint8_t* GetDataBlock(size_t* size) const;

  // ---- building a block in memory ----
  // A zeroed owned block of `size` bytes (an owned one is freed, a borrowed one
  // forgotten) whose header counts `frameCount` frames without parts. 0, and nothing
  // changed, when the header and frame table do not fit or the size is over the cap.
  int32_t AllocateBlock(size_t size, uint32_t frameCount);
  // The owned block to write frames and parts into; null for a borrowed block. Its
  // frames are not played until FixUpParts has checked them again.
  uint8_t* EditDataBlock();
  // Sets the header's frame count (its table must fit the block), then FixUpParts.
  int32_t SetFrameCount(uint32_t frameCount);
  // Hands each frame the next run of part-count part records, in frame order. 0 when
  // the parts run past the block or a loop target is outside the frames: the animation
  // then has no frames until the block is fixed.
  int32_t FixUpParts();
  bool HasData() const { return m_data != nullptr; }
  uint32_t Flags() const { return m_flags; }

  tagAni_Header Header() const;
  int32_t FrameCount() const { return int32_t(m_partStart.size()); }
  bool GetFrame(int32_t i, tagAni_Frame& frame) const;
  // Part k of frame i; both must be in range.
  tagAni_Part GetPart(int32_t frame, int32_t k) const;

  K_Sprite* SpriteSet() const { return m_sprites; }
  int32_t CreateOwnSpriteSet();
  int32_t ShareSpriteSet(K_Sprite* set);

  K_Animation_RSC* GetSubAnimation(int32_t i);
  int32_t GetAnimationCount() const { return m_data ? 1 + int32_t(m_children.size()) : 0; }
  K_Animation_RSC* FindByName(std::string_view name, int32_t* index);

  // The box the frame's parts cover, relative to the draw position, united into `rect`
  // (callers pass an empty one). An invalid frame gives (0, 0, 0, 0).
  void GetFrameRect(int32_t frame, K_Rect& rect, uint32_t callFlags) const;

 private:
  bool TakeBlock(const uint8_t* data, size_t size);
  void DropBlock();
  static bool ComputePartStarts(const uint8_t* data, size_t size, std::vector<uint32_t>& starts, uint64_t& parts);

  std::vector<uint8_t> m_block;
  const uint8_t* m_data = nullptr;
  size_t m_size = 0;
  uint32_t m_flags = 0;
  // First part record of each frame: the records hold no pointers on this system.
  std::vector<uint32_t> m_partStart;
  uint64_t m_partTotal = 0;
  K_Sprite* m_sprites = nullptr;
  std::vector<std::unique_ptr<K_Animation_RSC>> m_children;
};

namespace kk {

// Where one part of an animation lands when the animation is drawn at (x, y): the
// effective flags, the position to hand the blit (the part's anchor offset folded in,
// so the shared sprite's anchor is never touched) and the trim box on the target.
struct PartPlacement {
  uint32_t flags;                // part flags XOR the call's placement bits
  int64_t drawX, drawY;          // for K_Dib::DrawSprite with the sprite's own anchor
  int64_t boxLeft, boxTop;       // the trim box's top-left on the target
  int32_t width, height;         // of the trim box
  int32_t boundsLeft, boundsTop; // the sprite's trim box relative to its anchor
};

// Motion offset of a moving part at `progress` (0..100000) of its frame.
int32_t PartMotion(int32_t delta, int32_t progress, bool mirrored);
// False when the sprite has an empty trim box.
bool PlacePart(const tagAni_Header& header, const tagAni_Part& part, const KK_LLESprite& sprite, uint32_t callFlags,
               int32_t progress, int64_t x, int64_t y, PartPlacement& out);

}  // namespace kk
