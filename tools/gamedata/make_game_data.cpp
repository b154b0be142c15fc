// make_game_data: writes the synthetic data folder of the game and the portal's
// settings file, the same bytes for the same arguments.
//   make_game_data --out DIR --portal DIR [--seed N] [--dll-version V] [--company C] [--domain D]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/gamedata/GameDataWriter.h"

namespace {

bool Parse(int argc, char** argv, game_data::WriteOptions& o) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string a = argv[i], v = argv[i + 1];
    if (a == "--out")
      o.dataFolder = v;
    else if (a == "--portal")
      o.portalFolder = v;
    else if (a == "--seed")
      o.seed = uint32_t(std::strtoul(v.c_str(), nullptr, 10));  // conventions: allow
    else if (a == "--dll-version")
      o.portal.dllVersion = v;
    else if (a == "--company")
      o.portal.company = v;
    else if (a == "--domain")
      o.portal.domain = v;
    else
      return false;
  }
  return argc % 2 == 1 && !o.dataFolder.empty() && !o.portalFolder.empty();
}

}  // namespace

int main(int argc, char** argv) {
  game_data::WriteOptions options;
  if (!Parse(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: make_game_data --out DIR --portal DIR [--seed N] [--dll-version V] [--company C] "
                 "[--domain D]\n");
    return 2;
  }
  const int32_t written = game_data::WriteGameData(options);
  if (written < 0) {
    std::fprintf(stderr, "make_game_data: cannot write under %s\n", options.dataFolder.c_str());
    return 1;
  }
  std::printf("make_game_data: %d files\n", written);
  return 0;
}
