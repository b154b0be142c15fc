// Writing and sending game commands.
#include "host/GameCommand.h"

namespace {

// Whether the payload held is the one the code carries.
bool PayloadMatches(const GameCommand& command) {
  return std::visit(
      [&command](const auto& payload) {
        return IsGameCmdPayloadOf<std::decay_t<decltype(payload)>>(command.type);
      },
      command.payload);
}

}  // namespace

const char* GameCmdTypeName(uint32_t code) {
  switch (code) {
#define DORVIK_GAME_COMMAND_NAME(c, name, payload) \
  case c:                                          \
    return #name;
    DORVIK_GAME_COMMANDS(DORVIK_GAME_COMMAND_NAME)
#undef DORVIK_GAME_COMMAND_NAME
    default:
      return "";
  }
}

int32_t WriteGameCommand(const GameCommand& command, IXBuf* buf) {
  if (!buf) return 0;
  if (!ArcWrite(buf, command.type)) return 0;
  if (command.type >= GC_TYPE_LIMIT || !PayloadMatches(command)) return 0;
  return std::visit([buf](const auto& payload) { return SaveRecord(payload, buf); }, command.payload) != 0 ? 1 : 0;
}
