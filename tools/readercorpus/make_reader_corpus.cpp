// Writes seed inputs for the fuzz targets of the file and host-text readers, made by our
// own writers: TGA files from the picture writer of tests/support, settings files from
// the layer's INI writer, enciphered data files from the layer's RC4, and runs of host
// calls in the host-event target's framing.
//   make_reader_corpus <fuzz/corpus folder>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "plat/ini.h"
#include "plat/sim_files.h"
#include "plat/wincrypt.h"
#include "support/PictureFileWriters.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace ts = testing_support;

void Write(const std::filesystem::path& path, const Bytes& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

Bytes FromText(const std::string& text) { return Bytes(text.begin(), text.end()); }

// ---- TGA files -------------------------------------------------------------------------

ts::TgaPicture Picture(int16_t w, int16_t h, uint8_t type = 2) {
  ts::TgaPicture p;
  p.type = type;
  p.width = w, p.height = h;
  for (int32_t i = 0; i < w * h; ++i) p.pixels.push_back(uint32_t(i * 0x01030507u) | uint32_t(i * 37) << 24);
  return p;
}

void TgaSeeds(const std::filesystem::path& dir) {
  Write(dir / "plain.tga", ts::TgaFile(Picture(5, 3)));
  Write(dir / "grey.tga", ts::TgaFile(Picture(2, 4, 3)));
  ts::TgaPicture labelled = Picture(3, 2);
  labelled.id = "label";
  labelled.colourMapType = 1;
  labelled.colourMapLength = 4;
  Write(dir / "id-and-map.tga", ts::TgaFile(labelled));
  Bytes two = ts::TgaFile(Picture(2, 1));
  const Bytes second = ts::TgaFile(Picture(1, 3, 3));
  two.insert(two.end(), second.begin(), second.end());
  Write(dir / "two-images.tga", two);
  ts::TgaPicture cut = Picture(4, 4);
  cut.cut = 5;
  Write(dir / "cut-rows.tga", ts::TgaFile(cut));
  ts::TgaPicture huge = Picture(0, 0);
  huge.width = huge.height = -1;
  Write(dir / "huge-announced.tga", ts::TgaFile(huge));
  ts::TgaPicture deep24 = Picture(2, 2);
  deep24.depth = 24;
  Write(dir / "depth24.tga", ts::TgaFile(deep24));
}

// ---- Settings files --------------------------------------------------------------------

void IniSeeds(const std::filesystem::path& dir) {
  plat::sim::MapPathPrefix("S:\\", dir.string() + "/");
  struct Key { const char* section; const char* key; const char* value; };
  const Key portal[] = {{"SERVICEINFO", "sDllVer", "3"}, {"SERVICEINFO", "sCompany", "Varnet"},
                        {"SERVICEINFO", "sDomainName", "Quell"}};
  for (const Key& k : portal) WritePrivateProfileStringA(k.section, k.key, k.value, "S:\\portal.ini");
  const Key mixed[] = {{"a", "one", "1"}, {"b", "two", " \"quoted\" "}, {"A", "ONE", "0x1F"},
                       {"b", "three", "-42"}, {"empty", "k", ""}, {"\xB0\xA1", "\xB3\xAA", "\xB4\xD9"}};
  for (const Key& k : mixed) WritePrivateProfileStringA(k.section, k.key, k.value, "S:\\sections.ini");
  WritePrivateProfileStringA("b", "two", nullptr, "S:\\removed.ini");
  for (const Key& k : mixed) WritePrivateProfileStringA(k.section, k.key, k.value, "S:\\removed.ini");
  WritePrivateProfileStringA("b", "two", nullptr, "S:\\removed.ini");
  WritePrivateProfileStringA("a", nullptr, nullptr, "S:\\removed.ini");
  // Texts the writer does not make: comments, blanks, lines with no '=', an open header,
  // lone line feeds and a last line with no end.
  Write(dir / "hand-edited.ini",
        FromText("; comment\n\n[ spaced ]\r\n  k = 'single' \nno equals here\n[open\nk==v\n[]\n=\n\tkey\t=\tv\t\r\r\n[x]y=z"));
}

// ---- Enciphered data files -------------------------------------------------------------

// The pass field (8 bytes) and the body under the key its leading bytes give.
Bytes Enciphered(const std::string& passField, size_t bodySize) {
  Bytes out(passField.begin(), passField.end());
  Bytes body(bodySize);
  for (size_t i = 0; i < bodySize; ++i) body[i] = uint8_t("plain text, line by line\r\n"[i % 26]);
  HCRYPTPROV provider = 0;
  HCRYPTHASH hash = 0;
  HCRYPTKEY key = 0;
  CryptAcquireContextA(&provider, nullptr, MS_DEF_PROV_A, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT);
  CryptCreateHash(provider, CALG_MD5, 0, 0, &hash);
  CryptHashData(hash, reinterpret_cast<const BYTE*>(passField.data()), DWORD(strnlen(passField.data(), 8)), 0);
  CryptDeriveKey(provider, CALG_RC4, hash, 0, &key);
  DWORD length = DWORD(body.size());
  CryptEncrypt(key, 0, TRUE, 0, body.data(), &length, length);
  CryptDestroyKey(key);
  CryptDestroyHash(hash);
  CryptReleaseContext(provider, 0);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

void DecryptSeeds(const std::filesystem::path& dir) {
  using namespace std::string_literals;
  Write(dir / "pass-only", Enciphered("q7Rz2mXe", 0));
  Write(dir / "short-pass-one-block", Enciphered("abc\0\0\0\0\0"s, 1000));
  Write(dir / "empty-pass", Enciphered("\0abcdefg"s, 17));
  Write(dir / "three-blocks", Enciphered("q7Rz2mXe", 2500));
  Write(dir / "block-less-one", Enciphered("key\0zzzz"s, 999));
  Write(dir / "short-file", FromText("abcde"));
}

// ---- Host calls ------------------------------------------------------------------------

// One call in the host-event target's framing: entry, code, user and flags, value, then
// the text in UTF-16 (ASCII here, or CP949 given as code units) and its zero unit.
enum Entry : uint8_t { kHostEvent, kAvatar, kUserValue, kDisplayName, kUserCommand, kStatusText };
enum User : uint8_t { kMe, kOther, kSeatless, kUnknown, kNullText = 4, kNullValue = 8 };

Bytes HostCall(Entry entry, int8_t code, uint8_t user, int8_t value, const std::u16string& text) {
  Bytes out = {entry, uint8_t(code), user, uint8_t(value)};
  for (char16_t unit : text) out.insert(out.end(), {uint8_t(unit), uint8_t(unit >> 8)});
  out.insert(out.end(), {0, 0});
  return out;
}

Bytes Joined(const std::vector<Bytes>& calls) {
  Bytes out;
  for (const Bytes& c : calls) out.insert(out.end(), c.begin(), c.end());
  return out;
}

void HostEventSeeds(const std::filesystem::path& dir) {
  Write(dir / "notice-short", HostCall(kHostEvent, 24, kMe, 0, u"TYPE=1#TIME=10#MSG=closing soon"));
  Write(dir / "notice-warning", HostCall(kHostEvent, 24, kMe, 0, u"TYPE=0#TIME=3#MSG=last call"));
  Write(dir / "notice-refused", HostCall(kHostEvent, 24, kMe, 0, u"TYPE=1#TIME=123"));
  Write(dir / "notice-other-user", HostCall(kHostEvent, 24, kOther, 0, u"TYPE=1#TIME=5"));
  Write(dir / "notice-then-stop", Joined({HostCall(kHostEvent, 24, kMe, 0, u"TYPE=1#TIME=9#MSG=x"),
                                          HostCall(kHostEvent, 24, kMe, 0, u"MSG=no type")}));
  Write(dir / "host-values", HostCall(kHostEvent, 22, kMe, 0, u"\x0007\x0100\x0001\x0002\x1234\x0001\x0203\x0405"));
  Write(dir / "report-user", HostCall(kHostEvent, 23, kOther, 0, u""));
  Write(dir / "observe-answer", HostCall(kHostEvent, 26, kMe, 1, u"1"));
  Write(dir / "memo", Joined({HostCall(kHostEvent, 28, kMe, 3, u""), HostCall(kHostEvent, 28, kMe, 0, u"")}));
  Write(dir / "presence", HostCall(kHostEvent, 29, kMe, 0, u""));
  Write(dir / "null-data-and-value", HostCall(kHostEvent, 24, kMe | kNullText | kNullValue, 0, u""));
  Write(dir / "avatar-parts",
        HostCall(kAvatar, 0, kOther, 0, u"Avatar\\Part\\body.gif|Avatar\\Part\\face.gif|"));
  Write(dir / "avatar-unknown-user", HostCall(kAvatar, 0, kUnknown, 0, u"a|b|"));
  Write(dir / "user-value", Joined({HostCall(kUserValue, 0, kMe, 0, u"0"), HostCall(kUserValue, 0, kOther, 0, u"250"),
                                    HostCall(kUserValue, 0, kUnknown, 0, u"-7 left")}));
  Write(dir / "display-names", Joined({HostCall(kDisplayName, 0, kMe, 0, u"\xAC00\xB098\xB2E4"),
                                       HostCall(kDisplayName, 0, kOther, 0, u"visitor"),
                                       HostCall(kDisplayName, 0, kSeatless | kNullText, 0, u"")}));
  Write(dir / "kick-command", HostCall(kUserCommand, 15, kOther, 0, u"why"));
  Write(dir / "status-text", Joined({HostCall(kStatusText, 0, kMe, 0, u"waiting for players"),
                                     HostCall(kStatusText, 0, kNullText, 0, u"")}));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_reader_corpus <fuzz/corpus folder>\n");
    return 2;
  }
  const std::filesystem::path root(argv[1]);
  const struct {
    const char* target;
    void (*write)(const std::filesystem::path&);
  } kTargets[] = {{"tga_file", TgaSeeds}, {"ini_file", IniSeeds}, {"decrypt_file", DecryptSeeds},
                  {"host_event", HostEventSeeds}};
  for (const auto& t : kTargets) {
    std::filesystem::create_directories(root / t.target);
    t.write(root / t.target);
  }
  return 0;
}
