// Stand-in byte buffer: a heap vector with a read offset; reads are little-endian
// and consume only what a complete value needs (a string's count is consumed even
// when its bytes are missing).
#include "module/XBufStandIn.h"

#include <cstring>

namespace {

class VectorXBuf final : public IXBuf {
 public:
  void Release() override { delete this; }
  uint8_t* GetData() override { return bytes_.data() + offset_; }
  uint32_t GetLength() override { return static_cast<uint32_t>(bytes_.size() - offset_); }
  IXBuf* Reset() override {
    bytes_.clear();
    offset_ = 0;
    return this;
  }
  IXBuf* Consume(uint32_t n) override {
    if (n < GetLength()) {
      offset_ += n;
    } else {
      Reset();
    }
    return this;
  }
  void Append(const void* src, uint32_t n) override {
    const auto* p = static_cast<const uint8_t*>(src);
    if (p != nullptr) {
      bytes_.insert(bytes_.end(), p, p + n);
    } else {
      bytes_.resize(bytes_.size() + n);
    }
  }

 private:
  std::vector<uint8_t> bytes_;
  size_t offset_ = 0;
};

template <class T>
int ReadLe(T& value, IXBuf* buf) {
  if (buf->GetLength() < sizeof(T)) {
    return 0;
  }
  const uint8_t* p = buf->GetData();
  uint64_t v = 0;
  for (size_t i = 0; i < sizeof(T); ++i) {
    v |= static_cast<uint64_t>(p[i]) << (8 * i);
  }
  value = static_cast<T>(v);
  buf->Consume(sizeof(T));
  return 1;
}

template <class T>
int WriteLe(IXBuf* buf, T value) {
  uint8_t bytes[sizeof(T)];
  const auto v = static_cast<uint64_t>(value);
  for (size_t i = 0; i < sizeof(T); ++i) {
    bytes[i] = static_cast<uint8_t>(v >> (8 * i));
  }
  buf->Append(bytes, sizeof(T));
  return 1;
}

}  // namespace

IXBuf* CreateXBuf(IXBuf* source) {
  auto* buf = new VectorXBuf;
  if (source != nullptr) {
    buf->Append(source->GetData(), source->GetLength());
  }
  return buf;
}

int ArcRead(int32_t& value, IXBuf* buf) { return ReadLe(value, buf); }
int ArcRead(uint32_t& value, IXBuf* buf) { return ReadLe(value, buf); }
int ArcRead(int64_t& value, IXBuf* buf) { return ReadLe(value, buf); }

int ArcRead(std::string& value, IXBuf* buf) {
  uint32_t count = 0;
  if (!ReadLe(count, buf)) {
    return 0;
  }
  if (buf->GetLength() < count) {
    return 0;
  }
  value.assign(reinterpret_cast<const char*>(buf->GetData()), count);
  buf->Consume(count);
  return 1;
}

int ArcWrite(IXBuf* buf, int32_t value) { return WriteLe(buf, value); }
int ArcWrite(IXBuf* buf, uint32_t value) { return WriteLe(buf, value); }
int ArcWrite(IXBuf* buf, int64_t value) { return WriteLe(buf, value); }

int ArcWrite(IXBuf* buf, const std::string& value) {
  WriteLe(buf, static_cast<uint32_t>(value.size()));
  if (!value.empty()) {
    buf->Append(value.data(), static_cast<uint32_t>(value.size()));
  }
  return 1;
}
