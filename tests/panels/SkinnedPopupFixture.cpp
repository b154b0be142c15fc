#include "SkinnedPopupFixture.h"

namespace popup_test {
namespace {

constexpr char kHostClass[] = "PopupHostWnd";

void Put(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_USER) PopupTest::UserMessages().push_back({msg, wParam, lParam});
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

std::string BmpFile(int32_t width, int32_t height, const PixelFn& pixel) {
  const uint32_t stride = static_cast<uint32_t>((width * 3 + 3) / 4 * 4);
  const uint32_t size = stride * static_cast<uint32_t>(height);
  std::string out = "BM";
  Put(out, 54 + size, 4);
  Put(out, 0, 4);
  Put(out, 54, 4);
  Put(out, 40, 4);
  Put(out, static_cast<uint32_t>(width), 4);
  Put(out, static_cast<uint32_t>(height), 4);
  Put(out, 1, 2);
  Put(out, 24, 2);
  for (int i = 0; i < 6; ++i) Put(out, 0, 4);
  for (int32_t y = height - 1; y >= 0; --y) {
    std::string row;
    for (int32_t x = 0; x < width; ++x) Put(row, pixel(x, y), 3);
    row.resize(stride, '\0');
    out += row;
  }
  return out;
}

std::vector<HostMessage>& PopupTest::UserMessages() {
  static std::vector<HostMessage> messages;
  return messages;
}

void PopupTest::PumpAll() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

void PopupTest::SetUp() {
  // The test program is the module the template is registered in.
  const HINSTANCE kInstance = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  wc.lpfnWndProc = HostProc;
  wc.hInstance = kInstance;
  wc.lpszClassName = kHostClass;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1));
  RegisterClassA(&wc);
  host_ = CreateWindowExA(0, kHostClass, "host", WS_POPUP | WS_VISIBLE, kHostX, kHostY, kHostWidth, kHostHeight,
                          nullptr, nullptr, kInstance, nullptr);
  ASSERT_NE(host_, nullptr);
  skinned_popup::RegisterTemplate(kInstance);
  skinned_popup::State().handlers = skinned_popup::DefaultHandlers();
  skinned_popup::SetImageFolder(dir_.path());
  UserMessages().clear();
}

void PopupTest::TearDown() {
  DestroyPopupDialog();
  skinned_popup::State().handlers = skinned_popup::DefaultHandlers();
  skinned_popup::SetImageFolder("");
  plat::sim::ResetWindowSystem();
  UserMessages().clear();
}

void PopupTest::WriteBmp(const std::string& name, int32_t width, int32_t height, const PixelFn& pixel) {
  dir_.Write(name, BmpFile(width, height, pixel));
}

}  // namespace popup_test
