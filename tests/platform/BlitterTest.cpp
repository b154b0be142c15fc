// A failing case of the seeded sweep prints its number; BLIT_CASE=<n> replays it alone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "ddraw/Blitter.h"
#include "support/SimdTargets.h"

namespace {

using plat::detail::ddraw::Blit;
using plat::detail::ddraw::BlitOp;
using plat::detail::ddraw::ColourKey;
using plat::detail::ddraw::Fill;
using plat::detail::ddraw::PixelView;
using plat::detail::ddraw::ReferenceBlit;
using plat::detail::ddraw::ReferenceFill;

constexpr int kCases = 3000;

struct Buffer { std::vector<uint8_t> bytes; PixelView view; };

Buffer MakeBuffer(std::mt19937& rng, int w, int h, int bytes, int pitch = 0) {
  Buffer b;
  // Rows start on 4-byte boundaries, as surface memory guarantees.
  if (pitch == 0) pitch = (w * bytes + 3) / 4 * 4 + 4 * static_cast<int>(rng() % 3);
  b.bytes.resize(static_cast<size_t>(pitch) * static_cast<size_t>(h));
  // Few distinct values so that keys hit often.
  for (auto& v : b.bytes) v = static_cast<uint8_t>(rng() % 3);
  b.view = PixelView{b.bytes.data(), w, h, pitch, bytes};
  return b;
}

RECT RandomRect(std::mt19937& rng, int w, int h) {
  const int l = static_cast<int>(rng() % static_cast<uint32_t>(w)), t = static_cast<int>(rng() % static_cast<uint32_t>(h));
  const int r = l + 1 + static_cast<int>(rng() % static_cast<uint32_t>(w - l));
  const int b = t + 1 + static_cast<int>(rng() % static_cast<uint32_t>(h - t));
  return RECT{l, t, r, b};
}

// The pixel bytes without the row padding, which carries nothing.
std::vector<uint8_t> Pixels(const PixelView& v) {
  std::vector<uint8_t> out;
  for (int y = 0; y < v.height; ++y) out.insert(out.end(), v.Row(y), v.Row(y) + v.width * v.bytes);
  return out;
}

RECT Shift(RECT r, int dx, int dy) { return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

// Builds case `n` and runs it through both blitters, which must write the same bytes.
void RunCase(int n) {
  SCOPED_TRACE("BLIT_CASE=" + std::to_string(n));
  std::mt19937 rng(static_cast<uint32_t>(n));
  const int bytes = 1 + static_cast<int>(rng() % 4);
  const int w = 1 + static_cast<int>(rng() % 40), h = 1 + static_cast<int>(rng() % 12);
  Buffer dstA = MakeBuffer(rng, w, h, bytes);
  const bool sameSurface = rng() % 4 == 0;
  Buffer src;
  if (!sameSurface) {
    // Sometimes the source has the target's shape, which the whole-block copy takes.
    const bool twin = rng() % 4 == 0;
    src = twin ? MakeBuffer(rng, w, h, bytes, dstA.view.pitch)
               : MakeBuffer(rng, 1 + static_cast<int>(rng() % 40), 1 + static_cast<int>(rng() % 12), bytes);
  }
  const PixelView srcView = sameSurface ? dstA.view : src.view;
  BlitOp op;
  op.src = srcView;
  op.srcRect = RandomRect(rng, srcView.width, srcView.height);
  if (rng() % 2) {
    // One to one, at a random place.
    const int sw = op.srcRect.right - op.srcRect.left, sh = op.srcRect.bottom - op.srcRect.top;
    if (sw > w || sh > h) op.srcRect = RECT{op.srcRect.left, op.srcRect.top, op.srcRect.left + std::min(sw, w), op.srcRect.top + std::min(sh, h)};
    const int cw = op.srcRect.right - op.srcRect.left, ch = op.srcRect.bottom - op.srcRect.top;
    const int x = static_cast<int>(rng() % static_cast<uint32_t>(w - cw + 1)), y = static_cast<int>(rng() % static_cast<uint32_t>(h - ch + 1));
    op.dstRect = RECT{x, y, x + cw, y + ch};
  } else {
    // Stretched, possibly reaching outside the target, clipped to it.
    op.dstRect = Shift(RandomRect(rng, w * 2, h * 2), -w / 2, -h / 2);
  }
  op.clip = RECT{std::max<LONG>(op.dstRect.left, 0), std::max<LONG>(op.dstRect.top, 0), std::min<LONG>(op.dstRect.right, w),
                 std::min<LONG>(op.dstRect.bottom, h)};
  if (op.clip.right <= op.clip.left || op.clip.bottom <= op.clip.top) return;
  if (rng() % 2) {
    const uint32_t masks[] = {0xFF, 0x7FFF, 0xFFFFFF, 0xFFFFFF};
    const uint32_t v = rng() % 3;
    uint32_t low = 0;
    for (int i = 0; i < bytes; ++i) low |= v << (8 * i);
    op.key = ColourKey{true, low, low + (rng() % 3 == 0 ? 0x0101u : 0u), masks[bytes - 1]};
  }
  Buffer dstB = dstA;
  dstB.view.bits = dstB.bytes.data();
  BlitOp ref = op;
  ref.dst = dstB.view;
  if (sameSurface) ref.src = dstB.view;
  op.dst = dstA.view;
  Blit(op);
  ReferenceBlit(ref);
  ASSERT_EQ(Pixels(dstA.view), Pixels(dstB.view)) << "bytes " << bytes << " dst " << op.dstRect.left << "," << op.dstRect.top << ","
                                    << op.dstRect.right << "," << op.dstRect.bottom << " key " << op.key.active;
  const RECT fillRect = RandomRect(rng, w, h);
  const uint32_t value = rng();
  Fill(dstA.view, fillRect, value);
  ReferenceFill(dstB.view, fillRect, value);
  ASSERT_EQ(Pixels(dstA.view), Pixels(dstB.view)) << "fill";
}

TEST(BlitterTest, FastPathsMatchTheReferenceOverASeededSweepOnEverySimdTarget) {
  for (int64_t target : testing_support::SimdTargets()) {
    SCOPED_TRACE(testing_support::SimdTargetName(target));
    testing_support::OnlySimdTarget only(target);
    if (const char* one = std::getenv("BLIT_CASE")) {
      RunCase(std::atoi(one));
      continue;
    }
    for (int n = 0; n < kCases && !HasFatalFailure(); ++n) RunCase(n);
  }
}

}  // namespace
