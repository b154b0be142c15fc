// Little-endian reading over a byte span that fails once: a read past the end marks
// the reader failed, and every later read returns zero or an empty span. Callers read
// a whole record and check Failed() once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> bytes) : m_bytes(bytes) {}

  uint8_t U8() { return uint8_t(Take(1)); }
  uint16_t U16() { return uint16_t(Take(2)); }
  int16_t I16() { return int16_t(Take(2)); }
  uint32_t U32() { return uint32_t(Take(4)); }
  // `count` bytes in place, or an empty span (and failure) when fewer remain.
  std::span<const uint8_t> Bytes(size_t count) {
    if (m_failed || count > Remaining()) {
      m_failed = true;
      return {};
    }
    auto out = m_bytes.subspan(m_pos, count);
    m_pos += count;
    return out;
  }
  void Skip(size_t count) { Bytes(count); }

  bool Failed() const { return m_failed; }
  size_t Position() const { return m_pos; }
  size_t Remaining() const { return m_failed ? 0 : m_bytes.size() - m_pos; }
  std::span<const uint8_t> Rest() const { return m_failed ? std::span<const uint8_t>{} : m_bytes.subspan(m_pos); }

 private:
  uint64_t Take(size_t n) {
    if (m_failed || n > m_bytes.size() - m_pos) {
      m_failed = true;
      return 0;
    }
    uint64_t v = 0;
    for (size_t i = 0; i < n; ++i) v |= uint64_t(m_bytes[m_pos + i]) << (8 * i);
    m_pos += n;
    return v;
  }

  std::span<const uint8_t> m_bytes;
  size_t m_pos = 0;
  bool m_failed = false;
};

// Little-endian appends to a byte vector, the writing half of ByteReader.
class ByteWriter {
 public:
  explicit ByteWriter(std::vector<uint8_t>& out) : m_out(out) {}
  void U8(uint8_t v) { m_out.push_back(v); }
  void U16(uint16_t v) { Put(v, 2); }
  void U32(uint32_t v) { Put(v, 4); }
  void Bytes(std::span<const uint8_t> b) { m_out.insert(m_out.end(), b.begin(), b.end()); }
  void Fill(uint8_t v, size_t n) { m_out.insert(m_out.end(), n, v); }

 private:
  void Put(uint64_t v, size_t n) {
    for (size_t i = 0; i < n; ++i) m_out.push_back(uint8_t(v >> (8 * i)));
  }
  std::vector<uint8_t>& m_out;
};

// Little-endian field access inside a byte block already in memory.
inline uint16_t LoadU16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline int16_t LoadI16(const uint8_t* p) { return int16_t(LoadU16(p)); }
inline uint32_t LoadU32(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }
inline void StoreU16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
inline void StoreU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
