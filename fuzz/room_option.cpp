// Fuzz target: the room's option string, as the server sends it, searched for keys.
// The first byte gives the key's length (taken from the front of the rest); the rest
// is the option string. Any bytes must be safe and give a value without overflow.
#include <cstdint>
#include <string>

#include "panels/CVUserOptionWnd.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
  const size_t keyLength = data[0] % (rest.size() + 1);
  const std::string key = rest.substr(0, keyLength);
  const std::string options = rest.substr(keyLength);
  CVUserOptionWnd::FindRoomOption(options, key);
  for (const char* known : {"SM", "UP30", "PE", ""}) CVUserOptionWnd::FindRoomOption(options, known);
  return 0;
}
