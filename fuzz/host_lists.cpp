// Fuzz target of the host's list texts: the same bytes go to the scene's number-list
// parse and the avatar split as they stand, and, read as UTF-16 units the way the host
// hands texts over, to the card-list events (replace, add, remove), the top bar's
// button event and the avatar paths (the client's avatar slot and the host's answer to
// an avatar request) of a built table. Whatever the text, the lists hold one entry per
// field, the card list is what the parse gives, and every avatar stands at its side.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzGameTable.h"
#include "base/TextUtil.h"

namespace {

constexpr size_t kMaxInput = 1u << 12;
constexpr int32_t kCardListEvents[] = {14, 15, 16};
constexpr int32_t kButtonEvent = 27;
// Words that close the window the run keeps using.
constexpr std::string_view kClosingWords[] = {"exit", "cancelexit"};

size_t NonEmptyFields(std::string_view text) {
  size_t count = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = std::min(text.find('|', start), text.size());
    if (end > start) ++count;
    start = end + 1;
  }
  return count;
}

void CheckLists(const std::string& text) {
  std::vector<int32_t> numbers{-1};
  CDorvik2VWS::ParseNumberList(text, numbers);
  if (numbers.size() != NonEmptyFields(text)) __builtin_trap();
  const std::vector<std::string> parts = SplitBarList(text);
  if (parts.size() != static_cast<size_t>(std::count(text.begin(), text.end(), '|'))) __builtin_trap();
  size_t at = 0;
  for (const std::string& part : parts) {
    if (text.compare(at, part.size(), part) != 0 || text[at + part.size()] != '|') __builtin_trap();
    at += part.size() + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxInput) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  CheckLists(bytes);

  IClientInterface* client = FuzzGameTable("fuzz-host-lists");
  CDorvik2VWS& scene = *dynamic_cast<CDorvik2Wnd*>(client)->Scene();
  FuzzSeatBoth(scene);
  // The host's texts are UTF-16 and end at their first zero unit.
  std::u16string wide;
  for (size_t i = 0; i + 1 < size; i += 2) {
    const auto unit = static_cast<char16_t>(data[i] | data[i + 1] << 8);
    if (unit == 0) break;
    wide.push_back(unit);
  }
  const std::string text = WideToMultiByte(wide);
  CheckLists(text);

  for (const int32_t event : kCardListEvents) {
    int32_t code = event;
    int32_t value = 0;
    client->OnHostEvent(kFuzzMe, &code, wide.data(), &value);
  }
  // Replace last, so the list is the parse of the text alone.
  int32_t replace = kCardListEvents[0];
  client->OnHostEvent(kFuzzMe, &replace, wide.data(), nullptr);
  std::vector<int32_t> parsed;
  CDorvik2VWS::ParseNumberList(text, parsed);
  if (scene.Model().game.cardNumbers != parsed) __builtin_trap();

  if (std::find(std::begin(kClosingWords), std::end(kClosingWords), text) == std::end(kClosingWords)) {
    int32_t code = kButtonEvent;
    int32_t value = size > 0 ? data[0] : 0;
    client->OnHostEvent(kFuzzMe, &code, wide.data(), &value);
  }

  client->SetPlayerAvatar(kFuzzOtherId, wide.c_str());
  FuzzTableHost().answerAvatar = true;
  FuzzTableHost().avatar = wide;
  scene.LoadSeatAvatar(0);
  FuzzTableHost().answerAvatar = false;
  FuzzCheckAvatars(scene);
  return 0;
}
