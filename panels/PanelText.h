// The look of a panel's text child, so a panel lists its texts as rows of a table and
// makes each the same way: empty, in its colour and font, with its alignment.
#pragma once

#include <cstdint>

#include "panels/IPanelScene.h"
#include "plat/gdi_text.h"
#include "widgets/GVTextWnd.h"

struct PanelTextLook {
  GSize size;
  COLORREF colour;
  int32_t fontHeight;
  int32_t fontWeight;
  UINT format;  // DT_LEFT, DT_CENTER or DT_RIGHT
};

// An empty text of the look at `pos`; null when the factory failed (it recorded why).
inline GVTextWnd* CreatePanelText(IPanelScene& scene, GPoint pos, const PanelTextLook& look) {
  GVTextWnd* text = scene.CreateTextWnd(pos, look.size, "", look.colour, look.fontHeight, look.fontWeight);
  if (text) text->SetTextFormat(look.format);
  return text;
}
