// The game's modal bitmap message box: template 101 skinned from the frame and button
// bitmaps, a bold heading over body lines, and an optional auto-close. Each box keeps
// its own state, so a box opened inside another box's modal loop works.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "module/CMsgBoxSkin.h"
#include "plat/gdi.h"
#include "plat/user.h"

class CMsgBoxDlg {
 public:
  // Box types the game passes; any other value gets two answers and no button bitmaps.
  static constexpr int32_t kTypeOk = 0;
  static constexpr int32_t kTypeYesNo = 1;
  static constexpr INT_PTR kAnswerOk = IDOK;
  static constexpr INT_PTR kAnswerNo = IDCANCEL;

  // Layout in pixels.
  static constexpr int32_t kOkMinTextWidth = 120;
  static constexpr int32_t kOkWidth = 200;
  static constexpr int32_t kYesNoMinTextWidth = 240;
  static constexpr int32_t kYesNoWidth = 320;
  static constexpr int32_t kTextMargin = 80;
  static constexpr int32_t kLineHeight = 20;
  static constexpr int32_t kBaseHeight = 100;
  static constexpr int32_t kHeadingBaseHeight = 125;
  static constexpr int32_t kTextLeft = 30;
  static constexpr int32_t kBodyTop = 40;
  static constexpr int32_t kBodyTopUnderHeading = 65;
  static constexpr int32_t kHeadingTop = 38;
  static constexpr int32_t kHeadingBottom = 53;
  static constexpr int32_t kButtonBottomGap = 12;
  static constexpr int32_t kYesNoButtonGap = 20;
  static constexpr int32_t kDotsY = 58;
  static constexpr int32_t kDotsInset = 7;
  static constexpr COLORREF kDotsColour = 0x6C3828;
  static constexpr COLORREF kBodyColour = 0x000000;

  // `gameFolder` ends with a backslash; `instance` holds template 101.
  CMsgBoxDlg(HINSTANCE instance, HWND owner, std::string gameFolder, std::string body, int32_t type,
             uint32_t autoCloseMs, std::string heading, COLORREF headingColour);
  ~CMsgBoxDlg();
  CMsgBoxDlg(const CMsgBoxDlg&) = delete;
  CMsgBoxDlg& operator=(const CMsgBoxDlg&) = delete;

  // Runs the box modally: 1 (OK / Yes), 2 (No, Escape, a yes/no time-out), -1 when the
  // dialog cannot be made.
  INT_PTR Run();

  static INT_PTR CALLBACK MsgBoxDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
  // The auto-close generation of the box `dialog` shows (0 when it is not open).
  static uint32_t GenerationOf(HWND dialog);
  // Ends every open box of `owner` with its time-out answer (a teardown under it).
  static void EndBoxesOwnedBy(HWND owner);
  // Makes the list of open boxes, a global of the module.
  static void MakeGlobals();

 private:
  BOOL OnInitDialog(HWND dialog);
  void OnPaint();
  void OnDrawItem(const DRAWITEMSTRUCT& item);
  void OnCommand(int32_t id);
  void OnDestroy();

  void CreateFonts();
  void ReleaseFonts();
  void ComputeSize();
  void CentreOnOwner();
  // Places the buttons on their strips; false when a strip is missing.
  bool PlaceButtons(HDC dc);
  void PlaceButton(int32_t button, int32_t x);
  void DrawTexts(HDC dc);
  INT_PTR TimeoutAnswer() const;
  std::string ImageFolder() const;

  HINSTANCE instance_;
  HWND owner_;
  std::string gameFolder_;
  std::string body_;
  int32_t type_;
  uint32_t autoCloseMs_;
  std::string heading_;
  COLORREF headingColour_;

  uint32_t generation_ = 0;
  UINT resolution_ = 0;
  HWND dialog_ = nullptr;
  bool answered_ = false;
  HFONT normalFont_ = nullptr;
  HFONT boldFont_ = nullptr;
  CMsgBoxSkin skin_;
  std::vector<std::string> lines_;
  int32_t bodyWidth_ = 0;
  int32_t headingWidth_ = 0;
  int32_t width_ = 0;
  int32_t height_ = 0;
};

// What the game window's ShowMsgBox runs: a box owned by `owner` (the game window).
int32_t ShowMsgBox(HINSTANCE instance, HWND owner, const std::string& gameFolder, const std::string& body,
                   int32_t type, uint32_t autoCloseMs, const std::string& heading, COLORREF headingColour);

// The text cut at each "\n" (dropped); a non-empty tail after the last one is a line.
void SplitLines(const std::string& text, std::vector<std::string>& lines);
// Length in bytes of the longest line ("\n"-separated; a text without one: its length).
uint32_t LongestLineLength(const std::string& text);
