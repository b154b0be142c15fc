// Region handles: creation from rectangles and RGNDATA, combination, hit tests,
// offsets and filling.
#include <cstring>

#include "gdi/Blit.h"
#include "gdi/DeviceContext.h"
#include "gdi/WindowDC.h"
#include "plat/error.h"

using namespace plat::detail::gdi;

namespace {

constexpr DWORD kRgnHeaderBytes = sizeof(RGNDATAHEADER);
// More rectangles than this in one RGNDATA are refused before anything is read.
constexpr DWORD kMaxRgnRects = 1u << 22;

HRGN Publish(Region region) {
  auto r = std::make_shared<RegionObject>();
  r->region = std::move(region);
  return static_cast<HRGN>(InsertObject(std::move(r)));
}

std::shared_ptr<RegionObject> Find(HRGN h) { return FindAs<RegionObject>(h, GdiType::Region); }

}  // namespace

namespace plat::detail::gdi {

bool CopyRegion(HRGN region, Region& out) {
  std::shared_ptr<RegionObject> r = Find(region);
  if (!r) return false;
  out = r->region;
  return true;
}

}  // namespace plat::detail::gdi

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  return Publish(Region(RECT{left, top, right, bottom}));
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
  if (!rect) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

HRGN ExtCreateRegion(const XFORM* transform, DWORD size, const RGNDATA* data) {
  if (transform || !data || size < kRgnHeaderBytes || data->rdh.dwSize < kRgnHeaderBytes ||
      data->rdh.dwSize > size || data->rdh.iType != RDH_RECTANGLES || data->rdh.nCount > kMaxRgnRects ||
      (size - data->rdh.dwSize) / sizeof(RECT) < data->rdh.nCount) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::vector<RECT> rects(data->rdh.nCount);
  if (!rects.empty())  // an empty region's list has no storage to copy from
    std::memcpy(rects.data(), reinterpret_cast<const uint8_t*>(data) + data->rdh.dwSize, rects.size() * sizeof(RECT));
  return Publish(Region::FromRects(rects.data(), rects.size()));
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode) {
  std::shared_ptr<RegionObject> d = Find(dest), a = Find(src1);
  std::shared_ptr<RegionObject> b = mode == RGN_COPY ? nullptr : Find(src2);
  if (!d || !a || (mode != RGN_COPY && !b)) return ERROR;
  switch (mode) {
    case RGN_COPY: d->region = a->region; break;
    case RGN_AND: d->region = Region::Combine(a->region, b->region, Region::Op::And); break;
    case RGN_OR:
      // A region grown block by block (a shape cut from a bitmap) appends: a full
      // merge would make the whole build quadratic in its rectangles.
      if (d != a) {
        Region grown = a->region;
        if (grown.AppendOr(b->region)) {
          d->region = std::move(grown);
          break;
        }
      } else if (d->region.AppendOr(b->region)) {
        break;
      }
      d->region = Region::Combine(a->region, b->region, Region::Op::Or);
      break;
    case RGN_XOR: d->region = Region::Combine(a->region, b->region, Region::Op::Xor); break;
    case RGN_DIFF: d->region = Region::Combine(a->region, b->region, Region::Op::Diff); break;
    default: return ERROR;
  }
  return d->region.Complexity();
}

BOOL PtInRegion(HRGN region, int x, int y) {
  std::shared_ptr<RegionObject> r = Find(region);
  return r && r->region.Contains(x, y) ? TRUE : FALSE;
}

BOOL RectInRegion(HRGN region, const RECT* rect) {
  std::shared_ptr<RegionObject> r = Find(region);
  return r && rect && r->region.Intersects(*rect) ? TRUE : FALSE;
}

int GetRgnBox(HRGN region, LPRECT rect) {
  std::shared_ptr<RegionObject> r = Find(region);
  if (!r || !rect) return ERROR;
  *rect = r->region.Box();
  return r->region.Complexity();
}

int OffsetRgn(HRGN region, int x, int y) {
  std::shared_ptr<RegionObject> r = Find(region);
  if (!r) return ERROR;
  r->region.Offset(x, y);
  return r->region.Complexity();
}

BOOL EqualRgn(HRGN a, HRGN b) {
  std::shared_ptr<RegionObject> ra = Find(a), rb = Find(b);
  return ra && rb && ra->region == rb->region ? TRUE : FALSE;
}

DWORD GetRegionData(HRGN region, DWORD size, RGNDATA* data) {
  std::shared_ptr<RegionObject> r = Find(region);
  if (!r) return 0;
  const std::vector<RECT> rects = r->region.Rects();
  const DWORD needed = static_cast<DWORD>(kRgnHeaderBytes + rects.size() * sizeof(RECT));
  if (!data || size < needed) return needed;
  data->rdh.dwSize = kRgnHeaderBytes;
  data->rdh.iType = RDH_RECTANGLES;
  data->rdh.nCount = static_cast<DWORD>(rects.size());
  data->rdh.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
  data->rdh.rcBound = r->region.Box();
  if (!rects.empty())
    std::memcpy(reinterpret_cast<uint8_t*>(data) + kRgnHeaderBytes, rects.data(), rects.size() * sizeof(RECT));
  return needed;
}

BOOL FillRgn(HDC hdc, HRGN region, HBRUSH brush) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  std::shared_ptr<RegionObject> r = Find(region);
  std::shared_ptr<BrushObject> b = FindAs<BrushObject>(brush, GdiType::Brush);
  if (!dc || !r || !b) return FALSE;
  if (b->Hollow()) return TRUE;
  for (const RECT& rect : r->region.Rects()) FillSolid(*dc, rect, b->brush.lbColor);
  return TRUE;
}
