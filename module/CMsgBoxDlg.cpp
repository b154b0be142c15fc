// The message box's dialog: set-up from the texts and bitmaps, painting, button
// frames, answers and the auto-close, each box in its own record.
#include "module/CMsgBoxDlg.h"
#include "base/ModuleGlobal.h"
#include "base/SectionLock.h"

#include <algorithm>

#include "module/CMsgBoxTimers.h"
#include "module/MsgBoxTemplate.h"
#include "plat/sysinfo.h"

namespace {

constexpr int32_t kNormalFontHeight = 12;
constexpr int32_t kBoldFontHeight = 14;
constexpr char kImageFolder[] = "GameImage\\MsgBox\\";
constexpr char kOkButtonFile[] = "ok_btn.bmp";
constexpr char kYesButtonFile[] = "yes_btn.bmp";
constexpr char kNoButtonFile[] = "no_btn.bmp";
constexpr UINT kTextFormat = DT_LEFT | DT_SINGLELINE | DT_VCENTER;

// The face the platform family has: the Korean name on the 9x family, the romanised
// one on NT, a Latin face elsewhere.
const char* FaceForPlatform() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof(version);
  if (!GetVersionExA(&version)) return "Arial";
  switch (version.dwPlatformId) {
    case VER_PLATFORM_WIN32_WINDOWS: return "굴림체";
    case VER_PLATFORM_WIN32_NT: return "Gulimche";
    default: return "Arial";
  }
}

HFONT MakeFont(int32_t height, LONG weight, const char* face) {
  return CreateFontA(height, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, VARIABLE_PITCH, face);
}

// The widest line of `text` in `font`. Each line is measured on its own: a measure of
// the text's first bytes would span line breaks and could cut a double-byte character.
int32_t WidestLine(HDC dc, HFONT font, const std::string& text) {
  std::vector<std::string> lines;
  SplitLines(text, lines);
  HGDIOBJ previous = SelectObject(dc, font);
  int32_t widest = 0;
  for (const std::string& line : lines) {
    SIZE size{};
    if (GetTextExtentPoint32A(dc, line.data(), static_cast<int>(line.size()), &size))
      widest = std::max<int32_t>(widest, size.cx);
  }
  if (previous) SelectObject(dc, previous);
  return widest;
}

// The boxes with a dialog on screen, with their owners. Two games may run on two window
// threads: each thread adds and drops its own boxes, under the lock.
struct OpenBoxes {
  struct Entry {
    HWND owner;
    CMsgBoxDlg* box;
  };
  SectionLock lock;
  std::vector<Entry> entries;
};
ModuleGlobal<OpenBoxes> g_openMsgBoxes;
OpenBoxes& OpenMsgBoxes() { return g_openMsgBoxes.Get(); }

}  // namespace

void CMsgBoxDlg::MakeGlobals() { OpenMsgBoxes(); }

void SplitLines(const std::string& text, std::vector<std::string>& lines) {
  lines.clear();
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  if (start < text.size()) lines.push_back(text.substr(start));
}

uint32_t LongestLineLength(const std::string& text) {
  std::vector<std::string> lines;
  SplitLines(text, lines);
  size_t longest = 0;
  for (const std::string& line : lines) longest = std::max(longest, line.size());
  return static_cast<uint32_t>(longest);
}

CMsgBoxDlg::CMsgBoxDlg(HINSTANCE instance, HWND owner, std::string gameFolder, std::string body, int32_t type,
                       uint32_t autoCloseMs, std::string heading, COLORREF headingColour)
    : instance_(instance),
      owner_(owner),
      gameFolder_(std::move(gameFolder)),
      body_(std::move(body)),
      type_(type),
      autoCloseMs_(autoCloseMs),
      heading_(std::move(heading)),
      headingColour_(headingColour) {}

CMsgBoxDlg::~CMsgBoxDlg() {
  if (generation_) CMsgBoxTimers::Instance().Close(generation_);
  ReleaseFonts();
}

INT_PTR CMsgBoxDlg::Run() {
  UINT period = 0;
  if (autoCloseMs_) {
    TIMECAPS caps{};
    if (timeGetDevCaps(&caps, sizeof(caps)) == TIMERR_NOERROR) {
      resolution_ = caps.wPeriodMin;
      if (timeBeginPeriod(caps.wPeriodMin) == TIMERR_NOERROR) period = caps.wPeriodMin;
    }
  }
  generation_ = CMsgBoxTimers::Instance().Open(static_cast<int32_t>(TimeoutAnswer()));
  // The timer is armed by WM_INITDIALOG, once the dialog's handle is known.
  const INT_PTR result = DialogBoxParamA(instance_, MAKEINTRESOURCEA(msgbox_template::kTemplateId), owner_,
                                         MsgBoxDlgProc, reinterpret_cast<LPARAM>(this));
  CMsgBoxTimers::Instance().Close(generation_);
  generation_ = 0;
  if (period) timeEndPeriod(period);
  return result;
}

INT_PTR CMsgBoxDlg::TimeoutAnswer() const { return type_ == kTypeOk ? kAnswerOk : kAnswerNo; }

std::string CMsgBoxDlg::ImageFolder() const { return gameFolder_ + kImageFolder; }

uint32_t CMsgBoxDlg::GenerationOf(HWND dialog) { return CMsgBoxTimers::Instance().GenerationOf(dialog); }

INT_PTR CALLBACK CMsgBoxDlg::MsgBoxDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    return reinterpret_cast<CMsgBoxDlg*>(lParam)->OnInitDialog(dialog);
  }
  auto* box = reinterpret_cast<CMsgBoxDlg*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (!box) return FALSE;
  switch (msg) {
    case WM_PAINT: box->OnPaint(); return TRUE;
    case WM_DRAWITEM:
      if (wParam != msgbox_template::kOkButtonId && wParam != msgbox_template::kNoButtonId) return FALSE;
      box->OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_COMMAND: {
      const int32_t id = LOWORD(wParam);
      if (id != msgbox_template::kOkButtonId && id != msgbox_template::kNoButtonId) return FALSE;
      box->OnCommand(id);
      return TRUE;
    }
    case WM_LBUTTONDOWN:
      // The box has no caption: a press anywhere on it drags it.
      PostMessageA(dialog, WM_NCLBUTTONDOWN, HTCAPTION, lParam);
      return TRUE;
    case WM_DESTROY:
      box->OnDestroy();
      SetWindowLongPtrA(dialog, DWLP_USER, 0);
      return FALSE;
    default: return FALSE;
  }
}

void CMsgBoxDlg::EndBoxesOwnedBy(HWND owner) {
  // Picked under the lock by the owner kept beside each box: another thread's box may
  // go at any moment, and is never read here. The owner's boxes are the calling
  // thread's; ending one may let its dialog go, so the picks are a copy.
  std::vector<CMsgBoxDlg*> mine;
  {
    OpenBoxes& open = OpenMsgBoxes();
    SectionGuard guard(open.lock);
    for (const OpenBoxes::Entry& e : open.entries)
      if (e.owner == owner) mine.push_back(e.box);
  }
  for (CMsgBoxDlg* box : mine) box->OnCommand(static_cast<int32_t>(box->TimeoutAnswer()));
}

BOOL CMsgBoxDlg::OnInitDialog(HWND dialog) {
  dialog_ = dialog;
  {
    OpenBoxes& open = OpenMsgBoxes();
    SectionGuard guard(open.lock);
    open.entries.push_back({owner_, this});
  }
  CMsgBoxTimers::Instance().SetDialog(generation_, dialog);
  if (autoCloseMs_) CMsgBoxTimers::Instance().Arm(generation_, autoCloseMs_, resolution_);

  HDC dc = GetDC(dialog);
  CreateFonts();
  bodyWidth_ = WidestLine(dc, normalFont_, body_);
  headingWidth_ = WidestLine(dc, boldFont_, heading_);
  // Without its frame the box keeps the template's plain form.
  if (skin_.LoadFrame(ImageFolder(), dc)) {
    SplitLines(body_, lines_);
    ComputeSize();
    CentreOnOwner();
    PlaceButtons(dc);
  }
  ReleaseDC(dialog, dc);
  return TRUE;
}

void CMsgBoxDlg::CreateFonts() {
  const char* face = FaceForPlatform();
  normalFont_ = MakeFont(kNormalFontHeight, FW_NORMAL, face);
  boldFont_ = MakeFont(kBoldFontHeight, FW_BOLD, face);
}

void CMsgBoxDlg::ReleaseFonts() {
  if (normalFont_) DeleteObject(normalFont_);
  if (boldFont_) DeleteObject(boldFont_);
  normalFont_ = boldFont_ = nullptr;
}

void CMsgBoxDlg::ComputeSize() {
  auto fitText = [&](int32_t minWidth, int32_t boxWidth) {
    if (bodyWidth_ < minWidth && headingWidth_ < minWidth) {
      bodyWidth_ = headingWidth_ = minWidth;
      width_ = boxWidth;
    } else {
      width_ = std::max(bodyWidth_, headingWidth_) + kTextMargin;
    }
  };
  if (type_ == kTypeOk)
    fitText(kOkMinTextWidth, kOkWidth);
  else if (type_ == kTypeYesNo)
    fitText(kYesNoMinTextWidth, kYesNoWidth);
  else
    width_ = std::max(bodyWidth_, headingWidth_) + kTextMargin;

  const int32_t n = static_cast<int32_t>(lines_.size());
  if (!heading_.empty())
    height_ = kLineHeight * n + kHeadingBaseHeight;
  else
    height_ = n == 0 ? kBaseHeight : kLineHeight * n + kBaseHeight;
}

void CMsgBoxDlg::CentreOnOwner() {
  RECT client{};
  GetClientRect(owner_, &client);
  POINT origin{0, 0};
  ClientToScreen(owner_, &origin);
  const int32_t x = origin.x + (client.right - client.left - width_) / 2;
  const int32_t y = origin.y + (client.bottom - client.top - height_) / 2;
  SetWindowPos(dialog_, nullptr, x, y, width_, height_, SWP_NOZORDER);
}

bool CMsgBoxDlg::PlaceButtons(HDC dc) {
  const std::string folder = ImageFolder();
  if (type_ == kTypeOk) {
    // Button 2 keeps its template place below the box: unseen, it still takes Escape.
    if (!skin_.LoadButton(0, folder, kOkButtonFile, dc)) return false;
    PlaceButton(0, width_ / 2 - skin_.ButtonFrameSize(0).cx / 2);
    return true;
  }
  if (type_ != kTypeYesNo) return true;
  if (!skin_.LoadButton(0, folder, kYesButtonFile, dc)) return false;
  PlaceButton(0, width_ / 2 - skin_.ButtonFrameSize(0).cx - kYesNoButtonGap);
  if (!skin_.LoadButton(1, folder, kNoButtonFile, dc)) return false;
  PlaceButton(1, width_ / 2 + kYesNoButtonGap);
  return true;
}

void CMsgBoxDlg::PlaceButton(int32_t button, int32_t x) {
  const GSize frame = skin_.ButtonFrameSize(button);
  const int32_t id = button == 0 ? msgbox_template::kOkButtonId : msgbox_template::kNoButtonId;
  SetWindowPos(GetDlgItem(dialog_, id), nullptr, x, height_ - frame.cy - kButtonBottomGap, frame.cx, frame.cy,
               SWP_NOZORDER);
}

void CMsgBoxDlg::OnPaint() {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(dialog_, &ps);
  if (dc) {
    RECT client{};
    GetClientRect(dialog_, &client);
    skin_.PaintFrame(dc, GSize(client.right, client.bottom), GRect(ps.rcPaint));
    if (!heading_.empty())
      for (int32_t x = kDotsInset; x < client.right - kDotsInset; x += 2) SetPixel(dc, x, kDotsY, kDotsColour);
    DrawTexts(dc);
  }
  EndPaint(dialog_, &ps);
}

void CMsgBoxDlg::DrawTexts(HDC dc) {
  const int previousMode = SetBkMode(dc, TRANSPARENT);
  HGDIOBJ previousFont = SelectObject(dc, normalFont_);
  SetTextColor(dc, kBodyColour);
  int32_t y = heading_.empty() ? kBodyTop : kBodyTopUnderHeading;
  for (const std::string& line : lines_) {
    RECT r{kTextLeft, y, kTextLeft + bodyWidth_, y + kLineHeight};
    DrawTextA(dc, line.data(), static_cast<int>(line.size()), &r, kTextFormat);
    y += kLineHeight;
  }
  if (!heading_.empty()) {
    SelectObject(dc, boldFont_);
    SetTextColor(dc, headingColour_);
    RECT r{kTextLeft, kHeadingTop, kTextLeft + headingWidth_, kHeadingBottom};
    DrawTextA(dc, heading_.data(), static_cast<int>(heading_.size()), &r, kTextFormat);
  }
  if (previousFont) SelectObject(dc, previousFont);
  SetBkMode(dc, previousMode);
}

void CMsgBoxDlg::OnDrawItem(const DRAWITEMSTRUCT& item) {
  skin_.DrawButton(item.CtlID == msgbox_template::kOkButtonId ? 0 : 1, item.hDC, item.rcItem, item.itemState);
}

void CMsgBoxDlg::OnCommand(int32_t id) {
  // The first answer stands: a time-out already on its way cannot replace a press.
  if (answered_) return;
  answered_ = true;
  CMsgBoxTimers::Instance().Disarm(generation_);
  EndDialog(dialog_, id);
}

void CMsgBoxDlg::OnDestroy() {
  {
    OpenBoxes& open = OpenMsgBoxes();
    SectionGuard guard(open.lock);
    std::erase_if(open.entries, [this](const OpenBoxes::Entry& e) { return e.box == this; });
  }
  CMsgBoxTimers::Instance().Disarm(generation_);
  skin_.Release();
  ReleaseFonts();
}

int32_t ShowMsgBox(HINSTANCE instance, HWND owner, const std::string& gameFolder, const std::string& body,
                   int32_t type, uint32_t autoCloseMs, const std::string& heading, COLORREF headingColour) {
  CMsgBoxDlg box(instance, owner, gameFolder, body, type, autoCloseMs, heading, headingColour);
  return static_cast<int32_t>(box.Run());
}
