// Visitors over a host record's field list. A record names its fields once, in
// wire order, as `template <class V> void Fields(V& v)`; reading, writing and
// measuring all walk that one list, so the three can never disagree on the order.
// Each field comes with its member's name (`v(userNo, "userNo")`) for tools that set
// fields by name; the archive ignores the names. An empty name marks a field that
// stands for its record as a whole.
#pragma once

#include <concepts>
#include <cstdint>
#include <list>
#include <string>

#include "host/ArcArrayT.h"
#include "host/ArcReadWrite.h"

template <class R, class V>
concept HasFieldsFor = requires(R& r, V& v) { r.Fields(v); };

// Reads fields until the first one that is not all there; that field and every
// later one keep what they held. Counts from the wire never size an allocation:
// a list grows by one element per element actually read.
class RecordReader {
 public:
  explicit RecordReader(IXBuf* buf) : buf_(buf) {}
  bool ok() const { return ok_; }

  void operator()(int32_t& v) { Read(v); }
  void operator()(int64_t& v) { Read(v); }
  void operator()(std::string& v) { Read(v); }
  template <class T>
  void operator()(T& v, const char*) {
    (*this)(v);
  }

  template <class T>
  void operator()(std::list<T>& list) {
    uint32_t count = 0;
    if (!Read(count)) {
      return;
    }
    list.clear();
    for (uint32_t i = 0; i < count; ++i) {
      list.emplace_back();
      (*this)(list.back());
      if (!ok_) {
        list.pop_back();
        return;
      }
    }
  }

  template <class T, std::size_t N>
  void operator()(ArcArrayT<T, N>& array) {
    for (std::size_t i = 0; i < N && ok_; ++i) {
      (*this)(array.at(i));
    }
  }

  template <class R>
    requires HasFieldsFor<R, RecordReader>
  void operator()(R& record) {
    record.Fields(*this);
  }

 private:
  template <class T>
  bool Read(T& v) {
    if (ok_) {
      ok_ = ArcRead(v, buf_) != 0;
    }
    return ok_;
  }

  IXBuf* buf_;
  bool ok_ = true;
};

// Fields() is written once for every visitor and therefore takes the record by
// non-const reference; the writer and the sizer only look, so they may walk a
// const record through it.
template <class R, class V>
void VisitConst(const R& record, V& v) {
  const_cast<R&>(record).Fields(v);
}

// Writes every field; ok() turns false when the buffer could not take a value.
class RecordWriter {
 public:
  explicit RecordWriter(IXBuf* buf) : buf_(buf) {}
  bool ok() const { return ok_; }

  void operator()(int32_t v) { Write(v); }
  void operator()(uint32_t v) { Write(v); }
  void operator()(int64_t v) { Write(v); }
  void operator()(const std::string& v) { Write(v); }
  template <class T>
  void operator()(const T& v, const char*) {
    (*this)(v);
  }

  template <class T>
  void operator()(const std::list<T>& list) {
    Write(static_cast<uint32_t>(list.size()));
    for (const T& item : list) {
      (*this)(item);
    }
  }

  template <class T, std::size_t N>
  void operator()(const ArcArrayT<T, N>& array) {
    for (const T& item : array) {
      (*this)(item);
    }
  }

  template <class R>
    requires HasFieldsFor<R, RecordWriter>
  void operator()(const R& record) {
    VisitConst(record, *this);
  }

 private:
  template <class T>
  void Write(const T& v) {
    if (ok_) {
      ok_ = ArcWrite(buf_, v) != 0;
    }
  }

  IXBuf* buf_;
  bool ok_ = true;
};

// Bytes the writer would produce.
class RecordSizer {
 public:
  uint32_t size() const { return size_; }

  void operator()(int32_t) { size_ += 4; }
  void operator()(int64_t) { size_ += 8; }
  void operator()(const std::string& v) { size_ += 4 + static_cast<uint32_t>(v.size()); }
  template <class T>
  void operator()(const T& v, const char*) {
    (*this)(v);
  }

  template <class T>
  void operator()(const std::list<T>& list) {
    size_ += 4;
    for (const T& item : list) {
      (*this)(item);
    }
  }

  template <class T, std::size_t N>
  void operator()(const ArcArrayT<T, N>& array) {
    for (const T& item : array) {
      (*this)(item);
    }
  }

  template <class R>
    requires HasFieldsFor<R, RecordSizer>
  void operator()(const R& record) {
    VisitConst(record, *this);
  }

 private:
  uint32_t size_ = 0;
};

// 1 when every field was read, else 0 (the fields read so far are kept).
template <class R>
int LoadRecord(R& record, IXBuf* buf) {
  RecordReader reader(buf);
  reader(record);
  return reader.ok() ? 1 : 0;
}

// 1 when every field was written, else 0.
template <class R>
int SaveRecord(const R& record, IXBuf* buf) {
  RecordWriter writer(buf);
  writer(record);
  return writer.ok() ? 1 : 0;
}

template <class R>
uint32_t RecordSize(const R& record) {
  RecordSizer sizer;
  sizer(record);
  return sizer.size();
}
