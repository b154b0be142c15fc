// Extended dialog templates as resource compilers write them (little-endian words, UTF-16
// texts, items on 4-byte boundaries), read the same way on every side.
#include <utility>

#include "plat/dialog_template.h"
#include "plat/utf16.h"

namespace plat {
namespace {

constexpr WORD kExtendedVersion = 1;
constexpr WORD kExtendedSignature = 0xFFFF;
constexpr WORD kOrdinalMark = 0xFFFF;
// DS_SETFONT (also part of DS_SHELLFONT): a font record follows the title.
constexpr DWORD kSetFontStyle = 0x40;

// Reads the template's little-endian fields; a read past the end fails the reader.
class TemplateReader {
 public:
  TemplateReader(const BYTE* bytes, size_t size) : bytes_(bytes), size_(size) {}
  bool Failed() const { return failed_; }

  WORD Word() {
    if (!Have(2)) return 0;
    const WORD v = static_cast<WORD>(bytes_[at_] | (bytes_[at_ + 1] << 8));
    at_ += 2;
    return v;
  }
  DWORD Dword() {
    const DWORD lo = Word();
    return lo | (static_cast<DWORD>(Word()) << 16);
  }
  int16_t Short() { return static_cast<int16_t>(Word()); }
  BYTE Byte() {
    if (!Have(1)) return 0;
    return bytes_[at_++];
  }
  std::string Text() {
    std::u16string text;
    for (WORD c = Word(); c != 0 && !failed_; c = Word()) text.push_back(static_cast<char16_t>(c));
    return Utf16ToCp949(text);
  }
  // A name or an ordinal; an ordinal comes back through `ordinal` and the name is "".
  std::string TextOrOrdinal(WORD* ordinal) {
    *ordinal = 0;
    if (!Have(2)) return std::string();
    if (Peek() == 0) {
      Word();
      return std::string();
    }
    if (Peek() == kOrdinalMark) {
      Word();
      *ordinal = Word();
      return std::string();
    }
    return Text();
  }
  void AlignDword() { at_ = (at_ + 3) & ~static_cast<size_t>(3); }
  void Skip(size_t n) {
    if (Have(n)) at_ += n;
  }

 private:
  bool Have(size_t n) {
    if (failed_ || n > size_ || at_ > size_ - n) failed_ = true;
    return !failed_;
  }
  WORD Peek() const { return static_cast<WORD>(bytes_[at_] | (bytes_[at_ + 1] << 8)); }

  const BYTE* bytes_;
  size_t size_;
  size_t at_ = 0;
  bool failed_ = false;
};

// The predefined control classes that templates name by ordinal.
std::string ClassOfOrdinal(WORD ordinal) {
  switch (ordinal) {
    case 0x0080: return "Button";
    case 0x0081: return "Edit";
    case 0x0082: return "Static";
    case 0x0083: return "ListBox";
    case 0x0084: return "ScrollBar";
    case 0x0085: return "ComboBox";
    default: return std::string();
  }
}

}  // namespace

bool ReadDialogTemplate(const BYTE* bytes, size_t size, DialogTemplate* out) {
  TemplateReader r(bytes, size);
  if (r.Word() != kExtendedVersion || r.Word() != kExtendedSignature) return false;
  r.Dword();  // help id
  out->exStyle = r.Dword();
  out->style = r.Dword();
  const WORD count = r.Word();
  out->x = r.Short();
  out->y = r.Short();
  out->cx = r.Short();
  out->cy = r.Short();
  WORD ordinal = 0;
  r.TextOrOrdinal(&ordinal);  // menu
  r.TextOrOrdinal(&ordinal);  // dialog class
  out->title = r.Text();
  if (out->style & kSetFontStyle) {
    out->fontSize = r.Word();
    r.Word();  // weight
    r.Byte();  // italic
    r.Byte();  // character set
    out->fontFace = r.Text();
  }
  for (WORD i = 0; i < count && !r.Failed(); ++i) {
    r.AlignDword();
    DialogItemTemplate item;
    r.Dword();  // help id
    item.exStyle = r.Dword();
    item.style = r.Dword();
    item.x = r.Short();
    item.y = r.Short();
    item.cx = r.Short();
    item.cy = r.Short();
    item.id = static_cast<int32_t>(r.Dword());
    item.className = r.TextOrOrdinal(&ordinal);
    if (ordinal) item.className = ClassOfOrdinal(ordinal);
    item.text = r.TextOrOrdinal(&ordinal);
    r.Skip(r.Word());  // creation data
    out->items.push_back(std::move(item));
  }
  return !r.Failed();
}

namespace {

// Class names are compared as the system compares them, without regard to ASCII case.
bool SameClass(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

}  // namespace

bool SameDialogTemplate(const DialogTemplate& a, const DialogTemplate& b) {
  if (a.style != b.style || a.exStyle != b.exStyle || a.fontFace != b.fontFace || a.fontSize != b.fontSize ||
      a.x != b.x || a.y != b.y || a.cx != b.cx || a.cy != b.cy || a.title != b.title ||
      a.items.size() != b.items.size()) {
    return false;
  }
  for (size_t i = 0; i < a.items.size(); ++i) {
    DialogItemTemplate x = a.items[i];
    const DialogItemTemplate& y = b.items[i];
    if (!SameClass(x.className, y.className)) return false;
    x.className = y.className;
    if (!(x == y)) return false;
  }
  return true;
}

}  // namespace plat
