#include <gtest/gtest.h>

#include <cstring>

#include "plat/error.h"
#include "plat/ini.h"
#include "plat/sim.h"
#include "support/Cp949Printer.h"
#include "support/TempDir.h"

namespace ini_test {

using testing_support::Cp949;
using testing_support::TempDir;

constexpr const char* kIni = "C:\\Portal\\common\\quell_14.ini";

class IniTest : public testing::Test {
 protected:
  void SetUp() override {
    plat::sim::MapPathPrefix("C:\\Portal\\", dir.path());
    dir.Write("Common/Quell_14.INI",
              "; settings\r\n"
              "[ServiceInfo]\r\n"
              "  sDllVer =  1042  \r\n"
              "sCompany=\tVarnet Korea \r\n"
              "sQuoted = \" padded \"\r\n"
              "sEmpty=\r\n"
              "sHex=0x1F\r\n"
              "sNegative=-7\r\n"
              "sWord=abc\r\n"
              "sTitle=\xC8\xAD\xC5\xF5\r\n"  // 화투
              "\n"
              "[Other]\n"
              "sCompany=Elsewhere\n"
              "[\x81\x41]\n"  // a Korean name whose trail byte is 'A'
              "key=upper\n");
  }
  void TearDown() override {
    plat::sim::ClearPathPrefixes();
    plat::sim::ClearFaults();
  }
  std::string Get(const char* section, const char* key, const char* def = "dflt", DWORD size = 64,
                  const char* file = kIni) {
    char buf[64];
    std::memset(buf, 'X', sizeof buf);
    DWORD n = GetPrivateProfileStringA(section, key, def, buf, size, file);
    EXPECT_EQ(buf[n], '\0');
    EXPECT_EQ(n, std::strlen(buf));
    return std::string(buf, n);
  }
  TempDir dir;
};

TEST_F(IniTest, ValuesAreFoundWithoutRegardToCaseTrimmedAndReadAfreshEachTime) {
  EXPECT_EQ(Get("SERVICEINFO", "sCompany"), "Varnet Korea");
  EXPECT_EQ(Get("serviceinfo", "SCOMPANY"), "Varnet Korea");
  EXPECT_EQ(Get("Other", "sCompany"), "Elsewhere");
  EXPECT_EQ(Get("ServiceInfo", "sDllVer"), "1042");
  EXPECT_EQ(Get("ServiceInfo", "sQuoted"), " padded ");
  EXPECT_EQ(Get("ServiceInfo", "sEmpty"), "");
  EXPECT_EQ(Cp949(Get("ServiceInfo", "sTitle")), Cp949("\xC8\xAD\xC5\xF5"));
  // CP949 names fold only their ASCII letters: the trail byte 'A' is not 'a'.
  EXPECT_EQ(Get("\x81\x41", "KEY"), "upper");
  EXPECT_EQ(Get("\x81\x61", "key"), "dflt");
  dir.Write("common/quell_14.ini", "[serviceinfo]\nsCompany=Changed\n");
  EXPECT_EQ(Get("ServiceInfo", "sCompany"), "Changed");
}

TEST_F(IniTest, MissingFileSectionOrKeyGivesTheDefaultTruncatedToSizeMinusOne) {
  EXPECT_EQ(Get("ServiceInfo", "sDomainName", "Quell"), "Quell");
  EXPECT_EQ(Get("NoSection", "sCompany", "Quell"), "Quell");
  EXPECT_EQ(Get("ServiceInfo", "sCompany", "Quell", 64, "C:\\Portal\\common\\quell_15.ini"), "Quell");
  EXPECT_EQ(Get("ServiceInfo", "sDomainName", "Quell  "), "Quell");  // trailing blanks dropped
  EXPECT_EQ(Get("ServiceInfo", "sDomainName", nullptr), "");
  EXPECT_EQ(Get("Other", "sDllVer"), "dflt") << "the keys of one section do not leak into the next";
  EXPECT_EQ(Get("ServiceInfo", "sCompany", "", 7), "Varnet");
  EXPECT_EQ(Get("ServiceInfo", "sCompany", "", 1), "");
  EXPECT_EQ(Get("ServiceInfo", "missing", "Quell", 3), "Qu");
  // Bytes are cut as they are, even inside a double-byte character.
  EXPECT_EQ(Cp949(Get("ServiceInfo", "sTitle", "", 2)), Cp949("\xC8"));
  char untouched = 'X';
  EXPECT_EQ(GetPrivateProfileStringA("ServiceInfo", "sCompany", "", &untouched, 0, kIni), 0u);
  EXPECT_EQ(untouched, 'X');
}

TEST_F(IniTest, NullNamesListSectionsAndKeys) {
  char buf[64];
  DWORD n = GetPrivateProfileStringA(nullptr, nullptr, "", buf, sizeof buf, kIni);
  EXPECT_EQ(std::string(buf, n + 1), std::string("ServiceInfo\0Other\0\x81\x41\0", 22));
  n = GetPrivateProfileStringA("other", nullptr, "", buf, sizeof buf, kIni);
  EXPECT_EQ(std::string(buf, n + 1), std::string("sCompany\0", 10));
  // Too small: cut, still doubly terminated, size - 2.
  n = GetPrivateProfileStringA(nullptr, nullptr, "", buf, 8, kIni);
  EXPECT_EQ(n, 6u);
  EXPECT_EQ(std::string(buf, 8), std::string("Servic\0\0", 8));
}

TEST_F(IniTest, IntegersReadTheLeadingNumber) {
  const std::pair<const char*, UINT> cases[] = {
      {"sDllVer", 1042}, {"sHex", 0x1F}, {"sNegative", static_cast<UINT>(-7)},
      {"sWord", 0},      // text without digits is 0, not the default
      {"sEmpty", 99},    // an empty value is the default
      {"missing", 99},
  };
  for (auto [key, expected] : cases) EXPECT_EQ(GetPrivateProfileIntA("SERVICEINFO", key, 99, kIni), expected) << key;
  EXPECT_EQ(GetPrivateProfileIntA("ServiceInfo", "sDllVer", 5, "C:\\Portal\\none.ini"), 5u);
}

TEST_F(IniTest, WritingKeepsOtherLinesAndCanRemove) {
  ASSERT_TRUE(WritePrivateProfileStringA("SERVICEINFO", "SCOMPANY", "New", kIni));
  ASSERT_TRUE(WritePrivateProfileStringA("ServiceInfo", "sDomainName", "Quell", kIni));
  ASSERT_TRUE(WritePrivateProfileStringA("Fresh", "k", "\xC8\xAD", kIni));
  EXPECT_EQ(Get("ServiceInfo", "sCompany"), "New");
  EXPECT_EQ(Get("ServiceInfo", "sDomainName"), "Quell");
  EXPECT_EQ(Get("ServiceInfo", "sQuoted"), " padded ");
  EXPECT_EQ(Cp949(Get("Fresh", "k")), Cp949("\xC8\xAD"));
  const std::string text = dir.Read("Common/Quell_14.INI");
  EXPECT_EQ(text.substr(0, 35), "; settings\r\n[ServiceInfo]\r\n  sDllVe");
  // The new key joins its section, before the blank line that ends it.
  EXPECT_NE(text.find("sTitle=\xC8\xAD\xC5\xF5\r\nsDomainName=Quell\r\n\r\n[Other]"), std::string::npos);
  ASSERT_TRUE(WritePrivateProfileStringA("ServiceInfo", "sCompany", nullptr, kIni));
  EXPECT_EQ(Get("ServiceInfo", "sCompany"), "dflt");
  ASSERT_TRUE(WritePrivateProfileStringA("other", nullptr, nullptr, kIni));
  EXPECT_EQ(Get("Other", "sCompany"), "dflt");
  EXPECT_EQ(Get("ServiceInfo", "sDllVer"), "1042");
  // A new file is created.
  ASSERT_TRUE(WritePrivateProfileStringA("A", "b", "c", "C:\\Portal\\made.ini"));
  EXPECT_EQ(dir.Read("made.ini"), "[A]\r\nb=c\r\n");
}

TEST_F(IniTest, UnreadableFileGivesTheDefault) {
  plat::sim::FailNext("GetPrivateProfileStringA");
  EXPECT_EQ(Get("ServiceInfo", "sCompany"), "dflt");
  EXPECT_EQ(Get("ServiceInfo", "sCompany"), "Varnet Korea");
  plat::sim::FailNext("GetPrivateProfileIntA");
  EXPECT_EQ(GetPrivateProfileIntA("ServiceInfo", "sDllVer", 3, kIni), 3u);
  plat::sim::FailNext("WritePrivateProfileStringA");
  EXPECT_FALSE(WritePrivateProfileStringA("ServiceInfo", "sDllVer", "1", kIni));
  EXPECT_EQ(GetPrivateProfileIntA("ServiceInfo", "sDllVer", 3, kIni), 1042u);
}

}  // namespace ini_test
