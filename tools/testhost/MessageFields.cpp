// Members set by the names in the records' field lists, the values' reader, and the
// older senders' cut.
#include "testhost/MessageFields.h"

#include <charconv>
#include <list>
#include <string_view>
#include <type_traits>

#include "host/HostMessage.h"
#include "host/IXBuf.h"
#include "plat/codepage.h"
#include "support/HostRecordLayouts.h"

namespace testhost {

namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

bool ReadNumber(std::string_view text, int64_t& out) {
  text = Trimmed(text);
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  const auto r = std::from_chars(text.data(), end, out);
  return r.ec == std::errc{} && r.ptr == end;
}

bool ReadList(std::string_view text, std::vector<int64_t>& out) {
  if (text.size() < 2 || text.front() != '[' || text.back() != ']') return false;
  text = text.substr(1, text.size() - 2);
  out.clear();
  if (Trimmed(text).empty()) return true;
  for (;;) {
    const size_t comma = text.find(',');
    int64_t v = 0;
    if (!ReadNumber(text.substr(0, comma), v)) return false;
    out.push_back(v);
    if (comma == std::string_view::npos) return true;
    text.remove_prefix(comma + 1);
  }
}

template <class T>
struct IsList : std::false_type {};
template <class T>
struct IsList<std::list<T>> : std::true_type {};
template <class T>
struct IsArray : std::false_type {};
template <class T, std::size_t N>
struct IsArray<ArcArrayT<T, N>> : std::true_type {};

template <class T>
bool Assign(T& into, const std::string& value) {
  if constexpr (std::is_integral_v<T>) {
    int64_t v = 0;
    if (!ReadNumber(value, v)) return false;
    into = static_cast<T>(v);
    return true;
  } else if constexpr (std::is_same_v<T, std::string>) {
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') return false;
    into = plat::Utf8ToCp949(value.substr(1, value.size() - 2));
    return true;
  } else if constexpr (IsArray<T>::value) {
    // A fixed array of numbers: one value per element, every one given.
    using Item = std::remove_reference_t<decltype(into.at(0))>;
    std::vector<int64_t> items;
    if constexpr (!std::is_integral_v<Item>) {
      return false;
    } else {
      if (!ReadList(value, items) || items.size() != T::size()) return false;
      for (size_t i = 0; i < items.size(); ++i) into.at(i) = static_cast<Item>(items[i]);
      return true;
    }
  } else if constexpr (IsList<T>::value) {
    if constexpr (!std::is_integral_v<typename T::value_type>) {
      return false;
    } else {
      std::vector<int64_t> items;
      if (!ReadList(value, items)) return false;
      into.clear();
      for (int64_t v : items) into.push_back(static_cast<typename T::value_type>(v));
      return true;
    }
  } else {
    return false;  // a whole record takes no single value
  }
}

enum class SetResult { NoField, Unreadable, Set };

// Walks a record's field list looking for the member a dotted path names. A number in
// the path picks an element of an array or list; a list grows to reach it.
class PathSetter {
 public:
  PathSetter(const std::vector<std::string>& path, size_t depth, const std::string& value)
      : path_(path), depth_(depth), value_(value) {}
  SetResult result() const { return result_; }

  template <class T>
  void operator()(T& member, const char* name) {
    if (result_ != SetResult::NoField) return;
    if (*name == '\0') {
      Enter(member, depth_);
    } else if (path_[depth_] == name) {
      Enter(member, depth_ + 1);
    }
  }

 private:
  template <class T>
  void Enter(T& member, size_t depth) {
    if (depth == path_.size()) {
      result_ = Assign(member, value_) ? SetResult::Set : SetResult::Unreadable;
    } else if constexpr (HasFieldsFor<T, PathSetter>) {
      PathSetter inner(path_, depth, value_);
      member.Fields(inner);
      result_ = inner.result_;
    } else if constexpr (IsArray<T>::value || IsList<T>::value) {
      int64_t index = 0;
      constexpr int64_t kLongestList = 64;  // far beyond any hand, floor or table
      if (!ReadNumber(path_[depth], index) || index < 0 || index >= kLongestList) return;
      if constexpr (IsArray<T>::value) {
        if (static_cast<size_t>(index) >= T::size()) return;
        Enter(member.at(static_cast<size_t>(index)), depth + 1);
      } else {
        if (member.size() <= static_cast<size_t>(index)) member.resize(static_cast<size_t>(index) + 1);
        Enter(*std::next(member.begin(), index), depth + 1);
      }
    }
  }

  const std::vector<std::string>& path_;
  size_t depth_;
  const std::string& value_;
  SetResult result_ = SetResult::NoField;
};

// The top-level members of a record with the bytes each writes, in wire order.
class TopLevelSizes {
 public:
  template <class T>
  void operator()(T& member, const char* name) {
    RecordSizer sizer;
    sizer(member);
    fields.push_back({name, sizer.size()});
  }
  std::vector<std::pair<std::string, uint32_t>> fields;
};

std::vector<std::string> PathOf(const std::string& name) {
  std::vector<std::string> path;
  size_t at = 0;
  for (;;) {
    const size_t dot = name.find('.', at);
    path.push_back(name.substr(at, dot - at));
    if (dot == std::string::npos) return path;
    at = dot + 1;
  }
}

// The record set field by field, then written; with `olderLayout` cut before the
// first member an older sender does not write.
template <class R>
bool RecordBytes(uint32_t code, const std::vector<FieldValue>& fields, bool olderLayout, std::vector<uint8_t>& bytes,
                 std::string& error) {
  HostMessage msg;
  msg.type = code;
  auto record = std::make_unique<HostRecordT<R>>();
  R& value = record->value;
  for (const FieldValue& f : fields) {
    const std::vector<std::string> path = PathOf(f.name);
    PathSetter setter(path, 0, f.value);
    value.Fields(setter);
    if (setter.result() != SetResult::Set) {
      error = (setter.result() == SetResult::NoField ? "no field " : "unreadable value for ") + f.name + " in " +
              HostMsgTypeName(code);
      return false;
    }
  }
  size_t keep = 0;  // bytes after the type code; 0 keeps all
  if (olderLayout) {
    const testing_support::OlderLayout* older = nullptr;
    for (const auto& layout : testing_support::kOlderLayouts)
      if (layout.code == code) older = &layout;
    if (older == nullptr) {
      error = std::string(HostMsgTypeName(code)) + " has no older layout";
      return false;
    }
    // The older layout ends after the default record's first olderSize bytes; the
    // members from there on are the cut ones, whatever this record holds.
    TopLevelSizes empty, actual;
    R().Fields(empty);
    value.Fields(actual);
    uint32_t emptyBytes = 0;
    size_t kept = 0;
    while (kept < empty.fields.size() && emptyBytes < older->olderSize) emptyBytes += empty.fields[kept++].second;
    for (size_t i = 0; i < kept; ++i) keep += actual.fields[i].second;
    for (const FieldValue& f : fields)
      for (size_t i = kept; i < empty.fields.size(); ++i)
        if (PathOf(f.name)[0] == empty.fields[i].first) {
          error = f.name + " is not in the older layout of " + HostMsgTypeName(code);
          return false;
        }
  }
  msg.record = std::move(record);
  IXBuf* buf = CreateXBuf(nullptr);
  const bool ok = buf != nullptr && WriteHostMessage(msg, buf) == 1;
  if (ok) bytes.assign(buf->GetData(), buf->GetData() + buf->GetLength());
  if (buf) buf->Release();
  if (!ok) {
    error = std::string("cannot write ") + HostMsgTypeName(code);
    return false;
  }
  if (olderLayout) bytes.resize(sizeof(uint32_t) + keep);
  return true;
}

}  // namespace

bool HostMessageBytes(const std::string& type, const std::vector<FieldValue>& fields, bool olderLayout,
                      std::vector<uint8_t>& bytes, std::string& error) {
#define DORVIK_SCRIPT_MESSAGE(code, name, record) \
  if (type == #name) return RecordBytes<record>(code, fields, olderLayout, bytes, error);
  DORVIK_HOST_MESSAGES(DORVIK_SCRIPT_MESSAGE)
#undef DORVIK_SCRIPT_MESSAGE
  error = "no message " + type;
  return false;
}

}  // namespace testhost
