// The skinned pop-up toolkit over the layer's windows and GDI, with bitmaps the tests
// write: tables, shape, picture buttons, number edits, the dialog procedure and the
// pop-up's life and placement.
#include "panels/SkinnedPopup.h"

#include <gtest/gtest.h>

#include <cstring>

#include "SkinnedPopupFixture.h"

namespace popup_test {
namespace {

using namespace skinned_popup;

constexpr uint32_t kMagenta = 0xFF00FF;
constexpr uint32_t kFace = 0x336699;
constexpr int32_t kBgWidth = 40, kBgHeight = 30, kBorder = 2;
constexpr int32_t kPopupX = 30, kPopupY = 20;

// A face with a 2-px magenta border, a near-magenta pixel that is cut and a farther
// one that is kept.
uint32_t Background(int32_t x, int32_t y) {
  if (x < kBorder || y < kBorder || x >= kBgWidth - kBorder || y >= kBgHeight - kBorder) return kMagenta;
  if (x == 10 && y == 5) return 0xFF08FF;
  if (x == 20 && y == 5) return 0xF000F0;
  return kFace;
}

class SkinnedPopup : public PopupTest {
 protected:
  void SetUp() override {
    PopupTest::SetUp();
    WriteBmp("bg.bmp", kBgWidth, kBgHeight, Background);
  }
  HWND Create() {
    EXPECT_EQ(CreateSkinnedPopup(kTemplateId, kPopupX, kPopupY, host_, "bg.bmp", SkinDialogProc), 1);
    return State().popup;
  }
  HWND Window(int32_t id) { return FindChild(id) ? FindChild(id)->hwnd : nullptr; }
  LRESULT Command(int32_t id) {
    return SendMessageA(State().popup, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Window(id)));
  }
};

TEST_F(SkinnedPopup, PairVectorFindsTheFirstOfEqualKeysAndRefusesOutsideIndices) {
  CTPairVector<int32_t, int32_t> v;
  int32_t* value = nullptr;
  EXPECT_EQ(v.Find(3, &value), -1);
  *(v.GetAt(v.Add(3), &value), value) = 10;
  *(v.GetAt(v.Add(4), &value), value) = 20;
  *(v.GetAt(v.Add(3), &value), value) = 30;
  EXPECT_EQ(v.Find(3, &value), 0);
  EXPECT_EQ(*value, 10);
  EXPECT_EQ(v.GetAt(-1, &value), 0);
  EXPECT_EQ(v.GetAt(v.Count(), &value), 0);
  EXPECT_EQ(v.GetAt(2, &value), 1);
  EXPECT_EQ(*value, 30);
  v.Clear();
  EXPECT_EQ(v.Count(), 0);

  // A second child under an existing id is kept, but operations reach the first.
  AddStatic(7, 0, 0, 10, 10);
  AddStatic(7, 0, 20, 10, 10);
  Create();
  ASSERT_EQ(State().children.Count(), 2);
  Child *first = nullptr, *second = nullptr;
  State().children.GetAt(0, &first);
  State().children.GetAt(1, &second);
  ASSERT_NE(second->hwnd, nullptr);
  SetChildText(7, "first");
  char text[16] = {};
  GetWindowTextA(first->hwnd, text, sizeof(text));
  EXPECT_STREQ(text, "first");
  GetWindowTextA(second->hwnd, text, sizeof(text));
  EXPECT_STREQ(text, "");
}

TEST_F(SkinnedPopup, TheShapeKeepsExactlyThePixelsOutsideTheKeyRange) {
  HWND popup = Create();
  HRGN shape = plat::sim::WindowRegion(popup);
  ASSERT_NE(shape, nullptr);
  for (int32_t y = 0; y < kBgHeight; ++y)
    for (int32_t x = 0; x < kBgWidth; ++x) {
      const uint32_t p = Background(x, y);
      const bool kept = p != kMagenta && p != 0xFF08FF;
      ASSERT_EQ(PtInRegion(shape, x, y) != 0, kept) << x << "," << y;
    }

  // A press on a cut corner reaches the window below; inside, the pop-up.
  ShowPopup(1);
  EXPECT_EQ(WindowFromPoint(POINT{kHostX + kPopupX, kHostY + kPopupY}), host_);
  EXPECT_EQ(WindowFromPoint(POINT{kHostX + kPopupX + 5, kHostY + kPopupY + 5}), popup);
}

TEST_F(SkinnedPopup, AShapeOfManyRunsEqualsOneBuiltAtOnce) {
  constexpr int32_t kWidth = 200, kHeight = 60;  // 100 runs a row: 6,000 runs
  dir_.Write("many.bmp", BmpFile(kWidth, kHeight, [](int32_t x, int32_t) { return x % 2 ? kMagenta : kFace; }));
  auto bitmap = static_cast<HBITMAP>(
      LoadImageA(nullptr, (dir_.path() + "many.bmp").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  ASSERT_NE(bitmap, nullptr);
  HRGN shape = CreateRegionFromBitmap(bitmap, kColourKey, kShapeTolerance);
  ASSERT_NE(shape, nullptr);
  std::vector<RECT> runs;
  for (int32_t y = 0; y < kHeight; ++y)
    for (int32_t x = 0; x < kWidth; x += 2) runs.push_back({x, y, x + 1, y + 1});
  std::vector<uint8_t> block(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
  auto* data = reinterpret_cast<RGNDATA*>(block.data());
  data->rdh = {sizeof(RGNDATAHEADER), RDH_RECTANGLES, static_cast<DWORD>(runs.size()), 0, {}};
  std::memcpy(block.data() + sizeof(RGNDATAHEADER), runs.data(), runs.size() * sizeof(RECT));
  HRGN once = ExtCreateRegion(nullptr, static_cast<DWORD>(block.size()), data);
  EXPECT_TRUE(EqualRgn(shape, once));
  for (HGDIOBJ o : {static_cast<HGDIOBJ>(shape), static_cast<HGDIOBJ>(once), static_cast<HGDIOBJ>(bitmap)})
    DeleteObject(o);
}

TEST_F(SkinnedPopup, APictureButtonIsOneFrameOfItsStripWide) {
  WriteBmp("strip.bmp", 400, 30, [](int32_t, int32_t) { return kFace; });
  ASSERT_EQ(AddImageButton(5, 0, 0, "strip.bmp", 4), 1);
  ASSERT_EQ(AddImageButton(6, 0, 0, "strip.bmp", 0), 1);
  EXPECT_EQ(AddImageButton(8, 0, 0, "missing.bmp", 4), 0);
  EXPECT_EQ(FindChild(5)->width, 100);
  EXPECT_EQ(FindChild(6)->width, 100);
  EXPECT_EQ(FindChild(6)->height, 30);
  EXPECT_EQ(FindChild(8), nullptr);
}

TEST_F(SkinnedPopup, AnOwnerDrawnButtonShowsTheFrameOfItsState) {
  constexpr int32_t kFrame = 10;
  const uint32_t colours[4] = {0x110000, 0x002200, 0x000033, 0x444444};
  WriteBmp("four.bmp", 4 * kFrame, kFrame, [&](int32_t x, int32_t) { return colours[x / kFrame]; });
  WriteBmp("two.bmp", 2 * kFrame, kFrame, [&](int32_t x, int32_t) { return colours[x / kFrame]; });
  AddImageButton(4, 0, 0, "four.bmp", 4);
  AddImageButton(2, 0, 20, "two.bmp", 2);
  Create();
  struct Case {
    int32_t id;
    UINT state;
    int32_t frame;
  };
  const Case cases[] = {
      {4, 0, 0},
      {4, ODS_FOCUS, 1},
      {4, ODS_SELECTED | ODS_FOCUS, 2},
      {4, ODS_DISABLED, 3},
      {4, ODS_HOTLIGHT, 0},  // hover alone: frame 1, then frame 0 over it
      {4, ODS_SELECTED, 0},
      {2, ODS_FOCUS, 0},  // n - 3 below 1 gives frame 0
      {2, ODS_SELECTED | ODS_FOCUS, 0},
      {2, ODS_DISABLED, 1},
  };
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), kFrame, -kFrame, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  for (const Case& c : cases) {
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP target = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, target);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = static_cast<UINT>(c.id);
    item.itemState = c.state;
    item.hDC = dc;
    item.rcItem = {0, 0, kFrame, kFrame};
    SendMessageA(State().popup, WM_DRAWITEM, static_cast<WPARAM>(c.id), reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(static_cast<uint32_t*>(bits)[0] & 0xFFFFFF, colours[c.frame]) << c.id << " state " << c.state;
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
  }
}

TEST_F(SkinnedPopup, ANumberEditTakesOnlyNumbersInItsRange) {
  AddEdit(10, 0, 0, 40, 15, 1, 0, 60, ES_RIGHT);
  AddEdit(11, 0, 20, 40, 15, 1, 0, 9999);
  Create();
  HWND edit = Window(10);
  auto type = [](HWND h, char ch) { SendMessageA(h, WM_CHAR, static_cast<WPARAM>(ch), 0); };
  auto text = [](HWND h) {
    char buf[32] = {};
    GetWindowTextA(h, buf, sizeof(buf));
    return std::string(buf);
  };
  SetFocus(host_);
  type(edit, '6');
  type(edit, '0');
  EXPECT_EQ(text(edit), "60");
  type(edit, '1');
  EXPECT_EQ(text(edit), "60");
  DWORD start = 9, end = 9;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(std::pair(start, end), std::pair(DWORD{0}, DWORD{2}));
  EXPECT_EQ(GetFocus(), edit);
  SendMessageA(edit, EM_SETSEL, 2, 2);
  type(edit, 'a');
  EXPECT_EQ(text(edit), "60");
  type(edit, '\b');
  EXPECT_EQ(text(edit), "6");
  SendMessageA(edit, EM_SETSEL, 0, -1);
  type(edit, '7');
  EXPECT_EQ(text(edit), "7");

  HWND wide = Window(11);
  for (char ch : std::string("12345")) type(wide, ch);
  EXPECT_EQ(text(wide), "1234");
  EXPECT_EQ(SendMessageA(wide, EM_GETLIMITTEXT, 0, 0), 4);
}

TEST_F(SkinnedPopup, TheDialogProcedureEndsHidesColoursAndDrags) {
  AddCheckBox(30, 0, 0, 20, 20, 1, 'c');
  AddRadio(31, 0, 20, 20, 20, 1, 1, 'r');
  AddStatic(32, 0, 40, 30, 12);
  AddGroupBox(33, 0, 60, 30, 12);
  AddEdit(34, 0, 80, 30, 12, 0, 0, 0);
  SetChildTextColor(32, 1, 2, 3);
  static std::vector<bool> visibleAtCommand;
  visibleAtCommand.clear();
  State().handlers.onCommand = [](WPARAM, LPARAM) { visibleAtCommand.push_back(IsWindowVisible(State().popup)); };
  HWND popup = Create();
  ShowPopup(1);
  // The dialog procedure's own answer (a dialog's sender gets its message result).
  auto procCommand = [&](int32_t id) { return SkinDialogProc(popup, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); };
  EXPECT_EQ(procCommand(IDOK), 1);
  EXPECT_EQ(visibleAtCommand, std::vector<bool>{true});
  EXPECT_TRUE(IsWindow(popup));
  EXPECT_FALSE(IsWindowVisible(popup));
  ShowPopup(1);
  EXPECT_EQ(procCommand(IDCANCEL), 1);
  EXPECT_FALSE(IsWindowVisible(popup));
  EXPECT_EQ(procCommand(30), 0);

  const auto nullBrush = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
  HDC dc = GetDC(popup);
  for (int32_t id : {30, 31, 32})
    EXPECT_EQ(SendMessageA(popup, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Window(id))),
              nullBrush)
        << id;
  EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
  EXPECT_EQ(SkinDialogProc(popup, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Window(33))),
            0);
  EXPECT_EQ(SendMessageA(popup, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Window(34))),
            nullBrush);
  ReleaseDC(popup, dc);

  ShowPopup(1);
  plat::sim::ClearDragRequests();
  SendMessageA(popup, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 12));
  PumpAll();
  auto drags = plat::sim::DragRequests();
  ASSERT_EQ(drags.size(), 1u);
  EXPECT_EQ(drags[0].hwnd, popup);
  EXPECT_EQ(std::pair(drags[0].screen.x, drags[0].screen.y), std::pair(15, 12));
}

TEST_F(SkinnedPopup, BuildingTheHiddenPopupLeavesTheKeysWithItsParent) {
  AddEdit(34, 0, 0, 30, 12, 0, 0, 0);
  SetFocus(host_);
  HWND popup = Create();
  EXPECT_FALSE(IsWindowVisible(popup));
  EXPECT_EQ(GetFocus(), host_);
}

TEST_F(SkinnedPopup, TheDefaultCommandHandlerKeepsManualControlsAndTellsTheParent) {
  WriteBmp("btn.bmp", 40, 10, [](int32_t, int32_t) { return kFace; });
  AddCheckBox(40, 0, 0, 20, 20, 0, 'c');
  AddRadio(41, 0, 20, 20, 20, 1, 0, 'r');
  AddRadio(42, 20, 20, 20, 20, 0, 0, 'r');
  AddRadio(43, 40, 20, 20, 20, 0, 0, 'r');
  AddRadioGroup(41, 43);
  AddImageButton(44, 0, 50, "btn.bmp", 4);
  Create();
  Command(40);
  EXPECT_EQ(IsChecked(40), 1);
  Command(40);
  EXPECT_EQ(IsChecked(40), 0);
  SetCheck(41, 1);
  SetCheck(43, 1);
  Command(42);
  EXPECT_EQ(GetCheckedInRange(41, 43), 42);
  EXPECT_EQ(IsChecked(41) + IsChecked(43), 0);
  Command(44);
  Command(99);  // no such control
  std::vector<std::pair<WPARAM, LPARAM>> got;
  for (const HostMessage& m : UserMessages()) got.emplace_back(m.wParam, m.lParam);
  const std::vector<std::pair<WPARAM, LPARAM>> want = {{40, 1}, {40, 0}, {42, 1}, {44, 0}};
  EXPECT_EQ(got, want);

  // After the pop-up is gone, late commands and draws do nothing.
  HWND popup = State().popup;
  DestroyPopupDialog();
  skinned_popup::OnCommand(MAKEWPARAM(40, BN_CLICKED), 0);
  DRAWITEMSTRUCT item{};
  item.CtlID = 44;
  skinned_popup::OnDrawItem(44, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(UserMessages().size(), want.size());
  EXPECT_FALSE(IsWindow(popup));
}

TEST_F(SkinnedPopup, GetChildTextStaysInsideTheCallersBuffer) {
  AddStatic(50, 0, 0, 50, 12);
  Create();
  SetChildText(50, "123456");
  char buf[8];
  std::memset(buf, 'x', sizeof(buf));
  EXPECT_EQ(GetChildText(50, 4, buf), 3);
  EXPECT_STREQ(buf, "123");
  EXPECT_EQ(buf[4], 'x');
  std::memset(buf, 'x', sizeof(buf));
  EXPECT_EQ(GetChildText(50, 0, buf), 0);
  EXPECT_EQ(GetChildText(50, -1, buf), 0);
  EXPECT_EQ(buf[0], 'x');
  EXPECT_EQ(GetChildText(51, 8, buf), 0);
}

// Stands for the edit's own procedure, to see the edit's end.
WNDPROC g_editProc = nullptr;
struct EditEnd {
  bool seen = false, propsGone = false, procRestored = false;
} g_editEnd;
LRESULT CALLBACK SpyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) {
    g_editEnd.seen = true;
    g_editEnd.propsGone = !GetPropA(hwnd, kPropOriginalProc) && !GetPropA(hwnd, kPropMinimum) &&
                          !GetPropA(hwnd, kPropMaximum);
    g_editEnd.procRestored = GetWindowLongPtrA(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&SpyProc);
  }
  return CallWindowProcA(g_editProc, hwnd, msg, wParam, lParam);
}

TEST_F(SkinnedPopup, DestroyRestoresTheEditsBeforeTheWindowsGoAndCanBeRepeated) {
  const size_t before = plat::sim::LiveWindows();
  AddEdit(60, 0, 0, 30, 15, 1, 1, 5);
  AddStatic(61, 0, 20, 30, 12);
  AddBackImage(0, 0, 0, "bg.bmp", 1);
  Create();
  SetChildFont(61, 12, 0);
  HWND edit = Window(60);
  g_editProc = reinterpret_cast<WNDPROC>(GetPropA(edit, kPropOriginalProc));
  EXPECT_EQ(GetPropA(edit, kPropMaximum), reinterpret_cast<HANDLE>(5));
  SetPropA(edit, kPropOriginalProc, reinterpret_cast<HANDLE>(&SpyProc));
  g_editEnd = {};
  DestroyPopupDialog();
  EXPECT_TRUE(g_editEnd.seen);
  EXPECT_TRUE(g_editEnd.propsGone);
  EXPECT_TRUE(g_editEnd.procRestored);
  EXPECT_EQ(State().popup, nullptr);
  EXPECT_EQ(State().children.Count(), 0);
  EXPECT_EQ(State().layers.Count(), 0);
  EXPECT_EQ(plat::sim::LiveWindows(), before);
  DestroyPopupDialog();
  EXPECT_EQ(plat::sim::LiveWindows(), before);
}

TEST_F(SkinnedPopup, ThePopupIsPlacedMovedAndFollowsItsParent) {
  EXPECT_EQ(CreateSkinnedPopup(kTemplateId, 0, 0, host_, "missing.bmp", SkinDialogProc), 0);
  EXPECT_EQ(State().popup, nullptr);
  HWND popup = Create();
  RECT r{};
  GetWindowRect(popup, &r);
  EXPECT_EQ(r.left, kHostX + kPopupX);
  EXPECT_EQ(r.top, kHostY + kPopupY);
  EXPECT_EQ(r.right - r.left, kBgWidth);
  EXPECT_EQ(r.bottom - r.top, kBgHeight);
  EXPECT_FALSE(IsWindowVisible(popup));

  MovePopup(5, 6, 1);
  GetWindowRect(popup, &r);
  EXPECT_EQ(std::pair(r.left, r.top), std::pair(kHostX + 5, kHostY + 6));
  MovePopup(5, 6, 0);
  GetWindowRect(popup, &r);
  EXPECT_EQ(std::pair(r.left, r.top), std::pair(5, 6));
  EXPECT_EQ(r.right - r.left, kBgWidth);

  SetWindowPos(host_, nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  FollowParentWindow(host_, 0);
  GetWindowRect(popup, &r);
  EXPECT_EQ(std::pair(r.left, r.top), std::pair(5, 6));
  FollowParentWindow(host_, 1);
  RECT hr{};
  GetWindowRect(host_, &hr);
  GetWindowRect(popup, &r);
  EXPECT_EQ(std::pair(r.right, r.bottom), std::pair(hr.right, hr.bottom));
  EXPECT_EQ(r.right - r.left, kBgWidth);
}

}  // namespace
}  // namespace popup_test
