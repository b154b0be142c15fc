// Loading, tiling and button frames of the message box's bitmaps.
#include "module/CMsgBoxSkin.h"

#include <algorithm>

#include "plat/crt.h"

void MsgBoxBitmapDC::Release() {
  if (dc) {
    if (previous) SelectObject(dc, previous);
    DeleteDC(dc);
  }
  // Deleting the DC alone would leave the bitmap behind: it is a separate object.
  if (bitmap) DeleteObject(bitmap);
  *this = MsgBoxBitmapDC{};
}

int32_t LoadBitmapDC(const std::string& fileName, HDC reference, RECT* rect, MsgBoxBitmapDC* out) {
  out->Release();
  auto* bitmap = static_cast<HBITMAP>(
      LoadImageA(nullptr, fileName.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  if (!bitmap) return 0;
  BITMAP info{};
  HDC dc = GetObjectA(bitmap, sizeof(info), &info) ? CreateCompatibleDC(reference) : nullptr;
  if (!dc) {
    DeleteObject(bitmap);
    return 0;
  }
  out->dc = dc;
  out->bitmap = bitmap;
  out->previous = SelectObject(dc, bitmap);
  out->rect = GRect(0, 0, info.bmWidth, info.bmHeight);
  if (rect) out->rect.CopyTo(rect);
  return 1;
}

bool CMsgBoxSkin::LoadFrame(const std::string& folder, HDC reference) {
  for (int32_t i = 0; i < kPieceCount; ++i) {
    char name[16];
    wsprintfA(name, "msg%d.bmp", i);
    if (!LoadBitmapDC(folder + name, reference, nullptr, &pieces_[i])) {
      for (MsgBoxBitmapDC& p : pieces_) p.Release();
      return false;
    }
  }
  return true;
}

bool CMsgBoxSkin::LoadButton(int32_t button, const std::string& folder, const char* fileName, HDC reference) {
  return LoadBitmapDC(folder + fileName, reference, nullptr, &buttons_[button]) != 0;
}

void CMsgBoxSkin::Release() {
  for (MsgBoxBitmapDC& p : pieces_) p.Release();
  for (MsgBoxBitmapDC& b : buttons_) b.Release();
}

GSize CMsgBoxSkin::ButtonFrameSize(int32_t button) const {
  const GRect& r = buttons_[button].rect;
  return GSize(r.Width() / kStripFrames, r.Height());
}

void CMsgBoxSkin::Tile(HDC dc, Piece piece, const GRect& area, const GRect& paint) const {
  const MsgBoxBitmapDC& p = pieces_[piece];
  const int32_t w = p.rect.Width(), h = p.rect.Height();
  if (w <= 0 || h <= 0) return;
  for (int32_t y = area.top; y < area.bottom; y += h) {
    for (int32_t x = area.left; x < area.right; x += w) {
      GRect hit;
      if (!GRectIntersection(hit, GRect(x, y, x + w, y + h), paint).HasArea()) continue;
      BitBlt(dc, hit.left, hit.top, hit.Width(), hit.Height(), p.dc, hit.left - x, hit.top - y, SRCCOPY);
    }
  }
}

void CMsgBoxSkin::PaintFrame(HDC dc, const GSize& client, const GRect& paint) const {
  if (!HasFrame()) return;
  const int32_t W = client.cx, H = client.cy;
  auto width = [&](Piece p) { return pieces_[p].rect.Width(); };
  auto height = [&](Piece p) { return pieces_[p].rect.Height(); };
  // A single tile of a corner: the area is the piece itself.
  auto once = [&](Piece p, int32_t x, int32_t y) { Tile(dc, p, GRect(x, y, x + width(p), y + height(p)), paint); };
  Tile(dc, kCentre, GRect(0, 0, W, H), paint);
  Tile(dc, kTop, GRect(0, 0, W, height(kTop)), paint);
  Tile(dc, kBottom, GRect(0, H - height(kBottom), W, H), paint);
  Tile(dc, kLeft, GRect(0, 0, width(kLeft), H), paint);
  Tile(dc, kRight, GRect(W - width(kRight), 0, W, H), paint);
  once(kTopLeft, 0, 0);
  once(kTopRight, W - width(kTopRight), 0);
  once(kBottomLeft, 0, H - height(kBottomLeft));
  once(kBottomRight, W - width(kBottomRight), H - height(kBottomRight));
}

CMsgBoxSkin::Frame CMsgBoxSkin::FrameForState(UINT itemState) {
  Frame frame = kFrameNormal;
  if (itemState & (ODS_HOTLIGHT | ODS_DEFAULT | ODS_FOCUS)) frame = kFrameFocused;
  if ((itemState & ODS_SELECTED) && (itemState & ODS_FOCUS))
    frame = kFramePressed;
  else if (itemState & ODS_DISABLED)
    frame = kFrameDisabled;
  else if (!(itemState & ODS_FOCUS))
    frame = kFrameNormal;
  return frame;
}

void CMsgBoxSkin::DrawButton(int32_t button, HDC dc, const RECT& item, UINT itemState) const {
  if (!HasButton(button)) return;
  const GSize frame = ButtonFrameSize(button);
  BitBlt(dc, item.left, item.top, frame.cx, frame.cy, buttons_[button].dc, FrameForState(itemState) * frame.cx, 0,
         SRCCOPY);
}
