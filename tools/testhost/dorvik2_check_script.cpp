// dorvik2-check-script: reads a game script as the test host reads it, with none of the
// module built, so that the run command names a mistake in it before it builds anything.
// Exit 0 when the script reads and every checkpoint has a hash for the desktop it will be
// played on; 1 with the reason when not; 2 on a wrong call.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "testhost/ScriptReader.h"

namespace {

void Usage() {
  std::fprintf(stderr, "usage: dorvik2-check-script GAME.txt [--desktop 32|565|555] [--new-hashes]\n");
}

bool Fail(const std::string& script, const std::string& why) {
  std::fprintf(stderr, "%s: %s\n", script.c_str(), why.c_str());
  return false;
}

// What the run would stop on before its first event, in the order it would.
bool Check(const std::string& path, const std::string& desktopAsked, bool newHashes) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return Fail(path, "cannot read it: it is a folder");
  std::ifstream in(path, std::ios::binary);
  if (!in) return Fail(path, "cannot read it");
  std::ostringstream text;
  text << in.rdbuf();
  testhost::Script script;
  std::string error;
  if (!testhost::ReadScript(text.str(), script, error)) return Fail(path, error);
  for (const std::string& folder : {script.setup.gameFolder, script.setup.portalFolder}) {
    if (!folder.empty() && !std::filesystem::is_directory(folder, ec))
      return Fail(path, "its data folder " + folder + " is not a folder");
  }
  if (newHashes) return true;
  const std::string& desktop = desktopAsked.empty() ? script.setup.desktop : desktopAsked;
  for (const testhost::ScriptEvent& e : script.events) {
    if (e.verb != testhost::ScriptVerb::Checkpoint) continue;
    const std::string* hash = e.HashOn(desktop, script.setup);
    if (!hash || hash->empty())
      return Fail(path, "line " + std::to_string(e.line) + ": checkpoint " + e.text + " has no hash for a " + desktop +
                            " desktop (a run with --new-hashes takes them)");
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string script, desktop;
  bool newHashes = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--desktop" && i + 1 < argc && testhost::IsDesktopName(argv[i + 1])) {
      desktop = argv[++i];
    } else if (a == "--new-hashes") {
      newHashes = true;
    } else if (script.empty() && !a.empty() && a[0] != '-') {
      script = a;
    } else {
      Usage();
      return 2;
    }
  }
  if (script.empty()) {
    Usage();
    return 2;
  }
  return Check(script, desktop, newHashes) ? 0 : 1;
}
