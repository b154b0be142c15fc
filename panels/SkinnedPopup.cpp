// The skinned pop-up's tables, its creation, placement and tear-down, and the run-time
// operations on its controls.
#include "panels/SkinnedPopup.h"
#include "base/ModuleGlobal.h"
#include "base/SectionLock.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "plat/gdi_text.h"

namespace skinned_popup {
namespace {

constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE;
constexpr DWORD kEditStyle = kChildStyle | WS_CLIPCHILDREN | ES_AUTOHSCROLL;
constexpr UINT kPlaceFlags = SWP_NOZORDER | SWP_NOACTIVATE;
constexpr UINT kMoveFlags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
constexpr int32_t kWeightBold = 700, kWeightNormal = 100;
constexpr DWORD kFontPitchAndFamily = 18;
constexpr char kFontFace[] = "돋움";
constexpr char kTemplateFace[] = "MS Shell Dlg";
constexpr int32_t kTemplatePoints = 8;

const char* ClassOf(const Child& c) {
  switch (c.Kind()) {
    case ChildKind::Edit: return "edit";
    case ChildKind::Button: return "button";
    case ChildKind::Static: break;
  }
  return "static";
}

// Digits of the largest value a number edit takes: its text limit.
int32_t DigitCount(int32_t value) {
  int32_t digits = 1;
  for (int64_t v = value < 0 ? -int64_t{value} : value; v >= 10; v /= 10) ++digits;
  return digits;
}

struct BitmapSize {
  int32_t width = 0, height = 0;
};
// The size of a bitmap file, read once and let go; nothing when it cannot be read.
bool SizeOfFile(const std::string& path, BitmapSize* size) {
  auto bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  if (!bitmap) return false;
  BITMAP info{};
  const bool ok = GetObjectA(bitmap, sizeof(info), &info) != 0;
  DeleteObject(bitmap);
  if (!ok) return false;
  *size = {info.bmWidth, info.bmHeight};
  return true;
}

// Adds a child entry; with the pop-up already there the window is made now.
int32_t AddChild(const Child& child) {
  PopupState& s = State();
  const int32_t index = s.children.Add(child.id);
  Child* c = nullptr;
  s.children.GetAt(index, &c);
  *c = child;
  if (s.popup && !CreateChildWindow(*c)) {
    c->image.Release();
    s.children.RemoveAt(index);
    return 0;
  }
  return 1;
}

Child Describe(int32_t id, int32_t x, int32_t y, int32_t width, int32_t height, DWORD style) {
  Child c;
  c.id = id;
  c.x = x;
  c.y = y;
  c.width = width;
  c.height = height;
  c.style = style;
  return c;
}

std::string InFolder(const std::string& path) { return State().imageFolder + path; }

}  // namespace

HWND CreateChildWindow(Child& c) {
  PopupState& s = State();
  c.hwnd = CreateWindowExA(0, ClassOf(c), "", c.style, c.x, c.y, c.width, c.height, s.popup,
                           reinterpret_cast<HMENU>(static_cast<intptr_t>(c.id)), s.instance, nullptr);
  if (!c.hwnd) return nullptr;
  if (!c.imagePath.empty() && !c.image.dc) c.image.Load(c.imagePath, s.popup);
  if (c.numberOnly) {
    SendMessageA(c.hwnd, EM_LIMITTEXT, static_cast<WPARAM>(c.lengthLimit), 0);
    SetPropA(c.hwnd, kPropOriginalProc, reinterpret_cast<HANDLE>(GetWindowLongPtrA(c.hwnd, GWLP_WNDPROC)));
    SetPropA(c.hwnd, kPropMinimum, reinterpret_cast<HANDLE>(static_cast<intptr_t>(c.minimum)));
    SetPropA(c.hwnd, kPropMaximum, reinterpret_cast<HANDLE>(static_cast<intptr_t>(c.maximum)));
    SetWindowLongPtrA(c.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NumberEditProc));
  }
  return c.hwnd;
}

bool BitmapDc::Load(const std::string& path, HWND window) { return LoadFile(path) && Select(window); }

bool BitmapDc::LoadFile(const std::string& path) {
  Release();
  bitmap = static_cast<HBITMAP>(
      LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  return bitmap != nullptr;
}

bool BitmapDc::Select(HWND window) {
  if (!bitmap) return false;
  HDC windowDc = GetDC(window);
  dc = CreateCompatibleDC(windowDc);
  ReleaseDC(window, windowDc);
  if (!dc) {
    Release();
    return false;
  }
  old = SelectObject(dc, bitmap);
  return true;
}

void BitmapDc::Release() {
  if (dc) {
    SelectObject(dc, old);
    DeleteDC(dc);
  }
  if (bitmap) DeleteObject(bitmap);
  *this = BitmapDc{};
}

// Edits first (a right-aligned edit's low nibble is no button type), then buttons by a
// button type in the low nibble, the rest statics.
ChildKind Child::Kind() const {
  if (style & ES_AUTOHSCROLL) return ChildKind::Edit;
  if (ButtonType() != 0) return ChildKind::Button;
  return ChildKind::Static;
}
bool Child::IsCheckBox() const {
  return Kind() == ChildKind::Button && (ButtonType() == BS_CHECKBOX || ButtonType() == BS_AUTOCHECKBOX);
}
bool Child::IsRadio() const {
  return Kind() == ChildKind::Button && (ButtonType() == BS_RADIOBUTTON || ButtonType() == BS_AUTORADIOBUTTON);
}
bool Child::IsAutomatic() const { return ButtonType() == BS_AUTOCHECKBOX || ButtonType() == BS_AUTORADIOBUTTON; }

namespace {
struct GlobalPopupState : PopupState {
  GlobalPopupState() { handlers = DefaultHandlers(); }
};
ModuleGlobal<GlobalPopupState> g_state;

// Which pop-up each thread works on. A fixed table: selecting allocates nothing, and a
// game's end may select its pop-up to close it.
struct Selections {
  struct Slot {
    DWORD thread = 0;
    PopupState* state = nullptr;
  };
  SectionLock lock;
  std::array<Slot, Selection::kThreadSlots> slots{};

  Slot* Find(DWORD thread) {
    for (Slot& s : slots)
      if (s.thread == thread) return &s;
    return nullptr;
  }
};
ModuleGlobal<Selections> g_selections;
}  // namespace

PopupState& State() {
  Selections& all = g_selections.Get();
  SectionGuard guard(all.lock);
  const Selections::Slot* mine = all.Find(GetCurrentThreadId());
  return mine && mine->state ? *mine->state : g_state.Get();
}

Selection::Selection(PopupState& state) {
  Selections& all = g_selections.Get();
  SectionGuard guard(all.lock);
  const DWORD thread = GetCurrentThreadId();
  Selections::Slot* mine = all.Find(thread);
  if (!mine) mine = all.Find(0);
  if (!mine) return;
  previous_ = mine->state;
  mine->thread = thread;
  mine->state = &state;
  held_ = true;
}

Selection::~Selection() {
  if (!held_) return;
  Selections& all = g_selections.Get();
  SectionGuard guard(all.lock);
  Selections::Slot* mine = all.Find(GetCurrentThreadId());
  if (!mine) return;
  mine->state = previous_;
  if (!previous_) mine->thread = 0;
}

Handlers DefaultHandlers() { return Handlers{&OnInit, &OnPaint, &OnDrawItem, &OnCommand, &OnDestroy}; }

bool RegisterTemplate(HMODULE module) {
  plat::DialogTemplate t;
  t.style = WS_POPUP | DS_SETFONT;
  t.fontFace = kTemplateFace;
  t.fontSize = kTemplatePoints;
  return plat::RegisterDialogTemplate(module, MAKEINTRESOURCEA(kTemplateId), std::move(t));
}

void SetImageFolder(const std::string& folder) { State().imageFolder = folder; }

int32_t AddBackImage(int32_t key, int32_t x, int32_t y, const std::string& path, int32_t shown) {
  BitmapSize size;
  const std::string full = InFolder(path);
  if (!SizeOfFile(full, &size)) return 0;
  BackImage* layer = nullptr;
  State().layers.GetAt(State().layers.Add(key), &layer);
  layer->x = x;
  layer->y = y;
  layer->width = size.width;
  layer->height = size.height;
  layer->path = full;
  layer->shown = shown;
  return 1;
}

int32_t AddStatic(int32_t id, int32_t x, int32_t y, int32_t width, int32_t height) {
  Child c = Describe(id, x, y, width, height, kChildStyle);
  c.code = kPlainText;
  return AddChild(c);
}

int32_t AddCheckBox(int32_t id, int32_t x, int32_t y, int32_t width, int32_t height, int32_t automatic, char code) {
  Child c = Describe(id, x, y, width, height, kChildStyle | (automatic == 1 ? BS_AUTOCHECKBOX : BS_CHECKBOX));
  c.code = code;
  return AddChild(c);
}

int32_t AddRadio(int32_t id, int32_t x, int32_t y, int32_t width, int32_t height, int32_t groupStart,
                 int32_t automatic, char code) {
  DWORD style = kChildStyle | (automatic == 1 ? BS_AUTORADIOBUTTON : BS_RADIOBUTTON);
  if (groupStart == 1) style |= WS_GROUP;
  Child c = Describe(id, x, y, width, height, style);
  c.code = code;
  return AddChild(c);
}

int32_t AddGroupBox(int32_t id, int32_t x, int32_t y, int32_t width, int32_t height) {
  return AddChild(Describe(id, x, y, width, height, kChildStyle));
}

int32_t AddImageButton(int32_t id, int32_t x, int32_t y, const std::string& path, int32_t frames) {
  BitmapSize size;
  const std::string full = InFolder(path);
  if (!SizeOfFile(full, &size)) return 0;
  if (frames <= 0) frames = kDefaultFrames;
  Child c = Describe(id, x, y, size.width / frames, size.height, kChildStyle | BS_OWNERDRAW);
  c.imagePath = full;
  c.frames = frames;
  return AddChild(c);
}

int32_t AddEdit(int32_t id, int32_t x, int32_t y, int32_t width, int32_t height, int32_t numberOnly, int32_t minimum,
                int32_t maximum, DWORD extraStyle) {
  Child c = Describe(id, x, y, width, height, kEditStyle | extraStyle);
  if (numberOnly == 1) {
    c.numberOnly = true;
    c.minimum = minimum;
    c.maximum = maximum;
    c.lengthLimit = DigitCount(maximum);
  }
  return AddChild(c);
}

void AddRadioGroup(int32_t firstId, int32_t lastId) {
  for (auto& [id, c] : State().children)
    if (id >= firstId && id <= lastId && c.IsRadio()) c.groupFirst = firstId, c.groupLast = lastId;
}

int32_t CreateSkinnedPopup(int32_t templateId, int32_t x, int32_t y, HWND parent, const std::string& backgroundPath,
                           DLGPROC proc) {
  PopupState& s = State();
  s.backgroundPath = InFolder(backgroundPath);
  BitmapSize size;
  if (!SizeOfFile(s.backgroundPath, &size)) return 0;
  return CreatePopupDialog(templateId, x, y, size.width, size.height, parent, proc);
}

int32_t CreatePopupDialog(int32_t templateId, int32_t x, int32_t y, int32_t width, int32_t height, HWND parent,
                          DLGPROC proc) {
  PopupState& s = State();
  s.instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
  s.parent = parent;
  // The dialog procedure finds this state again through the dialog, on whichever
  // thread's selection its messages arrive.
  HWND popup =
      CreateDialogParamA(s.instance, MAKEINTRESOURCEA(templateId), parent, proc, reinterpret_cast<LPARAM>(&s));
  if (!popup) return 0;
  s.popup = popup;
  RECT pr{};
  GetWindowRect(parent, &pr);
  SetWindowPos(popup, nullptr, pr.left + x, pr.top + y, width, height, kPlaceFlags);
  s.rect = RECT{x, y, x + width, y + height};
  return 1;
}

void ShowPopup(int32_t show) {
  if (State().popup) ShowWindow(State().popup, show == 1 ? SW_SHOW : SW_HIDE);
}

void EnablePopup(int32_t flag) {
  if (State().popup) EnableWindow(State().popup, flag);
}

void MovePopup(int32_t x, int32_t y, int32_t relative) {
  PopupState& s = State();
  if (!s.popup) return;
  if (relative == 1) {
    RECT pr{};
    GetWindowRect(s.parent, &pr);
    x += pr.left;
    y += pr.top;
  }
  SetWindowPos(s.popup, nullptr, x, y, 0, 0, kMoveFlags);
}

Child* FindChild(int32_t id) {
  Child* c = nullptr;
  return State().children.Find(id, &c) >= 0 ? c : nullptr;
}

namespace {
HWND ChildWindow(int32_t id) {
  Child* c = FindChild(id);
  return c ? c->hwnd : nullptr;
}
}  // namespace

void ShowChild(int32_t id, int32_t show) {
  if (HWND h = ChildWindow(id)) ShowWindow(h, show == 1 ? SW_SHOW : SW_HIDE);
}

void EnableChild(int32_t id, int32_t flag) {
  if (HWND h = ChildWindow(id)) EnableWindow(h, flag);
}

int32_t IsChildVisible(int32_t id) {
  HWND h = ChildWindow(id);
  return h && IsWindowVisible(h) ? 1 : 0;
}

void SetCheck(int32_t id, int32_t checked) {
  if (HWND h = ChildWindow(id)) SendMessageA(h, BM_SETCHECK, checked == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
}

int32_t IsChecked(int32_t id) {
  HWND h = ChildWindow(id);
  return h && SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void SelectRadio(int32_t firstId, int32_t lastId, int32_t selectedId) {
  for (int32_t id = firstId; id <= lastId; ++id) SetCheck(id, id == selectedId ? 1 : 0);
}

int32_t GetCheckedInRange(int32_t firstId, int32_t lastId) {
  for (int32_t id = firstId; id <= lastId; ++id)
    if (IsChecked(id)) return id;
  return 0;
}

void SetChildText(int32_t id, const char* text) {
  if (HWND h = ChildWindow(id)) SetWindowTextA(h, text ? text : "");
}

int32_t GetChildText(int32_t id, int32_t length, char* out) {
  if (!out || length < 1) return 0;
  out[0] = '\0';
  HWND h = ChildWindow(id);
  if (!h) return 0;
  return static_cast<int32_t>(GetWindowTextA(h, out, length));
}

void SetChildFont(int32_t id, int32_t height, int32_t bold) {
  Child* c = FindChild(id);
  if (!c || !c->hwnd) return;
  HFONT font = CreateFontA(height, 0, 0, 0, bold == 1 ? kWeightBold : kWeightNormal, 0, 0, 0, HANGUL_CHARSET,
                           OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS, DRAFT_QUALITY, kFontPitchAndFamily, kFontFace);
  if (!font) return;
  SendMessageA(c->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  if (c->font) DeleteObject(c->font);
  c->font = font;
}

void SetChildTextColor(int32_t id, int32_t red, int32_t green, int32_t blue) {
  if (Child* c = FindChild(id))
    c->textColour = RGB(static_cast<BYTE>(red), static_cast<BYTE>(green), static_cast<BYTE>(blue));
}

void SetBackImageShown(int32_t key, int32_t shown) {
  BackImage* layer = nullptr;
  if (State().layers.Find(key, &layer) >= 0) layer->shown = shown;
}

// Everything the pop-up holds but the dialog window itself.
void ReleaseAll() {
  PopupState& s = State();
  for (auto& [id, c] : s.children) {
    if (c.hwnd && IsWindow(c.hwnd) && c.numberOnly) {
      if (HANDLE original = GetPropA(c.hwnd, kPropOriginalProc))
        SetWindowLongPtrA(c.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
      for (const char* name : {kPropOriginalProc, kPropMinimum, kPropMaximum}) RemovePropA(c.hwnd, name);
    }
  }
  for (auto& [id, c] : s.children) {
    if (c.hwnd && IsWindow(c.hwnd)) DestroyWindow(c.hwnd);
    if (c.font) DeleteObject(c.font);
    c.image.Release();
  }
  s.children.Clear();
  for (auto& [key, layer] : s.layers) layer.image.Release();
  s.layers.Clear();
  s.background.Release();
}

}  // namespace skinned_popup

void FollowParentWindow(HWND parent, int32_t flag) {
  using namespace skinned_popup;
  PopupState& s = State();
  if (!s.popup || flag != 1) return;
  s.parent = parent;
  RECT pr{}, own{};
  GetWindowRect(parent, &pr);
  GetWindowRect(s.popup, &own);
  SetWindowPos(s.popup, nullptr, pr.right - (own.right - own.left), pr.bottom - (own.bottom - own.top), 0, 0,
               kMoveFlags);
}

void DestroyPopupDialog() {
  using namespace skinned_popup;
  PopupState& s = State();
  ReleaseAll();
  HWND popup = s.popup;
  s.popup = nullptr;
  s.parent = nullptr;
  if (popup && IsWindow(popup)) DestroyWindow(popup);
}
