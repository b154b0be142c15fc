// Companion files: reading with every table and run checked, writing, and the
// builder that refreshes a companion from its picture.
#include "graphics/PsdSidecar.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/ByteReader.h"
#include "graphics/KFileHandle.h"
#include "plat/files.h"
#include "plat/handle.h"
#include "plat/time.h"

namespace {

constexpr char kMagic[] = "VTi.";
constexpr size_t kMagicLength = 4;
constexpr char kSidecarExtension[] = "VTi";
constexpr size_t kCountField = 20;
constexpr size_t kTableFields = 24;
constexpr size_t kTables = 5;  // sizes, offsets, durations, names, pixel data
constexpr size_t kMaxRun = 255;
constexpr size_t kMaxNameLength = 255;
constexpr size_t kMaxCompanionBytes = size_t{512} * 1024 * 1024;

// The reader of the table starting at the offset in header field `t`, holding at least
// `bytes`; a failed reader when the table lies outside the file.
ByteReader Table(std::span<const uint8_t> file, size_t t, size_t bytes) {
  const auto at = static_cast<int32_t>(LoadU32(file.data() + kTableFields + 4 * t));
  if (at < 0 || static_cast<size_t>(at) > file.size() || bytes > file.size() - static_cast<size_t>(at)) {
    ByteReader failed(std::span<const uint8_t>{});
    failed.U8();
    return failed;
  }
  return ByteReader(file.subspan(static_cast<size_t>(at)));
}

// One channel's runs into byte `c` of each pixel; a run past the channel's end is cut.
// Byte c of every four-byte pixel; indices rather than an offset pointer, since an
// empty layer's buffer has no storage to offset.
bool ReadChannel(ByteReader& in, std::vector<uint8_t>& pixels, size_t c) {
  const size_t count = pixels.size() / 4;
  for (size_t filled = 0; filled < count;) {
    const size_t run = std::min<size_t>(in.U8(), count - filled);
    const uint8_t value = in.U8();
    if (in.Failed()) return false;
    for (size_t i = 0; i < run; ++i) pixels[4 * (filled + i) + c] = value;
    filled += run;
  }
  return true;
}

bool Read(std::span<const uint8_t> file, PsdLayerSet& out) {
  if (file.size() < kSidecarHeaderSize) return false;
  const auto n = static_cast<int32_t>(LoadU32(file.data() + kCountField));
  if (n < 0 || n > kMaxSidecarLayers) return false;
  const auto count = static_cast<size_t>(n);
  ByteReader sizes = Table(file, 0, 8 * count), offsets = Table(file, 1, 8 * count),
             durations = Table(file, 2, 4 * count), names = Table(file, 3, count), data = Table(file, 4, 0);
  int64_t total = 0;
  for (size_t i = 0; i < count; ++i) {
    const auto w = static_cast<int32_t>(sizes.U32()), h = static_cast<int32_t>(sizes.U32());
    if (w < 0 || h < 0 || int64_t{w} * h > kMaxPsdLayerPixels) return false;
    total += int64_t{w} * h;
    if (total > kMaxPsdTotalPixels) return false;
    out.sizes.emplace_back(w, h);
    const auto x = static_cast<int32_t>(offsets.U32()), y = static_cast<int32_t>(offsets.U32());
    out.offsets.emplace_back(x, y);
    out.durations.push_back(durations.U32());
    const auto name = names.Bytes(names.U8());
    out.names.emplace_back(name.begin(), name.end());
  }
  if (sizes.Failed() || offsets.Failed() || durations.Failed() || names.Failed() || data.Failed()) return false;
  for (const GSize& s : out.sizes) {
    const auto pixels = static_cast<size_t>(s.cx) * static_cast<size_t>(s.cy);
    // Every channel needs a pair per kMaxRun pixels: the file must hold them before
    // the buffer is made.
    if (data.Remaining() / 8 < (pixels + kMaxRun - 1) / kMaxRun) return false;
    std::vector<uint8_t> buffer(pixels * 4);
    for (size_t c = 0; c < 4; ++c)
      if (!ReadChannel(data, buffer, c)) return false;
    out.pixels.push_back(std::move(buffer));
  }
  return true;
}

void PackChannel(ByteWriter& out, const std::vector<uint8_t>& pixels, size_t c) {
  const size_t count = pixels.size() / 4;
  for (size_t i = 0; i < count;) {
    const uint8_t v = pixels[4 * i + c];
    size_t run = 1;
    while (i + run < count && run < kSidecarMaxRun && pixels[4 * (i + run) + c] == v) ++run;
    out.U8(static_cast<uint8_t>(run));
    out.U8(v);
    i += run;
  }
}

// The companion's magic and time text match the picture's.
bool UpToDate(const std::string& companion, const std::string& stamp) {
  KFileHandle f;
  if (!f.Open(companion.c_str(), KFileHandle::kRead | KFileHandle::kShareRead)) return false;
  uint8_t head[kSidecarHeaderSize];
  if (f.Read(head, static_cast<int32_t>(sizeof head)) != static_cast<int32_t>(sizeof head)) return false;
  return std::memcmp(head, kMagic, kMagicLength) == 0 &&
         std::memcmp(head + kMagicLength, stamp.data(), kSidecarStampLength) == 0;
}

}  // namespace

std::string PsdSidecarName(const std::string& pictureName) {
  const size_t dot = pictureName.rfind('.');
  if (dot == std::string::npos) return {};
  return pictureName.substr(0, dot + 1) + kSidecarExtension;
}

bool ReadPsdSidecar(std::span<const uint8_t> bytes, PsdLayerSet& out) {
  out.Clear();
  if (Read(bytes, out)) return true;
  out.Clear();
  return false;
}

bool ReadPsdSidecar(const std::string& pictureName, PsdLayerSet& out) {
  out.Clear();
  const std::string companion = PsdSidecarName(pictureName);
  std::vector<uint8_t> bytes;
  return !companion.empty() && kk::ReadFileBytes(companion.c_str(), kMaxCompanionBytes, bytes) &&
         ReadPsdSidecar(bytes, out);
}

bool FileModTimeString(const std::string& fileName, std::string& out) {
  out.clear();
  HANDLE file = CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  FILETIME written{}, local{};
  SYSTEMTIME t{};
  const bool ok = GetFileTime(file, nullptr, nullptr, &written) && FileTimeToLocalFileTime(&written, &local) &&
                  FileTimeToSystemTime(&local, &t);
  CloseHandle(file);
  if (!ok) return false;
  char text[32];
  std::snprintf(text, sizeof text, "%04u%02u%02u%02u%02u%03u", unsigned{t.wYear}, unsigned{t.wMonth},
                unsigned{t.wDay}, unsigned{t.wHour}, unsigned{t.wMinute}, unsigned{t.wMilliseconds});
  out = text;
  return true;
}

std::vector<uint8_t> EncodePsdSidecar(const PsdLayerSet& layers, std::string_view stamp) {
  std::vector<uint8_t> bytes(kSidecarHeaderSize, 0);
  ByteWriter out(bytes);
  uint32_t tables[kTables];
  tables[0] = static_cast<uint32_t>(bytes.size());
  for (const GSize& s : layers.sizes) out.U32(static_cast<uint32_t>(s.cx)), out.U32(static_cast<uint32_t>(s.cy));
  tables[1] = static_cast<uint32_t>(bytes.size());
  for (const GPoint& p : layers.offsets) out.U32(static_cast<uint32_t>(p.x)), out.U32(static_cast<uint32_t>(p.y));
  tables[2] = static_cast<uint32_t>(bytes.size());
  for (uint32_t d : layers.durations) out.U32(d);
  tables[3] = static_cast<uint32_t>(bytes.size());
  for (const std::string& name : layers.names) {
    const size_t length = std::min(name.size(), kMaxNameLength);
    out.U8(static_cast<uint8_t>(length));
    out.Bytes(std::span(reinterpret_cast<const uint8_t*>(name.data()), length));
  }
  tables[4] = static_cast<uint32_t>(bytes.size());
  // A layer without pixels has no runs at all.
  for (const std::vector<uint8_t>& pixels : layers.pixels)
    for (size_t c = 0; c < 4; ++c) PackChannel(out, pixels, c);

  std::memcpy(bytes.data(), kMagic, kMagicLength);
  const std::string_view text = stamp.substr(0, std::min(stamp.size(), kSidecarStampLength));
  std::memcpy(bytes.data() + kMagicLength, text.data(), text.size());
  StoreU32(bytes.data() + kCountField, static_cast<uint32_t>(layers.Count()));
  for (size_t t = 0; t < kTables; ++t) StoreU32(bytes.data() + kTableFields + 4 * t, tables[t]);
  return bytes;
}

PsdSidecarBuild BuildPsdSidecar(const std::string& pictureName) {
  const std::string companion = PsdSidecarName(pictureName);
  std::string stamp;
  if (companion.empty() || !FileModTimeString(pictureName, stamp) || stamp.empty()) return PsdSidecarBuild::kNoPicture;
  if (stamp.size() >= kSidecarStampLength && UpToDate(companion, stamp)) return PsdSidecarBuild::kUpToDate;
  PsdLayerSet layers;
  if (!ParsePsdLayers(pictureName, layers)) return PsdSidecarBuild::kFailed;
  const std::vector<uint8_t> bytes = EncodePsdSidecar(layers, stamp);
  return kk::WriteFileBytes(companion.c_str(), bytes) ? PsdSidecarBuild::kBuilt : PsdSidecarBuild::kFailed;
}
