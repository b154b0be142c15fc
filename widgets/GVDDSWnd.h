// The surface widget: a resource-manager picture (bitmap, TGA, layered frames or a
// blank surface) drawn into its rectangle plain, stretched or tiled, opaque or blended
// by a level or the picture's alpha plane, and hit-tested to the pixel.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plat/com.h"
#include "plat/types.h"
#include "base/GGeometry.h"
#include "widgets/GVWnd.h"

class XBaseEntry;

// 0 "BMP", 1 "TGA", 2 "PSD" by the text after the last '.', ignoring case; -1 for
// anything else (no dot, another extension, an empty path).
int32_t GetImageFileType(const std::string& path);

class GVDDSWnd : public GVWnd {
 public:
  enum DrawMode : int32_t { kDrawPlain = 0, kDrawStretch = 1, kDrawTile = 2 };
  static constexpr uint32_t kMaxBlendLevel = 255;
  static constexpr int32_t kNoFrame = -1;

  GVDDSWnd() = default;
  ~GVDDSWnd() override = default;

  // ---- Overrides of the widget base ----
  void ReleaseImage() override;
  // A counted reference to the shown surface (the current frame's for a layered
  // entry); null without an image.
  ComPtr<IDirectDrawSurface4> GetSurface() override;
  // Stores the anchor; with a frame selected the rectangle becomes the frame's
  // (offset by the frame's own offset in frame-offset mode), else it moves.
  void SetPos(GPoint pt) override;
  // The base test, then the picture's pixel under the point: a key pixel misses.
  BOOL HitTest(int32_t x, int32_t y, uint32_t flags) override;
  // 1 also when a blit fails (its HRESULT goes to the last result); 0 only when the
  // plain mode's base fill fails.
  BOOL Draw(IDirectDrawSurface4* target, const GRect& clip) override;

  // ---- Added virtual operation ----
  // The entry behind the image handle; null without an image.
  virtual XBaseEntry* GetEntry();

  // ---- Loading: the new picture is loaded first, then the held one released ----
  // A BMP (or, by extension, a TGA or layered file). The rectangle takes the
  // picture's size; `colorKey` (device pixel, -1 none) becomes the widget's key.
  BOOL LoadImage(const std::string& path, COLORREF colorKey = kNoColorKey);
  // The alpha-plane flag follows the entry's; no colour key.
  BOOL LoadTga(const std::string& path);
  // Frame 0 selected, frame-offset mode on; the manager's key when `wantKey`.
  BOOL LoadPsd(const std::string& path, int32_t unused, BOOL wantKey);
  // A blank surface of `size` to draw into.
  BOOL CreateBlank(SIZE size, COLORREF colorKey);

  // ---- Frames of a layered entry ----
  // A frame outside 0..GetFrameCount() - 1 is ignored; single pictures ignore it all.
  void SelectFrame(int32_t frame);
  int32_t GetFrameCount();
  int32_t GetFrameIndex() const { return frame_; }
  // kNoFrame = the current frame.
  GPoint GetFrameOffset(int32_t frame = kNoFrame);
  GSize GetFrameSize(int32_t frame = kNoFrame);
  void SetFrameOffsetMode(BOOL on);
  BOOL GetFrameOffsetMode() const { return frameOffsetMode_; }

  // ---- The drawn part of the picture ----
  GRect GetSourceRect() const { return source_; }
  // Marks dirty and replaces the source rectangle.
  void SetSourceRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
  void SetSourceRect(const GRect& r) { SetSourceRect(r.left, r.top, r.right, r.bottom); }
  // Cell n of a picture of equal cells stacked vertically, the widget's size each.
  void SetStripFrame(int32_t n);

  // ---- Blending ----
  // Percent 0..100 (clamped) opaque: 100 -> level 0, 0 -> 255.
  void SetOpacity(int32_t percent);
  void SetTransparency(int32_t percent) { SetOpacity(percent); }
  void SetBlendLevel(uint32_t level);
  uint32_t GetBlendLevel() const { return blendLevel_; }
  void SetAlphaMode(BOOL on) { alphaMode_ = on; }
  BOOL GetAlphaMode() const { return alphaMode_; }

  // ---- Draw mode ----
  void SetStretch(BOOL on = 1) { drawMode_ = on ? kDrawStretch : kDrawPlain; }
  void SetTile(BOOL on = 1) { drawMode_ = on ? kDrawTile : kDrawPlain; }
  BOOL IsStretch() const { return drawMode_ == kDrawStretch; }
  BOOL IsTile() const { return drawMode_ == kDrawTile; }
  void SetDrawMode(int32_t mode) { drawMode_ = mode; }
  int32_t GetDrawMode() const { return drawMode_; }

 protected:
  // Takes `handle` (a fresh manager handle, or -1) in place of the held one, which is
  // released only after the new one was loaded.
  void ReplaceImage(int32_t handle);
  // Source and widget rectangle from the loaded surface's size; 0 with E_FAIL when the
  // entry has no surface.
  BOOL AdoptSurfaceRect();
  // The surface and alpha plane to draw (the current frame's for a layered entry).
  ComPtr<IDirectDrawSurface4> DrawnSurface(const std::vector<uint8_t>** alpha);

  GRect source_;
  int32_t drawMode_ = kDrawPlain;
  uint32_t blendLevel_ = 0;
  BOOL alphaMode_ = 0;
  int32_t frame_ = kNoFrame;
  BOOL frameOffsetMode_ = 0;

 private:
  void DrawStretch(const ComPtr<IDirectDrawSurface4>& target, const ComPtr<IDirectDrawSurface4>& picture,
                   const GRect& area, BOOL keyed, uint32_t key);
  void DrawTiles(const ComPtr<IDirectDrawSurface4>& target, const ComPtr<IDirectDrawSurface4>& picture,
                 const GRect& area, BOOL keyed, uint32_t key);
  void DrawPlain(const ComPtr<IDirectDrawSurface4>& target, const ComPtr<IDirectDrawSurface4>& picture,
                 const GRect& area, BOOL keyed, uint32_t key, const std::vector<uint8_t>* alpha);
};
