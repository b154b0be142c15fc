// Fonts and the text functions other than DrawTextA.
#include <algorithm>
#include <cstring>

#include "core/Faults.h"
#include "gdi/FontFaces.h"
#include "gdi/TextRender.h"
#include "plat/error.h"

using namespace plat::detail::gdi;

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                  DWORD quality, DWORD pitchAndFamily, LPCSTR face) {
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = static_cast<BYTE>(italic);
  lf.lfUnderline = static_cast<BYTE>(underline);
  lf.lfStrikeOut = static_cast<BYTE>(strikeOut);
  lf.lfCharSet = static_cast<BYTE>(charSet);
  lf.lfOutPrecision = static_cast<BYTE>(outPrecision);
  lf.lfClipPrecision = static_cast<BYTE>(clipPrecision);
  lf.lfQuality = static_cast<BYTE>(quality);
  lf.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
  if (face) std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return CreateFontIndirectA(&lf);
}

HFONT CreateFontIndirectA(const LOGFONTA* font) {
  if (!font || plat::detail::ShouldFail("CreateFontIndirectA")) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto f = std::make_shared<FontObject>();
  f->font = *font;
  return static_cast<HFONT>(InsertObject(std::move(f)));
}

BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT count, const INT* dx) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  const std::shared_ptr<FontInstance> font = CurrentFont(*dc);
  if (!font) return FALSE;
  if ((options & ETO_OPAQUE) && rect) FillClipped(*dc, *rect, nullptr, dc->state.bk);
  const std::vector<TextChar> chars = DecodeCp949(text, text ? count : 0);
  RunStyle style;
  style.color = dc->state.text;
  style.clip = (options & ETO_CLIPPED) ? rect : nullptr;
  style.dx = dx;
  if (dc->state.bkMode == OPAQUE && !chars.empty()) {
    const int32_t width = RunWidth(*font, chars.data(), chars.size(), style, x);
    const int64_t right = static_cast<int64_t>(x) + width, bottom = static_cast<int64_t>(y) + font->Height();
    FillClipped(*dc, RECT{x, y, static_cast<int32_t>(std::min<int64_t>(right, INT32_MAX)),
                          static_cast<int32_t>(std::min<int64_t>(bottom, INT32_MAX))},
                style.clip, dc->state.bk);
  }
  DrawRun(*dc, *font, x, y, chars.data(), chars.size(), style);
  return TRUE;
}

BOOL TextOutA(HDC hdc, int x, int y, LPCSTR text, int count) {
  if (count < 0) return FALSE;
  return ExtTextOutA(hdc, x, y, 0, nullptr, text, static_cast<UINT>(count), nullptr);
}

BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR text, int count, LPSIZE size) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc || !size || count < 0 || (!text && count > 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::shared_ptr<FontInstance> font = CurrentFont(*dc);
  if (!font) return FALSE;
  const std::vector<TextChar> chars = DecodeCp949(text, static_cast<size_t>(count));
  size->cx = RunWidth(*font, chars.data(), chars.size(), RunStyle{}, 0);
  size->cy = font->Height();
  return TRUE;
}

BOOL GetTextMetricsA(HDC hdc, LPTEXTMETRICA metrics) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc || !metrics) return FALSE;
  const std::shared_ptr<FontInstance> font = CurrentFont(*dc);
  if (!font) return FALSE;
  *metrics = font->metrics;
  return TRUE;
}

int GetTextFaceA(HDC hdc, int count, LPSTR face) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  if (!dc || !dc->state.font) return 0;
  const char* name = dc->state.font->font.lfFaceName;
  const size_t len = strnlen(name, LF_FACESIZE);
  if (!face) return static_cast<int>(len + 1);
  if (count <= 0) return 0;
  const size_t n = std::min(len, static_cast<size_t>(count - 1));
  std::memcpy(face, name, n);
  face[n] = '\0';
  return static_cast<int>(n);
}

int EnumFontFamiliesExA(HDC hdc, LPLOGFONTA font, FONTENUMPROCA proc, LPARAM param, DWORD /*flags*/) {
  if (!FindDC(hdc) || !font || !proc) return 0;
  const std::string wanted(font->lfFaceName, strnlen(font->lfFaceName, LF_FACESIZE));
  int result = 1;
  for (const std::string& name : ReportedFaces()) {
    if (!wanted.empty() && wanted != name) continue;
    ENUMLOGFONTEXA elf{};
    LOGFONTA& lf = elf.elfLogFont;
    lf.lfHeight = -12;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = FamilyOf(name) == FaceFamily::Latin ? ANSI_CHARSET : HANGUL_CHARSET;
    lf.lfPitchAndFamily = VARIABLE_PITCH;
    std::strncpy(lf.lfFaceName, name.c_str(), LF_FACESIZE - 1);
    std::strncpy(reinterpret_cast<char*>(elf.elfFullName), name.c_str(), LF_FULLFACESIZE - 1);
    std::strncpy(reinterpret_cast<char*>(elf.elfStyle), "Regular", LF_FACESIZE - 1);
    if (font->lfCharSet != DEFAULT_CHARSET && font->lfCharSet != lf.lfCharSet) continue;
    FontObject probe;
    probe.font = lf;
    NEWTEXTMETRICEXA ntm{};
    ntm.ntmTm.tm = Realise(probe)->metrics;
    ntm.ntmTm.ntmSizeEM = static_cast<UINT>(Realise(probe)->em);
    result = proc(&lf, &ntm.ntmTm.tm, TRUETYPE_FONTTYPE, param);
    if (result == 0) break;
  }
  return result;
}
