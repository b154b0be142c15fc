// Stand-in for the pooled byte buffer: the IXBuf operations and archive reads and
// writes the host records need, over a plain heap vector. Replaced by the real
// buffer as soon as it is available; nothing outside the records depends on it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class IXBuf {
 public:
  virtual void Release() = 0;
  virtual uint8_t* GetData() = 0;
  virtual uint32_t GetLength() = 0;
  virtual IXBuf* Reset() = 0;
  virtual IXBuf* Consume(uint32_t n) = 0;
  virtual void Append(const void* src, uint32_t n) = 0;

 protected:
  ~IXBuf() = default;
};

IXBuf* CreateXBuf(IXBuf* source);

int ArcRead(int32_t& value, IXBuf* buf);
int ArcRead(uint32_t& value, IXBuf* buf);
int ArcRead(int64_t& value, IXBuf* buf);
int ArcRead(std::string& value, IXBuf* buf);

int ArcWrite(IXBuf* buf, int32_t value);
int ArcWrite(IXBuf* buf, uint32_t value);
int ArcWrite(IXBuf* buf, int64_t value);
int ArcWrite(IXBuf* buf, const std::string& value);
