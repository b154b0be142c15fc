#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "plat/registry.h"
#include "plat/sim.h"

namespace fs = std::filesystem;

namespace {

const char* const kGameKey = "Software\\Varnet\\Quell\\14";

class RegistryTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = plat::sim::RegistryFile();
    std::string pattern = (fs::temp_directory_path() / "dorvik-registry-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    file_ = dir_ + "/config/registry.dat";
    plat::sim::SetRegistryFile(file_);
    plat::sim::ClearFaults();
  }
  void TearDown() override {
    plat::sim::ClearFaults();
    plat::sim::SetRegistryFile(saved_);
    fs::remove_all(dir_);
  }
  static LONG Create(const char* path, HKEY* out, DWORD* how = nullptr, HKEY root = HKEY_CURRENT_USER) {
    return RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, out, how);
  }
  HKEY CreateKey(const char* path = kGameKey) {
    HKEY key = nullptr;
    EXPECT_EQ(Create(path, &key), ERROR_SUCCESS);
    return key;
  }
  static LONG SetString(HKEY key, const char* name, const std::string& text) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1));
  }
  static LONG SetDword(HKEY key, const char* name, DWORD value) {
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  }
  // The value's type and bytes, or the error as the type with no bytes.
  static std::pair<DWORD, std::string> Query(HKEY key, const char* name) {
    DWORD type = 0xDEAD;
    DWORD size = 0;
    LONG r = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
    if (r != ERROR_SUCCESS) return {static_cast<DWORD>(r) | 0x80000000u, ""};
    std::string data(size, '\0');
    r = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    if (r != ERROR_SUCCESS) return {static_cast<DWORD>(r) | 0x80000000u, ""};
    data.resize(size);
    return {type, data};
  }
  static std::pair<DWORD, std::string> Failed(DWORD error) { return {error | 0x80000000u, ""}; }
  static LONG Open(const char* path, HKEY* out, REGSAM access = KEY_READ, HKEY root = HKEY_CURRENT_USER) {
    return RegOpenKeyExA(root, path, 0, access, out);
  }
  std::string FileBytes() const {
    std::ifstream in(file_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void WriteFileBytes(const std::string& bytes) const {
    fs::create_directories(fs::path(file_).parent_path());
    std::ofstream(file_, std::ios::binary | std::ios::trunc) << bytes;
  }
  std::vector<std::string> FilesInConfig() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(fs::path(file_).parent_path())) names.push_back(e.path().filename());
    return names;
  }
  std::string saved_, dir_, file_;
};

TEST_F(RegistryTest, QueryFollowsTheSizeContract) {
  HKEY key = CreateKey();
  ASSERT_EQ(SetString(key, "Option_Volume", "100"), ERROR_SUCCESS);
  DWORD type = 0, size = 0;
  EXPECT_EQ(RegQueryValueExA(key, "Option_Volume", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, 4u);  // the terminator counts
  char buf[8];
  std::memset(buf, '#', sizeof buf);
  size = 3;
  auto* bytes = reinterpret_cast<BYTE*>(buf);
  EXPECT_EQ(RegQueryValueExA(key, "Option_Volume", nullptr, nullptr, bytes, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(std::string(buf, 8), "########");  // untouched
  size = sizeof buf;
  EXPECT_EQ(RegQueryValueExA(key, "Option_Volume", nullptr, nullptr, bytes, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 4u);
  EXPECT_STREQ(buf, "100");
  // Existence and type only; a buffer without a size is refused.
  type = 0;
  EXPECT_EQ(RegQueryValueExA(key, "Option_Volume", nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(RegQueryValueExA(key, "Option_Volume", nullptr, nullptr, bytes, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegQueryValueExA(key, "Missing", nullptr, nullptr, bytes, &size), ERROR_FILE_NOT_FOUND);
  RegCloseKey(key);
}

TEST_F(RegistryTest, StringValuesAreStoredWithTheirTerminator) {
  HKEY key = CreateKey();
  struct Row { DWORD type; std::string given, stored; } rows[] = {
      {REG_SZ, "abc", std::string("abc\0", 4)},  {REG_SZ, std::string("abc\0", 4), std::string("abc\0", 4)},
      {REG_SZ, "", std::string("\0", 1)},        {REG_EXPAND_SZ, "%x%", std::string("%x%\0", 4)},
      {REG_BINARY, "abc", "abc"},                {REG_BINARY, "", ""},
  };
  auto set = [&](const char* name, DWORD type, const std::string& bytes) {
    return RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.given);
    ASSERT_EQ(set("v", row.type, row.given), ERROR_SUCCESS);
    EXPECT_EQ(Query(key, "v"), std::make_pair(row.type, row.stored));
  }
  EXPECT_EQ(RegSetValueExA(key, "v", 0, REG_BINARY, nullptr, 4), ERROR_INVALID_PARAMETER);
  const std::string big((1u << 20) + 1, 'b');
  EXPECT_EQ(set("big", REG_BINARY, big), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(set("big", REG_BINARY, big.substr(1)), ERROR_SUCCESS);
  plat::sim::ReloadRegistry();
  EXPECT_EQ(Query(key, "big").second.size(), big.size() - 1);
  RegCloseKey(key);
}

TEST_F(RegistryTest, DeletedKeysAreGoneForOpenHandlesToo) {
  HKEY key = CreateKey(), gone = nullptr;
  ASSERT_EQ(SetDword(key, "x", 1), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Varnet\\Quell"), ERROR_ACCESS_DENIED);  // has a sub-key
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, kGameKey), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, kGameKey), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Query(key, "x"), Failed(ERROR_KEY_DELETED));
  EXPECT_EQ(SetDword(key, "x", 1), ERROR_KEY_DELETED);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED);
  plat::sim::ReloadRegistry();
  EXPECT_EQ(Open(kGameKey, &gone), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryTest, CorruptOrUnreadableFileIsReportedAndNeverReplaced) {
  WriteFileBytes("not a registry file at all");
  HKEY key = nullptr;
  EXPECT_EQ(Open("Software", &key), ERROR_BADDB);
  EXPECT_EQ(Create("Software", &key), ERROR_BADDB);
  EXPECT_EQ(SetDword(HKEY_CURRENT_USER, "x", 1), ERROR_BADDB);
  EXPECT_EQ(Query(HKEY_CURRENT_USER, "x"), Failed(ERROR_BADDB));
  EXPECT_EQ(FileBytes(), "not a registry file at all");
  fs::remove(file_);
  fs::create_directories(file_);  // a folder where the file should be
  plat::sim::ReloadRegistry();
  EXPECT_EQ(Create("Software", &key), ERROR_BADDB);
  EXPECT_TRUE(fs::is_directory(file_));
}

TEST_F(RegistryTest, EveryTruncationOrFlippedByteIsCorruption) {
  HKEY key = CreateKey();
  ASSERT_EQ(SetString(key, "Option_Volume", "0"), ERROR_SUCCESS);
  ASSERT_EQ(SetDword(key, "Option_Voice", 3), ERROR_SUCCESS);
  RegCloseKey(key);
  const std::string good = FileBytes();
  ASSERT_GT(good.size(), 40u);
  auto openResult = [&](const std::string& bytes) {
    WriteFileBytes(bytes);
    plat::sim::ReloadRegistry();
    HKEY k = nullptr;
    const LONG r = Open(kGameKey, &k);
    if (k) RegCloseKey(k);
    return r;
  };
  for (size_t n = 0; n < good.size(); ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(openResult(good.substr(0, n)), ERROR_BADDB);
    std::string flipped = good;
    flipped[n] = static_cast<char>(flipped[n] ^ 0x10);
    EXPECT_EQ(openResult(flipped), ERROR_BADDB);
  }
  EXPECT_EQ(openResult(good + '\0'), ERROR_BADDB);
  EXPECT_EQ(openResult(good), ERROR_SUCCESS);
}

// Files written by hand, with a correct checksum, so the structure checks are reached.
class RegistryFileBuilder {
 public:
  RegistryFileBuilder() : bytes_("DVRG") { U32(1); }
  RegistryFileBuilder& U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_ += static_cast<char>(v >> (8 * i));
    return *this;
  }
  RegistryFileBuilder& Str(const std::string& s) { return U32(static_cast<uint32_t>(s.size())).Raw(s); }
  RegistryFileBuilder& Raw(const std::string& s) {
    bytes_ += s;
    return *this;
  }
  // A key with no values and no children.
  RegistryFileBuilder& EmptyKey(const std::string& name) { return Str(name).U32(0).U32(0); }
  std::string Done() const {
    uint32_t h = 2166136261u;
    for (unsigned char c : bytes_) h = (h ^ c) * 16777619u;
    std::string out = bytes_;
    for (int i = 0; i < 4; ++i) out += static_cast<char>(h >> (8 * i));
    return out;
  }

 private:
  std::string bytes_;
};

TEST_F(RegistryTest, MalformedStructureIsCorruption) {
  using B = RegistryFileBuilder;
  const uint32_t hkcu = 0x80000001u;
  // HKCU holding Software with one DWORD value "v" = 5.
  auto software = [&](B b) {
    return b.U32(hkcu).Str("").U32(0).U32(1).Str("Software").U32(1).Str("v").U32(REG_DWORD).Str(std::string("\5\0\0\0", 4)).U32(0);
  };
  auto nested = [&](int depth) {
    B b;
    b.U32(1).U32(hkcu).Str("").U32(0).U32(1);
    for (int i = 0; i < depth; ++i) b.Str("k").U32(0).U32(i + 1 < depth ? 1 : 0);
    return b.Done();
  };
  auto root = [&](uint32_t values) { return B().U32(1).U32(hkcu).Str("").U32(values); };
  struct Row { const char* what; std::string bytes; LONG expected; } rows[] = {
      {"empty registry", B().U32(0).Done(), ERROR_FILE_NOT_FOUND},
      {"well formed", software(B().U32(1)).Done(), ERROR_SUCCESS}, {"512 levels", nested(512), ERROR_FILE_NOT_FOUND},
      {"513 levels", nested(513), ERROR_BADDB},
      {"unknown version", [] { std::string s = B().U32(0).Done(); s[4] = 2; return s; }(), ERROR_BADDB},
      {"too many roots", B().U32(5).Done(), ERROR_BADDB},
      {"unknown root", B().U32(1).U32(0x80000009u).EmptyKey("").Done(), ERROR_BADDB},
      {"root twice", B().U32(2).U32(hkcu).EmptyKey("").U32(hkcu).EmptyKey("").Done(), ERROR_BADDB},
      {"named root", B().U32(1).U32(hkcu).EmptyKey("x").Done(), ERROR_BADDB},
      {"value count past the end", root(0x10000000).Done(), ERROR_BADDB},
      {"name past the end", root(1).U32(100).Raw("v").Done(), ERROR_BADDB},
      {"key name too long", root(0).U32(1).EmptyKey(std::string(256, 'k')).Done(), ERROR_BADDB},
      {"value names differing in case", root(2).Str("v").U32(1).Str("").Str("V").U32(1).Str("").U32(0).Done(), ERROR_BADDB},
      {"child without a name", root(0).U32(1).EmptyKey("").Done(), ERROR_BADDB},
      {"child name with a separator", root(0).U32(1).EmptyKey("a\\b").Done(), ERROR_BADDB},
      {"children differing in case", root(0).U32(2).EmptyKey("sw").EmptyKey("SW").Done(), ERROR_BADDB},
      {"bytes after the tree", software(B().U32(1)).Raw("x").Done(), ERROR_BADDB},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    WriteFileBytes(row.bytes);
    plat::sim::ReloadRegistry();
    HKEY key = nullptr;
    EXPECT_EQ(Open("Software", &key), row.expected);
    if (key) {
      EXPECT_EQ(Query(key, "v"), std::make_pair(REG_DWORD, std::string("\5\0\0\0", 4)));
      RegCloseKey(key);
    }
  }
}

TEST_F(RegistryTest, WritesReplaceTheFileWholeAndFailedWritesChangeNothing) {
  HKEY key = CreateKey(), child = nullptr;
  ASSERT_EQ(SetString(key, "Option_Speed", "0"), ERROR_SUCCESS);
  // A reader that opened the file before a change keeps reading a whole old file:
  // the new content goes to another file that is renamed over the name.
  const std::string old = FileBytes();
  std::ifstream reader(file_, std::ios::binary);
  ASSERT_EQ(SetString(key, "Option_Speed", "1"), ERROR_SUCCESS);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(reader), {}), old);
  const std::string before = FileBytes();
  EXPECT_NE(before, old);
  EXPECT_EQ(FilesInConfig(), std::vector<std::string>{"registry.dat"});
  plat::sim::FailNext("RegSetValueExA");
  EXPECT_EQ(SetString(key, "Option_Speed", "2"), ERROR_CANTWRITE);
  EXPECT_EQ(plat::sim::FaultsFired("RegSetValueExA"), 1u);
  // The file write itself fails half way: memory, file and folder stay as they were.
  plat::sim::FailNext("RegistryPersist", 3);
  EXPECT_EQ(SetString(key, "Option_Speed", "3"), ERROR_CANTWRITE);
  EXPECT_EQ(RegDeleteValueA(key, "Option_Speed"), ERROR_CANTWRITE);
  EXPECT_EQ(Create("Child", &child, nullptr, key), ERROR_CANTWRITE);
  EXPECT_EQ(child, nullptr);
  EXPECT_EQ(Query(key, "Option_Speed").second, std::string("1\0", 2));
  EXPECT_EQ(Open("Child", &child, KEY_READ, key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(FileBytes(), before);
  EXPECT_EQ(FilesInConfig(), std::vector<std::string>{"registry.dat"});
  // What a crash half way through a write leaves behind is ignored.
  std::ofstream(file_ + ".tmp.1", std::ios::binary) << "half";
  plat::sim::ReloadRegistry();
  EXPECT_EQ(Query(key, "Option_Speed").second, std::string("1\0", 2));
  RegCloseKey(key);
}

TEST_F(RegistryTest, DefaultFileLivesInTheUserConfigurationFolder) {
  const char* old = std::getenv("XDG_CONFIG_HOME");
  const std::string keep = old ? old : "";
  setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
  plat::sim::SetRegistryFile("");
  EXPECT_EQ(plat::sim::RegistryFile(), dir_ + "/dorvik2/registry.dat");
  RegCloseKey(CreateKey());
  EXPECT_TRUE(fs::exists(dir_ + "/dorvik2/registry.dat"));
  if (old)
    setenv("XDG_CONFIG_HOME", keep.c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");
}

TEST_F(RegistryTest, ValuesOfEveryTypeSurviveAReload) {
  HKEY key = CreateKey();
  ASSERT_EQ(SetString(key, "Option_Speed", "1"), ERROR_SUCCESS);
  ASSERT_EQ(SetDword(key, "Option_Voice", 0xA1B2C3D4), ERROR_SUCCESS);
  const std::string blob("\x00\xFF\x10\x00", 4);
  ASSERT_EQ(RegSetValueExA(key, "Blob", 0, REG_BINARY, reinterpret_cast<const BYTE*>(blob.data()), 4), ERROR_SUCCESS);
  ASSERT_EQ(SetString(key, nullptr, "\xB3\xC9"), ERROR_SUCCESS);  // the default value
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

  plat::sim::ReloadRegistry();
  HKEY again = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kGameKey, 0, KEY_READ, &again), ERROR_SUCCESS);
  EXPECT_EQ(Query(again, "Option_Speed"), std::make_pair(REG_SZ, std::string("1\0", 2)));
  EXPECT_EQ(Query(again, "Option_Voice"), std::make_pair(REG_DWORD, std::string("\xD4\xC3\xB2\xA1", 4)));
  EXPECT_EQ(Query(again, "Blob"), std::make_pair(REG_BINARY, blob));
  EXPECT_EQ(Query(again, ""), std::make_pair(REG_SZ, std::string("\xB3\xC9\0", 3)));
  // Roots are separate trees.
  HKEY other = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kGameKey, 0, KEY_READ, &other), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(other, nullptr);
  RegCloseKey(again);
}

TEST_F(RegistryTest, ChangesReachAnotherProcessBothWays) {
  HKEY key = CreateKey();
  ASSERT_EQ(SetString(key, "FromParent", "p"), ERROR_SUCCESS);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // A process of its own: start from the file, as the module starting now would.
    plat::sim::ReloadRegistry();
    HKEY k = nullptr;
    int status = RegOpenKeyExA(HKEY_CURRENT_USER, kGameKey, 0, KEY_ALL_ACCESS, &k) == ERROR_SUCCESS ? 0 : 1;
    char buf[8] = {};
    DWORD size = sizeof buf;
    if (RegQueryValueExA(k, "FromParent", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size) != ERROR_SUCCESS ||
        std::string(buf) != "p")
      status |= 2;
    if (SetDword(k, "FromChild", 7) != ERROR_SUCCESS) status |= 4;
    _exit(status);
  }
  int status = -1;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  // No reload here: the file changed on disk, so the registry reads it again.
  EXPECT_EQ(Query(key, "FromChild"), std::make_pair(REG_DWORD, std::string("\x07\0\0\0", 4)));
  EXPECT_EQ(Query(key, "FromParent"), std::make_pair(REG_SZ, std::string("p\0", 2)));
  RegCloseKey(key);
}

TEST_F(RegistryTest, NamesCompareWithoutAsciiCase) {
  HKEY key = CreateKey("Software\\Varnet");
  ASSERT_EQ(SetDword(key, "Option_Skin", 1), ERROR_SUCCESS);
  HKEY same = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\varnet\\", 0, KEY_ALL_ACCESS, &same), ERROR_SUCCESS);
  EXPECT_EQ(Query(same, "OPTION_SKIN").first, REG_DWORD);
  // Writing under another case replaces the value instead of adding one.
  ASSERT_EQ(SetDword(same, "option_skin", 2), ERROR_SUCCESS);
  EXPECT_EQ(Query(key, "Option_Skin").second, std::string("\x02\0\0\0", 4));
  EXPECT_EQ(RegDeleteValueA(key, "OPTION_skin"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueA(key, "Option_Skin"), ERROR_FILE_NOT_FOUND);

  DWORD how = 0;
  HKEY k = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "software\\VARNET", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, &how),
            ERROR_SUCCESS);
  EXPECT_EQ(how, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
  RegCloseKey(k);

  // The second byte of a CP949 character is not a letter, even when it looks like one:
  // 0x81 0x41 and 0x81 0x61 are two different Korean characters.
  HKEY upper = CreateKey("\x81\x41");
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "\x81\x61", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, &how),
            ERROR_SUCCESS);
  EXPECT_EQ(how, static_cast<DWORD>(REG_CREATED_NEW_KEY));
  ASSERT_EQ(SetDword(upper, "x\x81\x41", 1), ERROR_SUCCESS);
  EXPECT_EQ(Query(upper, "X\x81\x41").first, REG_DWORD);
  EXPECT_EQ(Query(upper, "x\x81\x61"), Failed(ERROR_FILE_NOT_FOUND));
  RegCloseKey(k);
  RegCloseKey(upper);
  RegCloseKey(same);
  RegCloseKey(key);
}

TEST_F(RegistryTest, HandlesPathsAndRightsAreChecked) {
  HKEY key = CreateKey();
  HKEY result = reinterpret_cast<HKEY>(1);
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Nobody", 0, KEY_READ, &result), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(result, nullptr);
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "\\Software", 0, KEY_READ, &result), ERROR_BAD_PATHNAME);
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\\\Varnet", 0, KEY_READ, &result), ERROR_BAD_PATHNAME);
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegOpenKeyExA(reinterpret_cast<HKEY>(0x80000007u), "Software", 0, KEY_READ, &result),
            ERROR_INVALID_HANDLE);

  // A key opened for reading cannot be written, and one opened for writing not read.
  HKEY reader = nullptr, writer = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kGameKey, 0, KEY_READ, &reader), ERROR_SUCCESS);
  ASSERT_EQ(RegOpenKeyExA(key, nullptr, 0, KEY_WRITE, &writer), ERROR_SUCCESS);
  EXPECT_EQ(SetDword(reader, "x", 1), ERROR_ACCESS_DENIED);
  EXPECT_EQ(SetDword(writer, "x", 1), ERROR_SUCCESS);
  EXPECT_EQ(Query(writer, "x"), Failed(ERROR_ACCESS_DENIED));
  EXPECT_EQ(Query(reader, "x").first, REG_DWORD);
  HKEY child = nullptr;
  EXPECT_EQ(RegCreateKeyExA(reader, "Child", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr),
            ERROR_ACCESS_DENIED);

  // Closed handles are refused; the predefined roots close as a no-op.
  EXPECT_EQ(RegCloseKey(reader), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(reader), ERROR_INVALID_HANDLE);
  EXPECT_EQ(Query(reader, "x"), Failed(ERROR_INVALID_HANDLE));
  EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
  RegCloseKey(writer);
  RegCloseKey(key);
}

}  // namespace
