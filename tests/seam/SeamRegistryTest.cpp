// The registry as the module's settings use it: a key under HKCU\Software made or
// opened with all access, text and DWORD values, and what a missing key, a missing
// value, a short buffer or another type answers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "plat/registry.h"
#include "plat/time.h"

namespace {

// The results as the error values they are, whichever integer type each side gives them.
constexpr DWORD kSuccess = ERROR_SUCCESS;
constexpr DWORD kNotFound = ERROR_FILE_NOT_FOUND;
constexpr DWORD kMoreData = ERROR_MORE_DATA;
constexpr DWORD kDenied = ERROR_ACCESS_DENIED;
DWORD Result(LONG code) { return static_cast<DWORD>(code); }

constexpr const char* kInner = "Options";

// A key of this run's own, named by the moment it is first asked for: runs at both
// depths may share the registry at once.
const std::string& Outer() {
  static const std::string outer = [] {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return "Software\\DorvikSeamCheck" + std::to_string(now.QuadPart);
  }();
  return outer;
}

class SeamRegistry : public testing::Test {
 protected:
  void SetUp() override {
    Clear();
    DWORD disposition = 0;
    HKEY outer = nullptr;
    ASSERT_EQ(Result(RegCreateKeyExA(HKEY_CURRENT_USER, Outer().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &outer,
                                     &disposition)),
              kSuccess);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    ASSERT_EQ(Result(RegCreateKeyExA(outer, kInner, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr)), kSuccess);
    RegCloseKey(outer);
  }
  void TearDown() override {
    if (key_) RegCloseKey(key_);
    Clear();
  }
  static void Clear() {
    RegDeleteKeyA(HKEY_CURRENT_USER, (Outer() + "\\" + kInner).c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, Outer().c_str());
  }
  LONG SetText(const char* name, const std::string& bytes) {
    return RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes.data()),
                          static_cast<DWORD>(bytes.size()));
  }
  HKEY key_ = nullptr;
};

TEST_F(SeamRegistry, MissingKeysAndValuesAnswerFileNotFound) {
  HKEY key = nullptr;
  EXPECT_EQ(Result(RegOpenKeyExA(HKEY_CURRENT_USER, (Outer() + "\\Absent").c_str(), 0, KEY_ALL_ACCESS, &key)),
            kNotFound);
  DWORD type = 77, size = 4;
  BYTE data[4];
  EXPECT_EQ(Result(RegQueryValueExA(key_, "Absent", nullptr, &type, data, &size)), kNotFound);
  EXPECT_EQ(Result(RegDeleteValueA(key_, "Absent")), kNotFound);

  // Names compare without regard to case, and opening again finds the same key.
  DWORD value = 7;
  ASSERT_EQ(Result(RegSetValueExA(key_, "Volume", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4)), kSuccess);
  std::string shouted = "SOFTWARE\\dorvikseamcheck" + Outer().substr(Outer().find("Check") + 5) + "\\OPTIONS";
  ASSERT_EQ(Result(RegOpenKeyExA(HKEY_CURRENT_USER, shouted.c_str(), 0, KEY_ALL_ACCESS, &key)),
            kSuccess);
  value = 0;
  size = 4;
  EXPECT_EQ(Result(RegQueryValueExA(key, "volume", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size)), kSuccess);
  EXPECT_EQ(value, 7u);
  RegCloseKey(key);

  // A key with a key below it is not deleted.
  EXPECT_EQ(Result(RegDeleteKeyA(HKEY_CURRENT_USER, Outer().c_str())), kDenied);
}

TEST_F(SeamRegistry, TextAndDwordValuesKeepTheirTypesAndSizes) {
  ASSERT_EQ(Result(SetText("Name", std::string("\xC8\xAB\xB1\xE6\xB5\xBF", 7))), kSuccess);
  const DWORD number = 0x12345678;
  ASSERT_EQ(Result(RegSetValueExA(key_, "Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4)), kSuccess);

  // Sizing alone, then a read into room enough.
  DWORD type = REG_NONE, size = 0;
  EXPECT_EQ(Result(RegQueryValueExA(key_, "Name", nullptr, &type, nullptr, &size)), kSuccess);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, 7u);
  char text[32];
  size = sizeof text;
  EXPECT_EQ(Result(RegQueryValueExA(key_, "Name", nullptr, &type, reinterpret_cast<BYTE*>(text), &size)), kSuccess);
  EXPECT_EQ(size, 7u);
  EXPECT_STREQ(text, "\xC8\xAB\xB1\xE6\xB5\xBF");

  DWORD read = 0;
  size = 4;
  EXPECT_EQ(Result(RegQueryValueExA(key_, "Count", nullptr, &type, reinterpret_cast<BYTE*>(&read), &size)), kSuccess);
  EXPECT_EQ(type, REG_DWORD);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(read, number);

  // The text read as a DWORD: too long, so the size it needs and the type come back.
  read = 0xAAAAAAAA;
  size = 4;
  EXPECT_EQ(Result(RegQueryValueExA(key_, "Name", nullptr, &type, reinterpret_cast<BYTE*>(&read), &size)), kMoreData);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, 7u);

  // A shorter text replaces a longer one whole.
  ASSERT_EQ(Result(SetText("Name", std::string("ab", 3))), kSuccess);
  size = sizeof text;
  std::memset(text, 'x', sizeof text);
  EXPECT_EQ(Result(RegQueryValueExA(key_, "Name", nullptr, &type, reinterpret_cast<BYTE*>(text), &size)), kSuccess);
  EXPECT_EQ(size, 3u);
  EXPECT_STREQ(text, "ab");
}

// Text stored through the ANSI call without its terminator gets one: it reads back a
// byte longer than it was given.
TEST_F(SeamRegistry, TextWithoutTerminatorGetsOne) {
  ASSERT_EQ(Result(SetText("Bare", "abcd")), kSuccess);
  DWORD type = REG_NONE, size = 0;
  EXPECT_EQ(Result(RegQueryValueExA(key_, "Bare", nullptr, &type, nullptr, &size)), kSuccess);
  EXPECT_EQ(size, 5u);
  char text[8];
  std::memset(text, 'x', sizeof text);
  size = sizeof text;
  EXPECT_EQ(Result(RegQueryValueExA(key_, "Bare", nullptr, &type, reinterpret_cast<BYTE*>(text), &size)), kSuccess);
  EXPECT_EQ(size, 5u);
  EXPECT_EQ(std::string(text, 6), std::string("abcd\0x", 6));
}

}  // namespace
