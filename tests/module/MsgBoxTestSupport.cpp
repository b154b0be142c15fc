#include "MsgBoxTestSupport.h"

#include <filesystem>
#include <map>

#include "graphics/K_Dib_Image.h"
#include "module/MsgBoxTemplate.h"
#include "plat/time.h"

namespace msgbox_test {
namespace {

constexpr const char* kPlainClass = "MsgBoxTestWnd";
constexpr int32_t kBgrFormat = 24;

// Most corners cover the sides they meet; the small top-left one shows the drawing order.
struct PieceSpec {
  int width, height;
  uint32_t colour, marker;  // XRGB; the marker is the piece's own pixel (0, 0)
};
const PieceSpec kPieces[CMsgBoxSkin::kPieceCount] = {
    {4, 4, 0x101010, 0x111111},    // top-left
    {8, 6, 0x202020, 0x212121},    // top
    {10, 10, 0x303030, 0x313131},  // top-right
    {6, 8, 0x404040, 0x414141},    // left
    {16, 16, 0x505050, 0x515151},  // centre
    {6, 8, 0x606060, 0x616161},    // right
    {10, 10, 0x707070, 0x717171},  // bottom-left
    {8, 6, 0x808080, 0x818181},    // bottom
    {10, 10, 0x909090, 0x919191},  // bottom-right
};

const std::map<std::string, uint32_t> kStripBase = {{"ok", 0xA00000}, {"yes", 0x00A000}, {"no", 0x0000A0}};

LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

std::string Bitmap(int width, int height, const std::function<uint32_t(int, int)>& colourAt) {
  K_Dib_Image image;
  EXPECT_TRUE(image.Create(width, height, kBgrFormat));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint32_t c = colourAt(x, y);
      uint8_t* p = image.PixelAddress(x, y);
      p[0] = static_cast<uint8_t>(c);
      p[1] = static_cast<uint8_t>(c >> 8);
      p[2] = static_cast<uint8_t>(c >> 16);
    }
  const std::vector<uint8_t> bytes = image.SaveBMPToBytes();
  return std::string(bytes.begin(), bytes.end());
}

uint32_t StripColour(const std::string& strip, int frame) { return kStripBase.at(strip) + 0x10 * frame; }

void MsgBoxTest::SetUp() {
  plat::sim::ResetWindowSystem();
  plat::sim::ClearFaults();
  ASSERT_TRUE(msgbox_template::Register(nullptr));
  plat::sim::MapPathPrefix(kGameFolder, dir_.path());
  for (int i = 0; i < CMsgBoxSkin::kPieceCount; ++i) {
    const PieceSpec& p = kPieces[i];
    dir_.Write("GameImage/MsgBox/msg" + std::to_string(i) + ".bmp",
               Bitmap(p.width, p.height, [&](int x, int y) { return x == 0 && y == 0 ? p.marker : p.colour; }));
  }
  for (const auto& [strip, base] : kStripBase)
    dir_.Write("GameImage/MsgBox/" + strip + "_btn.bmp",
               Bitmap(kStripFrameWidth * CMsgBoxSkin::kStripFrames, kStripFrameHeight,
                      [&, s = strip](int x, int) { return StripColour(s, x / kStripFrameWidth); }));
  WNDCLASSA wc{};
  wc.lpfnWndProc = PlainProc;
  wc.lpszClassName = kPlainClass;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1));
  RegisterClassA(&wc);
  host_ = CreateWindowExA(0, kPlainClass, "host", WS_POPUP | WS_VISIBLE, kHostX, kHostY, kGameWidth + 2 * kGameOffset,
                          kGameHeight + 2 * kGameOffset, nullptr, nullptr, nullptr, nullptr);
  game_ = CreateWindowExA(0, kPlainClass, "game", WS_CHILD | WS_VISIBLE, kGameOffset, kGameOffset, kGameWidth,
                          kGameHeight, host_, nullptr, nullptr, nullptr);
  ASSERT_TRUE(host_ && game_);
  UpdateWindow(host_);
  UpdateWindow(game_);
  start_ = GetTickCount();
  gdiBefore_ = plat::sim::LiveGdiObjects();
  dcsBefore_ = plat::sim::LiveDeviceContexts();
}

void MsgBoxTest::TearDown() {
  plat::sim::SetModalHook(nullptr);
  plat::sim::ResetWindowSystem();
  plat::sim::ClearPathPrefixes();
  plat::sim::ClearFaults();
}

DWORD MsgBoxTest::Elapsed() const { return GetTickCount() - start_; }

void MsgBoxTest::RemoveFixture(const std::string& fileName) {
  std::filesystem::remove(dir_ / ("GameImage/MsgBox/" + fileName));
}

POINT ButtonCentre(HWND dialog, int id) {
  RECT r{};
  HWND button = GetDlgItem(dialog, id);
  GetWindowRect(button, &r);
  POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ScreenToClient(dialog, &p);
  return p;
}

Seen MsgBoxTest::Look(HWND dialog) {
  Seen s;
  s.dialog = dialog;
  GetWindowRect(dialog, &s.window);
  GetClientRect(dialog, &s.client);
  for (int i = 0; i < 2; ++i) {
    HWND b = GetDlgItem(dialog, i + 1);
    GetWindowRect(b, &s.button[i]);
    POINT tl{s.button[i].left, s.button[i].top}, br{s.button[i].right, s.button[i].bottom};
    ScreenToClient(dialog, &tl);
    ScreenToClient(dialog, &br);
    s.button[i] = RECT{tl.x, tl.y, br.x, br.y};
  }
  s.capture.image = plat::sim::ReadWindow(dialog);
  return s;
}

int32_t MsgBoxTest::Show(const std::string& body, int32_t type, uint32_t autoCloseMs, const std::string& heading,
                         const Step& step, COLORREF headingColour) {
  std::map<HWND, int> calls;
  plat::sim::SetModalHook([&](HWND dialog) {
    int call = calls[dialog]++;
    if (call == 0 && !seen_.dialog) seen_ = Look(dialog);
    if (step) step(dialog, call);
  });
  const int32_t result = ShowMsgBox(nullptr, game_, kGameFolder, body, type, autoCloseMs, heading, headingColour);
  plat::sim::SetModalHook(nullptr);
  return result;
}

}  // namespace msgbox_test
