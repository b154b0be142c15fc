// Skinned pop-up dialogs: modeless dialogs over a game window, each its shape cut from a
// background bitmap, its face the background and keyed bitmap layers, and its controls
// (texts, check boxes, radio buttons, number edits, picture buttons) described in
// tables before the dialog exists. The operations below work on the calling thread's
// selected pop-up (see Selection); a pop-up is used on its parent's thread only.
#pragma once

#include <cstdint>
#include <string>

#include "panels/CTPairVector.h"
#include "plat/gdi.h"
#include "plat/user.h"

namespace skinned_popup {

// The dialog template every skinned pop-up is made from (a hidden captionless pop-up
// without items; the pop-up sizes itself to its background).
constexpr int kTemplateId = 102;
bool RegisterTemplate(HMODULE module);

// Transparent colour of backgrounds, layers and button strips, and how far from it a
// background pixel may be and still be cut out of the shape.
constexpr COLORREF kColourKey = 0xFF00FF;
constexpr COLORREF kShapeTolerance = 0x101010;
constexpr int32_t kDefaultFrames = 4;
// The character code of a text drawn in its own colour over the picture.
constexpr char kPlainText = ' ';
// A number edit's window properties: its own procedure and its accepted range.
constexpr char kPropOriginalProc[] = "NUMBEREDIT_ORGPROCWND";
constexpr char kPropMinimum[] = "NUMBEREDIT_LIMITMINNUM";
constexpr char kPropMaximum[] = "NUMBEREDIT_LIMITMAXNUM";
// The pop-up dialog's property naming the state it was made from.
constexpr char kPropState[] = "SKINPOPUP_STATE";

// A bitmap held selected in a memory DC.
struct BitmapDc {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
  // Loads the file into a DC compatible with `window`'s; false when it cannot be read.
  bool Load(const std::string& path, HWND window);
  // The two steps of Load: a bitmap is read while it is in no DC (it can be in one only).
  bool LoadFile(const std::string& path);
  bool Select(HWND window);
  void Release();
};

struct BackImage {
  BitmapDc image;
  int32_t x = 0, y = 0, width = 0, height = 0;
  std::string path;
  int32_t shown = 0;
};

enum class ChildKind { Static, Button, Edit };

struct Child {
  HWND hwnd = nullptr;
  int32_t id = 0, x = 0, y = 0, width = 0, height = 0;
  DWORD style = 0;
  std::string imagePath;
  BitmapDc image;
  HFONT font = nullptr;
  char code = 0;
  COLORREF textColour = 0;
  int32_t frames = kDefaultFrames;
  bool numberOnly = false;
  int32_t minimum = 0, maximum = 0, lengthLimit = 0;
  int32_t groupFirst = 0, groupLast = 0;  // radio buttons: ids of their group

  ChildKind Kind() const;
  DWORD ButtonType() const { return style & 0xF; }
  bool IsCheckBox() const;
  bool IsRadio() const;
  bool IsAutomatic() const;
};

using InitHandler = void (*)(HWND dialog);
using PaintHandler = void (*)(HWND dialog);
using MessageHandler = void (*)(WPARAM wParam, LPARAM lParam);
using DestroyHandler = void (*)();

struct Handlers {
  InitHandler onInit = nullptr;
  PaintHandler onPaint = nullptr;
  MessageHandler onDrawItem = nullptr;
  MessageHandler onCommand = nullptr;
  DestroyHandler onDestroy = nullptr;
};

// One pop-up: what its builder describes and its dialog procedure reaches.
struct PopupState {
  HWND parent = nullptr;
  HWND popup = nullptr;
  HINSTANCE instance = nullptr;
  RECT rect{};  // relative to the parent's top-left corner
  std::string imageFolder;  // prefix of every bitmap path
  std::string backgroundPath;
  BitmapDc background;
  Handlers handlers;
  CTPairVector<int32_t, BackImage> layers;
  CTPairVector<int32_t, Child> children;
};
// The calling thread's selected pop-up, or the module's own one where none is selected.
PopupState& State();
// Selects `state` for the calling thread while it lives, and the earlier selection
// again afterwards: two games' pop-ups on two window threads never meet. Past
// kThreadSlots threads selecting at once, the further ones use the module's pop-up.
class Selection {
 public:
  static constexpr int32_t kThreadSlots = 16;
  explicit Selection(PopupState& state);
  ~Selection();
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  PopupState* previous_ = nullptr;
  bool held_ = false;
};
// The library's own handlers, which a builder may replace one by one.
Handlers DefaultHandlers();
void OnInit(HWND dialog);
void OnPaint(HWND dialog);
void OnDrawItem(WPARAM wParam, LPARAM lParam);
void OnCommand(WPARAM wParam, LPARAM lParam);
void OnDestroy();
// Makes the child's window in the pop-up (with its picture and, for a number edit, its
// subclass); null when the window cannot be made.
HWND CreateChildWindow(Child& child);
// Frees the controls, tables and bitmaps: everything but the dialog window.
void ReleaseAll();

// ---- Description (paths relative to the image folder) ----
void SetImageFolder(const std::string& folder);
int32_t AddBackImage(int32_t key, int32_t x, int32_t y, const std::string& path, int32_t shown);
// Once the pop-up exists, the Add operations below create the control at once and
// drop the entry again when that fails (0).
int32_t AddStatic(int32_t id, int32_t x, int32_t y, int32_t width, int32_t height);
int32_t AddCheckBox(int32_t id, int32_t x, int32_t y, int32_t width, int32_t height, int32_t automatic, char code);
int32_t AddRadio(int32_t id, int32_t x, int32_t y, int32_t width, int32_t height, int32_t groupStart,
                 int32_t automatic, char code);
int32_t AddGroupBox(int32_t id, int32_t x, int32_t y, int32_t width, int32_t height);
int32_t AddImageButton(int32_t id, int32_t x, int32_t y, const std::string& path, int32_t frames);
// `extraStyle` adds edit styles (ES_RIGHT) to the plain one.
int32_t AddEdit(int32_t id, int32_t x, int32_t y, int32_t width, int32_t height, int32_t numberOnly, int32_t minimum,
                int32_t maximum, DWORD extraStyle = 0);
// The radio buttons first..last form one group that SelectRadio and the command
// handler keep to one choice.
void AddRadioGroup(int32_t firstId, int32_t lastId);

// ---- Creation and life ----
int32_t CreateSkinnedPopup(int32_t templateId, int32_t x, int32_t y, HWND parent, const std::string& backgroundPath,
                           DLGPROC proc);
int32_t CreatePopupDialog(int32_t templateId, int32_t x, int32_t y, int32_t width, int32_t height, HWND parent,
                          DLGPROC proc);
void ShowPopup(int32_t show);
void EnablePopup(int32_t flag);
void MovePopup(int32_t x, int32_t y, int32_t relative);
INT_PTR CALLBACK SkinDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK NumberEditProc(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam);

// ---- Children at run time (nothing for an unknown or not yet created id) ----
Child* FindChild(int32_t id);
void ShowChild(int32_t id, int32_t show);
void EnableChild(int32_t id, int32_t flag);
int32_t IsChildVisible(int32_t id);
void SetCheck(int32_t id, int32_t checked);
int32_t IsChecked(int32_t id);
void SelectRadio(int32_t firstId, int32_t lastId, int32_t selectedId);
int32_t GetCheckedInRange(int32_t firstId, int32_t lastId);
void SetChildText(int32_t id, const char* text);
// Copies at most length - 1 bytes and a terminator; nothing for a length below 1.
int32_t GetChildText(int32_t id, int32_t length, char* out);
void SetChildFont(int32_t id, int32_t height, int32_t bold);
void SetChildTextColor(int32_t id, int32_t red, int32_t green, int32_t blue);
void SetBackImageShown(int32_t key, int32_t shown);

// The shape of `bitmap`: every pixel whose three bytes lie within [key byte, key byte +
// tolerance byte] is cut. Null when nothing could be made.
HRGN CreateRegionFromBitmap(HBITMAP bitmap, COLORREF key, COLORREF tolerance);

}  // namespace skinned_popup

// Keeps the pop-up at the parent's bottom-right corner when flag is 1 (the game
// window's full-screen flag after a screen rebuild).
void FollowParentWindow(HWND parent, int32_t flag);
// Closes and frees the selected pop-up; harmless when none is open.
void DestroyPopupDialog();
