// Face names to font files. Korean faces come from the Baekmuk package, Latin ones
// from DejaVu; both folders can be moved by tests.
#include "gdi/FontFaces.h"

#include <atomic>
#include <mutex>

#include "gdi/TextRender.h"
#include "plat/sim_gdi.h"

namespace plat::detail::gdi {
namespace {

const char kDefaultKoreanFolder[] = "/usr/share/fonts/truetype/baekmuk";
const char kDefaultLatinFolder[] = "/usr/share/fonts/truetype/dejavu";

struct FaceName {
  const char* name;  // CP949
  FaceFamily family;
};

const FaceName kFaces[] = {
    {"\xB1\xBC\xB8\xB2", FaceFamily::Gulim},              // 굴림
    {"\xB1\xBC\xB8\xB2\xC3\xBC", FaceFamily::Gulim},      // 굴림체
    {"Gulim", FaceFamily::Gulim},
    {"GulimChe", FaceFamily::Gulim},
    {"\xB5\xB8\xBF\xF2", FaceFamily::Dotum},              // 돋움
    {"\xB5\xB8\xBF\xF2\xC3\xBC", FaceFamily::Dotum},      // 돋움체
    {"Dotum", FaceFamily::Dotum},
    {"DotumChe", FaceFamily::Dotum},
    {"MS Shell Dlg", FaceFamily::Dotum},
    {"\xB9\xD9\xC5\xC1", FaceFamily::Batang},             // 바탕
    {"\xB9\xD9\xC5\xC1\xC3\xBC", FaceFamily::Batang},     // 바탕체
    {"Batang", FaceFamily::Batang},
    {"BatangChe", FaceFamily::Batang},
    {"Arial", FaceFamily::Latin},
};

struct Settings {
  std::mutex mutex;
  std::string korean = kDefaultKoreanFolder;
  std::string latin = kDefaultLatinFolder;
  std::vector<std::string> reported;
};

Settings& TheSettings() {
  static Settings* s = new Settings;
  return *s;
}

// Face names match without regard to ASCII case, as Windows matches them.
bool SameName(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i]; ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return i == a.size() && !b[i];
}

}  // namespace

FaceFamily FamilyOf(const std::string& faceName) {
  for (const FaceName& f : kFaces)
    if (SameName(faceName, f.name)) return f.family;
  return FaceFamily::Gulim;
}

std::string FaceFile(FaceFamily family, bool bold) {
  Settings& s = TheSettings();
  std::lock_guard lock(s.mutex);
  switch (family) {
    case FaceFamily::Gulim: return bold ? "" : s.korean + "/gulim.ttf";
    case FaceFamily::Dotum: return bold ? "" : s.korean + "/dotum.ttf";
    case FaceFamily::Batang: return bold ? "" : s.korean + "/batang.ttf";
    case FaceFamily::Latin: return s.latin + (bold ? "/DejaVuSans-Bold.ttf" : "/DejaVuSans.ttf");
  }
  return "";
}

std::vector<std::string> ReportedFaces() {
  Settings& s = TheSettings();
  std::lock_guard lock(s.mutex);
  return s.reported.empty() ? plat::sim::DefaultReportedFontFaces() : s.reported;
}

}  // namespace plat::detail::gdi

namespace plat::detail::gdi {

namespace {
std::atomic<bool> g_textCellsMarked{false};
}

bool TextCellsMarked() { return g_textCellsMarked.load(std::memory_order_relaxed); }

}  // namespace plat::detail::gdi

namespace plat::sim {

void SetTextCellsMarked(bool marked) { plat::detail::gdi::g_textCellsMarked = marked; }

void SetFontFolders(const std::string& koreanFolder, const std::string& latinFolder) {
  auto& s = plat::detail::gdi::TheSettings();
  std::lock_guard lock(s.mutex);
  s.korean = koreanFolder.empty() ? plat::detail::gdi::kDefaultKoreanFolder : koreanFolder;
  s.latin = latinFolder.empty() ? plat::detail::gdi::kDefaultLatinFolder : latinFolder;
}

void SetReportedFontFaces(const std::vector<std::string>& faces) {
  auto& s = plat::detail::gdi::TheSettings();
  std::lock_guard lock(s.mutex);
  s.reported = faces;
}

std::vector<std::string> DefaultReportedFontFaces() {
  return {"\xB1\xBC\xB8\xB2", "\xB1\xBC\xB8\xB2\xC3\xBC", "\xB5\xB8\xBF\xF2", "\xB5\xB8\xBF\xF2\xC3\xBC",
          "\xB9\xD9\xC5\xC1", "\xB9\xD9\xC5\xC1\xC3\xBC", "Gulim",    "GulimChe",
          "Dotum",            "DotumChe",                 "Batang",   "BatangChe",
          "Arial"};
}

}  // namespace plat::sim
