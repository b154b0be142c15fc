// The avatar composer's GIF 89a reader. Each image becomes a whole-screen 8-bit frame
// built on the previous one; pixel writes are clipped to the screen and the LZW output
// stack is bounded, so no image rectangle or code stream can write outside its buffers.
#include "graphics/XGif89Reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "graphics/KFileHandle.h"
#include "plat/module.h"

namespace {

constexpr int kMaxCodes = 4096;
constexpr int kMaxCodeBits = 12;
constexpr int kMinCodeSize = 1;
constexpr int kMaxMinCodeSize = kMaxCodeBits - 1;
// Values the LZW reader gives instead of a pixel.
constexpr int kOutOfData = -2;
constexpr int kEndOfImage = -3;
constexpr int kBadCodes = -4;
constexpr uint8_t kExtension = 0x21, kImage = 0x2C, kTrailer = 0x3B;
constexpr uint8_t kGraphicControl = 0xF9, kPlainText = 0x01, kComment = 0xFE, kApplication = 0xFF;
constexpr int32_t kNoIndex = XDibFrame::kNoIndex;
// The index a frame is cleared to when the image has no transparent index.
constexpr uint8_t kClearIndex = 255;
// A delay of 0 would stop the layer's clock; such frames play at 10 hundredths.
constexpr int32_t kZeroDelayHundredths = 10;
constexpr char kGif89Signature[] = "GIF89a";

struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

enum class ImageOutcome { kDecoded, kRanOut, kRefused };

class XGif89Reader {
 public:
  XGif89Reader(std::span<const uint8_t> bytes, XDibAnimation& out) : data_(bytes), anim_(out) {}
  int Parse();

 private:
  bool AtEnd() const { return pos_ >= data_.size(); }
  // False at the end of the data.
  bool Byte(uint8_t& v) {
    if (AtEnd()) return false;
    v = data_[pos_++];
    return true;
  }
  bool U16(int32_t& v) {
    uint8_t lo = 0, hi = 0;
    if (!Byte(lo) || !Byte(hi)) return false;
    v = lo | hi << 8;
    return true;
  }
  // Reads up to `count` R, G, B entries into `table`; false when the data ends first.
  bool ReadTable(std::array<RGBQUAD, 256>& table, int count);
  // Skips sub-blocks up to the zero-length one; false when the data ends first.
  bool SkipSubBlocks();
  bool GraphicControl();
  ImageOutcome Image();
  void BuildInterlaceRows(int32_t height);
  // The next pixel value, or one of the negative values above.
  int NextValue();
  int ReadCode();
  int Restart();
  bool Push(int value) {
    if (depth_ >= kMaxCodes) return false;
    stack_[depth_++] = static_cast<uint16_t>(value);
    return true;
  }

  std::span<const uint8_t> data_;
  size_t pos_ = 0;
  XDibAnimation& anim_;
  int32_t screenWidth_ = 0, screenHeight_ = 0;
  int32_t background_ = 0;
  std::array<RGBQUAD, 256> global_{};
  std::array<RGBQUAD, 256> local_{};
  bool useLocal_ = false;
  // From the last graphic control extension.
  int32_t disposal_ = 0, delay_ = 0, transparent_ = kNoIndex;
  Rect rect_;
  bool interlaced_ = false;
  std::vector<int32_t> interlaceRows_;
  int32_t prevDisposal_ = 0, prevTransparent_ = kNoIndex;
  Rect prevRect_;
  int64_t frameBytes_ = 0;
  // LZW state.
  int minCodeSize_ = 0, codeSize_ = 0, clear_ = 0, end_ = 0, nextFree_ = 0, limit_ = 0;
  uint32_t bitBuffer_ = 0;
  int bits_ = 0;
  int subBlockLeft_ = 0;
  bool blocksDone_ = false, started_ = false;
  std::array<uint8_t, kMaxCodes> suffix_{};
  std::array<uint16_t, kMaxCodes> prefix_{};
  std::array<uint16_t, kMaxCodes> stack_{};
  int depth_ = 0, prevCode_ = 0, firstChar_ = 0;
};

bool XGif89Reader::ReadTable(std::array<RGBQUAD, 256>& table, int count) {
  for (int i = 0; i < count; ++i) {
    uint8_t r = 0, g = 0, b = 0;
    if (!Byte(r) || !Byte(g) || !Byte(b)) return false;
    table[static_cast<size_t>(i)] = RGBQUAD{b, g, r, 0};
  }
  return true;
}

bool XGif89Reader::SkipSubBlocks() {
  for (;;) {
    uint8_t n = 0;
    if (!Byte(n)) return false;
    if (n == 0) return true;
    if (data_.size() - pos_ < n) {
      pos_ = data_.size();
      return false;
    }
    pos_ += n;
  }
}

bool XGif89Reader::GraphicControl() {
  for (;;) {
    uint8_t n = 0;
    if (!Byte(n)) return false;
    if (n == 0) return true;
    if (data_.size() - pos_ < n) {
      pos_ = data_.size();
      return false;
    }
    if (n >= 4) {
      const uint8_t* p = data_.data() + pos_;
      disposal_ = (p[0] >> 2) & 7;
      const int32_t hundredths = p[1] | p[2] << 8;
      delay_ = (hundredths < 1 ? kZeroDelayHundredths : hundredths) * 10;
      transparent_ = (p[0] & 1) ? p[3] : kNoIndex;
    }
    pos_ += n;
  }
}

void XGif89Reader::BuildInterlaceRows(int32_t height) {
  interlaceRows_.clear();
  constexpr int32_t kStart[4] = {0, 4, 2, 1};
  constexpr int32_t kStep[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int32_t row = kStart[pass]; row < height; row += kStep[pass]) interlaceRows_.push_back(row);
}

int XGif89Reader::ReadCode() {
  while (bits_ < codeSize_) {
    if (subBlockLeft_ == 0) {
      uint8_t n = 0;
      if (!Byte(n)) return kOutOfData;
      if (n == 0) {
        blocksDone_ = true;
        return kEndOfImage;
      }
      subBlockLeft_ = n;
    }
    uint8_t b = 0;
    if (!Byte(b)) return kOutOfData;
    bitBuffer_ |= uint32_t(b) << bits_;
    bits_ += 8;
    --subBlockLeft_;
  }
  const int code = static_cast<int>(bitBuffer_ & ((1u << codeSize_) - 1));
  bitBuffer_ >>= codeSize_;
  bits_ -= codeSize_;
  return code;
}

int XGif89Reader::Restart() {
  codeSize_ = minCodeSize_ + 1;
  nextFree_ = clear_ + 2;
  limit_ = 1 << codeSize_;
  depth_ = 0;
  int code;
  do {
    code = ReadCode();
    if (code < 0) return code;
  } while (code == clear_);
  if (code > clear_) code = 0;
  prevCode_ = firstChar_ = code;
  return code;
}

int XGif89Reader::NextValue() {
  if (depth_ > 0) return stack_[static_cast<size_t>(--depth_)];
  if (!started_) {
    started_ = true;
    return Restart();
  }
  const int code = ReadCode();
  if (code < 0) return code;
  if (code == clear_) return Restart();
  if (code == end_) {
    // The rest of the image's sub-blocks: what is left of this one, then the others.
    pos_ += std::min<size_t>(size_t(subBlockLeft_), data_.size() - pos_);
    subBlockLeft_ = 0;
    SkipSubBlocks();
    blocksDone_ = true;
    return kEndOfImage;
  }
  int current = code;
  int nextPrev = code;
  if (code >= nextFree_) {
    if (!Push(firstChar_)) return kBadCodes;
    current = prevCode_;
    if (code > nextFree_) nextPrev = 0;
  }
  while (current >= clear_) {
    if (!Push(suffix_[static_cast<size_t>(current)])) return kBadCodes;
    current = prefix_[static_cast<size_t>(current)];
  }
  firstChar_ = current;
  if (nextFree_ < kMaxCodes) {
    prefix_[static_cast<size_t>(nextFree_)] = static_cast<uint16_t>(prevCode_);
    suffix_[static_cast<size_t>(nextFree_)] = static_cast<uint8_t>(firstChar_);
    ++nextFree_;
    if (nextFree_ >= limit_ && codeSize_ < kMaxCodeBits) {
      ++codeSize_;
      limit_ <<= 1;
    }
  }
  prevCode_ = nextPrev;
  return firstChar_;
}

ImageOutcome XGif89Reader::Image() {
  int32_t left = 0, top = 0, width = 0, height = 0;
  uint8_t packed = 0;
  if (!U16(left) || !U16(top) || !U16(width) || !U16(height) || !Byte(packed)) return ImageOutcome::kRanOut;
  rect_ = Rect{left, top, left + width, top + height};
  interlaced_ = (packed & 0x40) != 0;
  useLocal_ = (packed & 0x80) != 0;
  if (useLocal_) {
    const int count = 2 << (packed & 7);
    const size_t cleared = count <= 2 ? 2 : count <= 16 ? 16 : 256;
    std::fill_n(local_.begin(), cleared, RGBQUAD{0, 0, 0, 0});
    if (!ReadTable(local_, count)) return ImageOutcome::kRanOut;
  }
  if (interlaced_) {
    if (height > kGif89MaxInterlacedRows) return ImageOutcome::kRefused;
    BuildInterlaceRows(height);
  }

  const int64_t bytes = int64_t((screenWidth_ + 3) & ~3) * screenHeight_;
  if (frameBytes_ + bytes > kGif89MaxAnimationBytes) return ImageOutcome::kRefused;
  auto frame = std::make_unique<XDibFrame>();
  XDibInfo table;
  table.header.biBitCount = 8;
  std::copy(useLocal_ ? local_.begin() : global_.begin(), useLocal_ ? local_.end() : global_.end(), table.colors);
  if (!frame->dib.CreateDib8(SIZE{screenWidth_, screenHeight_}, *table.Info())) return ImageOutcome::kRefused;
  XDib& dib = frame->dib;
  const RECT whole{0, 0, screenWidth_, screenHeight_};
  const uint8_t clearIndex = transparent_ == kNoIndex ? kClearIndex : uint8_t(transparent_);
  if (XDibFrame* last = anim_.Last()) {
    std::memcpy(dib.Pixels(), last->dib.Pixels(), size_t(bytes));
    if (prevTransparent_ != transparent_ && prevTransparent_ != kNoIndex)
      std::replace(dib.Pixels(), dib.Pixels() + bytes, uint8_t(prevTransparent_), clearIndex);
  } else {
    dib.FillRect(whole, uint32_t(clearIndex) << 24);
    prevDisposal_ = 1;
  }
  // Restoring to the background or to the previous picture both clear the old image.
  if (prevDisposal_ > 1)
    dib.FillRect(RECT{prevRect_.left, prevRect_.top, prevRect_.right, prevRect_.bottom}, uint32_t(clearIndex) << 24);
  prevDisposal_ = disposal_;
  prevRect_ = rect_;
  prevTransparent_ = transparent_;

  uint8_t minCode = 0;
  if (!Byte(minCode)) return ImageOutcome::kRanOut;
  if (minCode < kMinCodeSize || minCode > kMaxMinCodeSize) return ImageOutcome::kRefused;
  minCodeSize_ = minCode;
  clear_ = 1 << minCode;
  end_ = clear_ + 1;
  codeSize_ = minCode + 1;
  nextFree_ = clear_ + 2;
  limit_ = 1 << codeSize_;
  bitBuffer_ = 0;
  bits_ = 0;
  subBlockLeft_ = 0;
  depth_ = 0;
  blocksDone_ = false;
  started_ = false;

  bool finished = false;
  for (int32_t row = 0; row < height && !finished; ++row) {
    const int32_t y = top + (interlaced_ ? interlaceRows_[static_cast<size_t>(row)] : row);
    const bool rowInside = y < screenHeight_;
    for (int32_t col = 0; col < width; ++col) {
      const int v = NextValue();
      if (v == kOutOfData || v == kBadCodes) return ImageOutcome::kRanOut;
      if (v == kEndOfImage) {
        finished = true;
        break;
      }
      const int32_t x = left + col;
      if (v != transparent_ && rowInside && x < screenWidth_) *dib.PixelAt(x, y) = uint8_t(v);
    }
  }
  frame->transparent = transparent_;
  frame->delay = delay_;
  anim_.Append(std::move(frame));
  frameBytes_ += bytes;
  if (!blocksDone_) {
    pos_ += std::min<size_t>(size_t(subBlockLeft_), data_.size() - pos_);
    SkipSubBlocks();
  }
  return ImageOutcome::kDecoded;
}

int XGif89Reader::Parse() {
  if (data_.size() < 6 || std::memcmp(data_.data(), kGif89Signature, 6) != 0) return 0;
  pos_ = 6;
  uint8_t packed = 0, bg = 0, aspect = 0;
  if (!U16(screenWidth_) || !U16(screenHeight_) || !Byte(packed) || !Byte(bg) || !Byte(aspect)) return 0;
  background_ = bg;
  if (int64_t(screenWidth_) * screenHeight_ > kGif89MaxScreenPixels) return 0;
  // A table cut short keeps what was read; the missing trailer then fails the file.
  if (packed & 0x80) ReadTable(global_, 2 << (packed & 7));
  int result = 0;
  uint8_t block = 0;
  while (Byte(block)) {
    if (block == kTrailer) {
      result = 1;
      break;
    }
    if (block == kImage) {
      const ImageOutcome outcome = Image();
      if (outcome == ImageOutcome::kDecoded) continue;
      result = outcome == ImageOutcome::kRanOut ? 1 : 0;
      break;
    }
    uint8_t label = 0;
    if (block != kExtension || !Byte(label)) break;
    if (label == kGraphicControl) {
      GraphicControl();
    } else if (label == kPlainText || label == kComment || label == kApplication) {
      SkipSubBlocks();
    } else {
      break;
    }
  }
  anim_.Recount();
  return result;
}

}  // namespace

int DecodeGif89a(std::span<const uint8_t> bytes, XDibAnimation& out) { return XGif89Reader(bytes, out).Parse(); }

int DecodeGif89aFile(const char* name, XDibAnimation& out) {
  std::vector<uint8_t> bytes;
  if (!name || !kk::ReadFileBytes(name, kGif89MaxFileBytes, bytes)) return 0;
  return DecodeGif89a(bytes, out);
}

int DecodeGif89aResource(HMODULE module, LPCSTR name, LPCSTR type, XDibAnimation& out) {
  HRSRC found = FindResourceA(module, name, type);
  if (!found) return 0;
  const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
  if (!bytes) return 0;
  return DecodeGif89a(std::span<const uint8_t>(bytes, SizeofResource(module, found)), out);
}
