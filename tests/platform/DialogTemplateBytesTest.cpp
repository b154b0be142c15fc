#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plat/codepage.h"
#include "plat/dialog_template.h"

namespace dialog_template_bytes_test {

// An extended template written field by field, as resource compilers lay it out.
class TemplateBytes {
 public:
  TemplateBytes& Word(uint32_t v) {
    bytes.push_back(static_cast<BYTE>(v));
    bytes.push_back(static_cast<BYTE>(v >> 8));
    return *this;
  }
  TemplateBytes& Dword(uint32_t v) { return Word(v & 0xFFFF).Word(v >> 16); }
  TemplateBytes& Text(const std::u16string& text) {
    for (char16_t c : text) Word(c);
    return Word(0);
  }
  TemplateBytes& Align() {
    while (bytes.size() % 4) bytes.push_back(0);
    return *this;
  }
  std::vector<BYTE> bytes;
};

constexpr DWORD kSetFont = 0x40;
constexpr DWORD kPopup = 0x80000000u;

// A template with a font and two items: a button by class ordinal and a static by name.
std::vector<BYTE> TwoItems() {
  TemplateBytes t;
  t.Word(1).Word(0xFFFF).Dword(0).Dword(0).Dword(kPopup | kSetFont).Word(2);
  t.Word(0).Word(0).Word(187).Word(263).Word(0).Word(0).Text(u"");
  t.Word(9).Word(400).Word(0x0100).Text(u"\uB3CB\uC6C0");
  t.Align().Dword(0).Dword(0).Dword(0x5001000B).Word(38).Word(242).Word(50).Word(14).Dword(1);
  t.Word(0xFFFF).Word(0x0080).Text(u"OK").Word(0);
  t.Align().Dword(0).Dword(0x20).Dword(0x50000000).Word(1).Word(2).Word(3).Word(4).Dword(7);
  t.Text(u"STATIC").Word(0xFFFF).Word(12).Word(2).Word(0xABCD);
  return t.bytes;
}

TEST(DialogTemplateBytesTest, ReadsTheHeaderFontAndItemsWithClassNamesForOrdinals) {
  const std::vector<BYTE> bytes = TwoItems();
  plat::DialogTemplate t;
  ASSERT_TRUE(plat::ReadDialogTemplate(bytes.data(), bytes.size(), &t));
  EXPECT_EQ(t.style, kPopup | kSetFont);
  EXPECT_EQ(t.cx, 187);
  EXPECT_EQ(t.cy, 263);
  EXPECT_EQ(t.fontSize, 9);
  EXPECT_EQ(t.fontFace, plat::Utf16ToCp949(u"\uB3CB\uC6C0"));
  ASSERT_EQ(t.items.size(), 2u);
  EXPECT_EQ(t.items[0].className, "Button");
  EXPECT_EQ(t.items[0].text, "OK");
  EXPECT_EQ(t.items[0].id, 1);
  EXPECT_EQ(t.items[0].style, 0x5001000Bu);
  EXPECT_EQ(t.items[0].x, 38);
  EXPECT_EQ(t.items[1].className, "STATIC");
  EXPECT_EQ(t.items[1].exStyle, 0x20u);
  // A title or text given by ordinal (an icon) reads as no text; creation data is skipped.
  EXPECT_EQ(t.items[1].text, "");
  EXPECT_EQ(t.items[1].cy, 4);
}

TEST(DialogTemplateBytesTest, EveryShortReadAndAForeignSignatureFail) {
  const std::vector<BYTE> bytes = TwoItems();
  for (size_t n = 0; n < bytes.size(); ++n) {
    plat::DialogTemplate t;
    EXPECT_FALSE(plat::ReadDialogTemplate(bytes.data(), n, &t)) << "first " << n << " bytes";
  }
  std::vector<BYTE> plain = bytes;
  plain[2] = 0;  // a plain (not extended) template
  plat::DialogTemplate t;
  EXPECT_FALSE(plat::ReadDialogTemplate(plain.data(), plain.size(), &t));
}

TEST(DialogTemplateBytesTest, SameTemplateIgnoresTheCaseOfClassNamesOnly) {
  const std::vector<BYTE> bytes = TwoItems();
  plat::DialogTemplate compiled;
  ASSERT_TRUE(plat::ReadDialogTemplate(bytes.data(), bytes.size(), &compiled));
  plat::DialogTemplate table = compiled;
  table.items[0].className = "BUTTON";
  table.items[1].className = "Static";
  EXPECT_TRUE(plat::SameDialogTemplate(compiled, table));
  table.items[0].text = "ok";
  EXPECT_FALSE(plat::SameDialogTemplate(compiled, table));
  table = compiled;
  table.items[1].x = 2;
  EXPECT_FALSE(plat::SameDialogTemplate(compiled, table));
  table = compiled;
  table.items.pop_back();
  EXPECT_FALSE(plat::SameDialogTemplate(compiled, table));
}

}  // namespace dialog_template_bytes_test
