// An 8-bit plane of per-pixel values (alpha levels or any mask) with its chunk format,
// and an owning set of planes saved to or read from one file.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

class K_Dib;

class KK_AlphaChannel {
 public:
  static constexpr int32_t kHeaderSize = 12;
  static constexpr uint8_t kVersion = 1;
  static constexpr uint32_t kKindPlain = 0x8500;
  static constexpr uint32_t kKindEncoded = 0x8510;
  static constexpr int32_t kMaxSide = 8192;

  KK_AlphaChannel() = default;
  virtual ~KK_AlphaChannel() = default;
  KK_AlphaChannel(const KK_AlphaChannel&) = delete;
  KK_AlphaChannel& operator=(const KK_AlphaChannel&) = delete;

  void Release();
  // Zero-filled past width x height so raw saves are deterministic; the values
  // themselves are left as allocated (zero).
  int32_t Create(int32_t width, int32_t height);
  void Clear();
  int32_t CreateFromImage(const K_Dib& image, int32_t byteIndex);
  static void ClearImageAlpha(K_Dib& image);
  // operation 0 copies, 1 keeps the larger value, 2 the smaller.
  void Draw(const KK_AlphaChannel& source, int32_t x, int32_t y, int32_t operation);
  uint8_t* Address(int32_t x, int32_t y);
  const uint8_t* Address(int32_t x, int32_t y) const;
  void Scale(int32_t factor);
  // The buffer must hold 2 x DataSize() bytes.
  int32_t Encode(uint8_t* buffer) const;
  int32_t Decode(const uint8_t* encoded, int32_t length);

  // Chunk bytes (header, plane header, data) as Save writes them; empty for an empty plane.
  std::vector<uint8_t> SaveToBytes() const;
  // Reads one chunk at the front of `bytes`; `used` receives its length. 1 or 0.
  int32_t LoadFromBytes(std::span<const uint8_t> bytes, size_t* used = nullptr);
  int32_t Save(const char* fileName) const;
  int32_t Load(const char* fileName);

  int32_t Width() const { return m_width; }
  int32_t Height() const { return m_height; }
  int32_t DataSize() const { return m_dataSize; }
  bool Empty() const { return m_data.empty(); }
  uint8_t* Data() { return m_data.data(); }
  const uint8_t* Data() const { return m_data.data(); }

 private:
  int32_t m_width = 0;
  int32_t m_height = 0;
  int32_t m_dataSize = 0;
  std::vector<uint8_t> m_data;
};

class KK_AlphaChannelSet {
 public:
  KK_AlphaChannelSet() = default;
  virtual ~KK_AlphaChannelSet() { Clear(); }
  KK_AlphaChannelSet(const KK_AlphaChannelSet&) = delete;
  KK_AlphaChannelSet& operator=(const KK_AlphaChannelSet&) = delete;

  virtual void Clear();
  KK_AlphaChannel* AddChannel();
  void RemoveLast();
  void RemoveAt(int32_t index);
  void Move(int32_t from, int32_t to);
  int32_t Count() const { return int32_t(m_planes.size()); }
  KK_AlphaChannel* At(int32_t index);

  std::vector<uint8_t> SaveToBytes() const;
  // Reads planes until one fails; the failed one is dropped. Always 1.
  int32_t LoadFromBytes(std::span<const uint8_t> bytes);
  int32_t SaveFile(const char* fileName) const;
  int32_t LoadFile(const char* fileName);
  void Split(const KK_AlphaChannel& source, int32_t columns, int32_t rows);

 private:
  std::vector<KK_AlphaChannel*> m_planes;
};
