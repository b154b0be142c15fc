// make_dialog_rc [--check] FILE.rc: writes the module's dialog templates (the message
// box and the skinned pop-up) as a resource script in UTF-8, or with --check compares
// FILE.rc with what it would write and fails when they differ.
// make_dialog_rc --check-res FILE.res: reads the dialogs a resource compiler made of the
// script and fails unless each is the template of the module's table.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "module/MsgBoxTemplate.h"
#include "panels/SkinnedPopup.h"
#include "plat/codepage.h"
#include "plat/crt.h"
#include "plat/module.h"

namespace {

// A resource-script string: UTF-8, quotes doubled.
std::string Quoted(const std::string& cp949) {
  std::string out = "\"";
  for (char c : plat::Cp949ToUtf8(cp949)) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

std::string Hex(DWORD v) { return plat::FormatString("0x%08X", v); }

bool WriteDialog(std::ostringstream& rc, int id) {
  const plat::DialogTemplate* t = plat::FindDialogTemplate(nullptr, MAKEINTRESOURCEA(static_cast<uintptr_t>(id)));
  if (!t) return false;
  rc << "\n" << id << " DIALOGEX " << t->x << ", " << t->y << ", " << t->cx << ", " << t->cy << "\n";
  if (t->exStyle) rc << "EXSTYLE " << Hex(t->exStyle) << "\n";
  rc << "STYLE " << Hex(t->style) << "\n";
  if (!t->title.empty()) rc << "CAPTION " << Quoted(t->title) << "\n";
  if (!t->fontFace.empty()) rc << "FONT " << t->fontSize << ", " << Quoted(t->fontFace) << "\n";
  rc << "BEGIN\n";
  for (const plat::DialogItemTemplate& item : t->items) {
    rc << "  CONTROL " << Quoted(item.text) << ", " << item.id << ", " << Quoted(item.className) << ", "
       << Hex(item.style) << ", " << item.x << ", " << item.y << ", " << item.cx << ", " << item.cy;
    if (item.exStyle) rc << ", " << Hex(item.exStyle);
    rc << "\n";
  }
  rc << "END\n";
  return true;
}

// A compiled resource file: entries of a header (data size, header size, type and name
// as a UTF-16 text or 0xFFFF and an ordinal, then fixed fields) and the data, each on
// a 4-byte boundary. Finds the dialogs by ordinal; false for a file that stops short.
bool ReadResDialogs(const std::vector<BYTE>& res, std::vector<std::pair<int, plat::DialogTemplate>>* dialogs) {
  constexpr uint32_t kDialogType = 5;
  const auto dword = [&](size_t at) {
    return static_cast<uint32_t>(res[at] | (res[at + 1] << 8) | (res[at + 2] << 16) | (res[at + 3] << 24));
  };
  const auto word = [&](size_t at) { return static_cast<uint32_t>(res[at] | (res[at + 1] << 8)); };
  size_t at = 0;
  while (at + 8 <= res.size()) {
    const uint32_t dataSize = dword(at), headerSize = dword(at + 4);
    if (headerSize < 16 || headerSize > res.size() - at || dataSize > res.size() - at - headerSize) return false;
    // Type and name: an ordinal only when the entry starts with 0xFFFF.
    const size_t type = at + 8;
    const bool typeIsOrdinal = word(type) == 0xFFFF;
    const size_t name = typeIsOrdinal ? type + 4 : type;
    if (typeIsOrdinal && word(type + 2) == kDialogType && name + 4 <= at + headerSize && word(name) == 0xFFFF) {
      plat::DialogTemplate t;
      if (!plat::ReadDialogTemplate(res.data() + at + headerSize, dataSize, &t)) return false;
      dialogs->emplace_back(static_cast<int>(word(name + 2)), std::move(t));
    }
    at += headerSize + ((dataSize + 3) & ~static_cast<uint32_t>(3));
  }
  return at == res.size();
}

int CheckRes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<BYTE> res((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::pair<int, plat::DialogTemplate>> dialogs;
  if (res.empty() || !ReadResDialogs(res, &dialogs)) {
    std::cerr << path << ": not a resource file\n";
    return 1;
  }
  int status = 0;
  for (int id : {msgbox_template::kTemplateId, skinned_popup::kTemplateId}) {
    const plat::DialogTemplate* table = plat::FindDialogTemplate(nullptr, MAKEINTRESOURCEA(static_cast<uintptr_t>(id)));
    int found = 0;
    for (const auto& [resId, compiled] : dialogs) {
      if (resId != id) continue;
      ++found;
      if (!table || !plat::SameDialogTemplate(compiled, *table)) {
        std::cerr << path << ": dialog " << id << " is not the template of the module's table\n";
        status = 1;
      }
    }
    if (found != 1) {
      std::cerr << path << ": dialog " << id << " found " << found << " times\n";
      status = 1;
    }
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  const bool check = argc == 3 && std::string(argv[1]) == "--check";
  const bool checkRes = argc == 3 && std::string(argv[1]) == "--check-res";
  if (argc != 2 && !check && !checkRes) {
    std::cerr << "usage: make_dialog_rc [--check] FILE.rc | --check-res FILE.res\n";
    return 2;
  }
  const std::string path = argv[argc - 1];
  // The program is the module here: the templates register with it.
  if (!msgbox_template::Register(nullptr) || !skinned_popup::RegisterTemplate(nullptr)) {
    std::cerr << "make_dialog_rc: the module's templates did not register\n";
    return 1;
  }
  if (checkRes) return CheckRes(path);
  std::ostringstream rc;
  rc << "// The module's dialog templates, resources of Dorvik2.dll. Written by make_dialog_rc\n"
        "// from the module's own tables (module/MsgBoxTemplate.cpp, panels/SkinnedPopup.cpp):\n"
        "// change those and run it again; CTest checks the two are in step.\n"
        "#pragma code_page(65001)\n";
  if (!WriteDialog(rc, msgbox_template::kTemplateId) || !WriteDialog(rc, skinned_popup::kTemplateId)) {
    std::cerr << "make_dialog_rc: a template is missing\n";
    return 1;
  }
  if (check) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream stored;
    stored << in.rdbuf();
    if (stored.str() == rc.str()) return 0;
    std::cerr << path << " is not what the module's tables say; run make_dialog_rc " << path << "\n"
              << "--- written today:\n" << rc.str();
    return 1;
  }
  std::ofstream out(path, std::ios::binary);
  out << rc.str();
  return out ? 0 : 1;
}
