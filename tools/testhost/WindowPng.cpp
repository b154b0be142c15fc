// Window pixels to PNG through libpng. Bound to the layer's frame capture (capture a
// window, write a PNG) once the display part of the layer provides it; until then it
// reads the window's pixels itself.
#include "testhost/WindowPng.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "plat/sim.h"

namespace testhost {

namespace {

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};

}  // namespace

bool WriteWindowPng(HWND hwnd, const std::string& path, std::string& error) {
  const plat::sim::WindowImage image = plat::sim::ReadWindow(hwnd);
  if (image.width <= 0 || image.height <= 0) {
    error = "no window to capture";
    return false;
  }
  std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) {
    error = "cannot write " + path;
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    error = "no memory for the PNG writer";
    return false;
  }
  std::vector<png_byte> row(static_cast<size_t>(image.width) * 3);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    error = "cannot write " + path;
    return false;
  }
  png_init_io(png, file.get());
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < image.height; ++y) {
    const uint32_t* src = &image.pixels[static_cast<size_t>(y) * static_cast<size_t>(image.width)];
    for (int x = 0; x < image.width; ++x) {
      row[3 * x] = static_cast<png_byte>(src[x] >> 16);
      row[3 * x + 1] = static_cast<png_byte>(src[x] >> 8);
      row[3 * x + 2] = static_cast<png_byte>(src[x]);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace testhost
