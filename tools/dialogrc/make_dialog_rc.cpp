// make_dialog_rc [--check] FILE.rc: writes the module's dialog templates (the message
// box and the skinned pop-up) as a resource script in UTF-8, or with --check compares
// FILE.rc with what it would write and fails when they differ.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

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

}  // namespace

int main(int argc, char** argv) {
  const bool check = argc == 3 && std::string(argv[1]) == "--check";
  if (argc != 2 && !check) {
    std::cerr << "usage: make_dialog_rc [--check] FILE.rc\n";
    return 2;
  }
  const std::string path = argv[argc - 1];
  // The program is the module here: the templates register with it.
  if (!msgbox_template::Register(nullptr) || !skinned_popup::RegisterTemplate(nullptr)) {
    std::cerr << "make_dialog_rc: the module's templates did not register\n";
    return 1;
  }
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
