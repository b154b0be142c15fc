// Sprite handles in the widget image field: the widgets that keep one never hand it to
// the resource manager, which would take it for one of its own entries.
#include "widgets/GVSpriteSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "SpriteWidgetFixture.h"
#include "graphics/XBaseEntry.h"
#include "graphics/XResEntryMgr.h"
#include "widgets/GVPSPNumberWnd.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/GVQLSWnd.h"

namespace widget_test {
namespace {

class SpriteHandleTest : public SpriteWidgetTest {
 protected:
  void TearDown() override {
    XResEntryMgr::Global().ReleaseAll();
    SpriteWidgetTest::TearDown();
  }
};

TEST_F(SpriteHandleTest, ReleasingASpriteWidgetLeavesTheResourceEntryWithTheSameHandleAlone) {
  XResEntryMgr& m = XResEntryMgr::Global();
  m.SetDirectDraw(dd_.Get());
  const int32_t entry = m.LoadEntry(0, "", GSize(2, 2), GVWnd::kNoColorKey);
  ASSERT_NE(entry, XResEntryMgr::kNoHandle);
  const std::pair<const char*, std::function<std::unique_ptr<GVWnd>()>> kinds[] = {
      {"qls", [] { return std::make_unique<GVQLSWnd>(); }},
      {"psp", [] { return std::make_unique<GVPSPWnd>(); }},
      {"number", [] { return std::make_unique<GVPSPNumberWnd>(); }},
      {"animation", [] { return std::make_unique<GVQLAniWnd>(); }},
  };
  for (const auto& [name, make] : kinds) {
    std::unique_ptr<GVWnd> w = make();
    w->SetImage(entry);  // a sprite handle that happens to equal the entry's
    EXPECT_FALSE(w->GetSurface()) << name;
    w->ReleaseImage();
    EXPECT_EQ(w->GetImage(), GVWnd::kNoImage) << name;
    w->SetImage(entry);
    w.reset();
    ASSERT_NE(m.EntryAt(entry), nullptr) << name;
    EXPECT_EQ(m.EntryAt(entry)->refCount, 1u);
  }
}

TEST_F(SpriteHandleTest, ReplacingLoadsTheNewBeforeReleasingTheOld) {
  const std::string file = Write("one.qls", testing_support::SolidSpriteChunk(32, 2, 2, 0x00FF00, 0, 0));
  GVWnd w;
  const uint32_t h = rm::LoadSpriteResourceByName(file.c_str());
  gv_sprite::ReplaceHeld(w, h);
  gv_sprite::ReplaceHeld(w, rm::LoadSpriteResourceByName(file.c_str()));
  EXPECT_EQ(Held(w), h);
  EXPECT_EQ(Count(h), 1);
  gv_sprite::ReplaceHeld(w, 0);
  EXPECT_EQ(std::pair(Count(h), w.GetImage()), std::pair(0, 0));
  gv_sprite::ReleaseHeld(w);
  EXPECT_EQ(w.GetImage(), GVWnd::kNoImage);
}

}  // namespace
}  // namespace widget_test
