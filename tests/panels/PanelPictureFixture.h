// The panels' picture files written into the sprite root, and a fake scene that makes
// the children from them; a case can leave one file out of its own folder.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "graphics/XResEntryMgr.h"
#include "panels/FakePanelScene.h"
#include "widgets/GVSlideWnd.h"
#include "widgets/SpriteWidgetFixture.h"

namespace panel_test {

enum class Art : uint8_t { Qls, Psp, Button, Qla, QlaSet, Bmp, Knob };

struct PanelFile {
  const char* path;
  Art art;
  int32_t count = 1;  // frames of a sheet, sets of a button, sub-animations of a set
};

class PanelPicturesTest : public widget_test::SpriteWidgetTest {
 protected:
  static constexpr int32_t kCell = 8;
  static constexpr int32_t kButtonFrames = 4;

  void SetUp() override {
    SpriteWidgetTest::SetUp();
    XResEntryMgr::Global().SetDirectDraw(dd_.Get());
    XResEntryMgr::Global().SetColorKey(FakePanelScene::kTextKey);
  }
  void TearDown() override {
    // The scene's own widgets go while the managers they hold pictures of still run.
    for (GVWnd* w : scene_.sceneWnds) delete w;
    scene_.sceneWnds.clear();
    XResEntryMgr::Global().ReleaseAll();
    SpriteWidgetTest::TearDown();
  }
  // Writes every file but the one at `skip` under `folder` of the sprite root, and
  // points the scene there.
  void WriteFiles(std::span<const PanelFile> files, const std::string& folder = "", int32_t skip = -1) {
    for (int32_t i = 0; i < static_cast<int32_t>(files.size()); ++i) {
      if (i == skip) continue;
      const PanelFile& f = files[size_t(i)];
      std::string name = (folder.empty() ? "" : folder + "\\") + f.path;
      std::replace(name.begin(), name.end(), '\\', '/');
      Write(name, Bytes(f));
    }
    scene_.kRoot = std::string(kRoot) + (folder.empty() ? "" : folder + "\\");
  }
  static testing_support::Bytes Bytes(const PanelFile& f) {
    namespace ts = testing_support;
    const ts::Bytes sprite = ts::SolidSpriteChunk(32, kCell, kCell, 0x00FF00, 0, 0);
    const ts::QlaAnimation animation{.name = "", .frames = std::vector(2, ts::QlaFrame{.parts = {{}}})};
    switch (f.art) {
      case Art::Qls:
        return sprite;
      case Art::Psp:
        return ts::PspFile(std::vector(size_t(f.count), sprite));
      case Art::Button:
        return ts::PspFile(std::vector(size_t(f.count * kButtonFrames), sprite));
      case Art::Qla:
        return ts::QlaFile(animation, sprite);
      case Art::QlaSet:
        return ts::QlaSetFile(std::vector(size_t(f.count), animation), sprite);
      case Art::Bmp:
      case Art::Knob: {
        const int32_t width = f.art == Art::Knob ? kCell * GVSlideWnd::kKnobCells : kCell * 4;
        widget_test::BmpPicture pic(width, kCell / 4, 24);
        pic.pixels.assign(size_t(pic.width * pic.height), 0x00FF00);
        return widget_test::WriteBmp(pic);
      }
    }
    return {};
  }
  FakePanelScene scene_;
};

}  // namespace panel_test
