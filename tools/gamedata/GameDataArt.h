// The placeholder art of the data folder: every picture is painted with the layer's GDI
// so that a captured frame shows which card, button or animation sits where. Text is
// drawn without smoothing, so the colour key stays exact around it.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/gamedata/GameDataManifest.h"

namespace game_data {

// Pixels as 0x00RRGGBB, rows top-down.
struct Picture {
  int32_t width = 0, height = 0;
  std::vector<uint32_t> px;
  uint32_t At(int32_t x, int32_t y) const { return px[size_t(y) * size_t(width) + size_t(x)]; }
};

constexpr uint32_t kKeyColour = 0xFF00FF;
// Outlines, labels and the cards' month numbers.
constexpr uint32_t kInkColour = 0x101010;

// The frames an entry is made of, in file order: card cells, strip frames, sprite
// frames, glyphs, or the sprites of an animation (sub-animation by sub-animation, frame
// by frame). Sounds, cursors and the settings file have none.
std::vector<Picture> PaintFrames(const ManifestEntry& entry);

// One sheet for people to look at: every card cell, button and strip frame, digit set
// and the first frame of every sub-animation, on a grey ground.
Picture ContactSheet();

// The fill colour of a month 1..13 (13: the bonus cards).
uint32_t MonthColour(int32_t month);

}  // namespace game_data
