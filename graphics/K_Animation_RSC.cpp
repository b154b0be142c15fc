// Animation data: loading single animations and sets with every count checked against
// the bytes, the part-start side table, names, sub-animations, frame rectangles and
// the placement of a part.
#include "graphics/K_Animation_RSC.h"

#include <algorithm>
#include <cstring>

#include "base/ByteReader.h"
#include "graphics/KFileHandle.h"
#include "graphics/KK_LLESprite.h"
#include "graphics/K_Sprite.h"

namespace {

constexpr uint8_t kAnimationSignature[2] = {'k', 'a'};
constexpr size_t kFrameCountAt = 8, kFlagsAt = 16, kBoundsAt = 20, kNameAt = 28;
constexpr int32_t kRectLimit = 10000;

}  // namespace

K_Animation_RSC::~K_Animation_RSC() { Clear(); }

void K_Animation_RSC::Clear() {
  while (!m_children.empty()) m_children.pop_back();
  DropBlock();
  if (m_flags & kOwnSet) delete m_sprites;
  m_sprites = nullptr;
  m_flags = 0;
}

void K_Animation_RSC::DropBlock() {
  m_block.clear();
  m_block.shrink_to_fit();
  m_data = nullptr;
  m_size = 0;
  m_partStart.clear();
  m_partTotal = 0;
  m_flags &= ~(kBorrowedBlock | kOwnedBlock);
}

bool K_Animation_RSC::ComputePartStarts(const uint8_t* data, size_t size, std::vector<uint32_t>& starts,
                                        uint64_t& parts) {
  if (size < tagAni_Header::kSize) return false;
  const uint64_t frames = LoadU32(data + kFrameCountAt);
  const uint64_t room = size - tagAni_Header::kSize;
  if (frames * tagAni_Frame::kSize > room) return false;
  parts = 0;
  starts.assign(frames, 0);
  const uint8_t* frame = data + tagAni_Header::kSize;
  for (uint64_t i = 0; i < frames; ++i, frame += tagAni_Frame::kSize) {
    starts[i] = uint32_t(parts);
    parts += LoadU32(frame + 8);
    if (frames * tagAni_Frame::kSize + parts * tagAni_Part::kSize > room) return false;
    // A loop must land on a frame of this animation.
    const int16_t target = LoadI16(frame + 40);
    if (LoadU16(frame + 42) != 0 && (target < 0 || uint64_t(target) >= frames)) return false;
  }
  return true;
}

bool K_Animation_RSC::TakeBlock(const uint8_t* data, size_t size) {
  std::vector<uint32_t> starts;
  uint64_t parts = 0;
  if (!ComputePartStarts(data, size, starts, parts)) return false;
  m_data = data;
  m_size = size;
  m_partStart = std::move(starts);
  m_partTotal = parts;
  return true;
}

int32_t K_Animation_RSC::LoadFromBytes(std::span<const uint8_t> bytes, bool nested, size_t* used) {
  Clear();
  ByteReader in(bytes);
  tagChunk_Header chunk;
  if (!kk::ReadChunkHeader(in, chunk)) return 0;
  if (chunk.kind == kKindSingle) {
    if (chunk.size > in.Remaining() || chunk.size > kMaxChunkBytes) return 0;
    const auto payload = in.Bytes(chunk.size);
    m_block.assign(payload.begin(), payload.end());
    if (!TakeBlock(m_block.data(), m_block.size())) {
      Clear();
      return 0;
    }
    m_flags |= kOwnedBlock;
  } else if (chunk.kind == kKindSet && !nested && chunk.size >= 1 && chunk.size <= kMaxSetCount) {
    // Only single animations nest, so a set inside a set fails rather than recursing.
    for (uint32_t i = 0; i < chunk.size; ++i) {
      size_t took = 0;
      if (i == 0) {
        if (!LoadFromBytes(in.Rest(), true, &took)) return Clear(), 0;
      } else {
        auto child = std::make_unique<K_Animation_RSC>();
        if (!child->LoadFromBytes(in.Rest(), true, &took)) return Clear(), 0;
        m_children.push_back(std::move(child));
      }
      in.Skip(took);
    }
  } else {
    return 0;
  }
  if (!nested) {
    CreateOwnSpriteSet();
    for (auto& child : m_children) child->ShareSpriteSet(m_sprites);
    size_t took = 0;
    m_sprites->LoadFromBytes(in.Rest(), 1, &took);
    in.Skip(took);
  }
  if (used) *used = in.Position();
  return 1;
}

int32_t K_Animation_RSC::Load(const char* fileName) {
  Clear();
  std::vector<uint8_t> bytes;
  if (!kk::ReadFileBytes(fileName, kMaxFileBytes, bytes)) return 0;
  return LoadFromBytes(bytes);
}

int32_t K_Animation_RSC::AttachMemory(const uint8_t* block, size_t size) {
  if ((m_flags & (kBorrowedBlock | kOwnedBlock)) || !block || size < 2 ||
      !std::equal(std::begin(kAnimationSignature), std::end(kAnimationSignature), block))
    return 0;
  if (!TakeBlock(block, size)) return 0;
  m_flags |= kBorrowedBlock;
  return 1;
}

const uint8_t* K_Animation_RSC::GetDataBlock(size_t* size) const {
  if (!(m_flags & kOwnedBlock)) return nullptr;
  if (size)
    *size = tagAni_Header::kSize + m_partStart.size() * tagAni_Frame::kSize + size_t(m_partTotal) * tagAni_Part::kSize;
  return m_data;
}

int32_t K_Animation_RSC::AllocateBlock(size_t size, uint32_t frameCount) {
  if (size < tagAni_Header::kSize || size > kMaxChunkBytes ||
      uint64_t(frameCount) * tagAni_Frame::kSize > size - tagAni_Header::kSize)
    return 0;
  DropBlock();
  m_block.assign(size, 0);
  StoreU32(m_block.data() + kFrameCountAt, frameCount);
  m_data = m_block.data();
  m_size = size;
  m_partStart.assign(frameCount, 0);  // no frame has parts yet
  m_flags |= kOwnedBlock;
  return 1;
}

uint8_t* K_Animation_RSC::EditDataBlock() {
  if (!(m_flags & kOwnedBlock)) return nullptr;
  // Counts written through this pointer are unchecked until FixUpParts.
  m_partStart.clear();
  m_partTotal = 0;
  return m_block.data();
}

int32_t K_Animation_RSC::SetFrameCount(uint32_t frameCount) {
  if (!(m_flags & kOwnedBlock) || uint64_t(frameCount) * tagAni_Frame::kSize > m_size - tagAni_Header::kSize)
    return 0;
  StoreU32(m_block.data() + kFrameCountAt, frameCount);
  return FixUpParts();
}

int32_t K_Animation_RSC::FixUpParts() {
  if (!m_data) return 0;
  std::vector<uint32_t> starts;
  uint64_t parts = 0;
  if (!ComputePartStarts(m_data, m_size, starts, parts)) {
    m_partStart.clear();
    m_partTotal = 0;
    return 0;
  }
  m_partStart = std::move(starts);
  m_partTotal = parts;
  return 1;
}

tagAni_Header K_Animation_RSC::Header() const {
  tagAni_Header h;
  if (!m_data) return h;
  h.originX = LoadI16(m_data + 4);
  h.originY = LoadI16(m_data + 6);
  h.frameCount = LoadU32(m_data + kFrameCountAt);
  h.flags = LoadU32(m_data + kFlagsAt);
  h.left = LoadI16(m_data + kBoundsAt);
  h.top = LoadI16(m_data + kBoundsAt + 2);
  h.right = LoadI16(m_data + kBoundsAt + 4);
  h.bottom = LoadI16(m_data + kBoundsAt + 6);
  const char* name = reinterpret_cast<const char*>(m_data + kNameAt);
  h.name = std::string_view(name, strnlen(name, tagAni_Header::kNameSize));
  return h;
}

bool K_Animation_RSC::GetFrame(int32_t i, tagAni_Frame& f) const {
  if (i < 0 || i >= FrameCount()) return false;
  const uint8_t* p = m_data + tagAni_Header::kSize + size_t(i) * tagAni_Frame::kSize;
  f.duration = LoadU16(p + 2);
  // The count as last checked: a block edited since cannot send a reader past it.
  const uint64_t next = size_t(i) + 1 < m_partStart.size() ? m_partStart[size_t(i) + 1] : m_partTotal;
  f.partCount = uint32_t(next - m_partStart[size_t(i)]);
  f.loopTarget = LoadI16(p + 40);
  f.repeat = LoadU16(p + 42);
  return true;
}

tagAni_Part K_Animation_RSC::GetPart(int32_t frame, int32_t k) const {
  const size_t index = size_t(m_partStart[size_t(frame)]) + size_t(k);
  const uint8_t* p = m_data + tagAni_Header::kSize + m_partStart.size() * tagAni_Frame::kSize + index * tagAni_Part::kSize;
  tagAni_Part part;
  part.sprite = LoadU16(p + 2);
  part.x = LoadI16(p + 4);
  part.y = LoadI16(p + 6);
  part.flags = LoadU32(p + 8);
  part.level = p[12];
  part.colour = uint32_t(p[13]) | uint32_t(p[14]) << 8 | uint32_t(p[15]) << 16;
  part.dx = LoadI16(p + 16);
  part.dy = LoadI16(p + 18);
  part.partFlags = LoadU32(p + 20);
  return part;
}

int32_t K_Animation_RSC::CreateOwnSpriteSet() {
  if (m_flags & kOwnSet) delete m_sprites;
  m_sprites = new K_Sprite;
  m_flags = (m_flags & ~kSharedSet) | kOwnSet;
  return 1;
}

int32_t K_Animation_RSC::ShareSpriteSet(K_Sprite* set) {
  if (m_flags & (kSharedSet | kOwnSet)) return 0;
  m_sprites = set;
  m_flags |= kSharedSet;
  for (auto& child : m_children) child->ShareSpriteSet(set);
  return 1;
}

K_Animation_RSC* K_Animation_RSC::GetSubAnimation(int32_t i) {
  if (i == 0) return this;
  return i > 0 && size_t(i) <= m_children.size() ? m_children[size_t(i) - 1].get() : nullptr;
}

K_Animation_RSC* K_Animation_RSC::FindByName(std::string_view name, int32_t* index) {
  for (int32_t i = 0; i < GetAnimationCount(); ++i) {
    K_Animation_RSC* a = GetSubAnimation(i);
    if (a->Header().name == name) {
      if (index) *index = i;
      return a;
    }
  }
  if (index) *index = -1;
  return nullptr;
}

void K_Animation_RSC::GetFrameRect(int32_t frame, K_Rect& rect, uint32_t callFlags) const {
  tagAni_Frame f;
  if (!GetFrame(frame, f)) {
    rect = {};
    return;
  }
  const tagAni_Header h = Header();
  if (h.flags & tagAni_Header::kUseBounds) {
    rect = {h.left, h.top, h.right, h.bottom};
    return;
  }
  for (uint32_t k = 0; k < f.partCount; ++k) {
    const tagAni_Part part = GetPart(frame, int32_t(k));
    if (!m_sprites || part.sprite >= m_sprites->GetFrameCount()) continue;
    kk::PartPlacement at;
    if (!kk::PlacePart(h, part, *m_sprites->GetFrame(part.sprite), callFlags, 0, 0, 0, at)) continue;
    int64_t l = at.boxLeft, t = at.boxTop, r = at.boxLeft + at.width, b = at.boxTop + at.height;
    if (part.partFlags & tagAni_Part::kMoves) {
      // Drawing moves the part by up to its full offset, the other way under the call's mirror.
      const int64_t dx = (callFlags & K_Dib::kMirrorX) ? -part.dx : part.dx;
      const int64_t dy = (callFlags & K_Dib::kMirrorY) ? -part.dy : part.dy;
      (dx > 0 ? r : l) += dx;
      (dy > 0 ? b : t) += dy;
    }
    l = std::max<int64_t>(l, -kRectLimit), t = std::max<int64_t>(t, -kRectLimit);
    r = std::min<int64_t>(r, kRectLimit), b = std::min<int64_t>(b, kRectLimit);
    if (r <= l || b <= t) continue;
    if (rect.Width() <= 0 || rect.Height() <= 0) {
      rect = {int32_t(l), int32_t(t), int32_t(r), int32_t(b)};
    } else {
      rect.left = std::min(rect.left, int32_t(l)), rect.top = std::min(rect.top, int32_t(t));
      rect.right = std::max(rect.right, int32_t(r)), rect.bottom = std::max(rect.bottom, int32_t(b));
    }
  }
}

namespace kk {

int32_t PartMotion(int32_t delta, int32_t progress, bool mirrored) {
  // 64 bits: a 32-bit product overflows from |delta| > 21474.
  const int32_t v = int32_t((int64_t(delta) * progress + 50000) / 100000);
  return mirrored ? -v : v;
}

bool PlacePart(const tagAni_Header& header, const tagAni_Part& part, const KK_LLESprite& sprite, uint32_t callFlags,
               int32_t progress, int64_t x, int64_t y, PartPlacement& out) {
  int32_t left, top, w, h;
  if (!sprite.GetBounds(&left, &top, &w, &h)) return false;
  const uint32_t flags = part.flags ^ (callFlags & K_Dib::kPlacementMask);
  if (progress != 0 && (part.partFlags & tagAni_Part::kMoves)) {
    x += PartMotion(part.dx, progress, (callFlags & K_Dib::kMirrorX) != 0);
    y += PartMotion(part.dy, progress, (callFlags & K_Dib::kMirrorY) != 0);
  }
  // The part's anchor offset: drawing with the anchor moved by (ox, oy) is drawing with
  // the sprite's own anchor at a shifted point, the shift reversed where the blit mirrors
  // about the anchor and absent where it ignores the anchor.
  const int64_t ox = int64_t(header.originX) - part.x, oy = int64_t(header.originY) - part.y;
  auto axis = [&](int64_t p, int64_t offset, int32_t lead, int32_t size, uint32_t mirrorBit, int64_t& draw,
                  int64_t& box) {
    if (flags & K_Dib::kNoAnchor) {
      draw = box = p;
    } else if (flags & K_Dib::kAnchorNoMirror) {
      draw = p - offset;
      box = draw + lead;
    } else if (flags & mirrorBit) {
      draw = p + offset;
      box = draw - (size + lead);
    } else {
      draw = p - offset;
      box = draw + lead;
    }
  };
  out.flags = flags;
  out.width = w, out.height = h, out.boundsLeft = left, out.boundsTop = top;
  axis(x, ox, left, w, K_Dib::kMirrorX, out.drawX, out.boxLeft);
  axis(y, oy, top, h, K_Dib::kMirrorY, out.drawY, out.boxTop);
  return true;
}

}  // namespace kk
