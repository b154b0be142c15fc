// The GIF player: file reading, the block reader, the LZW decoder with its pixel
// writer, and frame stepping with composition through a work surface.
#include "graphics/CGif.h"

#include <algorithm>
#include <array>

#include "base/ByteReader.h"
#include "graphics/KFileHandle.h"
#include "plat/gdi.h"
#include "base/DDSurfacePixel.h"

namespace {

constexpr uint8_t kImageByte = 0x2C;
constexpr uint8_t kExtensionByte = 0x21;
constexpr uint8_t kLabelControl = 0xF9;
constexpr uint8_t kLabelText = 0x01;
constexpr uint8_t kLabelComment = 0xFE;
constexpr uint8_t kLabelApplication = 0xFF;
constexpr size_t kTextHeaderBytes = 13;         // size byte and 12 bytes
constexpr size_t kApplicationHeaderBytes = 12;  // size byte and 11 bytes
constexpr uint8_t kTablePresent = 0x80;
constexpr uint8_t kInterlaced = 0x40;
constexpr uint8_t kDisposalMask = 0x1C;
constexpr int32_t kMaxLzwCodeBits = 12;
// Roots are palette indices, so they must fit a byte.
constexpr int32_t kMinCodeSizeLow = 1;
constexpr int32_t kMinCodeSizeHigh = 8;
constexpr int32_t kPaletteEntries = 256;
constexpr int32_t kHundredthsToMs = 10;
// An image whose data ends before its last pixel keeps index 0 for the rest, but only
// while it is small: a large one would cost a full bitmap for a few bytes of data.
constexpr int64_t kMaxUnfilledImagePixels = 1024;

size_t TableBytes(uint8_t packed) { return (size_t(2) << (packed & 7)) * 3; }

// Data sub-blocks up to and including the zero-length one; false when the data ends first.
bool SkipSubBlocks(ByteReader& r) {
  for (;;) {
    const uint8_t n = r.U8();
    if (r.Failed()) return false;
    if (n == 0) return true;
    r.Skip(n);
  }
}

// Rows in order, or in the four interlace passes; pixels past the image are dropped.
// The buffer grows with the rows the data reaches, so a large image whose data is
// short costs what its data is worth.
class PixelWriter {
 public:
  PixelWriter(std::vector<uint8_t>& pixels, int32_t width, int32_t height, int32_t stride, bool interlaced)
      : pixels_(pixels), width_(width), height_(height), stride_(stride), interlaced_(interlaced) {}

  void Put(uint8_t v) {
    if (Full()) return;
    const size_t at = size_t(row_) * size_t(stride_) + size_t(x_);
    if (at >= pixels_.size()) pixels_.resize(at - size_t(x_) + size_t(stride_), 0);
    pixels_[at] = v;
    ++written_;
    if (++x_ < width_) return;
    x_ = 0;
    if (!interlaced_) {
      ++row_;
      return;
    }
    row_ += kStep[pass_];
    while (row_ >= height_ && pass_ + 1 < kPasses) row_ = kStart[++pass_];
  }
  bool Full() const { return row_ >= height_; }
  int64_t Written() const { return written_; }

 private:
  static constexpr int32_t kPasses = 4;
  static constexpr int32_t kStart[kPasses] = {0, 4, 2, 1};
  static constexpr int32_t kStep[kPasses] = {8, 8, 4, 2};

  std::vector<uint8_t>& pixels_;
  int32_t width_, height_, stride_;
  bool interlaced_;
  int32_t x_ = 0, row_ = 0, pass_ = 0;
  int64_t written_ = 0;
};

// Codes least-significant bit first across the image's data sub-blocks.
class CodeReader {
 public:
  explicit CodeReader(ByteReader& r) : r_(r) {}

  // The next code of `bits` bits; -1 once the image's data has ended.
  int32_t Read(int32_t bits) {
    while (held_ < bits) {
      const int32_t b = NextByte();
      if (b < 0) return -1;
      acc_ |= uint32_t(b) << held_;
      held_ += 8;
    }
    const int32_t code = int32_t(acc_ & ((1u << bits) - 1));
    acc_ >>= bits;
    held_ -= bits;
    return code;
  }

  // Moves past whatever is left of the image's data, so the next block starts right
  // after it even when the end code came early.
  void SkipRest() {
    if (terminated_) return;
    r_.Skip(left_);
    SkipSubBlocks(r_);
  }

 private:
  int32_t NextByte() {
    if (terminated_ || r_.Failed()) return -1;
    if (left_ == 0) {
      left_ = r_.U8();
      if (r_.Failed()) return -1;
      if (left_ == 0) {
        terminated_ = true;
        return -1;
      }
    }
    const uint8_t b = r_.U8();
    if (r_.Failed()) return -1;
    --left_;
    return b;
  }

  ByteReader& r_;
  uint32_t acc_ = 0;
  int32_t held_ = 0;
  size_t left_ = 0;
  bool terminated_ = false;
};

// One image's LZW stream into the writer. False for a stream no encoder makes: a code
// not in the table without a previous code, or a prefix chain that does not descend.
// The end code, the end of the data and a full image all end the image.
bool DecodeLzw(ByteReader& r, int32_t minSize, PixelWriter& out) {
  const int32_t clear = 1 << minSize, end = clear + 1, firstFree = clear + 2;
  std::array<uint16_t, CGif::kLzwEntries> prefix{};
  std::array<uint8_t, CGif::kLzwEntries> suffix{};
  std::array<uint8_t, CGif::kLzwEntries> stack{};
  int32_t size = minSize + 1, free = firstFree, previous = -1;
  CodeReader codes(r);

  // Writes the string of `code` and gives its first byte; -1 for a broken chain.
  auto emit = [&](int32_t code) -> int32_t {
    size_t depth = 0;
    while (code >= firstFree) {
      stack[depth++] = suffix[size_t(code)];
      const int32_t link = prefix[size_t(code)];
      if (link >= code) return -1;
      code = link;
    }
    if (code >= clear) return -1;
    out.Put(uint8_t(code));
    while (depth > 0) out.Put(stack[--depth]);
    return code;
  };

  while (!out.Full()) {
    const int32_t code = codes.Read(size);
    if (code < 0 || code == end) break;
    if (code == clear) {
      free = firstFree;
      size = minSize + 1;
      previous = -1;
      continue;
    }
    int32_t first;
    if (code < free) {
      first = emit(code);
    } else {
      // Not yet in the table: the previous string and its own first byte.
      if (previous < 0) return false;
      first = emit(previous);
      if (first >= 0) out.Put(uint8_t(first));
    }
    if (first < 0) return false;
    if (previous >= 0 && free < CGif::kLzwEntries) {
      prefix[size_t(free)] = uint16_t(previous);
      suffix[size_t(free)] = uint8_t(first);
      if (++free == (1 << size) && size < kMaxLzwCodeBits) ++size;
    }
    previous = code;
  }
  codes.SkipRest();
  return true;
}

// An 8-bit top-down DIB header with its full colour table.
struct PaletteInfo {
  BITMAPINFOHEADER header;
  RGBQUAD colors[kPaletteEntries];
};

}  // namespace

BOOL CGif::LoadGifFile(const std::string& name) {
  bool openFailed = false;
  std::vector<uint8_t> bytes;
  if (!kk::ReadFileBytes(name.c_str(), kMaxFileBytes, bytes, &openFailed)) {
    globalTable_.clear();
    data_.clear();
    if (openFailed) error_ = 1;
    return 0;
  }
  return ReadGif(bytes);
}

BOOL CGif::ReadGif(std::span<const uint8_t> bytes) {
  globalTable_.clear();
  data_.clear();
  frames_.clear();
  cursor_ = 0;
  decodedPixels_ = 0;
  ByteReader r(bytes);
  const auto signature = r.Bytes(6);
  const uint16_t width = r.U16(), height = r.U16();
  const uint8_t packed = r.U8();
  const uint8_t background = r.U8();
  r.Skip(1);
  static constexpr uint8_t kGif87[6] = {'G', 'I', 'F', '8', '7', 'a'};
  static constexpr uint8_t kGif89[6] = {'G', 'I', 'F', '8', '9', 'a'};
  if (r.Failed() || (!std::equal(signature.begin(), signature.end(), kGif87) &&
                     !std::equal(signature.begin(), signature.end(), kGif89))) {
    error_ = 1;
    return 0;
  }
  screenWidth_ = width;
  screenHeight_ = height;
  background_ = background;
  if (packed & kTablePresent) {
    const auto table = r.Bytes(TableBytes(packed));
    if (r.Failed()) {
      error_ = 1;
      return 0;
    }
    globalTable_.assign(table.begin(), table.end());
  }
  const auto rest = r.Rest();
  data_.assign(rest.begin(), rest.end());
  return 1;
}

HRESULT CGif::Load(const std::string& name, const DDObject& dd, SIZE* screen) {
  if (!LoadGifFile(name)) return 0;
  return Start(dd, screen);
}

HRESULT CGif::LoadFromBytes(std::span<const uint8_t> bytes, const DDObject& dd, SIZE* screen) {
  if (!ReadGif(bytes)) return 0;
  return Start(dd, screen);
}

HRESULT CGif::Start(const DDObject& dd, SIZE* screen) {
  if (int64_t(screenWidth_) * screenHeight_ > kMaxScreenPixels) return DDERR_OUTOFMEMORY;
  main_ = nullptr;
  work_ = nullptr;
  composing_ = 0;
  HRESULT hr = CreateOffscreenSurface(dd, main_, GSize(screenWidth_, screenHeight_));
  if (FAILED(hr)) return hr;
  if (screen) *screen = SIZE{screenWidth_, screenHeight_};
  // Every frame's key is one value: what the colour becomes on this very surface,
  // through the same conversion the bitmaps go through.
  frameKey_ = MatchSurfaceColor(main_, kKeyColor);
  DecodeAllFrames();
  if (frames_.empty()) return 0;
  next_ = 0;
  previous_ = 0;
  const GifFrame& first = frames_.front();
  colorKey_ = first.colorKey;
  ClearSurface(main_, colorKey_);
  const GRect size(0, 0, first.width, first.height);
  hr = CopyBitmapToSurface(main_, size, first.bitmap.Get(), size);
  if (FAILED(hr)) return hr;
  if (colorKey_ != kNoKey) {
    hr = SetSurfaceColorKey(main_, colorKey_);
    if (FAILED(hr)) return hr;
  }
  if (frames_.size() > 1) {
    for (const GifFrame& f : frames_)
      if (f.disposal == kDisposeKeep) composing_ = 1;
    if (composing_ && FAILED(CreateOffscreenSurface(dd, work_, GSize(screenWidth_, screenHeight_)))) return 0;
  }
  return 1;
}

void CGif::DecodeAllFrames() {
  cursor_ = 0;
  while (ReadBlock()) {
  }
}

int32_t CGif::ReadBlock() {
  ByteReader r(std::span<const uint8_t>(data_).subspan(cursor_));
  int32_t result = 0;
  for (;;) {
    const uint8_t b = r.U8();
    if (r.Failed()) break;
    if (b == 0) continue;
    if (b == kImageByte) {
      result = DecodeImage(r) ? 1 : 0;
      break;
    }
    if (b != kExtensionByte) break;  // the trailer, or a byte no block starts with
    const uint8_t label = r.U8();
    bool read = false;
    switch (label) {
      case kLabelControl: {
        r.Skip(1);
        const uint8_t packed = r.U8();
        const uint16_t delay = r.U16();
        const uint8_t index = r.U8();
        r.Skip(1);
        read = !r.Failed();
        if (read) {
          disposal_ = packed & kDisposalMask;
          transparent_ = (packed & 1) != 0;
          delay_ = delay;
          transparentIndex_ = index;
        }
        break;
      }
      case kLabelText:
        r.Skip(kTextHeaderBytes);
        read = SkipSubBlocks(r);
        break;
      case kLabelComment: read = SkipSubBlocks(r); break;
      case kLabelApplication:
        r.Skip(kApplicationHeaderBytes);
        read = SkipSubBlocks(r);
        break;
      default: break;
    }
    if (!read) break;
  }
  cursor_ = result ? cursor_ + r.Position() : 0;
  return result;
}

bool CGif::DecodeImage(ByteReader& r) {
  const uint16_t left = r.U16(), top = r.U16(), width = r.U16(), height = r.U16();
  const uint8_t packed = r.U8();
  if (r.Failed() || width == 0 || height == 0) return false;
  const int64_t stride = ((int64_t(width) - 1) | 3) + 1;
  const int64_t area = stride * height;
  if (area > kMaxImagePixels || decodedPixels_ + area > kMaxDecodedPixels) return false;

  std::span<const uint8_t> table(globalTable_);
  if (packed & kTablePresent) {
    table = r.Bytes(TableBytes(packed));
    if (r.Failed()) return false;
  }
  PaletteInfo info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width;
  info.header.biHeight = -int32_t(height);
  info.header.biPlanes = 1;
  info.header.biBitCount = 8;
  info.header.biCompression = BI_RGB;
  info.header.biClrUsed = kPaletteEntries;
  info.header.biClrImportant = kPaletteEntries;
  const size_t entries = table.size() / 3;
  for (size_t i = 0; i < entries; ++i)
    info.colors[i] = RGBQUAD{table[i * 3 + 2], table[i * 3 + 1], table[i * 3], 0};
  // The image's own copy of the table: later images keep the real colour.
  if (transparent_ && transparentIndex_ < entries) info.colors[transparentIndex_] = RGBQUAD{0xFF, 0, 0xFF, 0};

  const uint8_t minSize = r.U8();
  if (r.Failed() || minSize < kMinCodeSizeLow || minSize > kMinCodeSizeHigh) return false;
  std::vector<uint8_t> pixels;
  PixelWriter out(pixels, width, height, int32_t(stride), (packed & kInterlaced) != 0);
  if (!DecodeLzw(r, minSize, out)) return false;
  if (out.Written() < int64_t(width) * height && area > kMaxUnfilledImagePixels) return false;
  pixels.resize(size_t(area), 0);

  HDC dc = GetSurfaceDC(main_);
  if (!dc) return false;
  HBITMAP bitmap = CreateDIBitmap(dc, &info.header, CBM_INIT, pixels.data(),
                                  reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS);
  ReleaseSurfaceDC(main_, dc);
  if (!bitmap) return false;
  GifFrame f;
  f.width = width;
  f.height = height;
  f.top = top;
  f.left = left;
  f.bitmap.Reset(bitmap);
  f.colorKey = frameKey_;
  f.delay = delay_ * kHundredthsToMs;
  f.disposal = disposal_;
  frames_.push_back(std::move(f));
  decodedPixels_ += area;
  return true;
}

BOOL CGif::SetFrame(int32_t index) {
  if (index < 0 || index >= GetFrameCount()) return 0;
  next_ = index;
  return 1;
}

GRect CGif::OnScreen(const GifFrame& f) const {
  GRect r;
  GRectIntersection(r, GRect(f.left, f.top, f.left + f.width, f.top + f.height),
                    GRect(0, 0, screenWidth_, screenHeight_));
  return r;
}

void CGif::DrawFrame(const DDSurface& target, const GifFrame& f) {
  CopyBitmapToSurface(target, GRect(f.left, f.top, f.left + f.width, f.top + f.height), f.bitmap.Get(),
                      GRect(0, 0, f.width, f.height));
}

BOOL CGif::StepGifFrame() {
  if (error_ || frames_.size() <= 1) return 0;
  if (next_ >= GetFrameCount()) next_ = 0;
  if (FAILED(main_->Restore())) return 0;
  const GifFrame& next = frames_[size_t(next_)];
  if (composing_ && next_ != 0 && next_ != previous_) {
    const GifFrame& previous = frames_[size_t(previous_)];
    const bool clearPrevious =
        previous.disposal == kDisposeBackground || previous.disposal == kDisposePrevious;
    if (previous.disposal == kDisposeNone || previous.disposal == kDisposeKeep || clearPrevious) {
      if (clearPrevious) {
        const GRect gone = OnScreen(previous);
        RECT r{};
        gone.CopyTo(&r);
        if (gone.HasArea()) FillSurfaceRect(main_, &r, next.colorKey, DDBLT_WAIT);
      }
      // The whole next rectangle comes over: copying back only the previous one
      // would undo the clear and leave parts of a larger next frame undrawn.
      DrawFrame(work_, next);
      SetSurfaceColorKey(work_, next.colorKey);
      const GRect part = OnScreen(next);
      RECT r{};
      part.CopyTo(&r);
      if (part.HasArea()) BltWithColorKey(main_, &r, work_, &r, DDBLT_WAIT);
    }
  } else {
    ClearSurface(main_, next.colorKey);
    DrawFrame(main_, next);
    colorKey_ = next.colorKey;
  }
  previous_ = next_;
  ++next_;
  return 1;
}
