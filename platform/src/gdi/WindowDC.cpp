// Window and screen DCs for the windows layer, which owns windows, their backing
// stores and regions and calls in here from GetDC, BeginPaint and SetWindowRgn.
#include "gdi/WindowDC.h"

#include <cstring>

#include "gdi/DeviceContext.h"
#include "gdi/TextRender.h"
#include "plat/gdi_text.h"

namespace plat::detail::gdi {
namespace {

constexpr int kPointsPerInch = 72;
constexpr int kDotsPerInch = 96;
constexpr char kLatinLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

bool IsWindowKind(const DeviceContext& dc) {
  return dc.kind == DeviceContext::Kind::Window || dc.kind == DeviceContext::Kind::Screen;
}

}  // namespace

HDC OpenWindowDC(HWND hwnd, const PixelBuffer* backing, const Region& clip) {
  auto dc = NewDC(backing ? DeviceContext::Kind::Window : DeviceContext::Kind::Screen);
  dc->hwnd = hwnd;
  if (backing) dc->surface = *backing;
  dc->systemClip = clip;
  return InsertDC(std::move(dc));
}

bool CloseWindowDC(HDC hdc) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc || !IsWindowKind(*dc)) return false;
  return Handles().Remove(FromHandle(hdc), HandleKind::DeviceContext) != nullptr;
}

HWND WindowOfDC(HDC hdc) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  return dc && IsWindowKind(*dc) ? dc->hwnd : nullptr;
}

std::optional<RECT> ClipBoxOfDC(HDC hdc) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc || !IsWindowKind(*dc)) return std::nullopt;
  return dc->Clip().Box();
}

std::optional<COLORREF> SolidBrushColour(HBRUSH brush) {
  std::shared_ptr<BrushObject> b = FindAs<BrushObject>(brush, GdiType::Brush);
  if (!b || b->Hollow()) return std::nullopt;
  return b->brush.lbColor;
}

void DialogBaseUnits(const std::string& face, int32_t points, int* x, int* y) {
  FontObject font;
  font.font.lfHeight = -((points * kDotsPerInch + kPointsPerInch / 2) / kPointsPerInch);
  font.font.lfWeight = FW_NORMAL;
  font.font.lfCharSet = DEFAULT_CHARSET;
  std::strncpy(font.font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  const std::shared_ptr<FontInstance> f = Realise(font);
  const std::vector<TextChar> letters = DecodeCp949(kLatinLetters, sizeof(kLatinLetters) - 1);
  const int32_t width = RunWidth(*f, letters.data(), letters.size(), RunStyle{}, 0);
  const int32_t count = static_cast<int32_t>(letters.size());
  *x = (width / (count / 2) + 1) / 2;
  *y = f->Height();
}

}  // namespace plat::detail::gdi
