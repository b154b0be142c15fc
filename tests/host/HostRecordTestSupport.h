// Shared helpers of the host tests: blocks written by hand, buffers holding a block,
// a hold on the idle blocks, and a filler giving every field a distinct value.
#pragma once

#include <cctype>
#include <cstdint>
#include <cstring>
#include <list>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "host/ArcReadWrite.h"
#include "host/HostMessage.h"
#include "host/XBufBlockAllocator.h"
#include "support/HostRecordLayouts.h"

namespace host_test {

// A little-endian block written value by value, independent of the records' field lists.
class Wire {
 public:
  Wire& I32(int32_t v) { return Le(static_cast<uint32_t>(v), 4); }
  Wire& U32(uint32_t v) { return Le(v, 4); }
  Wire& I64(int64_t v) { return Le(static_cast<uint64_t>(v), 8); }
  Wire& Str(const std::string& s) { return U32(static_cast<uint32_t>(s.size())).Raw(s); }
  Wire& Raw(const std::string& b) { bytes_ += b; return *this; }
  const std::string& bytes() const { return bytes_; }

 private:
  Wire& Le(uint64_t v, int n) {
    for (int i = 0; i < n; ++i) bytes_.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    return *this;
  }
  std::string bytes_;
};

// Takes every idle block of the global allocator, so that the next block must come
// from the heap, where a test can make it fail; gives them back at the end of the scope.
class IdleBlocksHeld {
 public:
  IdleBlocksHeld() {
    XBufBlockAllocator& blocks = XBufBlockAllocator::Global();
    for (uint32_t k = 0; k < XBufBlockAllocator::kClassCount; ++k) {
      while (blocks.IdleBlocks(k) > 0) held_.push_back(blocks.Alloc(XBufBlockAllocator::ClassBytes(k)));
    }
  }
  ~IdleBlocksHeld() {
    for (XBufBlock* block : held_) XBufBlockAllocator::Global().Release(block);
  }

 private:
  std::vector<XBufBlock*> held_;
};

// A one-dimensional byte-array variant holding `bytes`.
inline VARIANT ByteArray(const std::string& bytes) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_ARRAY | VT_UI1;
  v.parray = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
  void* data = nullptr;
  SafeArrayAccessData(v.parray, &data);
  if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
  SafeArrayUnaccessData(v.parray);
  return v;
}

// "01 00 00 00 ..." to bytes; spaces are ignored.
inline std::string Hex(const std::string& text) {
  std::string out;
  int pending = -1;
  for (char c : text) {
    if (std::isspace(static_cast<unsigned char>(c))) continue;
    const int nibble = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(c) - 'a' + 10;
    if (nibble < 0 || nibble > 15) throw std::invalid_argument("not a hex digit");
    if (pending < 0) {
      pending = nibble;
    } else {
      out.push_back(static_cast<char>(pending * 16 + nibble));
      pending = -1;
    }
  }
  return out;
}

// A buffer holding a block, released at the end of the scope.
class Buf {
 public:
  Buf() : buf_(CreateXBuf(nullptr)) {}
  explicit Buf(const std::string& bytes) : Buf() { buf_->Append(bytes.data(), static_cast<uint32_t>(bytes.size())); }
  ~Buf() { buf_->Release(); }
  Buf(const Buf&) = delete;
  Buf& operator=(const Buf&) = delete;
  IXBuf* get() const { return buf_; }
  uint32_t length() const { return buf_->GetLength(); }
  std::string bytes() const { return {reinterpret_cast<const char*>(buf_->GetData()), buf_->GetLength()}; }

 private:
  IXBuf* buf_;
};

struct ReadResult { int result = 0; uint32_t consumed = 0; };

// Reads one message from the block; reports the result and the bytes consumed.
inline ReadResult ReadBlock(HostMessage& msg, const std::string& bytes) {
  Buf buf(bytes);
  const int result = ReadHostMessage(msg, buf.get());
  return {result, static_cast<uint32_t>(bytes.size()) - buf.length()};
}

inline std::string WriteBlock(const HostMessage& msg) {
  Buf buf;
  WriteHostMessage(msg, buf.get());
  return buf.bytes();
}

template <class R>
std::string WriteRecord(const R& record) {
  Buf buf;
  SaveRecord(record, buf.get());
  return buf.bytes();
}

// Gives field k (counting every scalar of the walk from 1) the value k: an i32 k,
// an i64 k in both halves, a string "f" and k. Every list gets two elements.
class Filler {
 public:
  void operator()(int32_t& v) { v = static_cast<int32_t>(next_++); }
  void operator()(int64_t& v) {
    const uint32_t k = next_++;
    v = static_cast<int64_t>((static_cast<uint64_t>(k) << 32) | k);
  }
  void operator()(std::string& v) { v = "f" + std::to_string(next_++); }
  template <class T>
  void operator()(T& v, const char*) { (*this)(v); }
  template <class T>
  void operator()(std::list<T>& list) {
    list.assign(2, T{});
    for (T& item : list) (*this)(item);
  }
  template <class T, std::size_t N>
  void operator()(ArcArrayT<T, N>& array) {
    for (T& item : array) (*this)(item);
  }
  template <class R>
    requires HasFieldsFor<R, Filler>
  void operator()(R& record) { record.Fields(*this); }

 private:
  uint32_t next_ = 1;
};

template <class R>
R Filled() {
  R record;
  Filler()(record);
  return record;
}

// A message of the code whose every field holds a distinct value; code 0 and codes
// of 64 or more give a message without a record.
inline HostMessage FilledMessage(uint32_t code) {
  HostMessage msg;
  msg.type = code;
#define DORVIK_TEST_FILL(c, name, R) \
  if (code == c) msg.record = std::make_unique<HostRecordT<R>>(Filled<R>());
  DORVIK_HOST_MESSAGES(DORVIK_TEST_FILL)
#undef DORVIK_TEST_FILL
  return msg;
}

using testing_support::kOlderLayouts;
using testing_support::OlderLayout;

}  // namespace host_test
