// The sprite widget: one run-length sprite of the sprite-resource manager, placed by its
// own anchor at the widget's anchor point and drawn through a render object with an
// effect level, placement flags, an effect colour and an optional clip sub-rectangle.
#pragma once

#include <cstdint>

#include "widgets/GVWnd.h"

class KK_LLESprite;

class GVQLSWnd : public GVWnd {
 public:
  GVQLSWnd() = default;
  ~GVQLSWnd() override;

  // The handle in the image field belongs to the sprite manager.
  void ReleaseImage() override;
  ComPtr<IDirectDrawSurface4> GetSurface() override;
  // Moves the anchor; the rectangle follows the sprite's own anchor and size.
  void SetPos(GPoint pt) override;
  void SetPos(int32_t x, int32_t y) { SetPos(GPoint(x, y)); }
  // Does nothing: the rectangle follows only the anchor and the sprite, so moves made
  // through the base (Offset, SetTopLeft) leave the widget where it is.
  void SetRect(GRect rect) override;
  BOOL HitTest(int32_t x, int32_t y, uint32_t flags) override;
  BOOL Draw(IDirectDrawSurface4* target, const GRect& clip) override;

  // 1, or 0 when the file gives no sprite (the widget then holds none).
  virtual int32_t Load(const char* fileName);
  // The sprite of `frame` (-1: the current one); a single sprite ignores the frame.
  virtual const KK_LLESprite* GetSprite(int32_t frame);
  // Loads the new file first; on failure 0 and the old sprite stays.
  virtual int32_t ChangeSprite(const char* fileName);

  GSize GetFrameSize(int32_t frame);

  // Effect fields, set by owners directly. The level goes to the effect as its level;
  // the placement flags carry the effect mode in their low 16 bits and the mirror and
  // anchor bits above.
  int32_t GetEffectLevel() const { return level_; }
  void SetEffectLevel(int32_t level) { level_ = level; }
  uint32_t GetPlacementFlags() const { return flags_; }
  void SetPlacementFlags(uint32_t flags) { flags_ = flags; }
  COLORREF GetEffectColor() const { return colour_; }
  void SetEffectColor(COLORREF colour) { colour_ = colour; }
  // Relative to the anchor; with right > left it replaces the clip while drawing.
  GRect GetSubRect() const { return sub_; }
  void SetSubRect(const GRect& sub) { sub_ = sub; }

 protected:
  // Rectangle from the anchor and the current sprite, through the base SetRect; nothing
  // without a sprite.
  void UpdateRect();

 private:
  int32_t level_ = 0;
  uint32_t flags_ = 0;
  COLORREF colour_ = 0;
  GRect sub_;
};
