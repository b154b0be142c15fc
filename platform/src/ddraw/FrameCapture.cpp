// Frame capture: pictures of windows, the desktop and surfaces as RGB, their hash, and
// PNG files for a person to compare when a pinned hash no longer matches.
#include <png.h>

#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "ddraw/Display.h"
#include "ddraw/Surface.h"
#include "ddraw/WindowSeam.h"
#include "plat/sim_display.h"

namespace plat::sim {

namespace {

RgbImage FromXrgb(const detail::ddraw::XrgbImage& x) {
  RgbImage image;
  image.width = x.width;
  image.height = x.height;
  image.rgb.reserve(x.pixels.size() * 3);
  for (uint32_t p : x.pixels) {
    image.rgb.push_back(static_cast<uint8_t>(p >> 16));
    image.rgb.push_back(static_cast<uint8_t>(p >> 8));
    image.rgb.push_back(static_cast<uint8_t>(p));
  }
  return image;
}

struct FrameSettings {
  std::mutex mutex;
  std::string folder;
};
FrameSettings& Settings() {
  static FrameSettings* s = new FrameSettings;
  return *s;
}

std::string ProgramFolder() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string(".") : exe.parent_path().string();
}

}  // namespace

RgbImage CaptureWindow(HWND hwnd) { return FromXrgb(detail::ddraw::ReadWindowImage(hwnd)); }

RgbImage CaptureDesktop() { return FromXrgb(detail::ddraw::ReadDesktopImage()); }

RgbImage CaptureSurface(IDirectDrawSurface4* surface) {
  using namespace detail::ddraw;
  if (!surface) return {};
  auto lock = LockDisplay();
  auto* s = static_cast<Surface*>(surface);
  if (s->LostLocked()) return {};
  const PixelView v = s->ViewLocked();
  XrgbImage x;
  x.width = v.width;
  x.height = v.height;
  x.pixels.reserve(static_cast<size_t>(v.width) * static_cast<size_t>(v.height));
  for (int y = 0; y < v.height; ++y)
    for (int i = 0; i < v.width; ++i) x.pixels.push_back(PixelToXrgb(s->Format(), ReadPixel(v.Row(y) + i * v.bytes, v.bytes)));
  return FromXrgb(x);
}

std::string HashImage(const RgbImage& image) {
  // FNV-1a over the size (little-endian) and the pixels.
  uint64_t h = 0xCBF29CE484222325ull;
  auto mix = [&h](uint8_t b) { h = (h ^ b) * 0x100000001B3ull; };
  for (int v : {image.width, image.height})
    for (int i = 0; i < 4; ++i) mix(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
  for (uint8_t b : image.rgb) mix(b);
  char text[17];
  std::snprintf(text, sizeof text, "%016" PRIx64, h);
  return text;
}

bool WritePng(const RgbImage& image, const std::string& path) {
  if (image.width <= 0 || image.height <= 0 ||
      image.rgb.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 3)
    return false;
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.width);
  png.height = static_cast<png_uint_32>(image.height);
  png.format = PNG_FORMAT_RGB;
  const bool ok = png_image_write_to_file(&png, path.c_str(), 0, image.rgb.data(), image.width * 3, nullptr) != 0;
  png_image_free(&png);
  return ok;
}

void SetFrameFolder(const std::string& folder) {
  std::lock_guard lock(Settings().mutex);
  Settings().folder = folder;
}

std::string FrameFolder() {
  std::lock_guard lock(Settings().mutex);
  return Settings().folder.empty() ? ProgramFolder() + "/frames" : Settings().folder;
}

FrameCheck CheckFrame(const RgbImage& image, const std::string& name, const std::string& expectedHash,
                      const std::string& expectedPng) {
  FrameCheck check;
  check.actualHash = HashImage(image);
  check.matches = check.actualHash == expectedHash;
  if (check.matches) return check;
  const std::filesystem::path folder = FrameFolder();
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  check.actualPath = (folder / (name + ".actual.png")).string();
  if (!WritePng(image, check.actualPath)) check.actualPath.clear();
  if (!expectedPng.empty() && std::filesystem::exists(expectedPng, ec)) {
    const auto target = folder / (name + ".expected.png");
    if (std::filesystem::copy_file(expectedPng, target, std::filesystem::copy_options::overwrite_existing, ec))
      check.expectedPath = target.string();
  }
  return check;
}

}  // namespace plat::sim
