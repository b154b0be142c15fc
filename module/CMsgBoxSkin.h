// The message box's bitmaps: nine frame pieces tiled over the box and the button
// strips of four frames (normal, focused, pressed, disabled), each held selected in a
// memory DC for the box's lifetime.
#pragma once

#include <array>
#include <string>

#include "plat/gdi.h"
#include "plat/user.h"
#include "base/GGeometry.h"

// A bitmap selected into a memory DC. The DC and the bitmap are released together.
struct MsgBoxBitmapDC {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ previous = nullptr;
  GRect rect;  // (0, 0, width, height)

  bool Loaded() const { return dc != nullptr; }
  void Release();
};

// Loads a bitmap file (through the layer's path mapping) as a DIB section into a memory
// DC compatible with `reference`; gives its rectangle. 1, or 0 with nothing kept.
int32_t LoadBitmapDC(const std::string& fileName, HDC reference, RECT* rect, MsgBoxBitmapDC* out);

class CMsgBoxSkin {
 public:
  static constexpr int32_t kPieceCount = 9;
  static constexpr int32_t kButtonCount = 2;
  static constexpr int32_t kStripFrames = 4;
  enum Piece { kTopLeft, kTop, kTopRight, kLeft, kCentre, kRight, kBottomLeft, kBottom, kBottomRight };
  enum Frame { kFrameNormal, kFrameFocused, kFramePressed, kFrameDisabled };

  CMsgBoxSkin() = default;
  ~CMsgBoxSkin() { Release(); }
  CMsgBoxSkin(const CMsgBoxSkin&) = delete;
  CMsgBoxSkin& operator=(const CMsgBoxSkin&) = delete;

  // "msg0.bmp".."msg8.bmp" from `folder` (ending with a backslash): all nine or none.
  bool LoadFrame(const std::string& folder, HDC reference);
  // Strip `fileName` from `folder` for button 0 (OK / Yes) or 1 (No).
  bool LoadButton(int32_t button, const std::string& folder, const char* fileName, HDC reference);
  void Release();

  bool HasFrame() const { return pieces_[kCentre].Loaded(); }
  bool HasButton(int32_t button) const { return buttons_[button].Loaded(); }
  // One frame of a button's strip.
  GSize ButtonFrameSize(int32_t button) const;

  // Centre over the client area, top and bottom along their edges, the sides down
  // theirs, the corners once: later layers cover earlier ones. Only tiles that meet
  // `paint` are copied.
  void PaintFrame(HDC dc, const GSize& client, const GRect& paint) const;
  // Copies the strip frame for `itemState` (ODS_ flags) into the button's DC.
  void DrawButton(int32_t button, HDC dc, const RECT& item, UINT itemState) const;
  static Frame FrameForState(UINT itemState);

 private:
  void Tile(HDC dc, Piece piece, const GRect& area, const GRect& paint) const;

  std::array<MsgBoxBitmapDC, kPieceCount> pieces_;
  std::array<MsgBoxBitmapDC, kButtonCount> buttons_;
};
