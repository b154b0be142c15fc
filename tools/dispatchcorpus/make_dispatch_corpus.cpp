// Turns each scripted game into one input of the dispatcher's fuzz target, so the
// fuzzer starts from whole games: the script's host messages in order, each its own
// block. The keys and clicks stay out (the target has no player), and so do the
// script's waits: the target ticks once after each block, and a whole game's waits
// as empty blocks take seconds a run under the sanitizers. Where a wait matters the
// fuzzer adds empty blocks itself, the separator being in the dictionary.
// The dictionaries of the dispatcher and the message reader come from the same list
// of message types, each type's code as a message starts.
//   make_dispatch_corpus <games> <fuzz/corpus/dispatch> <fuzz/dict>
//       writes game-<script> for every script, dispatch.dict and host_message.dict
//   make_dispatch_corpus --check <games> <fuzz/corpus/dispatch> <fuzz/dict>
//       exit 1 when a stored file differs from what would be written
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "DispatchFraming.h"
#include "host/HostMessage.h"
#include "plat/crt.h"
#include "testhost/ScriptMessages.h"

namespace {

namespace fs = std::filesystem;
using dispatch_fuzz::kBlockSeparator;

constexpr const char* kSeedPrefix = "game-";
constexpr const char* kScriptExtension = ".txt";
constexpr const char* kDispatchDict = "dispatch.dict";
constexpr const char* kMessageDict = "host_message.dict";

bool ReadFile(const fs::path& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  out = text.str();
  return true;
}

// The messages framed as the target cuts them; false when a message's own bytes hold
// the separator, which would cut it in two.
bool Framed(const std::vector<testhost::TimedMessage>& messages, std::string& out, std::string& error) {
  out.clear();
  for (size_t i = 0; i < messages.size(); ++i) {
    const std::string block(messages[i].bytes.begin(), messages[i].bytes.end());
    if (block.find(kBlockSeparator) != std::string::npos) {
      error = "message " + std::to_string(i + 1) + " holds the block separator";
      return false;
    }
    if (i > 0) out += kBlockSeparator;
    out += block;
  }
  return true;
}

std::string Escaped(std::string_view bytes) {
  std::string out;
  for (const char c : bytes) {
    const auto u = static_cast<unsigned char>(c);
    out += u >= ' ' && u < 0x7F && c != '"' && c != '\\' ? std::string(1, c) : plat::FormatString("\\x%02x", u);
  }
  return out;
}

// Each message type's code as the reader meets it first; with `separator`, also as a
// new block starts.
std::string TypeDictionary(bool separator) {
  std::string out = "# Written by make_dispatch_corpus from the host message list.\n";
  if (separator) out += "separator=\"" + Escaped(kBlockSeparator) + "\"\n";
  auto entry = [&](uint32_t code, const char* name) {
    std::string bytes;
    for (size_t i = 0; i < sizeof code; ++i) bytes += static_cast<char>((code >> (8 * i)) & 0xFF);
    out += std::string(name) + "=\"" + Escaped(bytes) + "\"\n";
    if (separator) out += std::string("block_") + name + "=\"" + Escaped(std::string(kBlockSeparator) + bytes) + "\"\n";
  };
#define DORVIK_DICT_ENTRY(code, name, record) entry(code, #name);
  DORVIK_HOST_MESSAGES(DORVIK_DICT_ENTRY)
#undef DORVIK_DICT_ENTRY
  return out;
}

// Writes the file, or with `check` compares it; false when it differs or cannot be
// written.
bool Emit(const fs::path& path, const std::string& bytes, bool check) {
  if (check) {
    std::string stored;
    if (ReadFile(path, stored) && stored == bytes) return true;
    std::fprintf(stderr, "%s is not what make_dispatch_corpus writes\n", path.c_str());
    return false;
  }
  std::ofstream file(path, std::ios::binary);
  file << bytes;
  if (file) return true;
  std::fprintf(stderr, "cannot write %s\n", path.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  const bool check = argc == 5 && std::string(argv[1]) == "--check";
  if (argc != 4 && !check) {
    std::fprintf(stderr, "usage: make_dispatch_corpus [--check] <games> <dispatch corpus> <dictionaries>\n");
    return 2;
  }
  const fs::path games = argv[check ? 2 : 1];
  const fs::path corpus = argv[check ? 3 : 2];
  const fs::path dicts = argv[check ? 4 : 3];
  std::vector<fs::path> scripts;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(games, ec))
    if (entry.path().extension() == kScriptExtension) scripts.push_back(entry.path());
  if (ec || scripts.empty()) {
    std::fprintf(stderr, "no scripts in %s\n", games.c_str());
    return 2;
  }
  std::sort(scripts.begin(), scripts.end());
  int status = 0;
  for (const fs::path& script : scripts) {
    std::string text, seed, error;
    std::vector<testhost::TimedMessage> messages;
    if (!ReadFile(script, text) || !testhost::ReadScriptMessages(text, messages, error) ||
        !Framed(messages, seed, error)) {
      std::fprintf(stderr, "%s: %s\n", script.c_str(), error.empty() ? "unreadable" : error.c_str());
      return 2;
    }
    if (!Emit(corpus / (kSeedPrefix + script.stem().string()), seed, check)) status = 1;
  }
  if (!Emit(dicts / kDispatchDict, TypeDictionary(true), check)) status = 1;
  if (!Emit(dicts / kMessageDict, TypeDictionary(false), check)) status = 1;
  if (status != 0 && check) std::fprintf(stderr, "remake them: make_dispatch_corpus %s %s %s\n", games.c_str(),
                                         corpus.c_str(), dicts.c_str());
  return status;
}
