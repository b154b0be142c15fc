// The message box's template: a captionless modal pop-up in dialog units of the
// dotum face, with two owner-drawn push buttons the box later sizes to its bitmaps.
#include "module/MsgBoxTemplate.h"

namespace msgbox_template {
namespace {

constexpr int32_t kFontPoints = 9;
constexpr int16_t kWidth = 187;
constexpr int16_t kHeight = 263;
constexpr int16_t kButtonY = 242;
constexpr int16_t kOkButtonX = 38;
constexpr int16_t kCancelButtonX = 102;
constexpr int16_t kButtonWidth = 50;
constexpr int16_t kButtonHeight = 14;
constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW;

plat::DialogItemTemplate Button(const char* text, int32_t id, int16_t x) {
  plat::DialogItemTemplate item;
  item.className = "Button";
  item.text = text;
  item.id = id;
  item.style = kButtonStyle;
  item.x = x;
  item.y = kButtonY;
  item.cx = kButtonWidth;
  item.cy = kButtonHeight;
  return item;
}

}  // namespace

bool Register(HMODULE module) {
  plat::DialogTemplate t;
  t.style = WS_POPUP | DS_MODALFRAME | DS_SETFONT;
  t.fontFace = "돋움";
  t.fontSize = kFontPoints;
  t.cx = kWidth;
  t.cy = kHeight;
  t.items = {Button("OK", kOkButtonId, kOkButtonX), Button("Cancel", kNoButtonId, kCancelButtonX)};
  return plat::RegisterDialogTemplate(module, MAKEINTRESOURCEA(kTemplateId), std::move(t));
}

}  // namespace msgbox_template
