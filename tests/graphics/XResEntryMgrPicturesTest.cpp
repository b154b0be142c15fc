// Picture files through the resource manager: TGA (selector 3), layered pictures read
// from their companion file (6) and GIF strips (5) as one typed suite (loading, sharing
// by name, unreadable files), then what only one kind does.
#include <gtest/gtest.h>

#include <stdexcept>

#include "graphics/GraphicsTestKit.h"
#include "graphics/XGifEntry.h"
#include "graphics/XResEntryMgr.h"
#include "support/PictureFileWriters.h"
#include "widgets/WidgetTestSupport.h"

namespace xres_entry_mgr_pictures_test {

using namespace gfx_test;
using testing_support::VtiLayer;
constexpr COLORREF kNoKey = 0xFFFFFFFFu;
constexpr uint32_t kKey = 0xFF00FF;

std::vector<VtiLayer> Layers() {
  return {
      {2, 2, 4, -3, 500, "0.5", {0xFF102030, 0x00FFFFFF, 0x80405060, 0xFFFFFFFF}},
      {3, 1, 0, 9, 200, "frame1", {0x00000000, 0x01000000, 0xFFFF0000}},
      {1, 1, -1, -1, 0, "", {0xFF00FF00}},
  };
}

// One 2 x 1 frame per row of indices, index 15 transparent, each 5 hundredths longer.
Bytes GifStrip(const std::vector<std::vector<uint8_t>>& rows) {
  testing_support::GifDesc g = GifScreen(uint16_t(rows.front().size()), 1, {});
  for (uint32_t i = 0; i < 16; ++i) g.globalTable.push_back(0x101010 * (i + 1));
  uint16_t delay = 0;
  for (const auto& row : rows) {
    g.frames.push_back(SolidFrame(0, 0, g.width, 1, 0));
    g.frames.back().indices = row;
    g.frames.back().transparent = true;
    g.frames.back().transparentIndex = 15;
    g.frames.back().delay = delay += 5;
  }
  return testing_support::EncodeGif(g);
}

struct Opacity {
  GPoint at;
  int32_t frame, opaque;
};

// Each kind: its selector and entry kind, a good picture (with its opacity at two
// points) and unreadable ones under names the manager is given.
struct TgaFiles {
  static constexpr int32_t kSelector = 3, kKind = kEntryTga;
  static constexpr bool kSharedByName = true, kEntryForUnreadable = true;
  static constexpr HRESULT kUnreadable = S_FALSE;
  static GSize Size() { return GSize(2, 2); }
  // Magenta at the bottom left: the file stores the bottom row first.
  static Bytes Square(size_t cut = 0) {
    testing_support::TgaPicture p;
    p.width = p.height = 2;
    p.pixels = {0x11FF00FF, 0x2200FF00, 0x330000FF, 0xFFFFFFFF};
    p.cut = cut;
    return TgaFile(p);
  }
  static std::string Good(const Folder& dir, const std::string& stem) {
    dir.Put(stem + ".tga", Square());
    return "P:\\" + stem + ".tga";
  }
  static std::vector<Opacity> Opacities() { return {{GPoint(0, 1), 0, 0}, {GPoint(0, 0), 0, 1}}; }
  static std::vector<std::string> Unreadable(const Folder& dir) {
    dir.Put("cut.tga", Square(3));
    return {"P:\\cut.tga", "P:\\missing.tga"};
  }
};

struct PsdFiles {
  static constexpr int32_t kSelector = 6, kKind = kEntryLayered;
  static constexpr bool kSharedByName = true, kEntryForUnreadable = true;
  static constexpr HRESULT kUnreadable = S_OK;
  static GSize Size() { return GSize(); }  // its frames have sizes; the entry none
  static std::string Good(const Folder& dir, const std::string& stem) {
    dir.Put(stem + ".VTi", VtiFile(Layers()));
    return "P:\\" + stem + ".psd";
  }
  static std::vector<Opacity> Opacities() { return {{GPoint(1, 0), 0, 0}, {GPoint(2, 0), 1, 1}}; }
  static std::vector<std::string> Unreadable(const Folder& dir) {
    dir.Put("nodot", VtiFile(Layers()));
    dir.Put("bad.VTi", Bytes{'V', 'T', 'i', '.'});
    return {"P:\\none.psd", "P:\\nodot", "P:\\bad.psd"};
  }
};

struct GifFiles {
  static constexpr int32_t kSelector = 5, kKind = kEntryFrames;
  static constexpr bool kSharedByName = false, kEntryForUnreadable = false;
  static constexpr HRESULT kUnreadable = E_FAIL;
  static GSize Size() { return GSize(2, 1); }
  static std::string Good(const Folder& dir, const std::string& stem) {
    dir.Put(stem + ".gif", GifStrip({{1, 15}, {2, 2}, {15, 3}}));
    return "P:\\" + stem + ".gif";
  }
  static std::vector<Opacity> Opacities() { return {{GPoint(1, 0), 0, 0}, {GPoint(2, 0), 0, 1}}; }
  static std::vector<std::string> Unreadable(const Folder& dir) {
    dir.Write("bad.gif", "GIF88a and then some");
    return {"P:\\bad.gif", "P:\\absent.gif"};
  }
};

class PictureMgrTest : public ManagerTest {
 protected:
  Folder dir_{"P:\\"};
};

template <typename Kind>
class PictureKindTest : public PictureMgrTest {};
using Kinds = testing::Types<TgaFiles, PsdFiles, GifFiles>;
TYPED_TEST_SUITE(PictureKindTest, Kinds);

TYPED_TEST(PictureKindTest, LoadsThroughItsSelectorWithSizeAndOpacity) {
  const int32_t h = this->m_.LoadEntry(TypeParam::kSelector, TypeParam::Good(this->dir_, "pic"), TypeParam::Size(), kKey);
  ASSERT_NE(h, -1);
  EXPECT_EQ(this->m_.GetLastResult(), S_OK);
  const XBaseEntry* e = this->m_.EntryAt(h);
  EXPECT_EQ(std::make_pair(int32_t(e->kind), e->colorKey), std::make_pair(int32_t(TypeParam::kKind), COLORREF(kKey)));
  EXPECT_EQ(e->size, TypeParam::Size());
  EXPECT_TRUE(this->m_.GetEntrySurface(h));
  for (const Opacity& o : TypeParam::Opacities())
    EXPECT_EQ(this->m_.IsEntryPixelOpaque(h, o.at, o.frame), o.opaque) << o.at.x << "," << o.at.y;
}

TYPED_TEST(PictureKindTest, RequestsShareOneEntryByNameAcrossTheFileSelectorsOrEachMakeTheirOwn) {
  const std::string name = TypeParam::Good(this->dir_, "pic");
  XResEntryMgr& m = this->m_;
  const int32_t h = m.LoadEntry(TypeParam::kSelector, name, TypeParam::Size(), kNoKey);
  ASSERT_NE(h, -1);
  if (!TypeParam::kSharedByName) {
    const int32_t other = m.LoadEntry(TypeParam::kSelector, name, TypeParam::Size(), kNoKey);
    ASSERT_NE(other, -1);
    EXPECT_NE(other, h);
    EXPECT_NE(m.EntryAt(other), m.EntryAt(h));
    return;
  }
  std::string upper = name;
  for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
  for (int32_t selector : {2, 3, 6}) EXPECT_EQ(m.LoadEntry(selector, upper, GSize(), kNoKey), h) << selector;
  EXPECT_EQ(std::make_pair(m.EntryAt(h)->refCount, int32_t(m.EntryAt(h)->kind)), std::make_pair(4u, int32_t(TypeParam::kKind)));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(m.ReleaseEntry(h), 1);
  // The last release forgets the name: a bitmap load of it now makes its own entry.
  const int32_t bmp = m.LoadEntry(2, name, GSize(), kNoKey);
  ASSERT_NE(bmp, -1);
  EXPECT_NE(bmp, h);
  EXPECT_EQ(m.EntryAt(bmp)->kind, kEntryBitmap);
  EXPECT_EQ(m.LoadEntry(TypeParam::kSelector, upper, GSize(), kNoKey), bmp);
}

TYPED_TEST(PictureKindTest, UnreadableFilesGiveAnEmptySharedEntryOrNone) {
  XResEntryMgr& m = this->m_;
  for (const std::string& name : TypeParam::Unreadable(this->dir_)) {
    SCOPED_TRACE(name);
    const int32_t h = m.LoadEntry(TypeParam::kSelector, name, GSize(), kNoKey);
    if (!TypeParam::kEntryForUnreadable) {
      EXPECT_EQ(h, -1);
      continue;
    }
    ASSERT_NE(h, -1);
    EXPECT_EQ(m.GetLastResult(), TypeParam::kUnreadable);
    EXPECT_TRUE(!m.GetEntrySurface(h) && m.EntryAt(h)->frames.empty() && m.EntryAt(h)->size == GSize());
    EXPECT_EQ(m.LoadEntry(TypeParam::kSelector, name, GSize(), kNoKey), h);  // the empty entry is shared
  }
  if (!TypeParam::kEntryForUnreadable) {
    m.LoadEntry(TypeParam::kSelector, TypeParam::Unreadable(this->dir_)[0], GSize(), kNoKey);
    EXPECT_EQ(m.GetLastResult(), TypeParam::kUnreadable);
    // The failed requests left nothing behind: the next entry takes slot 0.
    EXPECT_EQ(m.LoadEntry(0, "", GSize(1, 1), kNoKey) & 0xFFFF, 0);
  }
}

TEST_F(PictureMgrTest, LayeredPartWayFailureKeepsTheEntryAndAKeyFailureDeletesIt) {
  PsdFiles::Good(dir_, "p");
  plat::sim::FailNext("IDirectDraw4::CreateSurface", 1, 2);
  const int32_t h = m_.LoadEntry(6, "P:\\p.psd", GSize(), kNoKey);
  ASSERT_NE(h, -1);
  EXPECT_EQ(std::make_pair(m_.GetLastResult(), m_.EntryAt(h)->frames.size()), std::make_pair(HRESULT(S_FALSE), size_t(2)));

  PsdFiles::Good(dir_, "q");
  plat::sim::FailNext("IDirectDrawSurface4::SetColorKey", 1, 1);
  EXPECT_EQ(m_.LoadEntry(6, "P:\\q.psd", GSize(), kKey), -1);
  EXPECT_EQ(m_.GetLastResult(), DDERR_GENERIC);
  // The name was not kept: a later load makes the entry afresh.
  const int32_t again = m_.LoadEntry(6, "P:\\q.psd", GSize(), kKey);
  ASSERT_NE(again, -1);
  EXPECT_EQ(m_.EntryAt(again)->frames.size(), 3u);
}

TEST_F(PictureMgrTest, AGifNameHeldByABitmapEntryIsThatEntryAndCountsAsOneFrame) {
  const int32_t bitmap = m_.LoadEntry(2, "Pic.gif", GSize(), kKey);
  ASSERT_NE(bitmap, -1);
  const int32_t gif = m_.LoadEntry(5, "pic.GIF", GSize(3, 3), kKey);
  EXPECT_EQ(gif, bitmap);
  const XBaseEntry* e = m_.EntryAt(gif);
  EXPECT_EQ(AsGifEntry(e), nullptr);
  EXPECT_EQ((std::vector<int>{int(e->refCount), EntryFrameCount(e), EntryDelayCount(e), EntryFrameDelay(e, 0), EntryFrameCount(nullptr)}),
            (std::vector<int>{2, 1, 0, 0, 0}));
}

}  // namespace xres_entry_mgr_pictures_test
